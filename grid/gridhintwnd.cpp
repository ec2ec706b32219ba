#include "grid/gridhintwnd.h"

#include <QFontMetrics>
#include <QWidget>
#include <algorithm>

int CGridHintWnd::CreateHintWnd(CSheetGridCtrl* grid, CBrush*) {
  m_grid = grid;
  if (!CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "HintWnd", "", WS_POPUP | WS_BORDER,
                CRect(0, 0, 10, 10), grid, 0))
    return 0;
  if (widget()) {
    widget()->setAttribute(Qt::WA_ShowWithoutActivating);
    m_lineHeight = QFontMetrics(widget()->font()).boundingRect(QStringLiteral("X")).height();
  }
  return 1;
}

void CGridHintWnd::SetHintText(const std::string& text, bool redraw) {
  m_text = text;
  if (redraw && IsWindow()) Invalidate(false);
}

void CGridHintWnd::ShowHint(int x, int y, int minWidth) {
  if (!IsWindow() || !m_grid) return;
  QFontMetrics fm(widget()->font());
  int width = std::max(minWidth, fm.horizontalAdvance(QString::fromStdString(m_text)) + 4);
  int height = std::max(m_lineHeight, fm.height());
  int left = (m_align & 4) ? x - width / 2 : ((m_align & 2) ? x - width : x);
  int top = (m_align & 0x20) ? y - height / 2 : ((m_align & 0x10) ? y - height : y);
  CRect client;
  m_grid->GetClientRect(&client);
  left = std::max(0, std::min(left, client.right - width));
  top = std::max(0, std::min(top, client.bottom - height));
  CRect r(left, top, left + width, top + height);
  m_grid->ClientToScreen(&r);
  MoveWindow(r);
  ShowWindow(SW_SHOWNA);
  Invalidate(false);
}

void CGridHintWnd::HideHint() {
  if (IsWindow()) ShowWindow(SW_HIDE);
}

void CGridHintWnd::OnPaint() {
  CPaintDC dc(this);
  if (!m_grid || !m_grid->IsCreated()) return;
  CRect client;
  GetClientRect(&client);
  if (m_font) dc.SelectObject(m_font);
  dc.SetTextColor(m_textColor);
  dc.SetBkColor(m_backColor);
  dc.SetBkMode(OPAQUE);
  dc.FillSolidRect(client, m_backColor);
  dc.DrawText(m_text, client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
