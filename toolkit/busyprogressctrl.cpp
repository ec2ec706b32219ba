#include "toolkit/busyprogressctrl.h"

#include <algorithm>
#include <cmath>

CBusyProgressCtrl::CBusyProgressCtrl(int segments, int pos)
    : m_nSegments(std::max(segments, 0)),
      m_nPos(pos),
      m_nDivisionTotal(m_nSegments * m_nStepDivisions),
      m_colBkg(GetSysColor(COLOR_BTNFACE)) {}

CBusyProgressCtrl::~CBusyProgressCtrl() {
  End();
}

bool CBusyProgressCtrl::Create(const CRect& rect, CWnd* parent, int id) {
  if (!CWnd::Create("STATIC", kWindowText, WS_CHILD | WS_VISIBLE, rect, parent, id)) return false;
  Recalc();
  return true;
}

QWidget* CBusyProgressCtrl::CreatePeer(QWidget* parent, const CREATESTRUCT&) {
  return new fw::CPeerWidget(parent);
}

void CBusyProgressCtrl::PreSubclassWindow() {
  CStatic::PreSubclassWindow();
  Recalc();
}

// ---- settings ---------------------------------------------------------------------

void CBusyProgressCtrl::SetNumSegments(int count) {
  m_nSegments = std::max(count, 0);
  if (m_nFillMode == kFillSmooth) m_nDivisionTotal = m_nSegments * m_nStepDivisions;
  Recalc();
  Repaint();
}

void CBusyProgressCtrl::SetPos(int pos) {
  m_nPos = pos;
  Repaint();
}

void CBusyProgressCtrl::SetGap(int gap) {
  m_nGap = std::max(gap, 0);
  Recalc();
  Repaint();
}

void CBusyProgressCtrl::SetRange(int lower, int upper) {
  m_nLower = lower;
  m_nUpper = upper;
}

void CBusyProgressCtrl::SetMode(int mode) {
  End();
  if ((m_nMode != kModeBusy && m_nMode != kModeProgress) ||
      (mode != kModeBusy && mode != kModeProgress))
    return;
  m_nMode = mode;
  if (mode == kModeProgress) m_nStep = 1;
}

void CBusyProgressCtrl::Start() {
  if (m_nMode != kModeBusy || !IsWindow()) return;
  SetTimer(kAnimationTimer, static_cast<UINT>(std::max(m_nInterval, 1)));
  m_bRunning = true;
}

void CBusyProgressCtrl::End() {
  if (m_bRunning && IsWindow()) KillTimer(kAnimationTimer);
  m_bRunning = false;
}

int CBusyProgressCtrl::Limit() const {
  return m_nFillMode == kFillSmooth ? m_nDivisionTotal : m_nSegments;
}

void CBusyProgressCtrl::Step() {
  if (m_nMode == kModeBusy) {
    const int limit = Limit();
    if (limit <= 0) return;
    switch (m_nAnimationStyle) {
      case kBounce:
        if (m_nPos >= limit - 1)
          m_nStep = -1;
        else if (m_nPos <= 0)
          m_nStep = 1;
        break;
      case kWrapForward:
        if (m_nPos + 1 >= limit) m_nPos = -1;
        break;
      case kWrapBackward:
        if (m_nPos <= 0) m_nPos = limit;
        break;
      default: break;
    }
  }
  m_nPos += m_nStep;
  Repaint();
}

void CBusyProgressCtrl::SetBusyType(int type) {
  m_nAnimationStyle = type;
  if (m_nMode != kModeBusy) return;
  if (type == kWrapForward) m_nStep = 1;
  if (type == kWrapBackward) m_nStep = -1;
}

void CBusyProgressCtrl::SetBusyFill(int fill) {
  if (m_nMode != kModeBusy) return;
  m_nFillMode = fill;
  if (fill == kFillSmooth) m_nDivisionTotal = m_nStepDivisions * m_nSegments;
  Reset();
}

void CBusyProgressCtrl::SetGranularity(int divisions) {
  m_nStepDivisions = std::max(divisions, 1);
  SetBusyFill(m_nFillMode);
}

