#include "KeyNames.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <vector>

namespace kit::keys {
namespace {

struct Named {
    int key;
    const char* name;
};

// Every key with a name but the letters, digits and function keys, which
// are made below.
constexpr Named namedKeys[] = {
    {32, "SPACE"},         {39, "APOSTROPHE"},    {44, "COMMA"},         {45, "MINUS"},
    {46, "PERIOD"},        {47, "SLASH"},         {59, "SEMICOLON"},     {61, "EQUAL"},
    {91, "LEFT_BRACKET"},  {92, "BACKSLASH"},     {93, "RIGHT_BRACKET"}, {96, "GRAVE_ACCENT"},
    {161, "WORLD_1"},      {162, "WORLD_2"},      {256, "ESCAPE"},       {257, "ENTER"},
    {258, "TAB"},          {259, "BACKSPACE"},    {260, "INSERT"},       {261, "DELETE"},
    {262, "RIGHT"},        {263, "LEFT"},         {264, "DOWN"},         {265, "UP"},
    {266, "PAGE_UP"},      {267, "PAGE_DOWN"},    {268, "HOME"},         {269, "END"},
    {280, "CAPS_LOCK"},    {281, "SCROLL_LOCK"},  {282, "NUM_LOCK"},     {283, "PRINT_SCREEN"},
    {284, "PAUSE"},        {330, "KP_DECIMAL"},   {331, "KP_DIVIDE"},    {332, "KP_MULTIPLY"},
    {333, "KP_SUBTRACT"},  {334, "KP_ADD"},       {335, "KP_ENTER"},     {336, "KP_EQUAL"},
    {340, "LEFT_SHIFT"},   {341, "LEFT_CONTROL"}, {342, "LEFT_ALT"},     {343, "LEFT_SUPER"},
    {344, "RIGHT_SHIFT"},  {345, "RIGHT_CONTROL"}, {346, "RIGHT_ALT"},   {347, "RIGHT_SUPER"},
    {348, "MENU"},
};

struct Tables {
    std::map<int, std::string> names;
    std::map<std::string, int> codes;

    Tables()
    {
        const auto add = [this](int key, const std::string& name) {
            names[key] = name;
            codes[name] = key;
        };
        for (const Named& n : namedKeys)
            add(n.key, n.name);
        for (int c = '0'; c <= '9'; ++c)
            add(c, std::string(1, static_cast<char>(c)));
        for (int c = 'A'; c <= 'Z'; ++c)
            add(c, std::string(1, static_cast<char>(c)));
        for (int f = 1; f <= 25; ++f)
            add(289 + f, "F" + std::to_string(f));
        for (int k = 0; k <= 9; ++k)
            add(320 + k, "KP_" + std::to_string(k));
    }
};

const Tables& tables()
{
    static const Tables t;
    return t;
}

} // namespace

std::string name(int key)
{
    const auto found = tables().names.find(key);
    return found == tables().names.end() ? std::string() : found->second;
}

int fromName(const std::string& text)
{
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    const auto found = tables().codes.find(upper);
    return found == tables().codes.end() ? -1 : found->second;
}

} // namespace kit::keys
