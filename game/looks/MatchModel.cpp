#include "MatchModel.h"

#include "LookSettings.h"

#include "engine/render/Model.h"
#include "engine/resources/ResourceManagers.h"

namespace skyscuffle {

std::string lowDetailPath(const std::string& path)
{
    const std::string suffix = ".obj";
    if (path.size() <= suffix.size() || path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
        return {};
    return path.substr(0, path.size() - suffix.size()) + "Low" + suffix;
}

kit::Model* matchModel(const std::string& path)
{
    auto* model = new kit::Model(kit::objManager().prefetch(path));
    const std::string low = lowDetailPath(path);
    if (!low.empty() && lookSettings::lowDetailBelowPixels.value() > 0.0f) {
        model->lowDetail = kit::objManager().prefetch(low);
        model->lowDetailBelowPixels = lookSettings::lowDetailBelowPixels.value();
    }
    return model;
}

} // namespace skyscuffle
