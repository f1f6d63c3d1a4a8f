#pragma once
// Axis ticks of the data viewer's map: round steps (1, 2 or 5 times a power of
// ten) and labels written out in full, never with an exponent.
#include <string>
#include <vector>

namespace litho::forward {

// Ticks inside [lo, hi], at most about maxTicks of them; none for an empty or non-finite range.
std::vector<double> axisTicks(double lo, double hi, int maxTicks);
// The step those ticks use.
double tickStep(double lo, double hi, int maxTicks);
// A tick value with as many decimals as the step needs ("499600", "0.25").
std::string tickLabel(double value, double step);

}  // namespace litho::forward
