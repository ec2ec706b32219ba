#include "platform/gui/dialog.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <algorithm>

#include "platform/gui/help.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"

// The peer of a dialog: Esc, Enter and the close box become WM_COMMAND
// IDCANCEL / IDOK (or the focused push button), as the dialog manager does.
class CDialogPeerAccess : public QDialog {
 public:
  CDialogPeerAccess(QWidget* parent, CDialog* owner) : QDialog(parent), m_owner(owner) {}
  void Detach() { m_owner = nullptr; }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (!m_owner) return QDialog::keyPressEvent(e);
    const bool plain = !(e->modifiers() & (Qt::AltModifier | Qt::ControlModifier));
    if (plain && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
      int id = m_owner->GetDefID();
      // A push button with the focus is the one pressed, also one the
      // program draws itself.
      if (QWidget* f = QApplication::focusWidget(); f && isAncestorOf(f))
        if (CWnd* focused = CWnd::FromHandlePermanent(f);
            focused && (focused->SendMessage(WM_GETDLGCODE, VK_RETURN) &
                        (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
          id = focused->GetDlgCtrlID();
      CWnd* control = m_owner->GetDlgItem(id);
      if (control && !control->IsWindowEnabled()) return;  // a disabled default button does nothing
      m_owner->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED),
                           reinterpret_cast<LPARAM>(control ? control->widget() : nullptr));
      return;
    }
    if (e->key() == Qt::Key_Escape) {
      reject();
      return;
    }
    if (e->key() == Qt::Key_F1 &&
        !(e->modifiers() & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier))) {
      m_owner->OnHelpKey();
      return;
    }
    QWidget::keyPressEvent(e);
  }
  // Tab and Shift+Tab go through the dialog's own Tab order.
  bool focusNextPrevChild(bool next) override {
    if (!m_owner) return QDialog::focusNextPrevChild(next);
    CWnd* to = m_owner->GetNextDlgTabItem(CWnd::FromHandle(QApplication::focusWidget()), !next);
    if (to && to->widget())
      to->widget()->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
  }
  void reject() override {
    if (!m_owner) return QDialog::reject();
    CWnd* cancel = m_owner->GetDlgItem(IDCANCEL);
    m_owner->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(cancel ? cancel->widget() : nullptr));
  }
  void accept() override {
    if (!m_owner) return QDialog::accept();
    m_owner->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }

 private:
  CDialog* m_owner;
};

// ---- data exchange ------------------------------------------------------------

void CDataExchange::Fail() {
  m_failed = true;
}

CWnd* CDataExchange::PrepareCtrl(int id) {
  m_lastId = id;
  return m_pDlgWnd ? m_pDlgWnd->GetDlgItem(id) : nullptr;
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (control.IsWindow() || !dx->m_pDlgWnd) return;
  // A template without the control leaves the object without a window; its
  // callers see that through IsWindow.
  (void)control.SubclassDlgItem(id, dx->m_pDlgWnd);
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
  CWnd* c = dx->PrepareCtrl(id);
  if (!c) return;
  if (dx->m_bSaveAndValidate)
    value = c->GetWindowText();
  else
    c->SetWindowText(value);
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
  CWnd* c = dx->PrepareCtrl(id);
  if (!c) return;
  if (!dx->m_bSaveAndValidate) {
    c->SetWindowText(std::to_string(value));
    return;
  }
  bool ok = false;
  int v = dx->m_pDlgWnd->GetDlgItemInt(id, &ok, true);
  if (!ok) {
    AfxMessageBox(IDS_DDX_INTEGER, MB_OK | MB_ICONEXCLAMATION);
    dx->Fail();
    return;
  }
  value = v;
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
  CWnd* c = dx->PrepareCtrl(id);
  if (!c) return;
  if (dx->m_bSaveAndValidate)
    value = static_cast<int>(c->SendMessage(BM_GETCHECK));
  else
    c->SendMessage(BM_SETCHECK, static_cast<WPARAM>(value));
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
  CWnd* first = dx->PrepareCtrl(id);
  if (!first) return;
  CDialog* dlg = dx->m_pDlgWnd;
  if (dx->m_bSaveAndValidate) value = -1;
  int index = 0;
  CWnd* c = first;
  do {
    if (dx->m_bSaveAndValidate) {
      if (c->SendMessage(BM_GETCHECK) == BST_CHECKED) value = index;
    } else {
      c->SendMessage(BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED);
    }
    ++index;
    c = dlg->GetNextDlgGroupItem(c);
  } while (c && c != first);
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
  auto* c = dynamic_cast<CComboBox*>(dx->PrepareCtrl(id));
  if (!c) return;
  if (dx->m_bSaveAndValidate)
    index = c->GetCurSel();
  else
    c->SetCurSel(index);
}

