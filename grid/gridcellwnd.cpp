#include "grid/gridcellwnd.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <set>

#include "grid/gridheading.h"
#include "grid/gridinplaceedit.h"
#include "grid/gridselectionset.h"
#include "platform/gui/dialog.h"

namespace {
constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kRowsNeededMsg = WM_USER + 1;

int TypeIndex(CGridCellValue& cell) {
  return cell.GridCellHasFlag(GridProp::CellType) ? cell.GridCellGetCellType() : 0;
}

bool ControlHeld() {
  return QGuiApplication::keyboardModifiers() & Qt::ControlModifier;
}
bool ShiftHeld() {
  return QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
}

// Keeps the region of the paint about to run (Qt paints inside it only), so
// the cell area can tell which of the cells it was asked for got painted.
class PaintRegionRecorder : public QObject {
 public:
  PaintRegionRecorder(QWidget* peer, QRegion* out) : QObject(peer), m_out(out) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) *m_out = static_cast<QPaintEvent*>(e)->region();
    return false;
  }

 private:
  QRegion* m_out;
};
}  // namespace

int CGridCellWnd::OnCreate(CREATESTRUCT* cs) {
  const int r = CWnd::OnCreate(cs);
  // Installed after the window layer's own filter, so it sees a paint first.
  if (QWidget* peer = widget())
    peer->installEventFilter(new PaintRegionRecorder(peer, &m_paintRegion));
  return r;
}

CNormalCellType* CGridCellWnd::TypeOf(int col, int row, CGridCellValue& cell) {
  m_grid->GetCell(col, row, cell);
  return m_grid->GetCellTypeObject(TypeIndex(cell));
}

// ---------------------------------------------------------------------------
// Repainting

void CGridCellWnd::RepaintCell(int col, int row) {
  if (!IsWindow()) return;
  CRect r;
  if (m_grid->GetCellRectangle(col, row, r) == kGridOk && !r.IsRectEmpty())
    InvalidateRect(&r, false);
}

void CGridCellWnd::RepaintRow(int row) {
  if (!IsWindow()) return;
  CRect r;
  const auto& s = m_grid->Sheet();
  int top = -1;
  if (row >= 0 && row < s.m_rowCount) {
    for (int c = 0; c < s.m_colCount && top < 0; ++c)
      if (m_grid->GetCellRectangle(c, row, r) == kGridOk) top = r.top;
  }
  if (top < 0) return;
  CRect line(0, r.top, s.m_cellAreaWidth, r.bottom);
  InvalidateRect(&line, false);
}

void CGridCellWnd::RepaintRange(int col1, int row1, int col2, int row2) {
  for (int r = row1; r <= row2; ++r)
    for (int c = col1; c <= col2; ++c) RepaintCell(c, r);
}

void CGridCellWnd::UpdateView(int oldLeft, int oldTop, int oldCol, int oldRow) {
  if (!IsWindow()) return;
  const auto& s = m_grid->Sheet();
  const int W = s.m_cellAreaWidth, H = s.m_cellAreaHeight;
  const bool rowsMoved = oldTop >= 0 && oldTop != s.m_topRow;
  const bool colsMoved = oldLeft >= 0 && oldLeft != s.m_leftCol;
  if ((oldTop < 0 && s.m_topRow != 0) || (oldLeft < 0 && s.m_leftCol != 0)) {
    Invalidate(false);
    return;
  }
  if (rowsMoved || colsMoved) {
    int dy = rowsMoved ? m_grid->DistanceBetween(GridAxis::kRows, oldTop, s.m_topRow, H) : 0;
    int dx = colsMoved ? m_grid->DistanceBetween(GridAxis::kCols, oldLeft, s.m_leftCol, W) : 0;
    if (std::abs(dy) >= H - s.m_lockedHeight || std::abs(dx) >= W - s.m_lockedWidth ||
        (rowsMoved && colsMoved) || m_grid->IsEditing()) {
      Invalidate(false);
    } else if (rowsMoved) {
      // The locked rows stay; everything below them moves.
      CRect band(0, s.m_lockedHeight, W, H);
      widget()->scroll(0, -dy, band.ToQt());
    } else {
      CRect band(s.m_lockedWidth, 0, W, H);
      widget()->scroll(-dx, 0, band.ToQt());
    }
  }
  if (oldCol >= 0 && oldRow >= 0) RepaintCell(oldCol, oldRow);
  if (s.m_curCol >= 0 && s.m_curRow >= 0) RepaintCell(s.m_curCol, s.m_curRow);
}

