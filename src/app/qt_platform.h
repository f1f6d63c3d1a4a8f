#pragma once
#include <QFont>
#include <memory>

#include "core/load/document_ui.h"
#include "core/platform/platform.h"

class QWidget;

namespace litho {

class ProgressWindow;

// The platform and the document's windows on Qt.
class QtPlatform : public Platform, public DocumentUi {
 public:
  QtPlatform();
  ~QtPlatform() override;

  void setParentWindow(QWidget* w) { parent_ = w; }

  void message(const std::string& text, MessageKind kind, const std::string& title = {}) override;
  bool askYesNo(const std::string& text, const std::string& title = {}) override;
  std::optional<std::string> openFileName(const FileDialogRequest& request) override;
  std::optional<std::string> saveFileName(const FileDialogRequest& request) override;
  void setWaitCursor(bool on) override;
  std::string clipboardText() override;
  void setClipboardText(const std::string& text) override;
  void setClipboardImage(const ClipboardImage& image) override;
  bool startProgram(const std::string& program, const std::vector<std::string>& args, const std::string& folder,
                    bool wait) override;
  bool startProgramAsync(const std::string& program, const std::vector<std::string>& args, const std::string& folder,
                         std::function<void(int status)> finished) override;
  bool startProgramWatched(const std::string& program, const std::vector<std::string>& args,
                           const std::string& folder, const std::string& title,
                           std::function<void(int status)> finished) override;
  bool openWithShell(const std::string& target) override;
  std::string currentFolder() override;
  bool setCurrentFolder(const std::string& folder) override;
  bool keyDown(Key key) override;
  std::optional<std::array<unsigned char, 3>> chooseColour(const std::array<unsigned char, 3>& initial) override;
  std::optional<FontSpec> chooseFont(const FontSpec& initial) override;

  bool runBanner(bool hardwareOpenGL) override;
  bool runLoadModelDialog(LoadDialogValues& values) override;
  std::optional<BackgroundChoice> runBackgroundDialog(const RectMesh& mesh, float initialValue) override;
  void progressBegin(const std::string& title) override;
  void progressShow(int percent) override;
  void progressEnd() override;

  // The space bar as the view's key events left it: the answer only where the
  // window system cannot be asked about the key itself.
  bool spaceDown = false;

 private:
  QWidget* parent_ = nullptr;
  std::unique_ptr<ProgressWindow> progress_;
};

QFont toQFont(const FontSpec& f);
FontSpec fromQFont(const QFont& font);

// "Mesh||" style filters to Qt's "Mesh (*)".
std::string qtFilter(const std::string& filter);

}  // namespace litho
