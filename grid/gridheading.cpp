#include "grid/gridheading.h"

#include <QWidget>
#include <algorithm>
#include <set>

#include "grid/gridcellwnd.h"

namespace {
constexpr int kEdgeSlack = 3;  // pixels either side of an edge that start sizing

int TypeIndex(CGridCellValue& cell) {
  return cell.GridCellHasFlag(GridProp::CellType) ? cell.GridCellGetCellType() : 0;
}

// A part with its offset and size along one direction of the heading.
struct Band {
  int index, pos, size;
};
}  // namespace

int CGridHeading::Section() const {
  return m_along == GridAxis::kCols ? kSectionTopHeading : kSectionSideHeading;
}

CNormalCellType* CGridHeading::TypeOf(int col, int row, CGridCellValue& cell) {
  m_grid->GetCell(col, row, cell);
  return m_grid->GetCellTypeObject(TypeIndex(cell));
}

void CGridHeading::TakeFocusToCells() {
  CGridCellWnd* cells = m_grid->CellArea();
  if (cells && GetFocus() != cells) cells->SetFocus();
}

void CGridHeading::OnCaptureChanged(CWnd*) {
  // Another window took the mouse (a modal loop): the release will not come.
  // A sizing keeps what it reached; a press ends without a click.
  m_pressed = false;
  if (m_dragging) EndSizing();
}

int CGridHeading::GetHeadingCellRect(int col, int row, CRect& rect) {
  return m_grid->GetCellRectangle(col, row, rect);
}

LRESULT CGridHeading::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_HELP) {
    CPoint p = widget() ? CPoint(widget()->mapFromGlobal(QCursor::pos())) : CPoint();
    int col = -1, row = -1;
    CRect rect;
    (void)HitTestHeading(p, col, row, rect);  // none: -1, -1
    return m_grid->ShowContextHelp(m_grid->OnContextHelp(col, row, Section()), Section());
  }
  return CWnd::WindowProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Hit tests and rectangles

int CGridHeading::HeadingIndexAt(int pos, const std::vector<int>& sizes, int count) {
  int start = 0, hit = 0;
  for (int i = -count; i <= -1; ++i) {
    int size = sizes[static_cast<std::size_t>(-i - 1)];
    if (pos >= start && pos < start + size) hit = i;
    start += size;
  }
  return hit;
}

int CGridHeading::HitCell(int col, int row, int& outCol, int& outRow, CRect& rect) {
  outCol = col;
  outRow = row;
  int c1, r1, c2, r2;
  if (m_grid->GetJoinBlock(col, row, c1, r1, c2, r2)) {
    outCol = c1;
    outRow = r1;
  }
  (void)m_grid->GetCellRectangle(outCol, outRow, rect);  // a hit cell is on screen
  return kGridOk;
}

int CGridHeading::HitTestHeading(CPoint point, int& col, int& row, CRect& rect) {
  const auto& s = m_grid->Sheet();
  col = row = -1;
  const auto across = s.Axis(Across());
  const int part = HeadingIndexAt(AcrossOf(point), across.HeadingSizes(), across.HeadingCount());
  if (part == 0) return kGridOutOfRange;
  const auto along = s.Axis(m_along);
  const int at = AlongOf(point);
  for (auto [i, pos] : m_grid->VisibleParts(m_along)) {
    if (at < pos || at >= pos + along.Size(i)) continue;
    return m_along == GridAxis::kCols ? HitCell(i, part, col, row, rect)
                                      : HitCell(part, i, col, row, rect);
  }
  return kGridOutOfRange;
}

// ---------------------------------------------------------------------------
// Painting

void CGridHeading::UpdateHeading(int oldFirst) {
  if (!IsWindow()) return;
  const auto& s = m_grid->Sheet();
  const auto ax = s.Axis(m_along);
  if (oldFirst == ax.First()) return;
  // Titles joined over groups of columns are common, and a joined block is
  // drawn from its first visible cell: the top heading repaints whole. The
  // side heading moves the pixels that stay.
  if (m_along == GridAxis::kCols) {
    Invalidate(false);
    return;
  }
  const int d = m_grid->DistanceBetween(m_along, oldFirst, ax.First(), ax.Extent());
  if (oldFirst < 0 || std::abs(d) >= ax.Extent() - ax.LockedSize()) {
    Invalidate(false);
    return;
  }
  CRect client;
  GetClientRect(&client);
  CRect band(0, ax.LockedSize(), client.right, client.bottom);
  widget()->scroll(0, -d, band.ToQt());
}

