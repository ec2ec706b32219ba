#include "grid/gridscrollbar.h"

#include <QScrollBar>

#include "grid/gridscrollbarmath.h"

using namespace gridscroll;

QScrollBar* CGridScrollBar::Bar() const {
  return qobject_cast<QScrollBar*>(widget());
}

QWidget* CGridScrollBar::CreatePeer(QWidget* parent, const CREATESTRUCT&) {
  auto* bar = new QScrollBar(m_vertical ? Qt::Vertical : Qt::Horizontal, parent);
  // Thumb tracking is off: only the released thumb scrolls.
  bar->setTracking(false);
  bar->setFocusPolicy(Qt::NoFocus);
  QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [this](int action) {
    if (m_applying) return;
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd: Action(SB_LINEDOWN); break;
      case QAbstractSlider::SliderSingleStepSub: Action(SB_LINEUP); break;
      case QAbstractSlider::SliderPageStepAdd: Action(SB_PAGEDOWN); break;
      case QAbstractSlider::SliderPageStepSub: Action(SB_PAGEUP); break;
      case QAbstractSlider::SliderToMinimum: Action(SB_TOP); break;
      case QAbstractSlider::SliderToMaximum: Action(SB_BOTTOM); break;
      default: break;
    }
  });
  QObject::connect(bar, &QAbstractSlider::sliderReleased, bar, [this] {
    if (QScrollBar* b = Bar())
      m_grid->SendMessage(m_vertical ? WM_VSCROLL : WM_HSCROLL,
                          MAKEWPARAM(SB_THUMBPOSITION, static_cast<unsigned>(b->sliderPosition())));
  });
  return bar;
}

void CGridScrollBar::Action(int code) {
  m_grid->SendMessage(m_vertical ? WM_VSCROLL : WM_HSCROLL,
                      MAKEWPARAM(static_cast<unsigned>(code), 0));
  // The grid has set the position it wants; Qt must not move the slider on.
  if (QScrollBar* b = Bar())
    b->setSliderPosition(m_vertical ? m_grid->VertBarPos() : m_grid->HorzBarPos());
}

void CGridScrollBar::UpdateScrollBar() {
  QScrollBar* b = Bar();
  if (!b) return;
  m_applying = true;
  QSignalBlocker block(b);
  if (m_vertical) {
    const auto& s = m_grid->VertBarSetup();
    int maxPos = std::max(s.minPos, s.maxPos - (s.scaled ? 0 : s.page - 1));
    b->setRange(s.minPos, maxPos);
    b->setPageStep(std::max(1, s.page));
    b->setSliderPosition(m_grid->VertBarPos());
    b->setValue(m_grid->VertBarPos());
  } else {
    const auto& s = m_grid->HorzBarSetup();
    int maxPos = std::max(s.minPos, s.maxPos - s.page + 1);
    b->setRange(s.minPos, maxPos);
    b->setPageStep(std::max(1, s.page));
    b->setSliderPosition(m_grid->HorzBarPos());
    b->setValue(m_grid->HorzBarPos());
  }
  m_applying = false;
}

LRESULT CGridScrollBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_HELP) {
    const auto& s = m_grid->Sheet();
    const int section = m_vertical ? kSectionVertBar : kSectionHorzBar;
    return m_grid->ShowContextHelp(m_grid->OnContextHelp(s.m_curCol, s.m_curRow, section), section);
  }
  return CWnd::WindowProc(msg, wParam, lParam);
}
