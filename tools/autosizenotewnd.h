// A note window that keeps its place and grows to fit its text.
#pragma once

#include "grid/notewnd.h"

class CAutoSizeNoteWnd : public CNoteWnd {
 public:
  using CNoteWnd::CNoteWnd;
  // Measures the text (one blank added) with word breaks from the window's
  // rectangle in its parent and moves the window there, 12 pixels wider and higher.
  void FitToText() override;
};
