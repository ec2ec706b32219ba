#include "grid/heading.h"

#include <QWidget>
#include <algorithm>
#include <set>

#include "grid/cellarea.h"

namespace {
constexpr int kEdgeSlack = 3;  // pixels either side of an edge that start sizing

int TypeIndex(CGridCellValue& cell) {
  return cell.GridCellHasFlag(GridProp::CellType) ? cell.GridCellGetCellType() : 0;
}
}  // namespace

// ---------------------------------------------------------------------------
// Shared

CNormalCellType* CGridHeadingBase::TypeOf(int col, int row, CGridCellValue& cell) {
  m_grid->GetCell(col, row, cell);
  return m_grid->GetCellTypeObject(TypeIndex(cell));
}

void CGridHeadingBase::TakeFocusToCells() {
  CGridCellWnd* cells = m_grid->CellArea();
  if (cells && GetFocus() != cells) cells->SetFocus();
}

void CGridHeadingBase::OnCaptureChanged(CWnd*) {}

int CGridHeadingBase::GetHeadingCellRect(int col, int row, CRect& rect) {
  return m_grid->GetCellRectangle(col, row, rect);
}

void CGridHeadingBase::OnMouseMove(UINT flags, CPoint point) {
  if (!m_dragging) {
    if (!(flags & (MK_LBUTTON | MK_RBUTTON))) Hover(point);
    return;
  }
  DragTo(point);
}

void CGridHeadingBase::OnRButtonDown(UINT, CPoint point) {
  TakeFocusToCells();
  Press p = PressCell(point, Button::Right, 1);
  NotifyRightClick(p, 1, point);
}

void CGridHeadingBase::OnRButtonUp(UINT, CPoint point) {
  Press p = PressCell(point, Button::Right, 0);
  NotifyRightClick(p, 0, point);
}

bool CGridHeadingBase::OnSetCursor(CWnd*, UINT, UINT) {
  ShowCursor();
  return true;
}

LRESULT CGridHeadingBase::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_HELP) {
    CPoint p = widget() ? CPoint(widget()->mapFromGlobal(QCursor::pos())) : CPoint();
    int col = -1, row = -1;
    CRect rect;
    HitTestHeading(p, col, row, rect);
    return m_grid->OnContextHelp(col, row, Section());
  }
  return CWnd::WindowProc(msg, wParam, lParam);
}

CGridHeadingBase::Press CGridHeadingBase::PressCell(CPoint point, Button button, int down) {
  Press p;
  if (HitTestHeading(point, p.col, p.row, p.rect) != 0) return p;
  CNormalCellType* type = TypeOf(p.col, p.row, m_scratch);
  switch (button) {
    case Button::Left:
      p.processed = type->HandleLeftClick(p.col, p.row, down, p.rect, point);
      break;
    case Button::Right:
      p.processed = type->HandleRightClick(p.col, p.row, down, p.rect, point);
      break;
    case Button::Double: p.processed = type->HandleDoubleClick(p.col, p.row, p.rect, point); break;
  }
  return p;
}

int CGridHeadingBase::HeadingIndexAt(int pos, const std::vector<int>& sizes, int count) {
  int start = 0, hit = 0;
  for (int i = -count; i <= -1; ++i) {
    int size = sizes[static_cast<std::size_t>(-i - 1)];
    if (pos >= start && pos < start + size) hit = i;
    start += size;
  }
  return hit;
}

int CGridHeadingBase::HitCell(int col, int row, int& outCol, int& outRow, CRect& rect) {
  outCol = col;
  outRow = row;
  int c1, r1, c2, r2;
  if (m_grid->GetJoinBlock(col, row, c1, r1, c2, r2)) {
    outCol = c1;
    outRow = r1;
  }
  m_grid->GetCellRectangle(outCol, outRow, rect);
  return 0;
}

void CGridHeadingBase::PreparePaint(CDC& dc) {
  const auto& s = m_grid->Sheet();
  if (s.m_defaultFont) dc.SelectObject(s.m_defaultFont);
  m_grid->OnPrepareDC(&dc, nullptr, Section());
}

