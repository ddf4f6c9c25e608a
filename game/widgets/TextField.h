#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/EntityHandle.h"
#include "engine/core/Signal.h"
#include "engine/input/Joystick.h"
#include "engine/input/Keyboard.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace skyscuffle {

// A line to type in, drawn on a panel over a menu. Opened, it takes what the
// keyboard types (printable ASCII and blanks; Control+V pastes the
// clipboard's first line, Backspace takes the last character away); Enter
// submits the text; Escape, or a joystick's B or Back, closes it. While it is
// open (and in the frame it closes in) the keys are its own: every menu of
// its world is locked, and what the panel covers is hidden.
class TextField : public kit::Behavior {
public:
    // How much it holds and shows: the longest text, the characters of the
    // typed line that fit on the panel (a longer text shows its end, where
    // the typing is), and of the message (a longer one is cut short). With
    // more than one message line, the message is broken at its blanks (a
    // word too long for a line, at the line's end) into lines of
    // `shownMessage` characters at most, and the last line it has room for
    // is cut short.
    struct Limits {
        std::size_t maxLength = 100;
        std::size_t shownCharacters = 34;
        std::size_t shownMessage = 54;
        std::size_t messageLines = 1;
    };

    // `panel` holds the entities of the panel and its lines (shown only while
    // open), among them `typedLine` and `messageLine`, entities with a Text.
    // `behind` holds what the panel covers (hidden while open, with the
    // entities parented to them).
    TextField(std::vector<kit::EntityHandle> panel, kit::EntityHandle typedLine, kit::EntityHandle messageLine,
              std::vector<kit::EntityHandle> behind, Limits limits);

    // Listens to the keyboard and the joysticks from here on.
    void initialize() override;
    void update(float dt) override;

    // Empty, with no message, over the menu. `swallow` is a character that
    // the key which opens the field is about to type (it is no part of the text).
    void open(unsigned int swallow = 0);
    void close();
    [[nodiscard]] bool isOpen() const { return open_; }
    // Whether keys pressed now are the field's: while it is open, and for the
    // rest of the frame in which it closed (the Escape that closed it is not
    // the menu's Escape).
    [[nodiscard]] bool holdsKeys() const { return open_ || closedThisFrame_; }

    // Appends the printable ASCII characters and blanks as far as they fit.
    void type(std::string_view characters);
    void erase();
    void paste();
    // What Enter does: runs `onSubmit` with the text.
    virtual void submit();
    // Shows a message under the text in the player's language, its "{1}"...
    // filled with `arguments`, and logs it in English. The pattern is
    // marked for the catalogs where it is written (kit::trLater).
    void say(const char* pattern, std::initializer_list<std::string_view> arguments = {});

    // What the typed line shows of a text, and the message line of a message.
    static std::string shownText(const std::string& text, const Limits& limits);
    static std::string shownMessage(const std::string& message, const Limits& limits);

    [[nodiscard]] const std::string& text() const { return text_; }
    [[nodiscard]] const std::string& message() const { return message_; }

    void onKey(const kit::Keyboard::KeyInfo& key);
    void onCharacter(unsigned int codePoint);
    void onButton(const kit::Joystick::ButtonInfo& button);

    std::function<void(const std::string&)> onSubmit;

protected:
    // What a field that does more keeps in step with opening and closing.
    virtual void opened() {}
    virtual void closed() {}

private:
    void show(bool visible);
    void lockMenus(bool locked);
    void redraw();

    std::vector<kit::EntityHandle> panel_;
    std::vector<kit::EntityHandle> behind_;
    kit::EntityHandle typedLine_;
    kit::EntityHandle messageLine_;
    Limits limits_;
    std::string text_;
    std::string message_;
    bool open_ = false;
    bool closedThisFrame_ = false;
    unsigned int swallow_ = 0; // a character to drop once, until the next update
    std::vector<kit::ScopedConnection> connections_;
};

// `words` on as few lines as fit from `left` (where a line starts) to
// `right` at the glyph size `size`: one line where it fits at nine tenths of
// that size or more (it shrinks that little), else broken at its blanks.
std::vector<std::string> linesWithin(const std::string& words, float left, float right, float size);

} // namespace skyscuffle
