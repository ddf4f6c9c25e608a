#include "JoinedBy.h"

namespace skyscuffle {

JoinedBy::JoinedBy(int device, bool computer) : device(device), computer(computer)
{
    addClassTags<JoinedBy>("joinedBy");
}

} // namespace skyscuffle