void CBusyProgressCtrl::SetColBkg(COLORREF c) {
  m_colBkg = c;
  Repaint();
}
void CBusyProgressCtrl::SetColBlocks(COLORREF c) {
  m_colBlocks = c;
  Repaint();
}
void CBusyProgressCtrl::SetColBlocksEdge(COLORREF c) {
  m_colBlocksEdge = c;
  Repaint();
}
void CBusyProgressCtrl::SetColBlocksHi(COLORREF c) {
  m_colBlocksHi = c;
  Repaint();
}
void CBusyProgressCtrl::SetColBlocksEdgeHi(COLORREF c) {
  m_colBlocksEdgeHi = c;
  Repaint();
}

void CBusyProgressCtrl::UseSysCol(bool on) {
  m_bSystemColours = on;
  if (on) m_colBkg = GetSysColor(COLOR_BTNFACE);
  Repaint();
}

void CBusyProgressCtrl::Recalc() {
  if (m_rcClient.IsRectEmpty() && IsWindow()) GetClientRect(&m_rcClient);
  const int total = m_rcClient.Width() - m_nSegments * m_nGap;
  m_dSegWidth = m_nSegments > 0 ? std::max(total, 0) / static_cast<double>(m_nSegments) : 0.0;
  m_dSegHeight = m_rcClient.Height();
}

void CBusyProgressCtrl::Reset() {
  if (m_nMode == kModeBusy && m_nAnimationStyle == kWrapBackward) {
    m_nPos = m_nFillMode == kFillSmooth ? m_nStepDivisions * m_nSegments : m_nSegments;
    m_nStep = -1;
  } else {
    m_nPos = 0;
    m_nStep = 1;
  }
  Repaint();
}

// ---- geometry ---------------------------------------------------------------------

double CBusyProgressCtrl::FilledSegments() const {
  double fraction = 0.0;
  if (m_nMode == kModeProgress) {
    // A range of no width fills nothing; outside the range the bar is empty or full.
    const double span = static_cast<double>(m_nUpper) - m_nLower;
    if (span != 0.0) fraction = (static_cast<double>(m_nPos) - m_nLower) / span;
  } else if (m_nFillMode == kFillSmooth) {
    if (m_nDivisionTotal > 0) fraction = static_cast<double>(m_nPos) / m_nDivisionTotal;
  } else {
    return -1.0;
  }
  return std::clamp(fraction, 0.0, 1.0) * m_nSegments;
}

int CBusyProgressCtrl::ActiveSegment() const {
  return m_nMode == kModeBusy && m_nFillMode == kFillBlock ? m_nPos : -1;
}

CRect CBusyProgressCtrl::SegmentRect(int index) const {
  const double left = m_rcClient.left + index * (m_dSegWidth + m_nGap);
  return CRect(static_cast<int>(left), m_rcClient.top, static_cast<int>(left + m_dSegWidth),
               m_rcClient.top + static_cast<int>(m_dSegHeight));
}

// ---- painting ---------------------------------------------------------------------

void CBusyProgressCtrl::Paint(CDC& dc) {
  CRect client = m_rcClient;
  if (client.IsRectEmpty() && IsWindow()) GetClientRect(&client);
  DrawBackground(dc, client);
  const int active = ActiveSegment();
  const double filled = FilledSegments();
  const int whole = filled < 0 ? -1 : static_cast<int>(std::floor(filled));
  for (int i = 0; i < m_nSegments; ++i) {
    const CRect r = SegmentRect(i);
    if (filled < 0) {
      if (i == active)
        DrawActiveSegment(dc, r);
      else
        DrawSegment(dc, r);
      continue;
    }
    if (i < whole) {
      DrawActiveSegment(dc, r);
      continue;
    }
    DrawSegment(dc, r);
    if (i == whole) {
      const int width = static_cast<int>((filled - whole) * m_dSegWidth);
      if (width > 0) DrawPartialSegment(dc, r, width);
    }
  }
}

void CBusyProgressCtrl::DrawBackground(CDC& dc, const CRect& rect) {
  dc.FillSolidRect(rect, m_colBkg);
}

