#include "Label.h"

namespace kit {

Label::Label(const std::string& name) : name_(name)
{
    addTag(typeId<Label>());
    addTag(tagId(name));
}

} // namespace kit
