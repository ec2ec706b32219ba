#include "toolkit/anchorlayoutdialog.h"

#include <QPolygon>
#include <QRegion>
#include <QSizeGrip>

namespace {

// The control's rectangle in the client coordinates of `owner`.
CRect RectIn(QWidget* control, QWidget* owner) {
  if (!control || !owner) return {};
  const QPoint at =
      control->parentWidget() == owner ? control->pos() : control->mapTo(owner, QPoint(0, 0));
  return CRect(at.x(), at.y(), at.x() + control->width(), at.y() + control->height());
}

// The grip is a size grip whose upper-left half is cut away, so that it never
// covers more of a control in the corner than the triangle it draws.
class CSizeGripWnd : public CWnd {
 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT&) override {
    return new QSizeGrip(parent);
  }
  void OnSize(UINT type, int cx, int cy) override {
    CWnd::OnSize(type, cx, cy);
    QPolygon triangle;
    triangle << QPoint(cx, 0) << QPoint(cx, cy) << QPoint(0, cy);
    if (widget()) widget()->setMask(QRegion(triangle));
  }
};

}  // namespace

// ---- layout -----------------------------------------------------------------------

bool CAnchorLayout::LikesClipping(CWnd* control) const {
  if (!control) return false;
  const std::uint32_t style = control->GetStyle();
  if (dynamic_cast<CButton*>(control)) return (style & BS_TYPEMASK) != BS_GROUPBOX;
  if (dynamic_cast<CStatic*>(control)) {
    switch (style & SS_TYPEMASK) {
      case SS_ICON:
      case 0x0F:  // enhanced metafile
        return (style & SS_CENTERIMAGE) == 0;
      case SS_BLACKRECT:
      case SS_GRAYRECT:
      case SS_WHITERECT:
      case SS_BITMAP:
      case SS_ETCHEDHORZ:
      case SS_ETCHEDVERT: return true;
      default: return false;
    }
  }
  return true;
}

CRect CAnchorLayout::GetLayoutRect() const {
  if (!m_layoutRect.IsRectEmpty()) return m_layoutRect;
  CRect r;
  if (CWnd* w = GetLayoutWindow()) w->GetClientRect(&r);
  return r;
}

void CAnchorLayout::AnchorControl(HWND control, CAnchor topLeft, CAnchor bottomRight) {
  CWnd* owner = GetLayoutWindow();
  if (!control || !owner || !owner->widget()) return;
  CLayoutRecord rec;
  rec.hwnd = control;
  if (CWnd* c = CWnd::FromHandlePermanent(control)) {
    if (dynamic_cast<CButton*>(c) && (c->GetStyle() & BS_TYPEMASK) == BS_GROUPBOX)
      c->ModifyStyle(0, WS_CLIPSIBLINGS);
    rec.adjustHScroll = dynamic_cast<CListBox*>(c) != nullptr;
  }
  const CRect layout = GetLayoutRect();
  const CRect r = RectIn(control, owner->widget());
  if (bottomRight == NOANCHOR) bottomRight = topLeft;
  const int w = layout.Width(), h = layout.Height();
  rec.tlAnchor = topLeft;
  rec.brAnchor = bottomRight;
  rec.tlMargin = CSize(r.left - topLeft.x * w / 100, r.top - topLeft.y * h / 100);
  rec.brMargin = CSize(r.right - bottomRight.x * w / 100, r.bottom - bottomRight.y * h / 100);
  m_records.push_back(rec);
}

CRect CAnchorLayout::ArrangedRect(const CLayoutRecord& rec, int w, int h) {
  return CRect(
      rec.tlAnchor.x * w / 100 + rec.tlMargin.cx, rec.tlAnchor.y * h / 100 + rec.tlMargin.cy,
      rec.brAnchor.x * w / 100 + rec.brMargin.cx, rec.brAnchor.y * h / 100 + rec.brMargin.cy);
}

void CAnchorLayout::RepositionControls() {
  CWnd* owner = GetLayoutWindow();
  if (!owner || !owner->widget()) return;
  const CRect layout = GetLayoutRect();
  for (CLayoutRecord& rec : m_records) {
    if (!rec.hwnd) continue;
    CLayoutRecord arranged = rec;
    if (ArrangeLayoutCallback(arranged)) continue;
    const CRect r = ArrangedRect(rec, layout.Width(), layout.Height());
    const CRect now = RectIn(rec.hwnd, owner->widget());
    if (r == now) continue;
    QPoint at(r.left, r.top);
    if (rec.hwnd->parentWidget() != owner->widget() && rec.hwnd->parentWidget())
      at = rec.hwnd->parentWidget()->mapFrom(owner->widget(), at);
    rec.hwnd->setGeometry(at.x(), at.y(), std::max(r.Width(), 0), std::max(r.Height(), 0));
  }
}