void DDX_CBString(CDataExchange* dx, int id, std::string& value) {
  auto* c = dynamic_cast<CComboBox*>(dx->PrepareCtrl(id));
  if (!c) return;
  if (dx->m_bSaveAndValidate) {
    value = c->GetWindowText();
  } else if (c->SelectString(-1, value) == CB_ERR) {
    c->SetWindowText(value);
  }
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
  auto* c = dynamic_cast<CListBox*>(dx->PrepareCtrl(id));
  if (!c) return;
  if (dx->m_bSaveAndValidate)
    index = c->GetCurSel();
  else
    c->SetCurSel(index);
}

void DDV_MaxChars(CDataExchange* dx, const std::string& value, int maxChars) {
  if (dx->m_bSaveAndValidate && static_cast<int>(value.size()) > maxChars) {
    AfxMessageBox(FormatRes(IDS_DDX_MAX_CHARS, maxChars), MB_OK | MB_ICONEXCLAMATION);
    dx->Fail();
  } else if (!dx->m_bSaveAndValidate) {
    if (auto* e = dynamic_cast<CEdit*>(dx->m_pDlgWnd->GetDlgItem(dx->lastControl())))
      e->SetLimitText(maxChars);
  }
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue) {
  if (dx->m_bSaveAndValidate && (value < minValue || value > maxValue)) {
    AfxMessageBox(FormatRes(IDS_DDX_INTEGER_RANGE, minValue, maxValue), MB_OK | MB_ICONEXCLAMATION);
    dx->Fail();
  }
}

// ---- dialog ----------------------------------------------------------------------

CDialog::CDialog(unsigned templateId, CWnd* parent)
    : m_templateId(templateId), m_parentWnd(parent) {
  m_backgroundColourIndex = COLOR_BTNFACE;
}

CDialog::~CDialog() {
  if (auto* peer = dynamic_cast<CDialogPeerAccess*>(widget())) peer->Detach();
  // Bound objects may die before us; they must not be touched from here on.
  m_bound.clear();
  (void)DestroyWindow();  // nothing to do without a window
}

void CDialog::BindControl(int id, CWnd& control) {
  m_bound[id] = &control;
}

void CDialog::FitText(int id, std::string text, int extraWidth, bool bold) {
  m_laterTexts.push_back({id, std::move(text), extraWidth, bold});
}

fw::DialogUnits CDialog::FitUnits(const fw::CDialogTemplate& t, const QFont& font,
                                  fw::DialogUnits measured) {
  return fw::FitDialogUnits(t, font, measured, m_laterTexts);
}

