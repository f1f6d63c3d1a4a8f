#pragma once

namespace litho {

// Nearest integer, halves away from zero.
int roundToInt(double x);
int roundToInt(float x);
// x rounded to n decimal places (n may be negative), halves away from zero.
double roundDecimals(double x, int n);

}  // namespace litho