// ---- size grip --------------------------------------------------------------------

CSizeGripPart::~CSizeGripPart() = default;

bool CSizeGripPart::CreateSizeGrip(CWnd* parent) {
  m_gripSize = CSize(GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL));
  m_grip = std::make_unique<CSizeGripWnd>();
  CRect client;
  parent->GetClientRect(&client);
  const CRect r(client.right - m_gripSize.cx, client.bottom - m_gripSize.cy, client.right,
                client.bottom);
  if (!m_grip->Create("ScrollBar", "", WS_CHILD | WS_CLIPSIBLINGS, r, parent, 0)) {
    m_grip.reset();
    return false;
  }
  return true;
}

void CSizeGripPart::PlaceSizeGrip(CWnd* parent) {
  if (!m_grip || !m_grip->IsWindow() || !parent->widget()) return;
  CRect client;
  parent->GetClientRect(&client);
  m_grip->MoveWindow(client.right - m_gripSize.cx, client.bottom - m_gripSize.cy, m_gripSize.cx,
                     m_gripSize.cy);
  m_grip->widget()->raise();
  m_grip->EnableWindow(!parent->widget()->isMaximized());
  m_grip->ShowWindow(SW_SHOW);
}

// ---- tracking sizes ---------------------------------------------------------------

void CMinMaxPart::SetMinTrackSize(CSize size) {
  m_minTrackSize = size;
  m_bUseMinTrack = true;
}

void CMinMaxPart::SetMaxTrackSize(CSize size) {
  m_maxTrackSize = size;
  m_bUseMaxTrack = true;
}

void CMinMaxPart::ApplyTrackSizes(CWnd* wnd) const {
  QWidget* w = wnd ? wnd->widget() : nullptr;
  if (!w) return;
  w->setMinimumSize(m_bUseMinTrack ? QSize(m_minTrackSize.cx, m_minTrackSize.cy) : QSize(0, 0));
  w->setMaximumSize(m_bUseMaxTrack ? QSize(m_maxTrackSize.cx, m_maxTrackSize.cy)
                                   : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

// ---- dialog -----------------------------------------------------------------------

CAnchorLayoutDialog::CAnchorLayoutDialog(unsigned templateId, CWnd* parent, bool showGrip)
    : CDialog(templateId, parent), m_bGripVisible(showGrip) {}

CAnchorLayoutDialog::~CAnchorLayoutDialog() {
  (void)DestroyWindow();  // nothing to do without a window
}

void CAnchorLayoutDialog::AnchorControl(int id, CAnchor topLeft, CAnchor bottomRight) {
  if (CWnd* c = GetDlgItem(id)) AnchorControl(c->widget(), topLeft, bottomRight);
}

int CAnchorLayoutDialog::OnCreate(CREATESTRUCT* cs) {
  if (CDialog::OnCreate(cs) == -1) return -1;
  if (m_bGripVisible) {
    ModifyStyle(DS_MODALFRAME, WS_POPUP | WS_THICKFRAME);
    if (!CreateSizeGrip(this)) return -1;
  }
  return 0;
}

bool CAnchorLayoutDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  // The designed size is the smallest the dialog can be made.
  if (QWidget* w = widget()) SetMinTrackSize(CSize(w->width(), w->height()));
  ApplyTrackSizes(this);
  if (m_bGripVisible) PlaceSizeGrip(this);
  m_bLayoutReady = true;
  return true;
}

void CAnchorLayoutDialog::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (type == 3 || type == 4 || !m_bLayoutReady) return;  // SIZE_MAXSHOW, SIZE_MAXHIDE
  if (m_bGripVisible) PlaceSizeGrip(this);
  RepositionControls();
}

bool CAnchorLayoutDialog::OnEraseBkgnd(CDC* dc) {
  // Controls that paint all of their area are left out, so that resizing
  // does not flash them; group boxes and the like get the background.
  if (dc) {
    for (const CLayoutRecord& rec : records()) {
      if (!rec.hwnd || !rec.hwnd->isVisible()) continue;
      if (LikesClipping(CWnd::FromHandlePermanent(rec.hwnd)))
        dc->ExcludeClipRect(RectIn(rec.hwnd, widget()));
    }
  }
  return CDialog::OnEraseBkgnd(dc);
}

void CAnchorLayoutDialog::OnDestroy() {
  ClearRecords();
  m_bLayoutReady = false;
  CDialog::OnDestroy();
}
