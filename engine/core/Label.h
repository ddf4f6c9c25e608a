#pragma once

#include "Component.h"

#include <string>

namespace kit {

// Gives an entity an extra name tag that queries can select on ("plane", "player", ...).
class Label : public Component {
public:
    explicit Label(const std::string& name);

    [[nodiscard]] const std::string& name() const { return name_; }

private:
    std::string name_;
};

} // namespace kit
