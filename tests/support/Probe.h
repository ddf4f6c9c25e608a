#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/World.h"

#include <functional>
#include <string>
#include <vector>

namespace test {

// A behaviour that writes every lifecycle call into a shared log as
// "<name>.<call>" and can run an action from its update.
class Probe : public kit::Behavior {
public:
    Probe(std::string name, std::vector<std::string>& log, float priority = 0.0f) : name(std::move(name)), log(log)
    {
        addTag(kit::tagId("probe"));
        addTag(kit::typeId<Probe>());
        addTag(kit::tagId("renderer"));
        setUpdatePriority(priority);
        setRenderPriority(priority);
    }
    ~Probe() override { log.push_back(name + ".destroyed"); }

    void initialize() override { log.push_back(name + ".initialize"); }
    void onAdded() override { log.push_back(name + ".onAdded"); }
    void onRemoved() override { log.push_back(name + ".onRemoved"); }
    void update(float) override
    {
        log.push_back(name + ".update");
        if (onUpdate)
            onUpdate();
    }
    void render(float) override { log.push_back(name + ".render"); }

    std::string name;
    std::vector<std::string>& log;
    std::function<void()> onUpdate;
};

// Counts the lines of a log equal to a value.
inline int count(const std::vector<std::string>& log, const std::string& line)
{
    int n = 0;
    for (const auto& l : log)
        n += l == line;
    return n;
}

} // namespace test
