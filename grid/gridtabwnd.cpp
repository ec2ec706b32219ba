#include "grid/gridtabwnd.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <QWidget>
#include <algorithm>

#include "grid/gridtabwndmath.h"

CGridTabWnd::CGridTabWnd(CSheetGridCtrl* grid)
    : m_grid(grid), m_smallBarWidth(2 * GetSystemMetrics(SM_CXHSCROLL)) {}

CFont& CGridTabWnd::TabFont() {
  // Made when first needed: fonts need the application object.
  if (!m_font.IsValid()) {
    LOGFONT lf;
    lf.lfHeight = 14;
    lf.lfWeight = 500;
    fw::SetFaceName(lf, "Arial");
    (void)m_font.CreateFontIndirect(&lf);  // fails only without a LOGFONT
  }
  return m_font;
}

CGridTabWnd::~CGridTabWnd() = default;

bool CGridTabWnd::PreCreateWindow(CREATESTRUCT& cs) {
  cs.style |= WS_CLIPCHILDREN;
  return CWnd::PreCreateWindow(cs);
}

int CGridTabWnd::OnCreate(CREATESTRUCT* cs) {
  int r = CWnd::OnCreate(cs);
  m_smallBar = new QScrollBar(Qt::Horizontal, widget());
  m_smallBar->setFocusPolicy(Qt::NoFocus);
  m_smallBar->setRange(0, 0);
  m_smallBar->setSingleStep(gridtabs::kScrollStep);
  QObject::connect(m_smallBar, &QAbstractSlider::actionTriggered, m_smallBar, [this](int action) {
    int step = 0;
    if (action == QAbstractSlider::SliderSingleStepAdd ||
        action == QAbstractSlider::SliderPageStepAdd)
      step = gridtabs::kScrollStep;
    else if (action == QAbstractSlider::SliderSingleStepSub ||
             action == QAbstractSlider::SliderPageStepSub)
      step = -gridtabs::kScrollStep;
    if (step) ScrollStrip(step);
    m_smallBar->setSliderPosition(m_offset);
  });
  m_smallBar->show();
  return r;
}

std::vector<int> CGridTabWnd::Widths() const {
  std::vector<int> w;
  w.reserve(m_tabs.size());
  for (const Tab& t : m_tabs) w.push_back(t.width);
  return w;
}

int CGridTabWnd::AddSheetTab(const std::string& label, int id) {
  if (static_cast<int>(m_tabs.size()) >= gridtabs::kMaxTabs) return kGridOutOfRange;
  Tab t;
  t.label = label;
  t.id = id;
  QFontMetrics fm(TabFont().font());
  t.width = fm.horizontalAdvance(QString::fromStdString(label)) + gridtabs::kLabelPadding;
  t.text = GetSysColor(COLOR_WINDOWTEXT);
  t.back = GetSysColor(COLOR_BTNFACE);
  t.curText = RGB(0, 0, 0);
  t.curBack = RGB(255, 255, 255);
  m_tabs.push_back(t);
  RecalcTabScroll();
  if (IsWindow()) Invalidate(false);
  return kGridOk;
}

void CGridTabWnd::RecalcTabScroll() {
  CRect client;
  if (IsWindow()) GetClientRect(&client);
  m_maxOffset = gridtabs::MaxOffset(Widths(), m_smallBarWidth, client.Width());
  m_offset = std::clamp(m_offset, 0, m_maxOffset);
  if (m_smallBar) {
    QSignalBlocker block(m_smallBar);
    m_smallBar->setRange(0, m_maxOffset);
    m_smallBar->setValue(m_offset);
  }
}

void CGridTabWnd::ScrollStrip(int delta) {
  int off = std::clamp(m_offset + delta, 0, m_maxOffset);
  if (off == m_offset) return;
  m_offset = off;
  if (IsWindow()) Invalidate(false);
}

int CGridTabWnd::TabAt(int x) const {
  return gridtabs::HitTest(Widths(), m_smallBarWidth, m_offset, x);
}

void CGridTabWnd::OnSize(UINT, int cx, int cy) {
  if (m_smallBar) m_smallBar->setGeometry(0, 1, std::min(m_smallBarWidth, cx), std::max(0, cy - 1));
  RecalcTabScroll();
}

