#include "LogConsoleSink.h"

#include <spdlog/pattern_formatter.h>

#include <ostream>

namespace kit::log {

LogConsoleSink::LogConsoleSink(std::ostream& out, std::ostream& errors)
    : base_sink(std::make_unique<spdlog::pattern_formatter>("%v")), out_(out), errors_(errors)
{
}

void LogConsoleSink::sink_it_(const spdlog::details::log_msg& message)
{
    spdlog::memory_buf_t line;
    formatter_->format(message, line);
    std::ostream& stream = message.level >= spdlog::level::warn ? errors_ : out_;
    stream.write(line.data(), static_cast<std::streamsize>(line.size()));
    stream.flush();
}

void LogConsoleSink::flush_()
{
    out_.flush();
    errors_.flush();
}

} // namespace kit::log