// ---------------------------------------------------------------------------
// Painting

void CGridCellWnd::OnPaint() {
  CPaintDC dc(this);
  if (!m_grid->IsCreated()) return;
  CRect update = dc.m_ps.rcPaint;
  if (update.IsRectEmpty()) GetClientRect(&update);
  if (m_paintRegion.isEmpty()) m_paintRegion = QRegion(update.ToQt());
  PaintCells(dc, update);
  m_paintRegion = QRegion();
}

void CGridCellWnd::PaintCells(CDC& dc, const CRect& update) {
  auto& s = m_grid->Sheet();
  CRect client;
  GetClientRect(&client);
  const int W = client.Width(), H = client.Height();
  if (s.m_defaultFont) dc.SelectObject(s.m_defaultFont);
  m_grid->OnPrepareDC(&dc, nullptr, kSectionCells);

  // Rows and columns on screen, locked ones first: index and offset.
  auto onScreen = [&](GridAxis a, int limit, int& end) {
    const auto ax = s.Axis(a);
    std::vector<std::pair<int, int>> parts;
    int pos = 0;
    auto add = [&](int i) {
      const int size = ax.Size(i);
      if (size > 0) parts.emplace_back(i, pos);
      pos += size;
    };
    for (int i = 0; i < ax.Locked() && pos < limit; ++i) add(i);
    for (int i = ax.First(); i < ax.Count() && pos < limit; ++i) add(i);
    end = pos;
    return parts;
  };
  int cellsBottom = 0, cellsRight = 0;
  const std::vector<std::pair<int, int>> rows = onScreen(GridAxis::kRows, H, cellsBottom);
  const std::vector<std::pair<int, int>> cols = onScreen(GridAxis::kCols, W, cellsRight);

  std::set<std::pair<int, int>> blocksDrawn;
  CGridCellValue& cell = m_scratch;
  CGridSelectionSet* sel = s.m_selection.get();
  const bool anySelection = sel && sel->GetBlockCount() > 0;
  for (auto [row, top] : rows) {
    const int h = s.RowHeight(row);
    if (top >= update.bottom || top + h <= update.top) continue;
    for (auto [col, left] : cols) {
      const int w = s.ColWidth(col);
      CRect rect(left, top, left + w, top + h);
      if (rect.left >= update.right || rect.right <= update.left) continue;
      int drawCol = col, drawRow = row;
      int c1, r1, c2, r2;
      // One fetch per cell: joined cells fetch their block's origin once more.
      m_grid->GetCell(col, row, cell);
      if (m_grid->JoinBlockOf(col, row, cell, c1, r1, c2, r2)) {
        if (!blocksDrawn.insert({c1, r1}).second) continue;
        drawCol = c1;
        drawRow = r1;
        (void)m_grid->GetBlockRect(c1, r1, c2, r2, rect);  // drawn, so on screen
        if (drawCol != col || drawRow != row) m_grid->GetCell(drawCol, drawRow, cell);
      }
      CNormalCellType* type = m_grid->GetCellTypeObject(TypeIndex(cell));
      const bool current = drawCol == s.m_curCol && drawRow == s.m_curRow;
      int block = 0;
      bool selected = !current && anySelection && sel->IsSelected(drawCol, drawRow, &block) != 0;
      type->DrawCell(dc, rect, drawCol, drawRow, cell, selected, current);
      // Black lines where the locked columns and rows meet the scrolled ones.
      if (s.m_lockedCols > 0 && (drawCol == s.m_leftCol || drawCol == s.m_lockedCols - 1)) {
        dc.SelectStockObject(BLACK_PEN);
        int lx = drawCol == s.m_leftCol ? rect.left - 1 : rect.right - 1;
        dc.MoveTo(lx, rect.top);
        dc.LineTo(lx, rect.bottom + 1);
      }
      if (s.m_lockedRows > 0 && (drawRow == s.m_topRow || drawRow == s.m_lockedRows - 1)) {
        dc.SelectStockObject(BLACK_PEN);
        int ly = drawRow == s.m_topRow ? rect.top - 1 : rect.bottom - 1;
        dc.MoveTo(rect.left, ly);
        dc.LineTo(rect.right + 1, ly);
      }
    }
  }
  // The area past the last column and row.
  COLORREF back = m_grid->OnGetBackColor(kSectionCells);
  if (cellsRight < W) dc.FillSolidRect(CRect(cellsRight, 0, W, H), back);
  if (cellsBottom < H) dc.FillSolidRect(CRect(0, cellsBottom, std::min(cellsRight, W), H), back);

  if (m_hasFocus && !m_grid->IsEditing() && s.m_curCol >= 0 && s.m_curRow >= 0) {
    CRect cur;
    if (m_grid->GetCellRectangle(s.m_curCol, s.m_curRow, cur) == kGridOk && !cur.IsRectEmpty())
      m_grid->OnDrawCurrentCellFocus(&dc, &cur);
  }
  // The sizing line of a column or row edge being dragged.
  if (m_grid->TopHeading() && m_grid->TopHeading()->TrackLineX() >= 0) {
    int lx = m_grid->TopHeading()->TrackLineX();
    dc.DrawFocusRect(CRect(lx, 0, lx + 2, H));
  }
  if (m_grid->SideHeading() && m_grid->SideHeading()->TrackLineY() >= 0) {
    int ly = m_grid->SideHeading()->TrackLineY();
    dc.DrawFocusRect(CRect(0, ly, W, ly + 2));
  }
  RepaintHints(rows, cols, W);

  // When the last row is on screen, a source that supplies rows on demand is
  // asked for more — later, so the row count never changes inside a paint.
  // Asked once per row count, so repaints of a short grid do not repeat it.
  if (!rows.empty() && rows.back().first == s.m_rowCount - 1 && cellsBottom < H &&
      m_rowsAskedAt != s.m_rowCount) {
    // Asked again at the next paint should the request not go out.
    if (PostMessage(kRowsNeededMsg)) m_rowsAskedAt = s.m_rowCount;
  }
}

