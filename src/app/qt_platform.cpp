#include "app/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QColorDialog>
#include <QFontDialog>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>

#include "app/dialogs/background_dialog.h"
#include "app/dialogs/banner_dialog.h"
#include "app/dialogs/load_model_dialog.h"
#include "app/dialogs/progress_window.h"
#include "app/dialogs/program_wait_dialog.h"
#include "app/key_state.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

namespace litho {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
const char* kAppTitle = "Lithoscan3D";

// While the user reads a message or answers a question, a long operation's wait
// cursor gives way to the arrow and the "Loading ..." window stands aside; the
// cursor comes back when the window closes, the progress window at its next report.
class UsersTurn {
 public:
  explicit UsersTurn(QWidget* progress) {
    if (QApplication::overrideCursor()) {
      QApplication::setOverrideCursor(Qt::ArrowCursor);
      arrowPushed_ = true;
    }
    if (progress) progress->hide();
  }
  ~UsersTurn() {
    if (arrowPushed_) QApplication::restoreOverrideCursor();
  }
  UsersTurn(const UsersTurn&) = delete;
  UsersTurn& operator=(const UsersTurn&) = delete;

 private:
  bool arrowPushed_ = false;
};
}  // namespace

std::string qtFilter(const std::string& filter) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : filter) {
    if (c == '|') {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  std::string out;
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    if (parts[i].empty()) break;
    std::string pattern = i + 1 < parts.size() && !parts[i + 1].empty() ? parts[i + 1] : "*";
    for (auto& c : pattern)
      if (c == ';') c = ' ';
    if (!out.empty()) out += ";;";
    // Qt reads the patterns from the last parentheses: a description that shows them already keeps its text.
    const std::string shown = "(" + pattern + ")";
    const std::string& text = parts[i];
    const bool hasPattern =
        text.size() >= shown.size() && text.compare(text.size() - shown.size(), shown.size(), shown) == 0;
    out += hasPattern ? text : text + " " + shown;
  }
  return out;
}

QtPlatform::QtPlatform() = default;
QtPlatform::~QtPlatform() = default;

void QtPlatform::message(const std::string& text, MessageKind kind, const std::string& title) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (kind) {
    case MessageKind::Error: icon = QMessageBox::Critical; break;
    case MessageKind::Warning: icon = QMessageBox::Warning; break;
    case MessageKind::Info: icon = QMessageBox::Information; break;
    case MessageKind::Plain: icon = QMessageBox::NoIcon; break;
  }
  UsersTurn turn(progress_.get());
  QMessageBox box(icon, title.empty() ? kAppTitle : q(title), q(text), QMessageBox::Ok, parent_);
  box.exec();
}

