#include "ReplayTally.h"

#include "ReplayLimits.h"

namespace kit {

ReplayTally::Verdict ReplayTally::admit(std::uint32_t milliseconds, std::size_t bytes)
{
    using namespace replayFile;
    if (bytes == 0 || bytes > maxRecordBytes)
        return Verdict::badSize;
    if (records_ >= maxRecords || bytes_ + bytes + recordOverhead > maxBodyBytes)
        return Verdict::full;
    const std::uint32_t second = milliseconds / 1000;
    const std::size_t inSecond = second == second_ ? inSecond_ : 0;
    if (inSecond >= maxRecordsPerSecond)
        return Verdict::busySecond;
    second_ = second;
    inSecond_ = inSecond + 1;
    ++records_;
    bytes_ += bytes + recordOverhead;
    return Verdict::fits;
}

} // namespace kit
