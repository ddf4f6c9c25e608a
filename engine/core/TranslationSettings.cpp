#include "TranslationSettings.h"

namespace kit::translationSettings {

const Setting<std::string> language{"tuning.interface.language", "",
                                    "the words' language: en, de, fr, es, pt_BR, or empty for the environment's"};

} // namespace kit::translationSettings
