#include "platform/gui/textfit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <cmath>

#include "platform/gui/controls.h"
#include "platform/gui/gdi.h"
#include "platform/gui/qtstring.h"
#include "platform/text.h"

namespace fw {

namespace {

// The reference font's base units, and the width of its 52 letters.
constexpr DialogUnits kReference{};
constexpr double kReferenceAlphabet = 300.0;
// Room a dialog may take: a 1024 x 768 screen less the frame and caption.
constexpr int kScreenWidth = 1024 - 16;
constexpr int kScreenHeight = 768 - 48;
// Far wider than any control, so that a style's insets show at their full size.
constexpr int kProbeWidth = 4000;
constexpr int kProbeHeight = 400;

// Pixels a control of the item's kind takes beside and above and below its
// text, in the current style. Zero size: the item shows no text we measure.
struct Insets {
  int x = 0, y = 0;
  bool wraps = false;  // a static that breaks its text into lines
  bool measured = false;
};

Insets InsetsOf(const CDialogItem& item, const QFont& font) {
  Insets in;
  QStyle* style = QApplication::style();
  const std::uint32_t s = item.style;
  if (EqualsNoCase(item.className, "Static")) {
    switch (s & SS_TYPEMASK) {
      case SS_LEFT:
      case SS_CENTER:
      case SS_RIGHT: in.wraps = true; break;
      case SS_SIMPLE:
      case SS_LEFTNOWORDWRAP: break;
      default: return in;  // frames, icons, owner-drawn
    }
    const bool framed = (s & SS_SUNKEN) || (item.exStyle & WS_EX_STATICEDGE) || (s & WS_BORDER);
    in.x = in.y = framed ? 2 : 0;
    in.measured = true;
    return in;
  }
  if (EqualsNoCase(item.className, "ComboBox")) {
    // Only items the program adds are measured; the template's height is
    // the dropped-down list's, so the width alone counts.
    QComboBox box;
    box.setFont(font);
    box.setGeometry(QRect(0, 0, kProbeWidth, 30));
    QStyleOptionComboBox opt;
    opt.initFrom(&box);
    const QRect field =
        style->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, &box);
    in.x = kProbeWidth - field.width();
    in.measured = true;
    return in;
  }
  if (!EqualsNoCase(item.className, "Button")) return in;
  const QRect probe(0, 0, kProbeWidth, kProbeHeight);
  switch (s & BS_TYPEMASK) {
    case BS_OWNERDRAW: return in;
    case BS_GROUPBOX: {
      QGroupBox box;
      box.setFont(font);
      box.setGeometry(probe);
      QStyleOptionGroupBox opt;
      opt.initFrom(&box);
      opt.text = QStringLiteral("x");
      opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
      const QRect label =
          style->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, &box);
      const int xWidth = QFontMetrics(font).horizontalAdvance(opt.text);
      in.x = label.width() - xWidth + 2 * std::max(label.left(), 0) + 1;
      in.measured = true;
      return in;
    }
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
      const bool radio =
          (s & BS_TYPEMASK) == BS_RADIOBUTTON || (s & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
      QCheckBox box;
      box.setFont(font);
      box.setGeometry(probe);
      QStyleOptionButton opt;
      opt.initFrom(&box);
      opt.text = QStringLiteral("x");
      const QRect r = style->subElementRect(
          radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &opt, &box);
      in.x = std::max(r.left(), 0) + std::max(kProbeWidth - 1 - r.right(), 0);
      in.y = std::max(r.top(), 0) + std::max(kProbeHeight - 1 - r.bottom(), 0);
      in.measured = true;
      return in;
    }
    default: {
      QPushButton button;
      button.setFont(font);
      button.setGeometry(probe);
      QStyleOptionButton opt;
      opt.initFrom(&button);
      opt.text = QStringLiteral("x");
      const QRect r = style->subElementRect(QStyle::SE_PushButtonContents, &opt, &button);
      // A caption that touches the frame looks cut: a little air on each side.
      in.x = kProbeWidth - r.width() + 4;
      in.y = kProbeHeight - r.height();
      in.measured = true;
      return in;
    }
  }
}

