#pragma once

#include <iostream>
#include <sstream>
#include <string>

namespace test {

// While it lives, std::cout and std::cerr write into strings of their own,
// and every flush of either is counted.
class ConsoleCapture {
public:
    ConsoleCapture() : out_(std::cout.rdbuf(&outText)), errors_(std::cerr.rdbuf(&errorText)) {}
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;
    ~ConsoleCapture()
    {
        std::cout.rdbuf(out_);
        std::cerr.rdbuf(errors_);
    }

    // A string buffer that counts its flushes.
    class Text : public std::stringbuf {
    public:
        int flushes = 0;

    protected:
        int sync() override
        {
            ++flushes;
            return std::stringbuf::sync();
        }
    };

    std::string out() const { return outText.str(); }
    std::string errors() const { return errorText.str(); }

    Text outText, errorText;

private:
    std::streambuf* out_;
    std::streambuf* errors_;
};
} // namespace test