// The cells the cell types asked for while painting (text that may run on
// into the next cell) and the ranges the selection changed: what this paint
// did not cover is painted next, with the rest of its rows, where text from
// the left may have reached before.
void CGridCellWnd::RepaintHints(const std::vector<std::pair<int, int>>& rows,
                                const std::vector<std::pair<int, int>>& cols, int width) {
  CGridRedrawList& hint = m_grid->GetRedrawHint();
  if (hint.IsEmpty()) return;
  const std::vector<CGridRedrawList::Range> ranges = hint.Ranges();
  hint.ClearHint();
  const auto& s = m_grid->Sheet();
  const bool plainRegion = m_paintRegion.rectCount() <= 1;
  const QRect painted = m_paintRegion.boundingRect();
  QRegion pending;
  for (const CGridRedrawList::Range& r : ranges) {
    int left = -1, top = -1, bottom = -1;
    for (auto [col, x] : cols)
      if (col >= r.left && col <= r.right && (left < 0 || x < left)) left = x;
    for (auto [row, y] : rows) {
      if (row < r.top || row > r.bottom) continue;
      if (top < 0 || y < top) top = y;
      bottom = std::max(bottom, y + s.RowHeight(row));
    }
    if (left < 0 || top < 0 || left >= width) continue;
    const QRect band(left, top, width - left, bottom - top);
    if (plainRegion ? painted.contains(band) : QRegion(band).subtracted(m_paintRegion).isEmpty())
      continue;
    pending += band;
  }
  for (const QRect& q : pending.subtracted(m_paintRegion)) {
    const CRect r = CRect::FromQt(q);
    InvalidateRect(&r, false);
  }
}

