#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kit {

// Replaces the file at `path` with `contents` so that no reader, crash or full
// disk ever finds it half-written: the bytes go to a temporary file beside it,
// are flushed to the disk, and only then is it renamed over the old one. On
// failure the old file is untouched, the temporary file is removed, and the
// reason is returned (empty on success).
std::string writeFileAtomically(const std::filesystem::path& path, std::string_view contents);

} // namespace kit
