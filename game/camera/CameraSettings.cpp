#include "CameraSettings.h"

namespace skyscuffle::cameraSettings {

// A spring of stiffness 1 and damping 0.5 swings for seconds after planes
// that cross the arena in two: the only plane in a match was out of view 8 to
// 16% of the time, two planes 5 to 11%. Critically damped at 3 rad/s the
// camera still glides (about a third of a second behind) and loses nobody.
const kit::Setting<float> stiffness{"tuning.camera.stiffness", 9.0f,
                                    "the spring that pulls the match's camera to its planes"};
const kit::Setting<float> damping{"tuning.camera.damping", 6.0f, "the damping of the camera's spring"};
const kit::Setting<float> targetLeading{"tuning.camera.targetLeading", 0.5f,
                                        "seconds of their flight the camera looks ahead of the planes"};
const kit::Setting<float> minDistance{"tuning.camera.minDistance", 25.0f,
                                      "the least distance the camera keeps from the stage, however close its planes"};

} // namespace skyscuffle::cameraSettings