bool QtPlatform::askYesNo(const std::string& text, const std::string& title) {
  UsersTurn turn(progress_.get());
  QMessageBox box(QMessageBox::Question, title.empty() ? kAppTitle : q(title), q(text),
                  QMessageBox::Yes | QMessageBox::No, parent_);
  return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtPlatform::openFileName(const FileDialogRequest& request) {
  UsersTurn turn(progress_.get());
  const QString f = QFileDialog::getOpenFileName(parent_, q(request.title), q(request.startFolder), q(qtFilter(request.filter)));
  if (f.isEmpty()) return std::nullopt;
  return f.toStdString();
}

std::optional<std::string> QtPlatform::saveFileName(const FileDialogRequest& request) {
  UsersTurn turn(progress_.get());
  QString start = q(request.startFolder);
  if (!request.defaultName.empty()) start = start.isEmpty() ? q(request.defaultName) : start + "/" + q(request.defaultName);
  const QString f = QFileDialog::getSaveFileName(
      parent_, q(request.title), start, q(qtFilter(request.filter)), nullptr,
      request.promptOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite);
  if (f.isEmpty()) return std::nullopt;
  return f.toStdString();
}

void QtPlatform::setWaitCursor(bool on) {
  if (on)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

std::string QtPlatform::clipboardText() { return QGuiApplication::clipboard()->text().toStdString(); }

void QtPlatform::setClipboardText(const std::string& text) { QGuiApplication::clipboard()->setText(q(text)); }

void QtPlatform::setClipboardImage(const ClipboardImage& image) {
  if (image.width <= 0 || image.height <= 0) return;
  const QImage view(image.rgba.data(), image.width, image.height, image.width * 4, QImage::Format_RGBA8888);
  QGuiApplication::clipboard()->setImage(view.convertToFormat(QImage::Format_RGB32));
}

bool QtPlatform::startProgram(const std::string& program, const std::vector<std::string>& args,
                              const std::string& folder, bool wait) {
  QStringList a;
  for (const auto& s : args) a << q(s);
  if (!wait) return QProcess::startDetached(q(program), a, q(folder));
  QProcess p;
  if (!folder.empty()) p.setWorkingDirectory(q(folder));
  p.start(q(program), a);
  if (!p.waitForStarted()) return false;
  p.waitForFinished(-1);
  return true;
}

bool QtPlatform::startProgramAsync(const std::string& program, const std::vector<std::string>& args,
                                   const std::string& folder, std::function<void(int status)> finished) {
  QStringList a;
  for (const auto& s : args) a << q(s);
  auto* p = new QProcess();
  if (!folder.empty()) p->setWorkingDirectory(q(folder));
  QObject::connect(p, &QProcess::finished, p, [p, finished](int code, QProcess::ExitStatus how) {
    p->deleteLater();
    if (finished) finished(how == QProcess::NormalExit ? code : -1);
  });
  p->start(q(program), a);
  if (!p->waitForStarted()) {
    delete p;
    return false;
  }
  return true;
}

bool QtPlatform::startProgramWatched(const std::string& program, const std::vector<std::string>& args,
                                     const std::string& folder, const std::string& title,
                                     std::function<void(int status)> finished) {
  QStringList a;
  for (const auto& s : args) a << q(s);
  QProcess p;
  if (!folder.empty()) p.setWorkingDirectory(q(folder));
  // Its own process group, so that "Stop" ends whatever it started, at a lower priority.
  p.setChildProcessModifier([] {
    ::setpgid(0, 0);
    ::setpriority(PRIO_PROCESS, 0, 10);
  });
  p.start(q(program), a);
  if (!p.waitForStarted()) return false;
  int status = -1;
  {
    UsersTurn turn(progress_.get());
    ProgramWaitDialog dialog(q(title), &p, parent_);
    status = dialog.exec();
  }
  if (p.state() != QProcess::NotRunning) p.waitForFinished(-1);
  if (finished) finished(status);
  return true;
}

bool QtPlatform::openWithShell(const std::string& target) {
  const QString t = q(target);
  const QUrl url = t.contains("://") ? QUrl(t) : QUrl::fromLocalFile(t);
  return QDesktopServices::openUrl(url);
}

std::string QtPlatform::currentFolder() { return QDir::currentPath().toStdString(); }

bool QtPlatform::setCurrentFolder(const std::string& folder) { return QDir::setCurrent(q(folder)); }

bool QtPlatform::keyDown(Key key) {
  const auto mods = QGuiApplication::queryKeyboardModifiers();
  switch (key) {
    case Key::Shift: return mods & Qt::ShiftModifier;
    case Key::Control: return mods & Qt::ControlModifier;
    case Key::Alt: return mods & Qt::AltModifier;
    case Key::Space: return spaceBarDownNow().value_or(spaceDown);
  }
  return false;
}

std::optional<std::array<unsigned char, 3>> QtPlatform::chooseColour(const std::array<unsigned char, 3>& initial) {
  UsersTurn turn(progress_.get());
  const QColor c = QColorDialog::getColor(QColor(initial[0], initial[1], initial[2]), parent_);
  if (!c.isValid()) return std::nullopt;
  return std::array<unsigned char, 3>{static_cast<unsigned char>(c.red()), static_cast<unsigned char>(c.green()),
                                      static_cast<unsigned char>(c.blue())};
}

QFont toQFont(const FontSpec& f) {
  QFont font;
  if (f.faceName.empty())
    font.setStyleHint(QFont::SansSerif);
  else
    font.setFamily(QString::fromStdString(f.faceName));
  font.setPixelSize(std::max(1, f.height < 0 ? -f.height : f.height));
  if (f.weight > 0) font.setWeight(QFont::Weight(std::clamp(f.weight, 1, 1000)));
  font.setItalic(f.italic);
  font.setUnderline(f.underline);
  font.setStrikeOut(f.strikeOut);
  return font;
}

FontSpec fromQFont(const QFont& font) {
  FontSpec f;
  const int px = font.pixelSize() > 0 ? font.pixelSize() : static_cast<int>(font.pointSizeF() * 96 / 72 + 0.5);
  f.height = -std::max(1, px);
  f.weight = font.weight();
  f.italic = font.italic();
  f.underline = font.underline();
  f.strikeOut = font.strikeOut();
  f.faceName = font.family().toStdString();
  return f;
}

std::optional<FontSpec> QtPlatform::chooseFont(const FontSpec& initial) {
  UsersTurn turn(progress_.get());
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, toQFont(initial), parent_);
  if (!ok) return std::nullopt;
  return fromQFont(font);
}

bool QtPlatform::runBanner(bool hardwareOpenGL) {
  UsersTurn turn(progress_.get());
  BannerDialog dlg(hardwareOpenGL, parent_);
  dlg.exec();
  return dlg.hardwareOpenGL();
}

bool QtPlatform::runLoadModelDialog(LoadDialogValues& values) {
  UsersTurn turn(progress_.get());
  LoadModelDialog dlg(*this, parent_);
  dlg.load(values);
  if (dlg.exec() != QDialog::Accepted) return false;
  values = dlg.values();
  return true;
}

std::optional<BackgroundChoice> QtPlatform::runBackgroundDialog(const RectMesh& mesh, float initialValue) {
  UsersTurn turn(progress_.get());
  BackgroundDialog dlg(*this, mesh, initialValue, parent_);
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  return dlg.result();
}

void QtPlatform::progressBegin(const std::string& title) {
  progress_ = std::make_unique<ProgressWindow>(q(title), parent_);
  progress_->QDialog::show();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtPlatform::progressShow(int percent) {
  if (!progress_) return;
  if (progress_->isHidden()) progress_->QDialog::show();
  progress_->show(percent);
}

void QtPlatform::progressEnd() { progress_.reset(); }

}  // namespace litho