void CBusyProgressCtrl::DrawSegment(CDC& dc, const CRect& rect) {
  CPen pen(PS_SOLID, 1, m_colBlocksEdge);
  CBrush brush(m_colBlocks);
  CPen* oldPen = dc.SelectObject(&pen);
  CBrush* oldBrush = dc.SelectObject(&brush);
  dc.Rectangle(rect);
  dc.SelectObject(oldPen);
  dc.SelectObject(oldBrush);
}

void CBusyProgressCtrl::DrawActiveSegment(CDC& dc, const CRect& rect) {
  CPen pen(PS_SOLID, 1, m_colBlocksEdgeHi);
  CBrush brush(m_colBlocksHi);
  CPen* oldPen = dc.SelectObject(&pen);
  CBrush* oldBrush = dc.SelectObject(&brush);
  dc.Rectangle(rect);
  dc.SelectObject(oldPen);
  dc.SelectObject(oldBrush);
}

void CBusyProgressCtrl::DrawPartialSegment(CDC& dc, const CRect& rect, int width) {
  CRect r = rect;
  r.DeflateRect(1, 1);
  r.right = std::min(r.left + width, rect.right - 1);
  if (r.right > r.left && r.bottom > r.top) dc.FillSolidRect(r, m_colBlocksHi);
}

void CBusyProgressCtrl::Repaint() {
  if (IsWindow()) Invalidate(false);
}

// ---- messages ---------------------------------------------------------------------

LRESULT CBusyProgressCtrl::WindowProc(UINT msg, WPARAM w, LPARAM l) {
  const int iw = static_cast<int>(w);
  switch (msg) {
    case BPM_SETNUMSEGMENTS: SetNumSegments(iw); return 0;
    case BPM_SETPOS: SetPos(iw); return 0;
    case BPM_SETGAP: SetGap(iw); return 0;
    case BPM_SETINTERVAL: SetInterval(iw); return 0;
    case BPM_SETRANGE: SetRange(iw, static_cast<int>(l)); return 0;
    case BPM_SETMODE: SetMode(iw); return 0;
    case BPM_START: Start(); return 0;
    case BPM_END: End(); return 0;
    case BPM_STEP: Step(); return 0;
    case BPM_SETBUSYTYPE: SetBusyType(iw); return 0;
    case BPM_SETBUSYFILL: SetBusyFill(iw); return 0;
    case BPM_SETGRANULARITY: SetGranularity(iw); return 0;
    case BPM_SETCOLBKG: SetColBkg(static_cast<COLORREF>(w)); return 0;
    case BPM_SETCOLBLOCKS: SetColBlocks(static_cast<COLORREF>(w)); return 0;
    case BPM_SETCOLBLOCKSEDGE: SetColBlocksEdge(static_cast<COLORREF>(w)); return 0;
    case BPM_SETCOLBLOCKSHI: SetColBlocksHi(static_cast<COLORREF>(w)); return 0;
    case BPM_SETCOLBLOCKSEDGEHI: SetColBlocksEdgeHi(static_cast<COLORREF>(w)); return 0;
    case BPM_RECALC: Recalc(); return 0;
    case BPM_RESET: Reset(); return 0;
    case BPM_USESYSCOL: UseSysCol(w != 0); return 0;
    default: return CStatic::WindowProc(msg, w, l);
  }
}

void CBusyProgressCtrl::OnPaint() {
  CPaintDC dc(this);
  Paint(dc);
}

bool CBusyProgressCtrl::OnEraseBkgnd(CDC*) {
  return true;  // the paint covers every pixel
}

void CBusyProgressCtrl::OnSize(UINT type, int cx, int cy) {
  CStatic::OnSize(type, cx, cy);
  // The segments follow the new size at once, not only at the next layout request.
  m_rcClient = CRect(0, 0, cx, cy);
  Recalc();
  Repaint();
}

void CBusyProgressCtrl::OnTimer(UINT_PTR id) {
  if (id == kAnimationTimer && m_bRunning) {
    Step();
    return;
  }
  CStatic::OnTimer(id);
}

void CBusyProgressCtrl::OnSysColorChange() {
  CStatic::OnSysColorChange();
  if (m_bSystemColours) {
    m_colBkg = GetSysColor(COLOR_BTNFACE);
    Repaint();
  }
}
