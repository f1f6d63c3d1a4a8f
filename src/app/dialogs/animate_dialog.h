#pragma once
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>

#include "core/output/movie_session.h"

namespace litho {

// "Animate": the movie's file, method, frame rate and the frames of a transition.
class AnimateDialog : public QDialog {
  Q_OBJECT
 public:
  AnimateDialog(Platform& platform, const AnimateSetup& setup, QWidget* parent = nullptr);
  AnimateChoice values() const { return values_; }
  void accept() override;

  QLineEdit* outputFilename;
  QRadioButton* method1;
  QRadioButton* method2;
  QLineEdit* framesPerSecond;
  QLineEdit* frames;

 private:
  Platform& platform_;
  AnimateMode mode_;
  AnimateChoice values_;
};

}  // namespace litho
