#pragma once
#include <optional>
#include <string>

namespace litho {

// Numbers typed into dialog fields: the whole field must be one number
// (surrounding blanks allowed).
inline constexpr const char* kEnterNumberMessage = "Please enter a number.";
std::optional<float> parseFloatField(const std::string& text);
std::optional<double> parseDoubleField(const std::string& text);
std::optional<int> parseIntField(const std::string& text);
// A float as a dialog shows it ("%g").
std::string formatFloatField(float value);
// The shortest "%g" text (6 to 9 digits) that reads back as the same float,
// for values a dialog stores back unchanged.
std::string formatFloatExact(float value);

}  // namespace litho
