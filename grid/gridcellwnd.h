// The grid's cell area: draws the data cells, takes the focus, the keys and
// the mouse for them, drags the current cell (scrolling at the edges) and
// scrolls with the wheel. Every input goes to the cell's type first, then to
// the grid's notifications.
#pragma once

#include <QRegion>
#include <utility>
#include <vector>

#include "grid/sheetgridctrl.h"

class CGridCellWnd : public CWnd {
 public:
  explicit CGridCellWnd(CSheetGridCtrl* grid) : m_grid(grid) {}

  void RepaintCell(int col, int row);
  void RepaintRow(int row);
  void RepaintRange(int col1, int row1, int col2, int row2);
  // After a move of the current cell or of the view: scrolls the pixels that
  // stay and repaints what is new, the old and the new current cell.
  void UpdateView(int oldLeft, int oldTop, int oldCol, int oldRow);
  bool HasFocus() const { return m_hasFocus; }
  bool IsDragging() const { return m_dragging; }
  // One step of the drag of the current cell towards the pointer.
  void DragStep(CPoint point);

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  int OnCreate(CREATESTRUCT* cs) override;
  void OnPaint() override;
  bool OnEraseBkgnd(CDC*) override { return true; }
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnKeyUp(UINT vk, UINT repeat, UINT flags) override;
  void OnChar(UINT ch, UINT repeat, UINT flags) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void OnRButtonDown(UINT flags, CPoint point) override;
  void OnRButtonUp(UINT flags, CPoint point) override;
  void OnContextMenu(CWnd* wnd, CPoint screenPoint) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  bool OnMouseWheel(UINT flags, short delta, CPoint screenPoint) override;
  void OnSetFocus(CWnd* oldWnd) override;
  void OnKillFocus(CWnd* newWnd) override;
  bool OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;
  void OnTimer(UINT_PTR id) override;
  void OnCaptureChanged(CWnd* wnd) override;
  void OnCancelMode() override;

 private:
  enum class Button { kLeft, kRight, kDouble };
  struct Click {
    int col = -1, row = -1;  // -1, -1 outside the cells
    CRect rect;
    int processed = 0;
    bool hit = false;
  };
  CNormalCellType* TypeOf(int col, int row, CGridCellValue& cell);
  // The press and release of either button: hit test, a press moves the
  // current cell there, the cell type's handler, then the notification.
  void ButtonDown(Button button, CPoint point);
  void ButtonUp(Button button, CPoint point);
  Click ClickCell(Button button, CPoint point, int down);
  void NotifyClick(Button button, Click& click, int down, CPoint& point);
  // Hands a dialog key on to the window the grid sits in.
  void PassKeyToDialog(UINT vk);
  void PaintCells(CDC& dc, const CRect& update);
  void RepaintHints(const std::vector<std::pair<int, int>>& rows,
                    const std::vector<std::pair<int, int>>& cols, int width);
  void EndDrag();

  CSheetGridCtrl* m_grid;
  CGridCellValue m_scratch;
  bool m_buttonDown = false;
  bool m_rightDown = false;
  bool m_hasFocus = false;
  bool m_typeHoldsMouse = false;
  bool m_dragging = false;
  CPoint m_dragPoint;
  int m_keyRepeat = 0;
  int m_rowsAskedAt = -1;
  QRegion m_paintRegion;  // of the paint in progress
};
