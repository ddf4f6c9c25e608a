#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kit {

// Replaces the file at `path` with `contents` so that no reader, crash or full
// disk ever finds it half-written: the bytes go to a temporary file beside it
// (of this write's own: no other process or write uses its name), are
// flushed to the disk, and only then is it renamed over the old one. On
// failure the old file is untouched, the temporary file is removed, and the
// reason is returned (empty on success).
//
// With `replace` false a file already at `path` is kept and the write fails
// (the reason strerror(EEXIST)): the name is taken as the file is written,
// so that of two processes writing one new name at once only one gets it.
std::string writeFileAtomically(const std::filesystem::path& path, std::string_view contents, bool replace = true);

} // namespace kit
