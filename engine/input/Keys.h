#pragma once

// Key codes as the window reports them (GLFW's key codes), for code that must
// not see GLFW itself. Letters and main-row digits are their ASCII codes.
namespace kit::keys {

constexpr int space = 32;
constexpr int period = 46;
constexpr int digit0 = 48;
constexpr int digit1 = 49;
constexpr int digit2 = 50;
constexpr int digit3 = 51;
constexpr int digit4 = 52;
constexpr int digit9 = 57;
constexpr int a = 65;
constexpr int c = 67;
constexpr int d = 68;
constexpr int f = 70;
constexpr int k = 75;
constexpr int l = 76;
constexpr int s = 83;
constexpr int v = 86;
constexpr int w = 87;
constexpr int x = 88;
constexpr int z = 90;
constexpr int escape = 256;
constexpr int enter = 257;
constexpr int tab = 258;
constexpr int backspace = 259;
constexpr int right = 262;
constexpr int left = 263;
constexpr int down = 264;
constexpr int up = 265;
constexpr int f5 = 294;
constexpr int f6 = 295;
constexpr int f7 = 296;
constexpr int f8 = 297;
constexpr int f9 = 298;
constexpr int f11 = 300;
constexpr int keypadEnter = 335;
constexpr int leftShift = 340;
constexpr int leftControl = 341;
constexpr int leftAlt = 342;
constexpr int rightShift = 344;
constexpr int rightControl = 345;
constexpr int rightAlt = 346;

} // namespace kit::keys
