#include "JoinedBy.h"

JoinedBy::JoinedBy(int device, bool computer) : device(device), computer(computer)
{
    addClassTags<JoinedBy>("joinedBy");
}
