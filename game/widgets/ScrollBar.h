#pragma once

namespace kit {
class Sprite;
class World;
} // namespace kit

namespace skyscuffle {

namespace widgets {

// Where the view of a list longer than its room stands, and the bar at its
// edge that tells it: a track as tall as the lines in view, and a thumb on it
// as long as their share of the list, as far down as the view is.
struct ScrollBar {
    int total = 0; // the list's lines
    int shown = 0; // how many are in view at once
    int first = 0; // the first in view
    float trackTop = 0.0f, trackBottom = 0.0f;
    kit::Sprite* track = nullptr;
    kit::Sprite* thumb = nullptr;

    // Brings line `selected` into view, moving the view as little as it can;
    // true when it moved.
    bool follow(int selected);
    [[nodiscard]] bool inView(int line) const { return line >= first && line < first + shown; }
    // The thumb's length, and where its centre stands for the view.
    [[nodiscard]] float thumbLength() const;
    [[nodiscard]] float thumbCentre() const;
    // Moves the thumb to the view.
    void placeThumb(kit::World& world) const;
};

// A bar for `shown` of `total` lines at `x`, `width` wide, from `top` down to
// `bottom` (the track under the words' layer, the thumb over it), the view
// at the list's top.
ScrollBar addScrollBar(kit::World* world, float x, float width, float top, float bottom, int total, int shown);

} // namespace widgets

} // namespace skyscuffle