void CGridHeading::RepaintPart(int index) {
  if (!IsWindow() || index < 0) return;
  const auto ax = m_grid->Sheet().Axis(m_along);
  for (auto [i, pos] : m_grid->VisibleParts(m_along)) {
    if (i != index) continue;
    CRect client;
    GetClientRect(&client);
    const CRect band = m_along == GridAxis::kRows ? CRect(0, pos, client.right, pos + ax.Size(i))
                                                  : CRect(pos, 0, pos + ax.Size(i), client.bottom);
    InvalidateRect(&band, false);
    return;
  }
}

void CGridHeading::PreparePaint(CDC& dc) {
  const auto& s = m_grid->Sheet();
  if (s.m_defaultFont) dc.SelectObject(s.m_defaultFont);
  m_grid->OnPrepareDC(&dc, nullptr, Section());
}

void CGridHeading::DrawHeadingCell(CDC& dc, CRect rect, int col, int row,
                                   std::set<std::pair<int, int>>& blocks) {
  int dc1 = col, dr1 = row, c1, r1, c2, r2;
  if (m_grid->GetJoinBlock(col, row, c1, r1, c2, r2)) {
    if (!blocks.insert({c1, r1}).second) return;
    dc1 = c1;
    dr1 = r1;
    (void)m_grid->GetBlockRect(c1, r1, c2, r2, rect);  // drawn, so on screen
  }
  CNormalCellType* type = TypeOf(dc1, dr1, m_scratch);
  type->DrawCell(dc, rect, dc1, dr1, m_scratch, false, false);
}

void CGridHeading::OnPaint() {
  CPaintDC dc(this);
  if (!m_grid->IsCreated()) return;
  const auto& s = m_grid->Sheet();
  CRect client;
  GetClientRect(&client);
  PreparePaint(dc);
  m_grid->FixLastHeadingPart(Across());
  CRect update = dc.m_ps.rcPaint;
  if (update.IsRectEmpty()) update = client;

  // Along the heading the columns (rows) on screen; across it the heading's
  // own rows (columns) from the outermost in.
  std::vector<Band> along, across;
  const auto alongAxis = s.Axis(m_along);
  for (auto [i, pos] : m_grid->VisibleParts(m_along)) along.push_back({i, pos, alongAxis.Size(i)});
  const auto acrossAxis = s.Axis(Across());
  int acrossEnd = 0;
  for (int i = -acrossAxis.HeadingCount(); i <= -1; ++i) {
    across.push_back({i, acrossEnd, acrossAxis.PartSize(i)});
    acrossEnd += across.back().size;
  }
  const int alongEnd = along.empty() ? 0 : along.back().pos + along.back().size;

  // Row by row, left to right in both headings.
  const bool alongRows = m_along == GridAxis::kRows;
  const std::vector<Band>& rows = alongRows ? along : across;
  const std::vector<Band>& cols = alongRows ? across : along;
  std::set<std::pair<int, int>> blocks;
  for (const Band& r : rows) {
    if (r.pos >= update.bottom || r.pos + r.size <= update.top) continue;
    for (const Band& c : cols) {
      if (c.pos >= update.right || c.pos + c.size <= update.left) continue;
      DrawHeadingCell(dc, CRect(c.pos, r.pos, c.pos + c.size, r.pos + r.size), c.index, r.index,
                      blocks);
    }
  }
  // Beyond the last column (row), and beyond the heading's own parts.
  const COLORREF back = m_grid->OnGetBackColor(Section());
  const CRect beyondAlong = alongRows ? CRect(0, alongEnd, client.right, client.bottom)
                                      : CRect(alongEnd, 0, client.right, client.bottom);
  const CRect beyondAcross = alongRows ? CRect(acrossEnd, 0, client.right, alongEnd)
                                       : CRect(0, acrossEnd, alongEnd, client.bottom);
  if (!beyondAlong.IsRectEmpty()) dc.FillSolidRect(beyondAlong, back);
  if (!beyondAcross.IsRectEmpty()) dc.FillSolidRect(beyondAcross, back);
}

// ---------------------------------------------------------------------------
// Sizing by dragging edges

bool CGridHeading::NearEdge(int pos, int edge) {
  return pos > edge - kEdgeSlack && pos < edge + kEdgeSlack;
}

void CGridHeading::ShowCursor() {
  SetCursor(
      LoadCursor(nullptr, m_hot ? (HotEdgeSizesWidth() ? IDC_SIZEWE : IDC_SIZENS) : IDC_ARROW));
}