// ---------------------------------------------------------------------------
// Keyboard

void CGridCellWnd::PassKeyToDialog(UINT vk) {
  QWidget* gridWidget = m_grid->widget();
  if (!gridWidget) return;
  if (vk == VK_TAB) {
    fw::MoveTabFocus(m_grid, ShiftHeld());
    return;
  }
  QWidget* top = gridWidget->window();
  if (!top || top == gridWidget) return;
  QKeyEvent press(QEvent::KeyPress, vk == VK_ESCAPE ? Qt::Key_Escape : Qt::Key_Return,
                  QGuiApplication::keyboardModifiers());
  QCoreApplication::sendEvent(top, &press);
}

void CGridCellWnd::OnKeyDown(UINT vk, UINT, UINT) {
  auto& s = m_grid->Sheet();
  int key = static_cast<int>(vk);
  int processed = 0;
  if (s.m_curCol >= 0 && s.m_curRow >= 0) {
    CNormalCellType* type = TypeOf(s.m_curCol, s.m_curRow, m_scratch);
    processed = type->HandleKeyDown(s.m_curCol, s.m_curRow, key);
  }
  m_grid->OnGridKeyDown(&key, processed);
  if (key == 0) return;
  if (key == static_cast<int>(VK_F1)) {
    m_grid->HelpFromKey();
    return;
  }
  // Tab, Escape and an Enter nobody used belong to the dialog around the grid.
  if (!processed && key == static_cast<int>(vk) &&
      (vk == VK_TAB || vk == VK_ESCAPE || vk == VK_RETURN)) {
    PassKeyToDialog(vk);
    return;
  }
  m_grid->HandleNavigationKey(key, ControlHeld());
}

void CGridCellWnd::OnKeyUp(UINT vk, UINT, UINT) {
  auto& s = m_grid->Sheet();
  m_keyRepeat = 0;
  int key = static_cast<int>(vk);
  int processed = 0;
  if (s.m_curCol >= 0 && s.m_curRow >= 0)
    processed = TypeOf(s.m_curCol, s.m_curRow, m_scratch)->HandleKeyUp(s.m_curCol, s.m_curRow, key);
  m_grid->OnGridKeyUp(&key, processed);
}

void CGridCellWnd::OnChar(UINT ch, UINT, UINT) {
  auto& s = m_grid->Sheet();
  int c = static_cast<int>(ch);
  int processed = 0;
  if (s.m_curCol >= 0 && s.m_curRow >= 0)
    processed = TypeOf(s.m_curCol, s.m_curRow, m_scratch)->HandleChar(s.m_curCol, s.m_curRow, c);
  m_grid->OnGridChar(&c, processed);
}

// ---------------------------------------------------------------------------
// Mouse

void CGridCellWnd::OnLButtonDown(UINT, CPoint point) {
  if (GetFocus() != this) SetFocus();
  ButtonDown(Button::kLeft, point);
}

void CGridCellWnd::OnRButtonDown(UINT, CPoint point) {
  ButtonDown(Button::kRight, point);
}

void CGridCellWnd::OnLButtonUp(UINT, CPoint point) {
  ButtonUp(Button::kLeft, point);
}

void CGridCellWnd::OnRButtonUp(UINT, CPoint point) {
  ButtonUp(Button::kRight, point);
}

