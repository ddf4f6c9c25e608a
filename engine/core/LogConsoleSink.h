#pragma once

#include <spdlog/sinks/base_sink.h>

#include <iosfwd>
#include <mutex>

namespace kit::log {

// The console's side of the log: each line as it is given (pattern "%v"),
// debug and info on the output stream, warnings and errors on the error
// stream, each flushed at once so that a program reading ours through a
// pipe sees it. It writes through the streams, not their file descriptors:
// whoever points std::cout elsewhere gets the log's lines there too.
class LogConsoleSink final : public spdlog::sinks::base_sink<std::mutex> {
public:
    LogConsoleSink(std::ostream& out, std::ostream& errors);

private:
    void sink_it_(const spdlog::details::log_msg& message) override;
    void flush_() override;

    std::ostream& out_;
    std::ostream& errors_;
};

} // namespace kit::log