void CGridHeading::Hover(CPoint point) {
  const auto& s = m_grid->Sheet();
  const bool wasHot = m_hot;
  m_hot = false;
  // Edges across x are tried first: the columns' in the top heading, the
  // heading columns' in the side heading.
  if (s.m_opt.userSizing > 0) {
    if (m_along == GridAxis::kCols)
      HoverDataEdges(point) || HoverHeadingEdges(point);
    else
      HoverHeadingEdges(point) || HoverDataEdges(point);
  }
  if (m_hot || wasHot) ShowCursor();
}

// The far edges of the columns (rows) on screen. A hidden part after an edge
// is the one pulled open there; the first edge whose part may be sized wins.
bool CGridHeading::HoverDataEdges(CPoint point) {
  const auto ax = m_grid->Sheet().Axis(m_along);
  const int at = AlongOf(point);
  for (auto [i, pos] : m_grid->VisibleParts(m_along)) {
    if (!NearEdge(at, pos + ax.Size(i))) continue;
    int index = i;
    if (index + 1 < ax.Count() && ax.Size(index + 1) == 0) ++index;
    if (!m_grid->NotifyBeforeResize(m_along, index)) continue;
    m_hot = true;
    m_edge = Edge::kData;
    m_index = index;
    m_startSize = ax.Size(index);
    m_startPos = at;
    // Shared heights follow the pointer's distance per row, never 0.
    m_factor = std::max(1e-3, static_cast<double>(std::max(1, at)) / std::max(1, ax.DefaultSize()));
    return true;
  }
  return false;
}

// The heading's own rows (columns), from the edge next to the cells (part
// -1) outwards.
bool CGridHeading::HoverHeadingEdges(CPoint point) {
  const auto ax = m_grid->Sheet().Axis(Across());
  const int at = AcrossOf(point);
  int edge = ax.HeadingTotal();
  for (int i = -1; i >= -ax.HeadingCount(); --i) {
    if (NearEdge(at, edge) && m_grid->NotifyBeforeHeadingResize(Across())) {
      m_hot = true;
      m_edge = Edge::kHeading;
      m_index = i;
      m_startSize = ax.PartSize(i);
      m_startPos = at;
      m_startTotal = ax.HeadingTotal();
      return true;
    }
    edge -= ax.PartSize(i);
  }
  return false;
}

void CGridHeading::OnMouseMove(UINT flags, CPoint point) {
  if (!m_dragging) {
    if (!(flags & (MK_LBUTTON | MK_RBUTTON))) Hover(point);
    return;
  }
  DragTo(point);
}

void CGridHeading::DragTo(CPoint point) {
  if (m_edge == Edge::kHeading) {
    const int d = AcrossOf(point) - m_startPos;
    const int size = std::max(0, m_startSize + d);
    int total = std::max(0, m_startTotal + d);
    if (m_grid->NotifyHeadingDragging(Across(), &total))
      m_grid->StoreHeadingWhileDragging(Across(), m_index, size, total);
    return;
  }
  const auto ax = m_grid->Sheet().Axis(m_along);
  const int at = AlongOf(point);
  int size =
      ax.Uniform() ? static_cast<int>(std::max(1, at) / m_factor) : m_startSize + (at - m_startPos);
  size = std::max(0, size);
  m_grid->NotifyTypesSizing(m_along, m_index, size);
  m_grid->NotifySizeDragging(m_along, m_index, &size);
  m_grid->StorePartWhileDragging(m_along, m_index, size);
  Invalidate(false);
  // The tracking line in the cell area follows the pointer.
  MoveTrackLine(at);
}

void CGridHeading::MoveTrackLine(int pos) {
  CGridCellWnd* cells = m_grid->CellArea();
  if (!cells) return;
  const auto& s = m_grid->Sheet();
  const bool vertical = m_along == GridAxis::kCols;
  auto band = [&](int at) {
    return vertical ? CRect(at - 1, 0, at + 3, s.m_cellAreaHeight)
                    : CRect(0, at - 1, s.m_cellAreaWidth, at + 3);
  };
  const int old = m_track;
  m_track = std::clamp(pos, 0, std::max(0, s.Axis(m_along).Extent() - 2));
  if (old >= 0) {
    CRect r = band(old);
    cells->InvalidateRect(&r, false);
  }
  CRect r = band(m_track);
  cells->InvalidateRect(&r, false);
}

