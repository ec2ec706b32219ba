// Whether every text a window shows fits: the standard controls (see
// textfit_controls.h), the toolkit's own, and the grids' headings and cells.
#pragma once

#include "grid/normalcelltype.h"
#include "grid/sheetgridctrl.h"
#include "textfit_controls.h"
#include "toolkit/colorstatic.h"
#include "toolkit/imagebutton.h"

namespace fwtest {

// The controls of the toolkit that draw their own texts.
inline bool CheckToolkitControl(QWidget* w, std::vector<std::string>* cut) {
  auto lineFits = [&](const QString& text, const QFontMetrics& fm, const QRect& inner) {
    CheckLine(w, text, fm, inner, cut);
  };
  if (auto* image = dynamic_cast<CImageButton*>(CWnd::FromHandlePermanent(w))) {
    const QString text = QString::fromStdString(image->GetWindowText());
    if (text.isEmpty()) return true;
    const CRect r = image->CaptionRect();
    lineFits(text, QFontMetrics(image->CaptionFont()->font()),
             QRect(r.left, r.top, r.Width(), r.Height()));
    return true;
  }
  if (auto* colour = dynamic_cast<CColorStatic*>(CWnd::FromHandlePermanent(w))) {
    const QString text = QString::fromStdString(colour->GetWindowText());
    if (text.isEmpty()) return true;
    const QFontMetrics fm(colour->font()->font());
    const QRect inner = w->rect();
    if (fm.horizontalAdvance(text) <= inner.width()) {
      lineFits(text, fm, inner);
      return true;
    }
    const QRect need = fm.boundingRect(inner, Qt::TextWordWrap, text);
    if (need.height() > inner.height() || need.width() > inner.width())
      cut->push_back(DescribeCut(w, text,
                                 QStringLiteral("wraps to %1x%2 px in %3x%4")
                                     .arg(need.width())
                                     .arg(need.height())
                                     .arg(inner.width())
                                     .arg(inner.height())));
    return true;
  }
  return false;
}

// Every heading and cell text of every sheet of a grid: a line must fit the
// width of its column (or merged block) with a few pixels of air, and the
// lines of a heading its height. Cells of other types than plain text keep
// room for their box or button; a drop list's cell for each of its choices.
inline void CheckGrid(CSheetGridCtrl& grid, std::vector<std::string>* cut) {
  const int shown = grid.GetSelectedSheet();
  constexpr int kAir = 4, kButtonRoom = 18, kMaxRows = 40;
  for (int sheet = 0; sheet < grid.GetSheetTotal(); ++sheet) {
    (void)grid.SelectSheet(sheet);
    std::vector<std::string> seen;
    auto check = [&](int col, int row) {
      CGridCellValue cell;
      grid.GetCell(col, row, cell);
      const std::string* raw = cell.GridCellGetText();
      const int typeIndex =
          cell.GridCellHasFlag(GridProp::CellType) ? cell.GridCellGetCellType() : 0;
      const bool radio =
          dynamic_cast<CRadioCellType*>(grid.GetCellTypeObject(typeIndex)) != nullptr;
      if (radio) raw = cell.GridCellGetLabel();
      if (!raw || raw->empty()) return;
      CRect r;
      if (grid.GetCellRectangle(col, row, r) != kGridOk || r.Width() <= 0) {
        int w = 0;
        if (grid.GetColumnWidth(col, w) != kGridOk) return;
        r = CRect(0, 0, w,
                  row < 0 ? grid.GetTopHeadingRowHeight(-row - 1) : grid.GetRowHeight(row));
        if (row < 0 && grid.GetTopHeadingRows() == 1) r.bottom = grid.GetTopHeadingHeight();
      }
      const std::string key = std::to_string(sheet) + ":" + *raw + "@" + std::to_string(r.left) +
                              "," + std::to_string(r.top);
      if (std::find(seen.begin(), seen.end(), key) != seen.end()) return;
      seen.push_back(key);
      CFont* font = cell.GridCellGetFont() ? cell.GridCellGetFont() : grid.GetDefaultFont();
      const QFontMetrics fm(font ? font->font() : QFont());
      if (radio) {
        // One option a line, each after its circle (as wide as a line is high).
        const std::vector<std::string> options = SplitGridOptions(*raw);
        const int line = fm.height();
        for (const std::string& o : options) {
          const int need = 3 + line + 3 + fm.horizontalAdvance(QString::fromStdString(o)) + 3;
          if (need > r.Width())
            cut->push_back(QStringLiteral("sheet %1 option %2 %3: '%4' needs %5 px of %6")
                               .arg(sheet)
                               .arg(col)
                               .arg(row)
                               .arg(QString::fromStdString(o))
                               .arg(need)
                               .arg(r.Width())
                               .toStdString());
        }
        if (static_cast<int>(options.size()) * line + 1 > r.Height())
          cut->push_back(QStringLiteral("sheet %1 options %2 %3: %4 lines need %5 px of %6")
                             .arg(sheet)
                             .arg(col)
                             .arg(row)
                             .arg(options.size())
                             .arg(static_cast<int>(options.size()) * line + 1)
                             .arg(r.Height())
                             .toStdString());
        return;
      }
      // A drop list's cell shows whichever choice is taken, beside its button.
      std::string widest = *raw;
      if (dynamic_cast<CDropListCellType*>(grid.GetCellTypeObject(typeIndex)) &&
          cell.GridCellGetLabel())
        for (const std::string& o : SplitGridOptions(*cell.GridCellGetLabel()))
          if (fm.horizontalAdvance(QString::fromStdString(o)) >
              fm.horizontalAdvance(QString::fromStdString(widest)))
            widest = o;
      const QString text = QString::fromStdString(widest);
      const bool plain = typeIndex == 0;
      const int width = r.Width() - kAir - (plain ? 0 : kButtonRoom);
      const bool wraps = (cell.GridCellGetTypeStyle() & 2) != 0;
      const QRect need = fm.boundingRect(QRect(0, 0, std::max(width, 1), 100000),
                                         wraps ? Qt::TextWordWrap : 0, text);
      const QString where = QStringLiteral("sheet %1 %2 %3 %4")
                                .arg(sheet)
                                .arg(row < 0 ? QStringLiteral("heading") : QStringLiteral("cell"))
                                .arg(col)
                                .arg(row);
      if (need.width() > width || need.height() > r.Height())
        cut->push_back(QStringLiteral("%1: '%2' needs %3x%4 px of %5x%6")
                           .arg(where, text.simplified())
                           .arg(need.width() + kAir + (plain ? 0 : kButtonRoom))
                           .arg(need.height())
                           .arg(r.Width())
                           .arg(r.Height())
                           .toStdString());
    };
    for (int col = 0; col < grid.GetColumnTotal(); ++col) {
      for (int row = -grid.GetTopHeadingRows(); row < 0; ++row) check(col, row);
      for (int row = 0; row < std::min(grid.GetRowTotal(), kMaxRows); ++row) check(col, row);
    }
  }
  (void)grid.SelectSheet(shown);
}

// Every grid under root.
inline std::vector<std::string> GridTextsThatDoNotFit(QWidget* root) {
  std::vector<std::string> cut;
  for (QWidget* w : root->findChildren<QWidget*>())
    if (auto* grid = dynamic_cast<CSheetGridCtrl*>(CWnd::FromHandlePermanent(w)))
      CheckGrid(*grid, &cut);
  if (auto* grid = dynamic_cast<CSheetGridCtrl*>(CWnd::FromHandlePermanent(root)))
    CheckGrid(*grid, &cut);
  return cut;
}

// Every visible text control under root, the toolkit's included.
inline std::vector<std::string> TextsThatDoNotFit(QWidget* root) {
  return ControlTextsThatDoNotFit(root, CheckToolkitControl);
}

// The texts that do not fit, one to a line, for a failure message.
inline std::string Listed(const std::vector<std::string>& cut) {
  std::string all;
  for (const std::string& c : cut) all += "\n  " + c;
  return all;
}

}  // namespace fwtest