QWidget* CDialog::CreatePeer(QWidget* parent, const CREATESTRUCT& cs) {
  auto* d = new CDialogPeerAccess(parent, this);
  d->setAttribute(Qt::WA_DeleteOnClose, false);
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (cs.style & WS_SYSMENU) flags |= Qt::WindowCloseButtonHint;
  // WS_CAPTION is two bits, one of them WS_BORDER: a bordered popup has no caption.
  if ((cs.style & WS_CAPTION) != WS_CAPTION) flags = Qt::Dialog | Qt::FramelessWindowHint;
  if (cs.exStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
  d->setWindowFlags(flags);
  return d;
}

void CDialog::MapDialogRect(CRect* r) const {
  if (!r) return;
  *r = CRect(m_units.MapX(r->left), m_units.MapY(r->top), m_units.MapX(r->right),
             m_units.MapY(r->bottom));
}

const fw::CDialogTemplate* CDialog::Template() const {
  return m_ownTemplate ? m_ownTemplate : fw::FindDialogTemplate(m_templateId);
}

bool CDialog::Build(bool modal) {
  if (IsWindow()) return false;
  const fw::CDialogTemplate* t = Template();
  if (!t) return false;
  m_modal = modal;
  m_ended = false;
  m_result = 0;

  LOGFONT lf = fw::DefaultGuiLogFont();
  if (t->fontPoints > 0) {
    lf.lfHeight = -((t->fontPoints * 96 + 36) / 72);
    fw::SetFaceName(lf, t->fontFace);
    if (t->fontWeight > 0) lf.lfWeight = t->fontWeight;
    lf.lfItalic = t->fontItalic;
  }
  (void)m_font.CreateFontIndirect(&lf);  // fails only without a LOGFONT
  m_units =
      m_givenUnits ? *m_givenUnits : FitUnits(*t, m_font.font(), fw::MeasuredUnits(m_font.font()));

  CRect client(0, 0, t->cx, t->cy);
  MapDialogRect(&client);
  CRect at(t->x, t->y, t->x, t->y);
  MapDialogRect(&at);
  std::uint32_t style = (t->style & ~(WS_CHILD | WS_VISIBLE)) | WS_POPUP;
  if (!CreateEx(t->exStyle, "#32770", t->caption, style,
                CRect(at.left, at.top, at.left + client.Width(), at.top + client.Height()),
                m_parentWnd, 0))
    return false;
  QWidget* peer = widget();
  peer->setFont(m_font.font());
  if (t->style & WS_THICKFRAME)
    peer->resize(client.Width(), client.Height());
  else
    peer->setFixedSize(client.Width(), client.Height());
  if (modal) static_cast<QDialog*>(peer)->setModal(true);
  // Template position is relative to the owner unless DS_ABSALIGN; centred by default.
  if ((t->style & DS_CENTER) || (t->x == 0 && t->y == 0)) CenterWindow(m_parentWnd);

  m_defId = IDOK;
  for (const fw::CDialogItem& item : t->items) {
    CRect r(item.x, item.y, item.x + item.cx, item.y + item.cy);
    MapDialogRect(&r);
    CWnd* control = nullptr;
    if (auto it = m_bound.find(item.id);
        it != m_bound.end() && item.id != IDC_STATIC && !it->second->IsWindow()) {
      control = it->second;
    } else {
      m_defaultControls.push_back(fw::MakeWindowOfClass(item.className));
      control = m_defaultControls.back().get();
    }
    if (!control->CreateEx(item.exStyle, item.className, item.text, item.style | WS_CHILD, r, this,
                           item.id))
      continue;
    control->m_ownsPeer = false;  // the dialog's widget owns its controls
    control->SetFont(&m_font, false);
    if ((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && item.className == "Button")
      m_defId = item.id;
  }
  return true;
}

bool CDialog::RunInit() {
  std::shared_ptr<bool> alive = m_alive;
  bool focusDefault = SendMessage(WM_INITDIALOG) != 0;
  if (!*alive || !IsWindow()) return false;
  if (focusDefault && !m_ended) {
    // The first control that takes the Tab key gets the focus.
    for (QWidget* c : widget()->findChildren<QWidget*>()) {
      CWnd* w = CWnd::FromHandlePermanent(c);
      if (w && (w->GetStyle() & WS_TABSTOP) && c->isEnabled() && !c->isHidden()) {
        c->setFocus(Qt::TabFocusReason);
        break;
      }
    }
  }
  return true;
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_INITDIALOG) return OnInitDialog() ? 1 : 0;
  return CWnd::WindowProc(msg, w, l);
}

std::intptr_t CDialog::DoModal() {
  // Until the window has gone, after the loop.
  const fw::ModalScope scope;
  if (!Build(true)) return -1;
  std::shared_ptr<bool> alive = m_alive;
  if (!RunInit()) return *alive ? m_result : IDCANCEL;
  if (!m_ended) {
    m_running = true;
    auto* d = static_cast<QDialog*>(widget());
    d->exec();
    if (!*alive) return IDCANCEL;
    m_running = false;
  }
  int result = m_result;
  (void)DestroyWindow();  // ended: the window goes if it is still there
  return result;
}

bool CDialog::Create(unsigned templateId, CWnd* parent) {
  if (templateId) m_templateId = templateId;
  if (parent) m_parentWnd = parent;
  const fw::CDialogTemplate* t = Template();
  if (!Build(false)) return false;
  if (!RunInit()) return false;
  if (t && (t->style & WS_VISIBLE) && !m_ended) ShowWindow(SW_SHOW);
  return true;
}

void CDialog::EndDialog(int result) {
  m_result = result;
  m_ended = true;
  auto* d = qobject_cast<QDialog*>(widget());
  if (!d) return;
  if (m_modal && m_running)
    d->done(result);
  else
    d->hide();
}

bool CDialog::UpdateData(bool saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  if (dx.failed()) {
    if (CWnd* c = GetDlgItem(dx.lastControl())) {
      c->SetFocus();
      if (auto* e = dynamic_cast<CEdit*>(c)) e->SetSel(0, -1);
    }
    return false;
  }
  return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::OnInitDialog() {
  (void)UpdateData(false);  // filling the controls validates nothing
  return true;
}

void CDialog::OnOK() {
  if (!UpdateData(true)) return;
  EndDialog(IDOK);
}

void CDialog::OnHelpKey() {
  if (m_templateId) fw::ShowHelp(kHelpDialogBase + m_templateId);
}

void CDialog::OnCancel() {
  EndDialog(IDCANCEL);
}

bool CDialog::OnCommand(WPARAM w, LPARAM l) {
  if (CWnd::OnCommand(w, l)) return true;
  const unsigned id = LOWORD(w), code = HIWORD(w);
  if (code != BN_CLICKED) return false;
  if (id == IDOK) {
    OnOK();
    return true;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return true;
  }
  return false;
}

void CDialog::OnClose() {
  SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void CDialog::GotoDlgCtrl(CWnd* control) {
  if (!control) return;
  control->SetFocus();
  if (auto* e = dynamic_cast<CEdit*>(control)) e->SetSel(0, -1);
}

void CDialog::NextDlgCtrl() {
  if (QWidget* w = QApplication::focusWidget(); w && widget() && widget()->isAncestorOf(w))
    if (CWnd* next = GetNextDlgTabItem(CWnd::FromHandle(w)); next && next->widget())
      next->widget()->setFocus(Qt::TabFocusReason);
}

void CDialog::PrevDlgCtrl() {
  if (QWidget* w = QApplication::focusWidget(); w && widget() && widget()->isAncestorOf(w))
    if (CWnd* prev = GetNextDlgTabItem(CWnd::FromHandle(w), true); prev && prev->widget())
      prev->widget()->setFocus(Qt::BacktabFocusReason);
}

std::vector<QWidget*> CDialog::TabStops() {
  std::vector<QWidget*> stops;
  QWidget* d = widget();
  if (!d) return stops;
  // The focus chain holds the controls in the order they were made; a
  // control's own children (a grid's cells, a combo box's edit) are not
  // stops of the dialog, nor is a page or dialog inside it. The style
  // decides, not whether Qt would tab to the widget: a read-only text made
  // without WS_TABSTOP is passed over, a link made with it is a stop.
  for (QWidget* w = d->nextInFocusChain(); w && w != d; w = w->nextInFocusChain()) {
    if (!d->isAncestorOf(w)) continue;
    CWnd* c = CWnd::FromHandlePermanent(w);
    if (!c || dynamic_cast<CDialog*>(c)) continue;
    if (c->GetStyle() & WS_TABSTOP) stops.push_back(w);
  }
  const std::vector<QWidget*> all = stops;
  std::erase_if(stops, [&all](const QWidget* w) {
    return std::any_of(all.begin(), all.end(),
                       [w](const QWidget* other) { return other != w && other->isAncestorOf(w); });
  });
  return stops;
}

CWnd* CDialog::GetNextDlgTabItem(CWnd* control, bool previous) {
  const std::vector<QWidget*> stops = TabStops();
  const int n = static_cast<int>(stops.size());
  QWidget* at = control ? control->widget() : nullptr;
  int pos = -1;
  for (int i = 0; i < n && at; ++i)
    if (stops[static_cast<std::size_t>(i)] == at ||
        stops[static_cast<std::size_t>(i)]->isAncestorOf(at))
      pos = i;
  if (pos < 0) pos = previous ? n : -1;
  for (int step = 1; step <= n; ++step) {
    const int i = ((pos + (previous ? -step : step)) % n + n) % n;
    QWidget* w = stops[static_cast<std::size_t>(i)];
    if (w->isVisible() && w->isEnabled()) return CWnd::FromHandlePermanent(w);
  }
  return nullptr;
}

namespace fw {

void MoveTabFocus(CWnd* from, bool previous) {
  QWidget* at = from ? from->widget() : nullptr;
  if (!at) return;
  const Qt::FocusReason reason = previous ? Qt::BacktabFocusReason : Qt::TabFocusReason;
  QWidget* top = at->window();
  if (auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(top))) {
    if (CWnd* to = dialog->GetNextDlgTabItem(from, previous); to && to->widget())
      to->widget()->setFocus(reason);
    return;
  }
  QWidget* w = at;
  for (int i = 0; i < 10000; ++i) {
    w = previous ? w->previousInFocusChain() : w->nextInFocusChain();
    if (!w || w == at) return;
    if (at->isAncestorOf(w) || w->window() != top) continue;
    if (!w->isVisible() || !w->isEnabled() || (w->focusPolicy() & Qt::TabFocus) != Qt::TabFocus)
      continue;
    // A control's own parts (a grid's editors) are no stops: the control is.
    QWidget* stop = w;
    for (QWidget* p = w->parentWidget(); p && p != top; p = p->parentWidget())
      if ((p->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && CWnd::FromHandlePermanent(p))
        stop = p;
    if (stop == at || stop->isAncestorOf(at) || at->isAncestorOf(stop)) continue;
    stop->setFocus(reason);
    return;
  }
}

}  // namespace fw
