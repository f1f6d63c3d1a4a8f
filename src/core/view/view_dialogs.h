#pragma once
// Checks of the view's dialogs: the fields as typed in, the values or the message.
#include <array>
#include <optional>
#include <string>
#include <variant>

namespace litho {

struct ViewAngles {
  float x = 0;
  float z = 0;
  float step = 5;
  double zoom = 30;
};

// "Change View Angles": X, Z, "angle increment " (0.5..45), "zoom angle" (0..180).
std::variant<ViewAngles, std::string> checkViewAngles(const std::string& x, const std::string& z,
                                                      const std::string& step, const std::string& zoom);

// The "quick rotate" buttons in dialog order: top, bot, N, S, E, W.
inline constexpr std::array<const char*, 6> kQuickRotateLabels{"top", "bot", "N", "S", "E", "W"};
// X and Z angles of quick-rotate button b.
std::array<float, 2> quickRotateAngles(int button);

// "Scale View": three non-zero factors.
std::variant<std::array<double, 3>, std::string> checkScaleView(const std::string& x, const std::string& y,
                                                                const std::string& z);

}  // namespace litho
