#pragma once
#include <string>

namespace litho {

// value with exactly `decimals` digits after the point (0 to 9), never in
// exponent form; whole numbers round halves away from zero; a result that
// rounds to zero has no sign.
std::string fixedText(double value, int decimals);

// Digits after the point that resolve a step of `resolution` model units: 0 for
// whole units (UTM metres), 1 for 12.5, 2 for 0.25, at most 6 (a third of a unit).
int decimalsToResolve(double resolution);

// A map coordinate or a length as people read them: to the resolution of the
// mesh (its smallest cell width along that axis), trailing zeros dropped, so
// 6999600 stays "6999600" where %g would print "6.9996e+06".
std::string coordinateText(double value, double resolution);

}  // namespace litho
