#pragma once

#include <charconv>
#include <cstdint>
#include <string_view>

namespace kit {

// Reads the whitespace-separated words and numbers of line-oriented text
// formats (OBJ, MTL) from a text held in memory, without copying. A number
// that does not parse reads as 0 and consumes its word.
class WordScanner {
public:
    explicit WordScanner(std::string_view text) : text_(text) {}

    [[nodiscard]] bool atEnd() const { return at_ >= text_.size(); }

    // The next word of the current line, or "" at its end.
    std::string_view word()
    {
        skipBlanks();
        const std::size_t start = at_;
        while (at_ < text_.size() && !isSpace(text_[at_]))
            ++at_;
        return text_.substr(start, at_ - start);
    }

    float number()
    {
        const std::string_view w = word();
        float value = 0.0f;
        const char* first = w.data();
        if (!w.empty() && *first == '+')
            ++first;
        std::from_chars(first, w.data() + w.size(), value);
        return value;
    }

    // An unsigned index at the current position (no blanks skipped first
    // unless asked); 0 when none is there.
    std::uint32_t index(bool skipLeadingBlanks)
    {
        if (skipLeadingBlanks)
            skipBlanks();
        std::uint32_t value = 0;
        const char* first = text_.data() + at_;
        const char* last = text_.data() + text_.size();
        auto [end, error] = std::from_chars(first, last, value);
        if (error != std::errc())
            value = 0;
        // Skip whatever else the token holds (a sign, digits past the range).
        while (end < last && !isSpace(*end) && *end != '/')
            ++end;
        at_ = static_cast<std::size_t>(end - text_.data());
        return value;
    }

    // Consumes c if it is the next character.
    bool accept(char c)
    {
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    [[nodiscard]] char peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

    // Moves past the end of the current line.
    void nextLine()
    {
        while (at_ < text_.size() && text_[at_] != '\n')
            ++at_;
        if (at_ < text_.size())
            ++at_;
    }

    // Skips blank lines and leading blanks up to the next word.
    void skipSpace()
    {
        while (at_ < text_.size() && isSpace(text_[at_]))
            ++at_;
    }

private:
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
    void skipBlanks()
    {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r'))
            ++at_;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace kit
