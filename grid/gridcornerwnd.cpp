#include "grid/gridcornerwnd.h"

#include <algorithm>

#include "grid/gridcellwnd.h"

namespace {
constexpr int kEdge = 4;
}

void CGridCornerWnd::OnPaint() {
  CPaintDC dc(this);
  if (!m_grid->IsRepaintEnabled() || !m_grid->IsCreated()) return;
  m_grid->OnPrepareDC(&dc, nullptr, 2);
  m_grid->GetCell(-1, -1, m_scratch);
  int index = m_scratch.GridCellHasFlag(GridProp::CellType) ? m_scratch.GridCellGetCellType() : 0;
  CNormalCellType* type = m_grid->GetCellTypeObject(index);
  if (m_grid->Sheet().m_defaultFont) dc.SelectObject(m_grid->Sheet().m_defaultFont);
  CRect client;
  GetClientRect(&client);
  type->DrawCell(dc, client, -1, -1, m_scratch, false, false);
}

void CGridCornerWnd::OnMouseMove(UINT flags, CPoint point) {
  if (!m_dragging) {
    if (!(flags & (MK_LBUTTON | MK_RBUTTON)) && m_grid->Sheet().m_opt.userSizing) {
      m_sizing = m_sizeHeight = m_sizeWidth = false;
      CRect client;
      GetClientRect(&client);
      if (point.x >= client.right - kEdge && m_grid->OnBeforeSideHeadingResize()) {
        m_sizing = m_sizeWidth = true;
        SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
      }
      if (point.y >= client.bottom - kEdge && m_grid->OnBeforeTopHeadingResize()) {
        m_sizing = m_sizeHeight = true;
        SetCursor(LoadCursor(nullptr, IDC_SIZENS));
      }
    }
    return;
  }
  // The same hooks as at the headings' own edges: only the top heading's
  // may hold the new size back. Held within the limits, the sizes are taken.
  if (m_sizeHeight) {
    int h = std::max(0, point.y);
    if (m_grid->NotifyHeadingDragging(GridAxis::kRows, &h))
      (void)m_grid->SetTopHeadingHeight(std::clamp(h, 0, gridlimits::kMaxSize));
  }
  if (m_sizeWidth) {
    int w = std::max(0, point.x);
    if (m_grid->NotifyHeadingDragging(GridAxis::kCols, &w))
      (void)m_grid->SetSideHeadingWidth(std::clamp(w, 0, gridlimits::kMaxSize));
  }
  m_grid->LayoutParts();
}

void CGridCornerWnd::OnLButtonDown(UINT, CPoint point) {
  CGridCellWnd* cells = m_grid->CellArea();
  if (cells && GetFocus() != cells) cells->SetFocus();
  bool started = false;
  if (m_sizing) {
    SetCapture();
    m_dragging = started = true;
  }
  CRect client;
  GetClientRect(&client);
  m_grid->OnCornerLeftClick(1, &client, &point, started ? 1 : 0);
}

void CGridCornerWnd::OnLButtonUp(UINT, CPoint point) {
  bool ended = m_dragging;
  if (m_dragging) {
    m_dragging = false;
    if (GetCapture() == this) (void)ReleaseCapture();  // nothing refuses a release
    if (m_sizeHeight) {
      int h = m_grid->GetTopHeadingHeight();
      m_grid->NotifyHeadingSizeSet(GridAxis::kRows, &h);
    } else if (m_sizeWidth) {
      int w = m_grid->GetSideHeadingWidth();
      m_grid->NotifyHeadingSizeSet(GridAxis::kCols, &w);
    }
  }
  CRect client;
  GetClientRect(&client);
  m_grid->OnCornerLeftClick(0, &client, &point, ended ? 1 : 0);
}

void CGridCornerWnd::OnLButtonDblClk(UINT, CPoint point) {
  CRect client;
  GetClientRect(&client);
  m_grid->OnCornerDoubleClick(&client, &point, 0);
}

void CGridCornerWnd::OnRButtonDown(UINT, CPoint point) {
  CRect client;
  GetClientRect(&client);
  m_grid->OnCornerRightClick(1, &client, &point, 0);
  if (m_grid->Sheet().m_opt.popupMenus) m_grid->SetMenuCell(-1, -1, kSectionCorner);
}

void CGridCornerWnd::OnRButtonUp(UINT, CPoint point) {
  CRect client;
  GetClientRect(&client);
  m_grid->OnCornerRightClick(0, &client, &point, 0);
}

bool CGridCornerWnd::OnSetCursor(CWnd*, UINT, UINT) {
  int id = IDC_ARROW;
  if (m_sizing)
    id = (m_sizeHeight && m_sizeWidth) ? IDC_SIZENWSE : (m_sizeWidth ? IDC_SIZEWE : IDC_SIZENS);
  SetCursor(LoadCursor(nullptr, id));
  return true;
}

LRESULT CGridCornerWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_HELP)
    return m_grid->ShowContextHelp(m_grid->OnContextHelp(-1, -1, kSectionCorner), kSectionCorner);
  return CWnd::WindowProc(msg, wParam, lParam);
}
