#pragma once

namespace kit {
class World;
}

namespace skyscuffle {

// What each page of the credits shows: a title naming the work, two lines
// about it and the models it made, turned for display (page 5: the thanks for
// the mascot's concept and its sheet). Pages outside 0 to 5 show nothing.
void showCreditsPage(kit::World* world, int page);

} // namespace skyscuffle