void CGridCellWnd::OnContextMenu(CWnd* wnd, CPoint screenPoint) {
  // The Menu key and Shift+F10 come without a point: they ask about the
  // current cell as a right click on its middle does. A right click asked
  // on its press already.
  const auto& s = m_grid->Sheet();
  Click click;
  if (screenPoint != CPoint(-1, -1) || s.m_curCol < 0 || s.m_curRow < 0 ||
      m_grid->GetCellRectangle(s.m_curCol, s.m_curRow, click.rect) != kGridOk) {
    CWnd::OnContextMenu(wnd, screenPoint);
    return;
  }
  click.col = s.m_curCol;
  click.row = s.m_curRow;
  click.hit = true;
  CPoint at = click.rect.CenterPoint();
  NotifyClick(Button::kRight, click, 1, at);
  NotifyClick(Button::kRight, click, 0, at);
}

void CGridCellWnd::OnLButtonDblClk(UINT, CPoint point) {
  Click click = ClickCell(Button::kDouble, point, 0);
  NotifyClick(Button::kDouble, click, 0, point);
}

CGridCellWnd::Click CGridCellWnd::ClickCell(Button button, CPoint point, int down) {
  Click c;
  if (m_grid->HitTestCell(point.x, point.y, c.col, c.row, c.rect) != kGridOk) {
    c.col = c.row = -1;
    return c;
  }
  c.hit = true;
  if (down) (void)m_grid->MoveToCell(c.col, c.row);
  CNormalCellType* type = TypeOf(c.col, c.row, m_scratch);
  switch (button) {
    case Button::kLeft:
      c.processed = type->HandleLeftClick(c.col, c.row, down, c.rect, point);
      break;
    case Button::kRight:
      c.processed = type->HandleRightClick(c.col, c.row, down, c.rect, point);
      break;
    case Button::kDouble: c.processed = type->HandleDoubleClick(c.col, c.row, c.rect, point); break;
  }
  return c;
}

void CGridCellWnd::NotifyClick(Button button, Click& c, int down, CPoint& point) {
  switch (button) {
    case Button::kLeft:
      m_grid->OnCellLeftClick(c.col, c.row, down, &c.rect, &point, c.processed);
      break;
    case Button::kRight:
      m_grid->OnCellRightClick(c.col, c.row, down, &c.rect, &point, c.processed);
      break;
    case Button::kDouble:
      m_grid->OnCellDoubleClick(c.col, c.row, &c.rect, &point, c.processed);
      break;
  }
}

void CGridCellWnd::ButtonDown(Button button, CPoint point) {
  const unsigned loops = fw::ModalLoopsBegun();
  if (m_grid->IsEditing()) {
    // The press took the focus from the editor: its edit ends now rather
    // than after this press, so the press goes on to the cell it hit.
    if (auto* editor = dynamic_cast<CGridInPlaceEdit*>(m_grid->GetActiveEditor()))
      editor->FinishPending();
    if (m_grid->IsEditing()) return;
  }
  // A box the ending edit showed took the button's release: the press
  // still moves to its cell but holds nothing.
  const bool held = fw::ModalLoopsBegun() == loops;
  auto& s = m_grid->Sheet();
  const bool left = button == Button::kLeft;
  // The left button holds the mouse until its release; it drags the
  // current cell. A modal loop the press opens cancels both (OnCancelMode).
  if (left && held) SetCapture();
  (left ? m_buttonDown : m_rightDown) = held;
  s.m_mouseMode = left ? GridMouseMode::kLeft : GridMouseMode::kRight;
  Click click = ClickCell(button, point, 1);
  // A cell type that used the left press gets the moves until the release.
  if (left && click.hit) m_typeHoldsMouse = m_buttonDown && click.processed != 0;
  NotifyClick(button, click, 1, point);
  s.m_mouseMode = GridMouseMode::kIdle;
}