void CGridHeadingBase::DrawHeadingCell(CDC& dc, CRect rect, int col, int row,
                                       std::set<std::pair<int, int>>& blocks) {
  int dc1 = col, dr1 = row, c1, r1, c2, r2;
  if (m_grid->GetJoinBlock(col, row, c1, r1, c2, r2)) {
    if (!blocks.insert({c1, r1}).second) return;
    dc1 = c1;
    dr1 = r1;
    m_grid->GetBlockRect(c1, r1, c2, r2, rect);
  }
  CNormalCellType* type = TypeOf(dc1, dr1, m_scratch);
  type->DrawCell(dc, rect, dc1, dr1, m_scratch, false, false);
}

bool CGridHeadingBase::NearEdge(int pos, int edge) {
  return pos > edge - kEdgeSlack && pos < edge + kEdgeSlack;
}

void CGridHeadingBase::ShowCursor() {
  SetCursor(
      LoadCursor(nullptr, m_hot ? (HotEdgeSizesWidth() ? IDC_SIZEWE : IDC_SIZENS) : IDC_ARROW));
}

void CGridHeadingBase::MoveTrackLine(int pos, bool vertical) {
  CGridCellWnd* cells = m_grid->CellArea();
  if (!cells) return;
  const auto& s = m_grid->Sheet();
  auto band = [&](int at) {
    return vertical ? CRect(at - 1, 0, at + 3, s.m_cellAreaHeight)
                    : CRect(0, at - 1, s.m_cellAreaWidth, at + 3);
  };
  int old = m_track;
  int extent = vertical ? s.m_cellAreaWidth : s.m_cellAreaHeight;
  m_track = std::clamp(pos, 0, std::max(0, extent - 2));
  if (old >= 0) {
    CRect r = band(old);
    cells->InvalidateRect(&r, false);
  }
  CRect r = band(m_track);
  cells->InvalidateRect(&r, false);
}

void CGridHeadingBase::FinishSizing() {
  m_dragging = false;
  m_track = -1;
  if (GetCapture() == this) ReleaseCapture();
  if (m_grid->CellArea()) m_grid->CellArea()->Invalidate(false);
  m_grid->LayoutParts();
}

// ---------------------------------------------------------------------------
// Top heading

int CGridTopHeading::HitTestHeading(CPoint point, int& col, int& row, CRect& rect) {
  const auto& s = m_grid->Sheet();
  col = row = -1;
  int hitRow = HeadingIndexAt(point.y, s.m_topHeadHeights, s.m_topHeadRows);
  if (hitRow == 0) return 1;
  for (auto [c, x] : m_grid->VisibleColumns())
    if (point.x >= x && point.x < x + s.ColWidth(c)) return HitCell(c, hitRow, col, row, rect);
  return 1;
}

void CGridTopHeading::UpdateTopHeading(int oldLeft) {
  if (IsWindow() && oldLeft != m_grid->Sheet().m_leftCol) Invalidate(false);
}

void CGridTopHeading::OnPaint() {
  CPaintDC dc(this);
  if (!m_grid->IsCreated()) return;
  const auto& s = m_grid->Sheet();
  CRect client;
  GetClientRect(&client);
  PreparePaint(dc);
  m_grid->FixLastHeadingRow();
  auto cols = m_grid->VisibleColumns();
  std::set<std::pair<int, int>> blocks;
  int y = 0;
  for (int r = -s.m_topHeadRows; r <= -1; ++r) {
    int h = s.m_topHeadHeights[static_cast<std::size_t>(-r - 1)];
    for (auto [c, x] : cols)
      DrawHeadingCell(dc, CRect(x, y, x + s.ColWidth(c), y + h), c, r, blocks);
    y += h;
  }
  int right = cols.empty() ? 0 : cols.back().second + s.ColWidth(cols.back().first);
  if (right < client.right)
    dc.FillSolidRect(CRect(right, 0, client.right, client.bottom), m_grid->OnGetBackColor(2));
  if (y < client.bottom)
    dc.FillSolidRect(CRect(0, y, right, client.bottom), m_grid->OnGetBackColor(2));
}

