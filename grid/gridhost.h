// The grid as its cell types see it: cells, rectangles, pens, the drawing
// settings, the drop list and the notification of a cell type's own events.
// The control implements it; the cell-type tests use a fake.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "grid/gridcellvalue.h"
#include "grid/griddatahost.h"
#include "grid/gridresult.h"
#include "platform/gui/dc.h"
#include "platform/gui/gdi.h"

class QWidget;
class CNormalCellType;
class CDropListCellType;
class CGridPrintInfo;

// Drawing settings of the sheet that the cell types read.
struct CGridDrawOptions {
  int textOverflow = 1;
  int gridLines = 1;
  int threeDWidth = 1;
  int highlightCurrent = 1;  // bit 2: the current cell is drawn highlighted
  int cellMargin = 4;
  int multipleSelection = 0;
};

// Message numbers a cell type reports to its grid.
enum : int { kCellEventCheckToggled = 53, kCellEventButton = 100 };

class CGridHost : public CGridDataHost {
 public:
  virtual int GetCell(int col, int row, CGridCellValue& cell) = 0;
  [[nodiscard]] virtual int SetCell(int col, int row, const CGridCellValue& cell) = 0;
  // Asks for a repaint later; never paints at once.
  virtual void RepaintCell(int col, int row) = 0;
  [[nodiscard]] virtual int GetCellRectangle(int col, int row, CRect& rect) = 0;
  virtual long long OnCellTypeEvent(int typeIndex, int col, int row, int msg,
                                    std::intptr_t param) = 0;
  virtual CNormalCellType* GetCellTypeObject(int index) = 0;
  virtual int GetColumnWidth(int col) = 0;
  virtual int GetRowHeight(int row) = 0;
  virtual int GetTopHeadingRows() { return 1; }
  // Nearest column left of col in the row whose cell has text: 0 found, 1 none.
  [[nodiscard]] virtual int FindPrevNonEmptyCell(int& col, int row) = 0;
  virtual const CGridDrawOptions& GetDrawOptions() = 0;
  virtual CFont* GetDefaultFont() { return nullptr; }
  virtual CPen* GetDefaultPen() = 0;    // thin borders
  virtual CPen* GetGridLinePen() = 0;   // grid lines
  virtual CPen* GetHighlightPen() = 0;  // 3D frames
  virtual CPen* GetShadowPen() = 0;
  // Non-null while drawing for a printer.
  virtual const CGridPrintInfo* GetPrintInfo(CDC& /*dc*/) { return nullptr; }
  virtual int GetModifierKeys() { return 0; }  // MK_SHIFT | MK_CONTROL
  virtual bool IsEditing(int* /*col*/ = nullptr, int* /*row*/ = nullptr) { return false; }
  [[nodiscard]] virtual int MoveToCell(int col, int row) = 0;
  virtual QWidget* GetCellAreaWindow() { return nullptr; }
  virtual CRect GetCellAreaClientRect() = 0;
  // The drop-down list the grid owns.
  virtual bool IsDropListShowing() = 0;
  virtual void HideDropList() = 0;
  virtual void ShowDropList(CDropListCellType* type, int col, int row, const CRect& rect,
                            CFont* font, const std::vector<std::string>& choices) = 0;
};
