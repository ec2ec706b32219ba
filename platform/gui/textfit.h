// Sizes written for the reference dialog font, made to hold our texts.
//
// Dialog templates (in dialog units) and the tables' pixel sizes were chosen
// for an 8-point dialog font whose base units are 6 x 13 pixels. Our fonts
// are wider and Qt's controls keep wider margins, so a dialog is scaled as a
// whole: its base units grow until the widest text of each control fits,
// the controls keep their relative places, and the dialog stays on a
// 1024 x 768 screen. Pixel sizes of tables grow by one factor: the width of
// the standard dialog font's letters over the reference font's.
#pragma once

#include <QFont>
#include <string>
#include <vector>

#include "platform/resourcebundle.h"

namespace fw {

// Base units in 1/64 pixel: 4 horizontal dialog units are cx / 64 pixels,
// 8 vertical ones cy / 64.
struct DialogUnits {
  int cx = 6 * 64;
  int cy = 13 * 64;
  int MapX(int v) const { return v * cx / (4 * 64); }
  int MapY(int v) const { return v * cy / (8 * 64); }
  friend bool operator==(const DialogUnits&, const DialogUnits&) = default;
};

// The larger of each.
DialogUnits Max(const DialogUnits& a, const DialogUnits& b);

// A text a control shows later than its template says (set by the program),
// with the pixels the control's own drawing takes beside it (an icon); an
// empty text stands for the template's own.
struct LaterText {
  int id = 0;
  std::string text;
  int extraWidth = 0;
  bool bold = false;
};

// The base units of a font, measured on its letters.
DialogUnits MeasuredUnits(const QFont& font);

// The units at which every text of t, and the later texts, fits its control
// in font: never below base, never so large that t leaves a 1024 x 768 screen.
DialogUnits FitDialogUnits(const CDialogTemplate& t, const QFont& font, DialogUnits base,
                           const std::vector<LaterText>& later = {});

// Units at which a template of cx x cy dialog units still fits the screen.
DialogUnits LimitToScreen(DialogUnits units, int cx, int cy);

// Pixel sizes given for the reference font (columns, rows, headings of the
// tables) in ours: one factor for every such size of both programs.
double ReferenceFontScale();
int ScaleForFont(int pixels);

}  // namespace fw