// Units of 1/64 pixel at which `v` dialog units give at least `pixels`,
// whatever the control's place (one pixel for the rounding of both edges).
int UnitsFor(int pixels, int v, int perUnits) {
  if (v <= 0 || pixels <= 0) return 0;
  return ((pixels + 1) * perUnits * 64 + v - 1) / v;
}

}  // namespace

DialogUnits Max(const DialogUnits& a, const DialogUnits& b) {
  return {std::max(a.cx, b.cx), std::max(a.cy, b.cy)};
}

DialogUnits MeasuredUnits(const QFont& font) {
  const QFontMetricsF fm(font);
  static const QString kAlphabet =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const double average = fm.horizontalAdvance(kAlphabet) / 52.0;
  return {std::max(64, static_cast<int>(std::lround(average * 64))),
          std::max(64, QFontMetrics(font).height() * 64)};
}

DialogUnits LimitToScreen(DialogUnits units, int cx, int cy) {
  if (cx > 0) units.cx = std::min(units.cx, kScreenWidth * 4 * 64 / cx);
  if (cy > 0) units.cy = std::min(units.cy, kScreenHeight * 8 * 64 / cy);
  return units;
}

DialogUnits FitDialogUnits(const CDialogTemplate& t, const QFont& font, DialogUnits base,
                           const std::vector<LaterText>& later) {
  DialogUnits need = base;
  QFont bold = font;
  bold.setBold(true);
  struct Wrapped {
    const CDialogItem* item;
    QString text;
    QFont font;
    Insets in;
  };
  std::vector<Wrapped> wrapped;
  auto consider = [&](const CDialogItem& item, const QString& text, const QFont& f, int extra) {
    if (text.isEmpty()) return;
    const Insets in = InsetsOf(item, f);
    if (!in.measured) return;
    const QFontMetrics fm(f);
    const int line = fm.height();
    const int width = fm.horizontalAdvance(text) + in.x + extra;
    // A static with room for more than one line wraps what is too long.
    const bool severalLines = in.wraps && item.cy * base.cy / (8 * 64) - in.y >= 2 * line;
    if (severalLines) {
      wrapped.push_back({&item, text, f, in});
      return;
    }
    need.cx = std::max(need.cx, UnitsFor(width, item.cx, 4));
    need.cy = std::max(need.cy, UnitsFor(line + in.y, item.cy, 8));
  };
  for (const CDialogItem& item : t.items) {
    consider(item, ToQ(StripMnemonic(item.text)), font, 0);
    for (const LaterText& l : later)
      if (l.id == item.id && item.id != -1)
        consider(item, ToQ(StripMnemonic(l.text.empty() ? item.text : l.text)),
                 l.bold ? bold : font, l.extraWidth);
  }
  need = LimitToScreen(need, t.cx, t.cy);
  // Wrapped texts: the lines they take at the width now known.
  for (const Wrapped& w : wrapped) {
    const int width = need.MapX(w.item->cx) - w.in.x;
    const QFontMetrics fm(w.font);
    const QRect r =
        fm.boundingRect(QRect(0, 0, std::max(width, 1), 100000), Qt::TextWordWrap, w.text);
    if (r.width() > width) need.cx = std::max(need.cx, UnitsFor(r.width() + w.in.x, w.item->cx, 4));
    need.cy = std::max(need.cy, UnitsFor(r.height() + w.in.y, w.item->cy, 8));
  }
  return LimitToScreen(need, t.cx, t.cy);
}

double ReferenceFontScale() {
  static const double scale = [] {
    const QFont font = FontFromLogFont(DefaultGuiLogFont());
    const QFontMetricsF fm(font);
    const double alphabet = fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return std::max({1.0, alphabet / kReferenceAlphabet,
                     static_cast<double>(QFontMetrics(font).height() * 64) / kReference.cy});
  }();
  return scale;
}

int ScaleForFont(int pixels) {
  return static_cast<int>(std::lround(pixels * ReferenceFontScale()));
}

}  // namespace fw
