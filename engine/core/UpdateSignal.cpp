#include "UpdateSignal.h"

namespace kit {

UpdateSignal::UpdateSignal(Callback callback)
{
    addClassTags<UpdateSignal>("updateSignal");
    signal.connect(std::move(callback));
}

} // namespace kit
