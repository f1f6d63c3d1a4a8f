#pragma once
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace litho::test {

// Drives each modal window as it opens, while the code under test waits in its
// exec(). The handler registered for the window's class fills or inspects it
// and returns true to press OK (Yes) or false to press Cancel (No); a window
// without a handler gets Cancel.
class ModalDriver {
 public:
  ModalDriver();
  template <class Window, class Handler>
  ModalDriver& on(Handler handle) {
    handlers_.push_back([handle](QWidget* w) -> std::optional<bool> {
      if (auto* window = qobject_cast<Window*>(w)) return handle(*window);
      return std::nullopt;
    });
    return *this;
  }
  // In order of opening, each window's object name; a message box's text.
  std::vector<std::string> seen;

 private:
  void answer(QWidget* w);
  std::vector<std::function<std::optional<bool>(QWidget*)>> handlers_;
  QTimer timer_;
};

}  // namespace litho::test
