// Pi, defined once for the programme, its tools and its tests.
#pragma once

constexpr double PI = 3.141592653589793;
constexpr double TWO_PI = 2 * PI;
// The same in single precision, for code that computes in float.
constexpr float PI_F = static_cast<float>(PI);
constexpr float TWO_PI_F = static_cast<float>(TWO_PI);