void CGridCellWnd::ButtonUp(Button button, CPoint point) {
  const bool left = button == Button::kLeft;
  bool& down = left ? m_buttonDown : m_rightDown;
  if (!down) return;
  auto& s = m_grid->Sheet();
  Click click = ClickCell(button, point, 0);
  NotifyClick(button, click, 0, point);
  if (left) {
    EndDrag();
    if (GetCapture() == this) (void)ReleaseCapture();  // nothing refuses a release
  }
  if (s.m_targetCol >= 0 && s.m_targetRow >= 0)
    (void)m_grid->MoveToCell(s.m_targetCol, s.m_targetRow);
  down = false;
  if (left) m_typeHoldsMouse = false;
}

void CGridCellWnd::OnMouseMove(UINT flags, CPoint point) {
  if (m_grid->IsEditing()) return;
  auto& s = m_grid->Sheet();
  if (m_typeHoldsMouse && s.m_curCol >= 0 && s.m_curRow >= 0) {
    int processed = TypeOf(s.m_curCol, s.m_curRow, m_scratch)
                        ->HandleMouseMove(s.m_curCol, s.m_curRow, point, static_cast<int>(flags));
    m_grid->OnCellMouseMove(s.m_curCol, s.m_curRow, &point, flags, processed);
    return;
  }
  s.m_mouseMode = GridMouseMode::kMove;
  int col = -1, row = -1;
  int processed = 0;
  if (m_grid->HitTestCell(point.x, point.y, col, row) == kGridOk) {
    processed =
        TypeOf(col, row, m_scratch)->HandleMouseMove(col, row, point, static_cast<int>(flags));
  } else {
    col = row = -1;
  }
  m_grid->OnCellMouseMove(col, row, &point, flags, processed);
  if ((flags & MK_LBUTTON) && m_buttonDown) {
    m_dragPoint = point;
    DragStep(point);
    // Holding the pointer outside keeps scrolling, paced by a timer instead
    // of a loop that would block the event queue.
    if (!m_dragging) {
      m_dragging = true;
      SetTimer(kDragTimer, static_cast<UINT>(std::max(1, s.m_opt.dragScrollPause)));
    }
  }
  s.m_mouseMode = GridMouseMode::kIdle;
}

void CGridCellWnd::DragStep(CPoint point) {
  if (!m_buttonDown) return;
  auto& s = m_grid->Sheet();
  constexpr GridAxis kAxes[] = {GridAxis::kCols, GridAxis::kRows};
  int hitAt[2] = {-1, -1};
  const bool hit = m_grid->HitTestCell(point.x, point.y, hitAt[0], hitAt[1]) == kGridOk;
  const int pointAt[2] = {point.x, point.y};
  // Whether the pointer is on the last column (row) shown where it passes
  // the cell area's edge.
  bool onEnd[2] = {false, false};
  for (int k = 0; k < 2; ++k) {
    const auto ax = s.Axis(kAxes[k]);
    const int i = hitAt[k];
    onEnd[k] = hit && i == ax.End() - 1 && i >= ax.First() &&
               m_grid->PartOffset(kAxes[k], i) + ax.Size(i) > ax.Extent();
  }
  if (hit) {
    if (s.m_lockedCols > 0 || s.m_lockedRows > 0) {
      // Over a locked part while the target is beyond them, the view steps
      // back instead of jumping.
      for (int k = 0; k < 2; ++k) {
        const auto ax = s.Axis(kAxes[k]);
        if (hitAt[k] < ax.Locked() && ax.Target() >= ax.Locked() && ax.First() > ax.Locked())
          (void)m_grid->StepCurrentAlong(kAxes[k], kStepBack);
        else
          (void)m_grid->MoveAlong(kAxes[k], hitAt[k]);
      }
    } else {
      (void)m_grid->MoveToCell(hitAt[0], hitAt[1]);
    }
  }
  for (int k = 0; k < 2; ++k) {
    if (pointAt[k] < 0)
      (void)m_grid->StepCurrentAlong(kAxes[k], kStepBack);
    else if (pointAt[k] >= s.Axis(kAxes[k]).Extent() || onEnd[k])
      (void)m_grid->StepCurrentAlong(kAxes[k], kStepForward);
  }
}