void CGridTopHeading::Hover(CPoint point) {
  const auto& s = m_grid->Sheet();
  bool wasHot = m_hot;
  m_hot = false;
  if (s.m_opt.userSizing > 0) {
    auto cols = m_grid->VisibleColumns();
    for (std::size_t i = 0; i < cols.size() && !m_hot; ++i) {
      auto [c, x] = cols[i];
      if (NearEdge(point.x, x + s.ColWidth(c))) {
        int col = c;
        // A hidden column right of the edge is the one pulled open.
        if (col + 1 < s.m_colCount && s.ColWidth(col + 1) == 0) col = col + 1;
        if (m_grid->OnBeforeColResize(col)) {
          m_hot = true;
          m_kind = 0;
          m_index = col;
          m_startSize = s.ColWidth(col);
          m_startPos = point.x;
        }
      }
    }
    if (!m_hot) {
      int bottom = s.m_topHeadHeight;
      for (int r = -1; r >= -s.m_topHeadRows && !m_hot; --r) {
        if (NearEdge(point.y, bottom)) {
          if (m_grid->OnBeforeTopHeadingResize()) {
            m_hot = true;
            m_kind = 1;
            m_index = r;
            m_startSize = s.m_topHeadHeights[static_cast<std::size_t>(-r - 1)];
            m_startPos = point.y;
            m_startTotal = s.m_topHeadHeight;
          }
        }
        bottom -= s.m_topHeadHeights[static_cast<std::size_t>(-r - 1)];
      }
    }
  }
  if (m_hot || wasHot) ShowCursor();
}

void CGridTopHeading::DragTo(CPoint point) {
  if (m_kind == 0) {
    int width = std::max(0, m_startSize + (point.x - m_startPos));
    m_grid->NotifyTypesColumnSizing(m_index, width);
    m_grid->OnColWidthDragging(m_index, &width);
    m_grid->StoreColumnWidthWhileDragging(m_index, width);
    Invalidate(false);
    // The tracking line in the cell area follows the pointer.
    MoveTrackLine(point.x, true);
  } else {
    int dy = point.y - m_startPos;
    int height = std::max(0, m_startSize + dy);
    int total = std::max(0, m_startTotal + dy);
    if (m_grid->OnTopHeadingDragging(&total) == 1)
      m_grid->StoreTopHeadingWhileDragging(m_index, height, total);
  }
}

void CGridTopHeading::OnLButtonDown(UINT, CPoint point) {
  if (m_hot) {
    m_dragging = true;
    SetCapture();
    return;
  }
  TakeFocusToCells();
  Press p = PressCell(point, Button::Left, 1);
  m_grid->OnTopHeadingLeftClick(p.col, p.row, 1, &p.rect, &point, p.processed);
  m_grid->OnBeforeColDrag(p.col);
  m_pressed = true;
  SetCapture();
}

void CGridTopHeading::EndSizing() {
  const auto& s = m_grid->Sheet();
  if (m_kind == 0) {
    int width = s.ColWidth(m_index);
    int set = width;
    m_grid->NotifyTypesColumnSizing(m_index, set);
    m_grid->OnColWidthSet(m_index, &set);
    if (set != width) m_grid->StoreColumnWidthWhileDragging(m_index, set);
  } else {
    int height = s.m_topHeadHeight;
    m_grid->OnTopHeadingHeightSet(&height);
  }
  FinishSizing();
}

void CGridTopHeading::OnLButtonUp(UINT, CPoint point) {
  if (m_dragging) {
    EndSizing();
    return;
  }
  if (!m_pressed) return;
  m_pressed = false;
  Press p = PressCell(point, Button::Left, 0);
  m_grid->OnTopHeadingLeftClick(p.col, p.row, 0, &p.rect, &point, p.processed);
  if (GetCapture() == this) ReleaseCapture();
}

