#include "GlideCorrection.h"

#include "engine/core/Finite.h"

#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>

namespace kit {
namespace {

// How fast the usual gap between the clocks follows the records: about the
// last ten count.
constexpr double gapFollow = 0.1;
// A gap this far from the usual one is a clock that stepped, not a late record.
constexpr double clockStep = 1.0;
// A turn this small (radians, about 3 degrees) is taken at once with a small gap.
constexpr float smallTurn = 0.05f;

} // namespace

float GlideCorrection::ageOf(const Record& record)
{
    double late = 0.0;
    if (record.stamp && std::isfinite(*record.stamp) && std::isfinite(record.arrival)) {
        const double gap = record.arrival - *record.stamp;
        if (!usualGap_ || std::abs(gap - *usualGap_) > clockStep)
            usualGap_ = gap;
        late = gap - *usualGap_;
        *usualGap_ += (gap - *usualGap_) * gapFollow;
    }
    const double delay = std::isfinite(record.delay) ? record.delay : 0.0;
    return static_cast<float>(std::clamp(delay + late, 0.0, static_cast<double>(settings_.maxAge)));
}

void GlideCorrection::straight(Pose& pose, glm::vec3& velocity, float seconds)
{
    pose.position += velocity * seconds;
}

std::optional<GlideCorrection::Pose> GlideCorrection::receive(const Pose& shown, const Record& record,
                                                              glm::vec3& velocity, const Carry& carry)
{
    if (record.stamp && lastStamp_ && *record.stamp <= *lastStamp_ && *lastStamp_ - *record.stamp < clockStep)
        return std::nullopt; // older than one taken already
    if (record.stamp)
        lastStamp_ = record.stamp;
    lastAge_ = ageOf(record);
    velocity = finite(record.velocity) ? record.velocity : glm::vec3(0.0f);
    Pose target = record.pose;
    if (lastAge_ > 0.0f)
        (carry ? carry : straight)(target, velocity, lastAge_);
    if (!finite(target.position) || !finite(velocity)) {
        target = record.pose; // a carry that went wrong carries nothing
        velocity = glm::vec3(0.0f);
    }
    const glm::vec3 gap = target.position - shown.position;
    if (!started_ || !finite(gap) || glm::length(gap) > settings_.snapDistance || !(settings_.seconds > 0.0f)) {
        started_ = true;
        ++snaps_;
        offset_ = glm::vec3(0.0f);
        turn_ = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
        return target;
    }
    // The turn that takes the shown rotation to the record's, the short way round.
    glm::quat turn = glm::normalize(target.rotation * glm::inverse(shown.rotation));
    if (turn.w < 0.0f)
        turn = -turn;
    if (glm::length(gap) < settings_.blendFrom && glm::angle(turn) < smallTurn) {
        offset_ = glm::vec3(0.0f);
        turn_ = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
        return target;
    }
    offset_ = gap;
    turn_ = turn;
    return shown;
}

GlideCorrection::Pose GlideCorrection::step(const Pose& shown, float dt)
{
    if (!std::isfinite(dt) || dt <= 0.0f)
        return shown;
    const float share = 1.0f - std::exp(-dt / settings_.seconds);
    Pose next = shown;
    glm::vec3 move = offset_ * share;
    const float reach = settings_.maxCorrectionSpeed * dt;
    if (const float length = glm::length(move); length > reach)
        move *= reach / length;
    next.position += move;
    offset_ -= move;
    const glm::quat part = glm::slerp(glm::quat(1.0f, 0.0f, 0.0f, 0.0f), turn_, share);
    next.rotation = glm::normalize(part * shown.rotation);
    turn_ = glm::normalize(glm::inverse(part) * turn_);
    return next;
}

} // namespace kit
