// The six player colours as players see them whose eyes lack one kind of
// cone: every two stay apart. The deficiencies are simulated with the
// matrices of Machado, Oliveira and Fernandes, "A Physiologically-based Model
// for Simulation of Color Vision Deficiency" (IEEE TVCG 15(6), 2009), at
// severity 1.0 and on linear RGB; two colours' distance is CIEDE2000 in
// CIELAB under D65, as Sharma, Wu and Dalal give it in "The CIEDE2000
// Color-Difference Formula: Implementation Notes, Supplementary Test Data,
// and Mathematical Observations" (Color Research & Application 30(1), 2005).
#include "game/players/PlayerColours.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>

using namespace skyscuffle;

namespace {

using Vector = std::array<double, 3>;
using Matrix = std::array<Vector, 3>;

Vector times(const Matrix& m, const Vector& v)
{
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2], m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

struct Vision {
    const char* name;
    Matrix simulation;
};

// Machado et al. (2009), severity 1.0.
const std::array<Vision, 4> visions = {{
    {"normal vision", {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}},
    {"protanopia",
     {{{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}}},
    {"deuteranopia",
     {{{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}}},
    {"tritanopia",
     {{{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}}},
}};

double linear(double srgb)
{
    return srgb <= 0.04045 ? srgb / 12.92 : std::pow((srgb + 0.055) / 1.055, 2.4);
}

// Linear sRGB (clamped to what a screen shows) to CIELAB, white point D65.
Vector lab(const Vector& rgb)
{
    const Matrix toXyz = {
        {{0.4124564, 0.3575761, 0.1804375}, {0.2126729, 0.7151522, 0.0721750}, {0.0193339, 0.1191920, 0.9503041}}};
    const Vector white = {0.95047, 1.0, 1.08883};
    const Vector clamped = {std::clamp(rgb[0], 0.0, 1.0), std::clamp(rgb[1], 0.0, 1.0), std::clamp(rgb[2], 0.0, 1.0)};
    const Vector xyz = times(toXyz, clamped);
    Vector f{};
    for (int i = 0; i < 3; ++i) {
        const double t = xyz[static_cast<std::size_t>(i)] / white[static_cast<std::size_t>(i)];
        constexpr double delta = 6.0 / 29.0;
        f[static_cast<std::size_t>(i)] =
            t > delta * delta * delta ? std::cbrt(t) : t / (3 * delta * delta) + 4.0 / 29.0;
    }
    return {116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])};
}

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

// CIEDE2000 with kL = kC = kH = 1, following Sharma et al.'s steps.
double ciede2000(const Vector& lab1, const Vector& lab2)
{
    const auto [L1, a1, b1] = lab1;
    const auto [L2, a2, b2] = lab2;
    const double pow25to7 = std::pow(25.0, 7);
    const double meanC = (std::hypot(a1, b1) + std::hypot(a2, b2)) / 2;
    const double G = 0.5 * (1 - std::sqrt(std::pow(meanC, 7) / (std::pow(meanC, 7) + pow25to7)));
    const double a1p = (1 + G) * a1, a2p = (1 + G) * a2;
    const double C1p = std::hypot(a1p, b1), C2p = std::hypot(a2p, b2);
    const auto hue = [](double b, double ap) {
        if (b == 0 && ap == 0)
            return 0.0;
        const double h = std::atan2(b, ap) * 180.0 / std::numbers::pi;
        return h < 0 ? h + 360 : h;
    };
    const double h1p = hue(b1, a1p), h2p = hue(b2, a2p);

    const double dL = L2 - L1;
    const double dC = C2p - C1p;
    double dh = 0;
    if (C1p * C2p != 0) {
        dh = h2p - h1p;
        if (dh > 180)
            dh -= 360;
        else if (dh < -180)
            dh += 360;
    }
    const double dH = 2 * std::sqrt(C1p * C2p) * std::sin(radians(dh / 2));

    const double meanL = (L1 + L2) / 2;
    const double meanCp = (C1p + C2p) / 2;
    double meanH = h1p + h2p;
    if (C1p * C2p != 0) {
        if (std::abs(h1p - h2p) <= 180)
            meanH = (h1p + h2p) / 2;
        else if (h1p + h2p < 360)
            meanH = (h1p + h2p + 360) / 2;
        else
            meanH = (h1p + h2p - 360) / 2;
    }
    const double T = 1 - 0.17 * std::cos(radians(meanH - 30)) + 0.24 * std::cos(radians(2 * meanH)) +
                     0.32 * std::cos(radians(3 * meanH + 6)) - 0.20 * std::cos(radians(4 * meanH - 63));
    const double dTheta = 30 * std::exp(-std::pow((meanH - 275) / 25, 2));
    const double RC = 2 * std::sqrt(std::pow(meanCp, 7) / (std::pow(meanCp, 7) + pow25to7));
    const double SL = 1 + 0.015 * std::pow(meanL - 50, 2) / std::sqrt(20 + std::pow(meanL - 50, 2));
    const double SC = 1 + 0.045 * meanCp;
    const double SH = 1 + 0.015 * meanCp * T;
    const double RT = -std::sin(radians(2 * dTheta)) * RC;
    return std::sqrt(std::pow(dL / SL, 2) + std::pow(dC / SC, 2) + std::pow(dH / SH, 2) + RT * (dC / SC) * (dH / SH));
}

// A player's colour as one kind of vision sees it, in CIELAB.
Vector seen(const glm::vec3& colour, const Vision& vision)
{
    const Vector rgb = {linear(colour.r), linear(colour.g), linear(colour.b)};
    return lab(times(vision.simulation, rgb));
}

} // namespace

TEST(ColourDistance, Ciede2000GivesThePublishedDistancesOfTheTestPairs)
{
    // Pairs 1, 7, 9, 11, 15, 16, 17, 19, 25, 30, 32 and 34 of Sharma et al.'s
    // table 1: the hue's wrap, its mean across 0 degrees, grey, large and
    // small differences.
    struct Pair {
        Vector first, second;
        double distance;
    };
    const Pair pairs[] = {
        {{50.0, 2.6772, -79.7751}, {50.0, 0.0, -82.7485}, 2.0425},
        {{50.0, 0.0, 0.0}, {50.0, -1.0, 2.0}, 2.3669},
        {{50.0, 2.4900, -0.0010}, {50.0, -2.4900, 0.0009}, 7.1792},
        {{50.0, 2.4900, -0.0010}, {50.0, -2.4900, 0.0011}, 7.2195},
        {{50.0, -0.0010, 2.4900}, {50.0, 0.0011, -2.4900}, 4.7461},
        {{50.0, 2.5000, 0.0000}, {50.0, 0.0000, -2.5000}, 4.3065},
        {{50.0, 2.5000, 0.0000}, {73.0, 25.0000, -18.0000}, 27.1492},
        {{50.0, 2.5000, 0.0000}, {56.0, -27.0000, -3.0000}, 31.9030},
        {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
        {{36.4612, 47.8580, 18.3852}, {36.2715, 50.5065, 21.2231}, 1.4146},
        {{90.9257, -0.5406, -0.9208}, {88.6381, -0.8985, -0.7239}, 1.5381},
        {{2.0776, 0.0795, -1.1350}, {0.9033, -0.0636, -0.5514}, 0.9082},
    };
    for (const Pair& p : pairs) {
        EXPECT_NEAR(ciede2000(p.first, p.second), p.distance, 1e-4) << p.first[0] << " " << p.first[1];
        EXPECT_NEAR(ciede2000(p.second, p.first), p.distance, 1e-4) << "the other way round";
    }
}

TEST(ColourDistance, TheSimulationsKeepWhiteAndLoseWhatTheirConesSee)
{
    for (const Vision& vision : visions) {
        for (const Vector& row : vision.simulation)
            EXPECT_NEAR(row[0] + row[1] + row[2], 1.0, 1e-5) << vision.name << ": white stays white";
    }
    // Red and green, far apart to most eyes, close to the eyes that lack
    // long or middle cones; blue and green the same for the short ones.
    const auto apart = [](glm::vec3 a, glm::vec3 b, const Vision& vision) {
        return ciede2000(seen(a, vision), seen(b, vision));
    };
    const glm::vec3 red(0.8f, 0.3f, 0.1f), green(0.45f, 0.5f, 0.1f), blue(0.1f, 0.55f, 0.6f), teal(0.1f, 0.6f, 0.35f);
    EXPECT_GT(apart(red, green, visions[0]), 25.0);
    EXPECT_LT(apart(red, green, visions[1]), 10.0);
    EXPECT_LT(apart(red, green, visions[2]), 10.0);
    EXPECT_GT(apart(blue, teal, visions[0]), 15.0);
    EXPECT_LT(apart(blue, teal, visions[3]), 10.0);
}

TEST(PlayerPalette, EveryTwoPlayerColoursStayFifteenApartInEveryKindOfVision)
{
    const auto& rows = playerColours();
    for (const Vision& vision : visions) {
        double closest = 1e9;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            for (std::size_t j = i + 1; j < rows.size(); ++j) {
                const double distance = ciede2000(seen(rows[i].colour, vision), seen(rows[j].colour, vision));
                EXPECT_GE(distance, 15.0) << vision.name << ": " << rows[i].colourName << " and " << rows[j].colourName;
                closest = std::min(closest, distance);
            }
        }
        std::fprintf(stderr, "%s: the closest two colours %.1f apart\n", vision.name, closest);
    }
}

TEST(PlayerPalette, EveryLiveryIsPaintedInItsRowsColour)
{
    // The texture's unused corner (u from 0.5 to 1, v below 0.25) is the
    // livery's base colour, as tools/art/plane_paint.py paints it.
    const std::filesystem::path assets = std::filesystem::path(SKYSCUFFLE_SOURCE_DIR) / "assets";
    for (const PlayerTextureInfo& row : playerColours()) {
        std::vector<unsigned char> pixels;
        unsigned w = 0, h = 0;
        ASSERT_EQ(lodepng::decode(pixels, w, h, (assets / row.modelTexture).string()), 0u) << row.modelTexture;
        const std::size_t at = (static_cast<std::size_t>(h * 7 / 8) * w + w * 3 / 4) * 4;
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(pixels[at + static_cast<std::size_t>(c)] / 255.0, row.colour[c], 1.01 / 255.0)
                << row.colourName << ", channel " << c;
    }
}