void CGridTopHeading::OnLButtonDblClk(UINT, CPoint point) {
  const auto& s = m_grid->Sheet();
  if (m_hot && m_kind == 0 && s.m_opt.fitOnDblClick) {
    int col = m_index;
    m_grid->FitColumnsToContent(col, col, 20, 1);
    Hover(point);
    m_dragging = false;
    if (GetCapture() == this) ReleaseCapture();
    return;
  }
  Press p = PressCell(point, Button::Double, 0);
  m_grid->OnTopHeadingDoubleClick(p.col, p.row, &p.rect, &point, p.processed);
}

void CGridTopHeading::NotifyRightClick(Press& p, int down, CPoint& point) {
  m_grid->OnTopHeadingRightClick(p.col, p.row, down, &p.rect, &point, p.processed);
}

// ---------------------------------------------------------------------------
// Side heading

int CGridSideHeading::HitTestHeading(CPoint point, int& col, int& row, CRect& rect) {
  const auto& s = m_grid->Sheet();
  col = row = -1;
  int hitCol = HeadingIndexAt(point.x, s.m_sideHeadWidths, s.m_sideHeadCols);
  if (hitCol == 0) return 1;
  for (auto [r, y] : m_grid->VisibleRows())
    if (point.y >= y && point.y < y + s.RowHeight(r)) return HitCell(hitCol, r, col, row, rect);
  return 1;
}

void CGridSideHeading::UpdateSideHeading(int oldTop) {
  if (!IsWindow()) return;
  const auto& s = m_grid->Sheet();
  if (oldTop == s.m_topRow) return;
  long long d = 0;
  for (int r = std::min(oldTop, s.m_topRow);
       r < std::max(oldTop, s.m_topRow) && d <= s.m_cellAreaHeight; ++r)
    d += s.RowHeight(r);
  if (oldTop < 0 || d >= s.m_cellAreaHeight - s.m_lockedHeight) {
    Invalidate(false);
    return;
  }
  int dy = static_cast<int>(oldTop < s.m_topRow ? -d : d);
  CRect client;
  GetClientRect(&client);
  CRect band(0, s.m_lockedHeight, client.right, client.bottom);
  widget()->scroll(0, dy, band.ToQt());
}

void CGridSideHeading::OnPaint() {
  CPaintDC dc(this);
  if (!m_grid->IsCreated()) return;
  const auto& s = m_grid->Sheet();
  CRect client;
  GetClientRect(&client);
  PreparePaint(dc);
  m_grid->FixLastHeadingCol();
  CRect update = dc.m_ps.rcPaint;
  if (update.IsRectEmpty()) update = client;
  std::set<std::pair<int, int>> blocks;
  int bottom = 0;
  for (auto [r, y] : m_grid->VisibleRows()) {
    int h = s.RowHeight(r);
    bottom = y + h;
    if (y >= update.bottom || y + h <= update.top) continue;
    int x = 0;
    for (int c = -s.m_sideHeadCols; c <= -1; ++c) {
      int w = s.m_sideHeadWidths[static_cast<std::size_t>(-c - 1)];
      DrawHeadingCell(dc, CRect(x, y, x + w, y + h), c, r, blocks);
      x += w;
    }
  }
  if (bottom < client.bottom)
    dc.FillSolidRect(CRect(0, bottom, client.right, client.bottom), m_grid->OnGetBackColor(3));
}

