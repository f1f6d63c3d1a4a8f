#pragma once
#include <functional>
#include <optional>
#include <string>

#include "core/faces/cell_faces.h"
#include "core/scene/colour_state.h"
#include "core/scene/vector_scene.h"
#include "core/view/view_state.h"

namespace litho {

class Document;
enum class ViewRefresh;
class Platform;

// The view's state and every command that changes it, without Qt or GL.
// Commands ask for a redraw or a rebuild (state.frame); the window is then repainted.
class ViewController {
 public:
  ViewController(Document& doc, Platform& platform);

  ViewState state;
  ColourState colours;
  // Every document refresh but a reload clears its loaded flag.
  CellFacesOverlay cellFaces;

  // Status bar pane 0 and the "Cond / Res" / "Log10" buttons.
  std::function<void(const std::string&)> onStatus;
  std::function<void(bool)> onLogButtons;

  Document& doc() { return doc_; }
  const Document& doc() const { return doc_; }

  // --- camera ------------------------------------------------------------
  // False for a zero-sized window: nothing changes.
  bool resize(int width, int height);
  void applyProjection(double aspect = -1);
  void applyModelView();
  void resetViewExtents();

  void rotateX(int direction);  // Up (-1), Down (+1)
  void rotateZ(int direction);  // Left (-1), Right (+1)
  bool canZoomIn() const;
  bool canZoomOut() const;
  void zoomIn();
  void zoomOut();
  void panHorizontal(int direction);  // Ctrl+Left (-1), Ctrl+Right (+1)
  void panVertical(int direction);    // Ctrl+Down (-1), Ctrl+Up (+1)
  void setPerspective(bool on);
  void reset();                       // Esc

  // --- display toggles -----------------------------------------------------
  void toggleLabels();
  void toggleColourbar();
  void toggleCompass();
  void toggleFloor();
  void toggleBoundary();
  void toggleMesh();
  void changeLabelScale(int delta);  // Alt+3 / Alt+4
  bool canDecreaseFont() const;
  bool canIncreaseFont() const;
  void changeFontSize(int delta);  // Alt+1 / Alt+2
  void setFont(const FontSpec& font);  // font "choose ..." on OK
  void setBackground(unsigned char r, unsigned char g, unsigned char b);  // "Background ..." on OK
  void setLights(const std::array<bool, 5>& switches);                    // "Lights ..." on OK
  void setViewAngles(float x, float z, float step, double zoom);          // "Rotation angles ..." on OK
  void setAxisScale(const std::array<double, 3>& scale);                  // "Scale View" on OK
  // The axis scale with the camera fitted to the scaled box and the normals
  // renormalised, the cuts kept (a view file's scale, and the first half of "Scale View").
  void applyAxisScale(const std::array<double, 3>& scale);

  // --- cut planes ----------------------------------------------------------
  void selectCutPlane(int plane);  // W E S N T B
  int cutStep(bool forward);
  void cutForward();   // Shift+Up
  void cutBackward();  // Shift+Down

  // --- models and colours --------------------------------------------------
  void nextModel();      // Shift+Right
  void previousModel();  // Shift+Left
  void blend(int direction);  // Alt+Left (-1), Alt+Right (+1)
  void setBlendWeight(float weight);
  void flipColours();
  void chooseColourmap(int kind, bool reversed);
  void resetScale();
  void toggleConductivityView();
  void toggleLinearLabels();

  // After the document changed.
  void refresh(ViewRefresh hint);
  // Re-chooses the active scale and shows what follows (the log buttons, the blend status).
  void selectActiveScale();

  // Questions the next rebuild depends on, asked before it is drawn (the one-time
  // cones question); the answers are kept in the state for the build.
  void askBeforeRebuild();
  const ConesQuestion& conesQuestion() const { return conesQuestion_; }

 private:
  void apply(const ColourUpdate& u);
  void show(const ScaleDisplay& d);
  void status(const std::string& text);
  void stepModel(int delta);
  bool slabsDiffer(int axis, int a, int b) const;
  void fitCamera();

  Document& doc_;
  Platform& platform_;
  ConesQuestion conesQuestion_;
};

}  // namespace litho
