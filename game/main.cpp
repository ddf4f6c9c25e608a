#include "GameStartup.h"

#include "engine/core/application/GlewInitError.h"

#include <iostream>

int main()
{
    try {
        return runSkyscuffle();
    } catch (const kit::GlewInitError& error) {
        std::cerr << error.what();
        return 1;
    }
}