void CGridSideHeading::Hover(CPoint point) {
  const auto& s = m_grid->Sheet();
  bool wasHot = m_hot;
  m_hot = false;
  if (s.m_opt.userSizing > 0) {
    // Heading-column edges first, from the right edge (column -1) leftwards.
    int right = s.m_sideHeadWidth;
    for (int c = -1; c >= -s.m_sideHeadCols && !m_hot; --c) {
      if (NearEdge(point.x, right) && m_grid->OnBeforeSideHeadingResize()) {
        m_hot = true;
        m_kind = 1;
        m_index = c;
        m_startSize = s.m_sideHeadWidths[static_cast<std::size_t>(-c - 1)];
        m_startPos = point.x;
        m_startTotal = s.m_sideHeadWidth;
      }
      right -= s.m_sideHeadWidths[static_cast<std::size_t>(-c - 1)];
    }
    if (!m_hot) {
      for (auto [r, y] : m_grid->VisibleRows()) {
        if (NearEdge(point.y, y + s.RowHeight(r))) {
          int row = r;
          if (row + 1 < s.m_rowCount && s.RowHeight(row + 1) == 0) row = row + 1;
          if (m_grid->OnBeforeRowResize(row)) {
            m_hot = true;
            m_kind = 0;
            m_index = row;
            m_startSize = s.RowHeight(row);
            m_startPos = point.y;
            // Uniform heights: the pointer's distance per row, never 0.
            int h = std::max(1, s.m_defRowHeight);
            m_rowFactor = std::max(1e-3, static_cast<double>(std::max(1, point.y)) / h);
          }
          break;
        }
      }
    }
  }
  if (m_hot || wasHot) ShowCursor();
}

void CGridSideHeading::DragTo(CPoint point) {
  const auto& s = m_grid->Sheet();
  if (m_kind == 1) {
    int dx = point.x - m_startPos;
    int width = std::max(0, m_startSize + dx);
    int total = std::max(0, m_startTotal + dx);
    m_grid->OnSideHeadingDragging(&total);
    m_grid->StoreSideHeadingWhileDragging(m_index, width, total);
    return;
  }
  int height;
  if (s.m_uniform)
    height = static_cast<int>(std::max(1, point.y) / m_rowFactor);
  else
    height = m_startSize + (point.y - m_startPos);
  height = std::max(0, height);
  m_grid->NotifyTypesRowSizing(m_index, height);
  m_grid->OnRowHeightDragging(m_index, &height);
  m_grid->StoreRowHeightWhileDragging(m_index, height);
  Invalidate(false);
  MoveTrackLine(point.y, false);
}

void CGridSideHeading::OnLButtonDown(UINT, CPoint point) {
  if (m_hot) {
    m_dragging = true;
    SetCapture();
    return;
  }
  TakeFocusToCells();
  Press p = PressCell(point, Button::Left, 1);
  m_grid->OnSideHeadingLeftClick(p.col, p.row, 1, &p.rect, &point, p.processed);
  m_pressed = true;
}

void CGridSideHeading::EndSizing() {
  const auto& s = m_grid->Sheet();
  if (m_kind == 1) {
    int width = s.m_sideHeadWidth;
    m_grid->OnSideHeadingWidthSet(&width);
  } else {
    int height = s.RowHeight(m_index);
    m_grid->NotifyTypesRowSizing(m_index, height);
    m_grid->OnRowHeightSet(m_index, &height);
    m_grid->StoreRowHeightWhileDragging(m_index, height);
  }
  FinishSizing();
}

void CGridSideHeading::OnLButtonUp(UINT, CPoint point) {
  if (m_dragging) {
    EndSizing();
    return;
  }
  if (!m_pressed) return;
  m_pressed = false;
  Press p = PressCell(point, Button::Left, 0);
  m_grid->OnSideHeadingLeftClick(p.col, p.row, 0, &p.rect, &point, p.processed);
}

void CGridSideHeading::OnLButtonDblClk(UINT, CPoint point) {
  Press p = PressCell(point, Button::Double, 0);
  m_grid->OnSideHeadingDoubleClick(p.col, p.row, &p.rect, &point, p.processed);
}

void CGridSideHeading::NotifyRightClick(Press& p, int down, CPoint& point) {
  m_grid->OnSideHeadingRightClick(p.col, p.row, down, &p.rect, &point, p.processed);
}