void CGridHeading::EndSizing() {
  const auto& s = m_grid->Sheet();
  if (m_edge == Edge::kHeading) {
    int total = s.Axis(Across()).HeadingTotal();
    m_grid->NotifyHeadingSizeSet(Across(), &total);
  } else {
    const int size = s.Axis(m_along).Size(m_index);
    int set = size;
    m_grid->NotifyTypesSizing(m_along, m_index, set);
    m_grid->NotifySizeSet(m_along, m_index, &set);
    if (set != size) m_grid->StorePartWhileDragging(m_along, m_index, set);
  }
  FinishSizing();
}

void CGridHeading::FinishSizing() {
  m_dragging = false;
  m_track = -1;
  if (GetCapture() == this) (void)ReleaseCapture();  // nothing refuses a release
  if (m_grid->CellArea()) m_grid->CellArea()->Invalidate(false);
  m_grid->LayoutParts();
}

// ---------------------------------------------------------------------------
// Clicks

CGridHeading::Press CGridHeading::PressCell(CPoint point, Button button, int down) {
  Press p;
  if (HitTestHeading(point, p.col, p.row, p.rect) != kGridOk) return p;
  CNormalCellType* type = TypeOf(p.col, p.row, m_scratch);
  switch (button) {
    case Button::kLeft:
      p.processed = type->HandleLeftClick(p.col, p.row, down, p.rect, point);
      break;
    case Button::kRight:
      p.processed = type->HandleRightClick(p.col, p.row, down, p.rect, point);
      break;
    case Button::kDouble: p.processed = type->HandleDoubleClick(p.col, p.row, p.rect, point); break;
  }
  return p;
}

void CGridHeading::NotifyClick(Button button, Press& p, int down, CPoint& point) {
  const bool top = m_along == GridAxis::kCols;
  switch (button) {
    case Button::kLeft:
      if (top)
        m_grid->OnTopHeadingLeftClick(p.col, p.row, down, &p.rect, &point, p.processed);
      else
        m_grid->OnSideHeadingLeftClick(p.col, p.row, down, &p.rect, &point, p.processed);
      break;
    case Button::kRight:
      if (top)
        m_grid->OnTopHeadingRightClick(p.col, p.row, down, &p.rect, &point, p.processed);
      else
        m_grid->OnSideHeadingRightClick(p.col, p.row, down, &p.rect, &point, p.processed);
      break;
    case Button::kDouble:
      if (top)
        m_grid->OnTopHeadingDoubleClick(p.col, p.row, &p.rect, &point, p.processed);
      else
        m_grid->OnSideHeadingDoubleClick(p.col, p.row, &p.rect, &point, p.processed);
      break;
  }
}

void CGridHeading::OnLButtonDown(UINT, CPoint point) {
  if (m_hot) {
    m_dragging = true;
    SetCapture();
    return;
  }
  TakeFocusToCells();
  Press p = PressCell(point, Button::kLeft, 1);
  NotifyClick(Button::kLeft, p, 1, point);
  m_pressed = true;
  // Only columns can be dragged to another place: the top heading asks, and
  // holds the mouse until the release.
  if (m_along == GridAxis::kCols) {
    m_grid->OnBeforeColDrag(p.col);
    SetCapture();
  }
}

void CGridHeading::OnLButtonUp(UINT, CPoint point) {
  if (m_dragging) {
    EndSizing();
    return;
  }
  if (!m_pressed) return;
  m_pressed = false;
  Press p = PressCell(point, Button::kLeft, 0);
  NotifyClick(Button::kLeft, p, 0, point);
  if (GetCapture() == this) (void)ReleaseCapture();  // nothing refuses a release
}

void CGridHeading::OnLButtonDblClk(UINT, CPoint point) {
  // A double-click on a column's edge fits the column to its content; rows
  // have no such fit.
  if (m_along == GridAxis::kCols && m_hot && m_edge == Edge::kData &&
      m_grid->Sheet().m_opt.fitOnDblClick) {
    (void)m_grid->FitColumnsToContent(m_index, m_index, 20, 1);
    Hover(point);
    m_dragging = false;
    if (GetCapture() == this) (void)ReleaseCapture();  // nothing refuses a release
    return;
  }
  Press p = PressCell(point, Button::kDouble, 0);
  NotifyClick(Button::kDouble, p, 0, point);
}

void CGridHeading::OnRButtonDown(UINT, CPoint point) {
  TakeFocusToCells();
  Press p = PressCell(point, Button::kRight, 1);
  NotifyClick(Button::kRight, p, 1, point);
}

void CGridHeading::OnRButtonUp(UINT, CPoint point) {
  Press p = PressCell(point, Button::kRight, 0);
  NotifyClick(Button::kRight, p, 0, point);
}

bool CGridHeading::OnSetCursor(CWnd*, UINT, UINT) {
  ShowCursor();
  return true;
}