void CGridCellWnd::OnTimer(UINT_PTR id) {
  if (id != kDragTimer) return;
  if (!m_buttonDown || GetCapture() != this) {
    EndDrag();
    return;
  }
  const auto& s = m_grid->Sheet();
  const CPoint p = m_dragPoint;
  if (p.x < 0 || p.y < 0 || p.x >= s.m_cellAreaWidth || p.y >= s.m_cellAreaHeight) DragStep(p);
}

void CGridCellWnd::EndDrag() {
  if (m_dragging) KillTimer(kDragTimer);
  m_dragging = false;
}

void CGridCellWnd::OnCaptureChanged(CWnd*) {
  // Whoever took the mouse has the release too: the press is over.
  EndDrag();
  m_buttonDown = false;
  m_typeHoldsMouse = false;
}

void CGridCellWnd::OnCancelMode() {
  m_rightDown = false;
  CWnd::OnCancelMode();
  // Also when the capture was given up already.
  OnCaptureChanged(nullptr);
}

bool CGridCellWnd::OnMouseWheel(UINT, short delta, CPoint) {
  auto& s = m_grid->Sheet();
  s.m_mouseMode = GridMouseMode::kScroll;
  m_grid->HandleWheelDelta(delta);
  if (m_grid->SideHeading()) m_grid->SideHeading()->Invalidate(false);
  s.m_mouseMode = GridMouseMode::kIdle;
  return true;
}

// ---------------------------------------------------------------------------
// Focus, cursor, messages

void CGridCellWnd::OnSetFocus(CWnd*) {
  m_hasFocus = true;
  m_grid->OnFocusGained(kSectionCells);
  const auto& s = m_grid->Sheet();
  if (s.m_curCol >= 0 && s.m_curRow >= 0) RepaintCell(s.m_curCol, s.m_curRow);
}

void CGridCellWnd::OnKillFocus(CWnd* newWnd) {
  m_hasFocus = false;
  m_grid->OnFocusLost(kSectionCells, newWnd);
  const auto& s = m_grid->Sheet();
  if (s.m_curCol >= 0 && s.m_curRow >= 0) RepaintCell(s.m_curCol, s.m_curRow);
}

bool CGridCellWnd::OnSetCursor(CWnd*, UINT, UINT) {
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  return true;
}

LRESULT CGridCellWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_GETDLGCODE: {
      // Every key, unless an editor or the drop list inside has the focus.
      CWnd* focus = GetFocus();
      if (focus && focus != this && focus->widget() && widget() &&
          widget()->isAncestorOf(focus->widget()))
        return 0;
      return DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    }
    case WM_VSCROLL:
    case WM_HSCROLL: return m_grid->SendMessage(msg, wParam, lParam);
    case kRowsNeededMsg: {
      const auto& s = m_grid->Sheet();
      if (s.m_rowCount >= 0) m_grid->RequestRows(1);
      return 0;
    }
    case WM_HELP: {
      // F1 asks about the current cell, otherwise the cell under the pointer.
      const auto& s = m_grid->Sheet();
      int col = s.m_curCol, row = s.m_curRow;
      if (wParam != kGridHelpFromKey) {
        const QPoint p = widget() ? widget()->mapFromGlobal(QCursor::pos()) : QPoint();
        if (m_grid->HitTestCell(p.x(), p.y(), col, row) != kGridOk) col = row = -1;
      }
      return m_grid->ShowContextHelp(m_grid->OnContextHelp(col, row, kSectionCells), kSectionCells);
    }
    default: return CWnd::WindowProc(msg, wParam, lParam);
  }
}
