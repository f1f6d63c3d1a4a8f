#pragma once
// Key-frame transitions of a movie: the view's key values, the frames
// between two key frames, and showing one of them.
#include "core/view/view_state.h"

namespace litho {

class ViewController;

KeyFrame keyFrameOf(const ViewController& view);

struct TransitionStep {
  KeyFrame frame;
  bool cutsOrRange = false;  // the cuts and the value range move (a rebuild per frame)
  bool model = false;        // the model shown moves
  bool blend = false;        // the second model's weight moves
};

// Frame i (0 .. n - 1, n >= 2) of the way from k to c: frame 0 shows k and frame n - 1 shows c.
// Counts are rounded to the nearest integer, halves away from zero.
TransitionStep transitionStep(const KeyFrame& k, const KeyFrame& c, int i, int n);

// Puts the step into the view and asks for the redraw or rebuild it needs.
void showTransitionStep(ViewController& view, const TransitionStep& step);

}  // namespace litho