void CGridTabWnd::DrawTab(CDC& dc, const Tab& tab, int x, int top, int bottom, bool current) {
  CPoint pts[4] = {
      {x, top}, {x + 7, bottom}, {x + tab.width + 2, bottom}, {x + tab.width + 9, top}};
  CBrush brush(current ? tab.curBack : tab.back);
  CPen outline(PS_SOLID, 1, RGB(0, 0, 0));
  dc.SelectObject(&brush);
  dc.SelectObject(&outline);
  dc.Polygon(pts, 4);
  if (current) {
    // The current tab's top edge takes its own colour: it joins the sheet above.
    CPen joint(PS_SOLID, 1, tab.curBack);
    dc.SelectObject(&joint);
    dc.MoveTo(x + 1, top);
    dc.LineTo(x + tab.width + 9, top);
  } else {
    CPen light(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    CPen shadow(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    dc.SelectObject(&light);
    dc.MoveTo(x + 2, top + 1);
    dc.LineTo(x + 8, bottom - 1);
    dc.SelectObject(&shadow);
    dc.MoveTo(x + 8, bottom - 2);
    dc.LineTo(x + tab.width + 2, bottom - 2);
  }
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(current ? tab.curText : tab.text);
  dc.TextOut(x + 10, top + 1, tab.label);
}

void CGridTabWnd::OnPaint() {
  CPaintDC dc(this);
  if (!m_grid->IsCreated()) return;
  CRect client;
  GetClientRect(&client);
  dc.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
  dc.SelectObject(&TabFont());
  const int top = client.top, bottom = client.bottom - 1;
  auto lefts = gridtabs::TabLefts(Widths(), m_smallBarWidth, m_offset);
  // A clip keeps the tabs off the small scroll bar.
  dc.IntersectClipRect(CRect(m_smallBarWidth, client.top, client.right, client.bottom));
  for (std::size_t i = 0; i < m_tabs.size(); ++i)
    if (static_cast<int>(i) != m_current) DrawTab(dc, m_tabs[i], lefts[i], top, bottom, false);
  CPen black(PS_SOLID, 1, RGB(0, 0, 0));
  dc.SelectObject(&black);
  dc.MoveTo(m_smallBarWidth, top);
  dc.LineTo(client.right, top);
  if (m_current >= 0 && m_current < static_cast<int>(m_tabs.size()))
    DrawTab(dc, m_tabs[static_cast<std::size_t>(m_current)],
            lefts[static_cast<std::size_t>(m_current)], top, bottom, true);
}

void CGridTabWnd::OnMouseMove(UINT, CPoint point) {
  CRect client;
  GetClientRect(&client);
  if (m_dragging) {
    m_grid->SetTabAreaWidth(std::max(gridtabs::kMinAreaWidth, point.x));
    m_grid->LayoutParts();
    return;
  }
  m_hot = point.x >= client.right - gridtabs::kSizingEdge;
}

void CGridTabWnd::OnLButtonDown(UINT, CPoint point) {
  CRect client;
  GetClientRect(&client);
  if (point.x >= client.right - gridtabs::kSizingEdge) {
    m_dragging = true;
    SetCapture();
    return;
  }
  const int index = TabAt(point.x);
  if (index >= 0) ChooseTab(index);
}

void CGridTabWnd::ChooseTab(int index) {
  CRect client;
  GetClientRect(&client);
  m_current = index;
  m_offset = gridtabs::OffsetToShow(Widths(), m_smallBarWidth, client.Width(), m_offset, index);
  if (m_smallBar) {
    QSignalBlocker block(m_smallBar);
    m_smallBar->setValue(m_offset);
  }
  Invalidate(false);
  m_grid->OnTabClicked(m_tabs[static_cast<std::size_t>(index)].id);
}

bool CGridTabWnd::StepTab(int step) {
  const int index = m_current + step;
  if (index < 0 || index >= static_cast<int>(m_tabs.size()) || index == m_current) return false;
  ChooseTab(index);
  return true;
}

void CGridTabWnd::OnLButtonUp(UINT, CPoint) {
  if (!m_dragging) return;
  m_dragging = false;
  if (GetCapture() == this) (void)ReleaseCapture();  // nothing refuses a release
}

bool CGridTabWnd::OnSetCursor(CWnd*, UINT, UINT) {
  SetCursor(LoadCursor(nullptr, (m_hot || m_dragging) ? IDC_SIZEWE : IDC_ARROW));
  return true;
}

LRESULT CGridTabWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_HELP) {
    const auto& s = m_grid->Sheet();
    return m_grid->ShowContextHelp(m_grid->OnContextHelp(s.m_curCol, s.m_curRow, kSectionTabs),
                                   kSectionTabs);
  }
  return CWnd::WindowProc(msg, wParam, lParam);
}
