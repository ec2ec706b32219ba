#include "platform/gui/controls.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabBar>
#include <QTreeWidget>

#include "platform/gui/qtstring.h"
#include "platform/text.h"

namespace {

// A change the program makes itself does not notify the parent.
struct Quiet {
  QWidget* w;
  bool was;
  explicit Quiet(QWidget* widget)
      : w(widget), was(widget && widget->property("fw_quiet").toBool()) {
    if (w) w->setProperty("fw_quiet", true);
  }
  ~Quiet() {
    if (w) w->setProperty("fw_quiet", was);
  }
};

void Notify(QWidget* w, UINT code) {
  if (!w || w->property("fw_quiet").toBool()) return;
  if (CWnd* wnd = CWnd::FromHandlePermanent(w)) wnd->NotifyParent(code);
}

void NotifyHeader(QWidget* w, UINT code) {
  if (!w || w->property("fw_quiet").toBool()) return;
  CWnd* wnd = CWnd::FromHandlePermanent(w);
  if (!wnd || !wnd->GetParent()) return;
  NMHDR hdr{w, static_cast<UINT_PTR>(wnd->GetDlgCtrlID()), code};
  wnd->GetParent()->SendMessage(WM_NOTIFY, static_cast<WPARAM>(wnd->GetDlgCtrlID()),
                                reinterpret_cast<LPARAM>(&hdr));
}

template <typename T>
T* As(const CWnd* wnd) {
  return wnd ? qobject_cast<T*>(wnd->widget()) : nullptr;
}

}  // namespace

namespace fw {

std::string StripMnemonic(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

std::unique_ptr<CWnd> MakeWindowOfClass(const std::string& name) {
  if (EqualsNoCase(name, "Static")) return std::make_unique<CStatic>();
  if (EqualsNoCase(name, "Button")) return std::make_unique<CButton>();
  if (EqualsNoCase(name, "Edit")) return std::make_unique<CEdit>();
  if (EqualsNoCase(name, "ComboBox")) return std::make_unique<CComboBox>();
  if (EqualsNoCase(name, "ListBox")) return std::make_unique<CListBox>();
  if (EqualsNoCase(name, "msctls_progress32")) return std::make_unique<CProgressCtrl>();
  if (EqualsNoCase(name, "SysListView32")) return std::make_unique<CListCtrl>();
  if (EqualsNoCase(name, "SysTabControl32")) return std::make_unique<CTabCtrl>();
  if (auto w = MakeRegisteredWindow(name)) return w;
  return std::make_unique<CWnd>();
}

}  // namespace fw

// ---- static -------------------------------------------------------------------

namespace {
// Frames, rectangles and icons of a static are painted here; text statics are labels.
class CStaticFrame : public QFrame {
 public:
  CStaticFrame(QWidget* parent, std::uint32_t style) : QFrame(parent), m_style(style) {
    switch (style & SS_TYPEMASK) {
      case SS_ETCHEDHORZ: setFrameStyle(QFrame::HLine | QFrame::Sunken); break;
      case SS_ETCHEDVERT: setFrameStyle(QFrame::VLine | QFrame::Sunken); break;
      case SS_ETCHEDFRAME: setFrameStyle(QFrame::Box | QFrame::Sunken); break;
      default: break;
    }
  }
  HICON icon = nullptr;

 protected:
  void paintEvent(QPaintEvent* e) override {
    QPainter p(this);
    switch (m_style & SS_TYPEMASK) {
      case SS_BLACKRECT: p.fillRect(rect(), fw::ToQColor(GetSysColor(COLOR_WINDOWFRAME))); return;
      case SS_GRAYRECT: p.fillRect(rect(), fw::ToQColor(GetSysColor(COLOR_BTNSHADOW))); return;
      case SS_WHITERECT: p.fillRect(rect(), fw::ToQColor(GetSysColor(COLOR_WINDOW))); return;
      case SS_BLACKFRAME:
      case SS_GRAYFRAME:
      case SS_WHITEFRAME: {
        COLORREF c = (m_style & SS_TYPEMASK) == SS_BLACKFRAME  ? GetSysColor(COLOR_WINDOWFRAME)
                     : (m_style & SS_TYPEMASK) == SS_GRAYFRAME ? GetSysColor(COLOR_BTNSHADOW)
                                                               : GetSysColor(COLOR_WINDOW);
        p.setPen(fw::ToQColor(c));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        return;
      }
      case SS_ICON:
      case SS_BITMAP:
        if (icon) p.drawImage(QPoint(0, 0), icon->image);
        return;
      default: break;
    }
    p.end();
    QFrame::paintEvent(e);
  }

 private:
  std::uint32_t m_style;
};

bool IsTextStatic(std::uint32_t style) {
  switch (style & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP: return true;
    default: return false;
  }
}
}  // namespace

QWidget* CStatic::CreatePeer(QWidget* parent, const CREATESTRUCT& cs) {
  if (!IsTextStatic(cs.style) || (cs.style & SS_TYPEMASK) == SS_OWNERDRAW) {
    if ((cs.style & SS_TYPEMASK) == SS_OWNERDRAW) return new fw::CPeerWidget(parent);
    return new CStaticFrame(parent, cs.style);
  }
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

void CStatic::ApplyStyle() {
  auto* label = As<QLabel>(this);
  if (!label) return;
  std::uint32_t s = GetStyle();
  Qt::Alignment h = Qt::AlignLeft;
  if ((s & SS_TYPEMASK) == SS_CENTER) h = Qt::AlignHCenter;
  if ((s & SS_TYPEMASK) == SS_RIGHT) h = Qt::AlignRight;
  label->setAlignment(h | ((s & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop));
  label->setWordWrap((s & SS_TYPEMASK) != SS_LEFTNOWORDWRAP && (s & SS_TYPEMASK) != SS_SIMPLE);
  label->setFrameStyle((s & SS_SUNKEN) || (GetExStyle() & WS_EX_STATICEDGE)
                           ? (QFrame::Panel | QFrame::Sunken)
                       : (s & WS_BORDER) ? (QFrame::Box | QFrame::Plain)
                                         : QFrame::NoFrame);
}

LRESULT CStatic::DefWindowProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_SETTEXT && l) {
    LRESULT r = CWnd::DefWindowProc(msg, w, l);
    if (auto* label = As<QLabel>(this)) {
      const auto& text = *reinterpret_cast<const std::string*>(l);
      label->setText(fw::ToQ((GetStyle() & SS_NOPREFIX) ? text : fw::StripMnemonic(text)));
    }
    return r;
  }
  return CWnd::DefWindowProc(msg, w, l);
}

HICON CStatic::SetIcon(HICON icon) {
  HICON old = m_icon;
  m_icon = icon;
  if (auto* frame = dynamic_cast<CStaticFrame*>(widget())) {
    frame->icon = icon;
    frame->update();
  }
  return old;
}

// ---- button ----------------------------------------------------------------------

QWidget* CButton::CreatePeer(QWidget* parent, const CREATESTRUCT& cs) {
  QAbstractButton* b = nullptr;
  switch (cs.style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: {
      auto* c = new QCheckBox(parent);
      c->setTristate((cs.style & BS_TYPEMASK) == BS_3STATE ||
                     (cs.style & BS_TYPEMASK) == BS_AUTO3STATE);
      b = c;
      break;
    }
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
      auto* r = new QRadioButton(parent);
      r->setAutoExclusive(false);  // groups are the dialog's business (WS_GROUP)
      b = r;
      break;
    }
    case BS_GROUPBOX: return new QGroupBox(parent);
    case BS_OWNERDRAW: return new fw::CPeerWidget(parent);
    default: {
      auto* p = new QPushButton(parent);
      p->setAutoDefault(false);
      p->setDefault((cs.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
      b = p;
      break;
    }
  }
  b->setFocusPolicy((cs.style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
  const bool manual = (cs.style & BS_TYPEMASK) == BS_CHECKBOX ||
                      (cs.style & BS_TYPEMASK) == BS_RADIOBUTTON ||
                      (cs.style & BS_TYPEMASK) == BS_3STATE;
  QObject::connect(b, &QAbstractButton::clicked, b, [b, manual] {
    // A plain check box or radio button does not change itself; the program does.
    if (manual && b->isCheckable()) {
      Quiet q(b);
      b->setChecked(!b->isChecked());
    }
    if (auto* radio = qobject_cast<QRadioButton*>(b); radio && !manual) {
      // An automatic radio button clears the others of its group.
      if (CWnd* self = CWnd::FromHandlePermanent(b); self && self->GetParent()) {
        CWnd* parent = self->GetParent();
        for (CWnd* o = parent->GetNextDlgGroupItem(self); o && o != self;
             o = parent->GetNextDlgGroupItem(o)) {
          if (qobject_cast<QRadioButton*>(o->widget())) o->SendMessage(BM_SETCHECK, BST_UNCHECKED);
        }
      }
      Quiet q(b);
      radio->setChecked(true);
    }
    Notify(b, BN_CLICKED);
  });
  return b;
}

LRESULT CButton::DefWindowProc(UINT msg, WPARAM w, LPARAM l) {
  auto* b = As<QAbstractButton>(this);
  auto* group = As<QGroupBox>(this);
  switch (msg) {
    case WM_SETTEXT:
      if (l) {
        QString t = fw::ToQ(*reinterpret_cast<const std::string*>(l));
        if (b) b->setText(t);
        if (group)
          group->setTitle(t.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
                              .remove('&')
                              .replace('\x01', '&'));
      }
      return CWnd::DefWindowProc(msg, w, l);
    case BM_GETCHECK: {
      auto* c = qobject_cast<QCheckBox*>(b);
      if (c && c->checkState() == Qt::PartiallyChecked) return BST_INDETERMINATE;
      return b && b->isCheckable() && b->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    }
    case BM_SETCHECK:
      if (b && b->isCheckable()) {
        Quiet q(b);
        if (auto* c = qobject_cast<QCheckBox*>(b); c && w == BST_INDETERMINATE && c->isTristate())
          c->setCheckState(Qt::PartiallyChecked);
        else
          b->setChecked(w == BST_CHECKED);
      }
      return 0;
    case BM_GETSTATE: {
      LRESULT s = DefWindowProc(BM_GETCHECK, 0, 0);
      if (b && b->isDown()) s |= BST_PUSHED;
      if (b && b->hasFocus()) s |= BST_FOCUS;
      return s;
    }
    case BM_SETSTATE:
      if (b) b->setDown(w != 0);
      return 0;
    case BM_CLICK:
      if (b) b->click();
      return 0;
    case WM_GETDLGCODE:
      if (qobject_cast<QRadioButton*>(b)) return DLGC_RADIOBUTTON | DLGC_BUTTON;
      if (auto* p = qobject_cast<QPushButton*>(b))
        return p->isDefault() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
      return DLGC_BUTTON;
    default: return CWnd::DefWindowProc(msg, w, l);
  }
}

int CButton::GetCheck() const {
  return static_cast<int>(const_cast<CButton*>(this)->SendMessage(BM_GETCHECK));
}
void CButton::SetCheck(int check) {
  SendMessage(BM_SETCHECK, static_cast<WPARAM>(check));
}
UINT CButton::GetState() const {
  return static_cast<UINT>(const_cast<CButton*>(this)->SendMessage(BM_GETSTATE));
}
void CButton::SetState(bool pushed) {
  SendMessage(BM_SETSTATE, pushed ? 1 : 0);
}

// ---- edit ------------------------------------------------------------------------------

QWidget* CEdit::CreatePeer(QWidget* parent, const CREATESTRUCT& cs) {
  if (cs.style & ES_MULTILINE) {
    auto* e = new QPlainTextEdit(parent);
    e->setTabChangesFocus(true);
    e->setLineWrapMode((cs.style & (WS_HSCROLL | ES_AUTOHSCROLL)) ? QPlainTextEdit::NoWrap
                                                                  : QPlainTextEdit::WidgetWidth);
    QObject::connect(e, &QPlainTextEdit::textChanged, e, [e] {
      Notify(e, EN_UPDATE);
      Notify(e, EN_CHANGE);
    });
    return e;
  }
  auto* e = new QLineEdit(parent);
  QObject::connect(e, &QLineEdit::textChanged, e, [e] {
    Notify(e, EN_UPDATE);
    Notify(e, EN_CHANGE);
  });
  return e;
}

void CEdit::ApplyStyle() {
  std::uint32_t s = GetStyle();
  if (auto* e = As<QLineEdit>(this)) {
    e->setReadOnly(s & ES_READONLY);
    e->setEchoMode((s & ES_PASSWORD) ? QLineEdit::Password : QLineEdit::Normal);
    Qt::Alignment a = (s & 3) == ES_CENTER  ? Qt::AlignHCenter
                      : (s & 3) == ES_RIGHT ? Qt::AlignRight
                                            : Qt::AlignLeft;
    e->setAlignment(a | Qt::AlignVCenter);
    e->setFrame((s & WS_BORDER) || (GetExStyle() & WS_EX_CLIENTEDGE));
    if ((s & ES_NUMBER) && !e->validator())
      e->setValidator(
          new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
  } else if (auto* m = As<QPlainTextEdit>(this)) {
    m->setReadOnly(s & ES_READONLY);
  }
}

LRESULT CEdit::DefWindowProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_SETTEXT:
      if (l) {
        Quiet q(widget());
        QString t = fw::ToQ(*reinterpret_cast<const std::string*>(l));
        if (auto* e = As<QLineEdit>(this)) e->setText(t);
        if (auto* m = As<QPlainTextEdit>(this))
          m->setPlainText(t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
      }
      return 1;
    case WM_GETTEXT:
      if (l) {
        std::string& out = *reinterpret_cast<std::string*>(l);
        if (auto* e = As<QLineEdit>(this)) out = fw::FromQ(e->text());
        // Multi-line text comes back with the platform's line ends.
        if (auto* m = As<QPlainTextEdit>(this))
          out = fw::FromQ(m->toPlainText().replace('\n', QStringLiteral("\r\n")));
      }
      return 1;
    case WM_GETDLGCODE: return DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS;
    default: return CWnd::DefWindowProc(msg, w, l);
  }
}

void CEdit::SetSel(int start, int end, bool) {
  if (auto* e = As<QLineEdit>(this)) {
    int len = static_cast<int>(e->text().size());
    if (start < 0) {  // -1: no selection
      e->deselect();
      return;
    }
    if (end < 0 || end > len) end = len;
    start = std::min(start, len);
    e->setSelection(start, end - start);
  } else if (auto* m = As<QPlainTextEdit>(this)) {
    QTextCursor c = m->textCursor();
    int len = static_cast<int>(m->toPlainText().size());
    if (start < 0) {
      c.clearSelection();
    } else {
      if (end < 0 || end > len) end = len;
      c.setPosition(std::min(start, len));
      c.setPosition(end, QTextCursor::KeepAnchor);
    }
    m->setTextCursor(c);
  }
}

void CEdit::GetSel(int& start, int& end) const {
  start = end = 0;
  if (auto* e = As<QLineEdit>(this)) {
    if (e->hasSelectedText()) {
      start = e->selectionStart();
      end = start + static_cast<int>(e->selectedText().size());
    } else {
      start = end = e->cursorPosition();
    }
  } else if (auto* m = As<QPlainTextEdit>(this)) {
    start = m->textCursor().selectionStart();
    end = m->textCursor().selectionEnd();
  }
}

void CEdit::ReplaceSel(const std::string& text, bool) {
  if (auto* e = As<QLineEdit>(this)) e->insert(fw::ToQ(text));
  if (auto* m = As<QPlainTextEdit>(this)) m->insertPlainText(fw::ToQ(text));
}

void CEdit::SetLimitText(int max) {
  if (auto* e = As<QLineEdit>(this)) e->setMaxLength(max <= 0 ? 32767 : max);
}

bool CEdit::SetReadOnly(bool readOnly) {
  const std::uint32_t bit = ES_READONLY;
  ModifyStyle(readOnly ? 0u : bit, readOnly ? bit : 0u);
  return true;
}

int CEdit::GetLineCount() const {
  if (auto* m = As<QPlainTextEdit>(this)) return std::max(1, m->document()->blockCount());
  return 1;
}

// ---- combo box ---------------------------------------------------------------------------

QWidget* CComboBox::CreatePeer(QWidget* parent, const CREATESTRUCT& cs) {
  auto* c = new QComboBox(parent);
  c->setEditable((cs.style & 3) != CBS_DROPDOWNLIST);
  c->setInsertPolicy(QComboBox::NoInsert);
  c->setMaxVisibleItems(std::max(5, cs.cy / 16));
  QObject::connect(c, qOverload<int>(&QComboBox::activated), c, [c](int) {
    Notify(c, CBN_SELENDOK);
    Notify(c, CBN_SELCHANGE);
  });
  QObject::connect(c, &QComboBox::editTextChanged, c, [c](const QString&) {
    if (c->isEditable() && c->lineEdit() && c->lineEdit()->isModified()) Notify(c, CBN_EDITCHANGE);
  });
  return c;
}

void CComboBox::PreSubclassWindow() {
  // A template's height includes the dropped list (its visible items); the
  // closed box keeps its natural height.
  if (QWidget* c = widget(); c && c->height() > c->sizeHint().height())
    c->resize(c->width(), c->sizeHint().height());
}

LRESULT CComboBox::DefWindowProc(UINT msg, WPARAM w, LPARAM l) {
  auto* c = As<QComboBox>(this);
  if (c && msg == WM_SETTEXT && l) {
    Quiet q(c);
    QString t = fw::ToQ(*reinterpret_cast<const std::string*>(l));
    if (c->isEditable()) {
      c->setEditText(t);
    } else {
      int i = c->findText(t, Qt::MatchFixedString);
      c->setCurrentIndex(i);
    }
    return 1;
  }
  if (c && msg == WM_GETTEXT && l) {
    *reinterpret_cast<std::string*>(l) =
        fw::FromQ(c->isEditable() ? c->currentText() : c->currentText());
    return 1;
  }
  return CWnd::DefWindowProc(msg, w, l);
}

int CComboBox::AddString(const std::string& text) {
  auto* c = As<QComboBox>(this);
  if (!c) return CB_ERR;
  Quiet q(c);
  int index = c->count();
  if (GetStyle() & CBS_SORT) {
    index = 0;
    QString t = fw::ToQ(text);
    while (index < c->count() && QString::compare(c->itemText(index), t, Qt::CaseInsensitive) <= 0)
      ++index;
  }
  int current = c->currentIndex();
  c->insertItem(index, fw::ToQ(text));
  if (current < 0) c->setCurrentIndex(-1);  // adding selects nothing
  return index;
}

int CComboBox::InsertString(int index, const std::string& text) {
  auto* c = As<QComboBox>(this);
  if (!c || index > c->count()) return CB_ERR;
  Quiet q(c);
  if (index < 0) index = c->count();
  int current = c->currentIndex();
  c->insertItem(index, fw::ToQ(text));
  if (current < 0) c->setCurrentIndex(-1);
  return index;
}

int CComboBox::DeleteString(int index) {
  auto* c = As<QComboBox>(this);
  if (!c || index < 0 || index >= c->count()) return CB_ERR;
  Quiet q(c);
  c->removeItem(index);
  return c->count();
}

void CComboBox::ResetContent() {
  if (auto* c = As<QComboBox>(this)) {
    Quiet q(c);
    c->clear();
    if (c->isEditable()) c->setEditText(QString());
  }
}

int CComboBox::GetCount() const {
  auto* c = As<QComboBox>(this);
  return c ? c->count() : CB_ERR;
}

int CComboBox::GetCurSel() const {
  auto* c = As<QComboBox>(this);
  return c && c->currentIndex() >= 0 ? c->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int index) {
  auto* c = As<QComboBox>(this);
  if (!c) return CB_ERR;
  Quiet q(c);
  if (index < 0 || index >= c->count()) {
    c->setCurrentIndex(-1);
    if (c->isEditable()) c->setEditText(QString());
    return CB_ERR;
  }
  c->setCurrentIndex(index);
  return index;
}

std::string CComboBox::GetLBText(int index) const {
  auto* c = As<QComboBox>(this);
  return c && index >= 0 && index < c->count() ? fw::FromQ(c->itemText(index)) : std::string();
}

int CComboBox::FindStringExact(int startAfter, const std::string& text) const {
  auto* c = As<QComboBox>(this);
  if (!c) return CB_ERR;
  int n = c->count();
  for (int k = 1; k <= n; ++k) {
    int i = (std::max(startAfter, -1) + k) % n;
    if (fw::EqualsNoCase(fw::FromQ(c->itemText(i)), text)) return i;
  }
  return CB_ERR;
}

int CComboBox::FindString(int startAfter, const std::string& prefix) const {
  auto* c = As<QComboBox>(this);
  if (!c) return CB_ERR;
  int n = c->count();
  QString p = fw::ToQ(prefix);
  for (int k = 1; k <= n; ++k) {
    int i = (std::max(startAfter, -1) + k) % n;
    if (c->itemText(i).startsWith(p, Qt::CaseInsensitive)) return i;
  }
  return CB_ERR;
}

int CComboBox::SelectString(int startAfter, const std::string& prefix) {
  int i = FindString(startAfter, prefix);
  if (i != CB_ERR) SetCurSel(i);
  return i;
}

int CComboBox::SetItemData(int index, std::uintptr_t data) {
  auto* c = As<QComboBox>(this);
  if (!c || index < 0 || index >= c->count()) return CB_ERR;
  c->setItemData(index, QVariant::fromValue<quintptr>(data));
  return 0;
}

std::uintptr_t CComboBox::GetItemData(int index) const {
  auto* c = As<QComboBox>(this);
  if (!c || index < 0 || index >= c->count()) return static_cast<std::uintptr_t>(CB_ERR);
  return c->itemData(index).value<quintptr>();
}

void CComboBox::ShowDropDown(bool show) {
  if (auto* c = As<QComboBox>(this)) {
    if (show)
      c->showPopup();
    else
      c->hidePopup();
  }
}

bool CComboBox::GetDroppedState() const {
  auto* c = As<QComboBox>(this);
  return c && c->view() && c->view()->isVisible();
}

// ---- list box ------------------------------------------------------------------------------

QWidget* CListBox::CreatePeer(QWidget* parent, const CREATESTRUCT& cs) {
  auto* l = new QListWidget(parent);
  l->setSelectionMode((cs.style & LBS_EXTENDEDSEL)   ? QAbstractItemView::ExtendedSelection
                      : (cs.style & LBS_MULTIPLESEL) ? QAbstractItemView::MultiSelection
                      : (cs.style & LBS_NOSEL)       ? QAbstractItemView::NoSelection
                                                     : QAbstractItemView::SingleSelection);
  l->setFrameShape((cs.style & WS_BORDER) ? QFrame::StyledPanel : QFrame::NoFrame);
  const bool notify = cs.style & LBS_NOTIFY;
  QObject::connect(l, &QListWidget::itemSelectionChanged, l, [l, notify] {
    if (notify) Notify(l, LBN_SELCHANGE);
  });
  QObject::connect(l, &QListWidget::itemDoubleClicked, l, [l, notify](QListWidgetItem*) {
    if (notify) Notify(l, LBN_DBLCLK);
  });
  return l;
}

int CListBox::AddString(const std::string& text) {
  auto* l = As<QListWidget>(this);
  if (!l) return LB_ERR;
  Quiet q(l);
  int index = l->count();
  if (GetStyle() & LBS_SORT) {
    index = 0;
    QString t = fw::ToQ(text);
    while (index < l->count() &&
           QString::compare(l->item(index)->text(), t, Qt::CaseInsensitive) <= 0)
      ++index;
  }
  l->insertItem(index, fw::ToQ(text));
  return index;
}

int CListBox::InsertString(int index, const std::string& text) {
  auto* l = As<QListWidget>(this);
  if (!l || index > l->count()) return LB_ERR;
  Quiet q(l);
  if (index < 0) index = l->count();
  l->insertItem(index, fw::ToQ(text));
  return index;
}

int CListBox::DeleteString(int index) {
  auto* l = As<QListWidget>(this);
  if (!l || index < 0 || index >= l->count()) return LB_ERR;
  Quiet q(l);
  delete l->takeItem(index);
  return l->count();
}

void CListBox::ResetContent() {
  if (auto* l = As<QListWidget>(this)) {
    Quiet q(l);
    l->clear();
  }
}

int CListBox::GetCount() const {
  auto* l = As<QListWidget>(this);
  return l ? l->count() : LB_ERR;
}

int CListBox::GetCurSel() const {
  auto* l = As<QListWidget>(this);
  if (!l) return LB_ERR;
  auto sel = l->selectedItems();
  return sel.isEmpty() ? LB_ERR : l->row(sel.front());
}

int CListBox::SetCurSel(int index) {
  auto* l = As<QListWidget>(this);
  if (!l) return LB_ERR;
  Quiet q(l);
  if (index < 0 || index >= l->count()) {
    l->clearSelection();
    return index == -1 ? 0 : LB_ERR;
  }
  l->setCurrentRow(index);
  return index;
}

std::string CListBox::GetText(int index) const {
  auto* l = As<QListWidget>(this);
  return l && index >= 0 && index < l->count() ? fw::FromQ(l->item(index)->text()) : std::string();
}

int CListBox::FindStringExact(int startAfter, const std::string& text) const {
  auto* l = As<QListWidget>(this);
  if (!l) return LB_ERR;
  int n = l->count();
  for (int k = 1; k <= n; ++k) {
    int i = (std::max(startAfter, -1) + k) % n;
    if (fw::EqualsNoCase(fw::FromQ(l->item(i)->text()), text)) return i;
  }
  return LB_ERR;
}

int CListBox::SetItemData(int index, std::uintptr_t data) {
  auto* l = As<QListWidget>(this);
  if (!l || index < 0 || index >= l->count()) return LB_ERR;
  l->item(index)->setData(Qt::UserRole, QVariant::fromValue<quintptr>(data));
  return 0;
}

std::uintptr_t CListBox::GetItemData(int index) const {
  auto* l = As<QListWidget>(this);
  if (!l || index < 0 || index >= l->count()) return static_cast<std::uintptr_t>(LB_ERR);
  return l->item(index)->data(Qt::UserRole).value<quintptr>();
}

int CListBox::GetTopIndex() const {
  auto* l = As<QListWidget>(this);
  if (!l) return 0;
  QListWidgetItem* item = l->itemAt(2, 2);
  return item ? l->row(item) : 0;
}

int CListBox::SetTopIndex(int index) {
  auto* l = As<QListWidget>(this);
  if (!l || index < 0 || index >= l->count()) return LB_ERR;
  l->scrollToItem(l->item(index), QAbstractItemView::PositionAtTop);
  return 0;
}

// ---- progress bar -------------------------------------------------------------------------

QWidget* CProgressCtrl::CreatePeer(QWidget* parent, const CREATESTRUCT& cs) {
  auto* p = new QProgressBar(parent);
  p->setTextVisible(false);
  p->setRange(0, 100);
  p->setValue(0);
  p->setOrientation((cs.style & PBS_VERTICAL) ? Qt::Vertical : Qt::Horizontal);
  return p;
}

void CProgressCtrl::SetRange32(int lower, int upper) {
  if (auto* p = As<QProgressBar>(this)) {
    // A reversed or empty range shows an empty bar rather than Qt's busy one.
    if (upper <= lower) upper = lower + 1;
    int pos = std::clamp(p->value(), lower, upper);
    p->setRange(lower, upper);
    p->setValue(pos);
  }
}

void CProgressCtrl::GetRange(int& lower, int& upper) const {
  auto* p = As<QProgressBar>(this);
  lower = p ? p->minimum() : 0;
  upper = p ? p->maximum() : 0;
}

int CProgressCtrl::SetPos(int pos) {
  auto* p = As<QProgressBar>(this);
  if (!p) return 0;
  int old = p->value();
  p->setValue(std::clamp(pos, p->minimum(), p->maximum()));
  return old;
}

int CProgressCtrl::GetPos() const {
  auto* p = As<QProgressBar>(this);
  return p ? p->value() : 0;
}

int CProgressCtrl::OffsetPos(int delta) {
  return SetPos(GetPos() + delta);
}

int CProgressCtrl::SetStep(int step) {
  return std::exchange(m_step, step);
}

int CProgressCtrl::StepIt() {
  auto* p = As<QProgressBar>(this);
  if (!p) return 0;
  int old = p->value();
  int next = old + m_step;
  // Past the end the bar starts again from the bottom, as the control does.
  if (next > p->maximum()) next = p->minimum() + (next - p->maximum());
  if (next < p->minimum()) next = p->maximum() - (p->minimum() - next);
  p->setValue(std::clamp(next, p->minimum(), p->maximum()));
  return old;
}

// ---- report list -----------------------------------------------------------------------------

QWidget* CListCtrl::CreatePeer(QWidget* parent, const CREATESTRUCT& cs) {
  auto* t = new QTreeWidget(parent);
  t->setRootIsDecorated(false);
  t->setUniformRowHeights(true);
  t->setColumnCount(0);
  t->setHeaderHidden(cs.style & LVS_NOCOLUMNHEADER);
  t->setSelectionMode((cs.style & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                                 : QAbstractItemView::ExtendedSelection);
  t->setAllColumnsShowFocus(true);
  t->header()->setStretchLastSection(false);  // column widths are the program's
  QObject::connect(t, &QTreeWidget::itemSelectionChanged, t,
                   [t] { NotifyHeader(t, LVN_ITEMCHANGED); });
  QObject::connect(t, &QTreeWidget::itemClicked, t, [t] { NotifyHeader(t, NM_CLICK); });
  QObject::connect(t, &QTreeWidget::itemDoubleClicked, t, [t] { NotifyHeader(t, NM_DBLCLK); });
  return t;
}

int CListCtrl::InsertColumn(int col, const std::string& heading, int format, int width, int) {
  auto* t = As<QTreeWidget>(this);
  if (!t || col < 0) return -1;
  int n = t->columnCount();
  col = std::min(col, n);
  QTreeWidgetItem* header = t->headerItem();
  std::vector<QString> titles;
  std::vector<int> aligns;
  for (int i = 0; i < n; ++i) {
    titles.push_back(header->text(i));
    aligns.push_back(header->textAlignment(i));
  }
  titles.insert(titles.begin() + col, fw::ToQ(heading));
  Qt::Alignment a = format == LVCFMT_RIGHT    ? Qt::AlignRight
                    : format == LVCFMT_CENTER ? Qt::AlignHCenter
                                              : Qt::AlignLeft;
  aligns.insert(aligns.begin() + col, static_cast<int>(a | Qt::AlignVCenter));
  t->setColumnCount(n + 1);
  // Existing rows move their texts right of the new column.
  for (int r = 0; r < t->topLevelItemCount(); ++r) {
    QTreeWidgetItem* item = t->topLevelItem(r);
    for (int i = n; i > col; --i) item->setText(i, item->text(i - 1));
    item->setText(col, QString());
  }
  for (int i = 0; i <= n; ++i) {
    header->setText(i, titles[static_cast<std::size_t>(i)]);
    header->setTextAlignment(i, Qt::Alignment(aligns[static_cast<std::size_t>(i)]));
  }
  if (width >= 0) t->setColumnWidth(col, width);
  return col;
}

bool CListCtrl::DeleteColumn(int col) {
  auto* t = As<QTreeWidget>(this);
  if (!t || col < 0 || col >= t->columnCount()) return false;
  int n = t->columnCount();
  QTreeWidgetItem* header = t->headerItem();
  for (int i = col; i + 1 < n; ++i) header->setText(i, header->text(i + 1));
  for (int r = 0; r < t->topLevelItemCount(); ++r) {
    QTreeWidgetItem* item = t->topLevelItem(r);
    for (int i = col; i + 1 < n; ++i) item->setText(i, item->text(i + 1));
  }
  t->setColumnCount(n - 1);
  return true;
}

bool CListCtrl::SetColumnWidth(int col, int width) {
  auto* t = As<QTreeWidget>(this);
  if (!t || col < 0 || col >= t->columnCount()) return false;
  if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
    t->resizeColumnToContents(col);
    if (width == LVSCW_AUTOSIZE_USEHEADER) {
      int header = t->header()->sectionSizeHint(col);
      t->setColumnWidth(col, std::max(t->columnWidth(col), header));
    }
    return true;
  }
  t->setColumnWidth(col, std::max(width, 0));
  return true;
}

int CListCtrl::GetColumnWidth(int col) const {
  auto* t = As<QTreeWidget>(this);
  return t && col >= 0 && col < t->columnCount() ? t->columnWidth(col) : 0;
}

int CListCtrl::InsertItem(int index, const std::string& text) {
  auto* t = As<QTreeWidget>(this);
  if (!t) return -1;
  Quiet q(t);
  index = std::clamp(index, 0, t->topLevelItemCount());
  auto* item = new QTreeWidgetItem();
  item->setText(0, fw::ToQ(text));
  t->insertTopLevelItem(index, item);
  return index;
}

bool CListCtrl::SetItemText(int row, int sub, const std::string& text) {
  auto* t = As<QTreeWidget>(this);
  if (!t || row < 0 || row >= t->topLevelItemCount() || sub < 0 ||
      sub >= std::max(1, t->columnCount()))
    return false;
  t->topLevelItem(row)->setText(sub, fw::ToQ(text));
  return true;
}

std::string CListCtrl::GetItemText(int row, int sub) const {
  auto* t = As<QTreeWidget>(this);
  if (!t || row < 0 || row >= t->topLevelItemCount() || sub < 0) return {};
  return fw::FromQ(t->topLevelItem(row)->text(sub));
}

bool CListCtrl::DeleteItem(int row) {
  auto* t = As<QTreeWidget>(this);
  if (!t || row < 0 || row >= t->topLevelItemCount()) return false;
  Quiet q(t);
  delete t->takeTopLevelItem(row);
  return true;
}

bool CListCtrl::DeleteAllItems() {
  auto* t = As<QTreeWidget>(this);
  if (!t) return false;
  Quiet q(t);
  t->clear();
  return true;
}

int CListCtrl::GetItemCount() const {
  auto* t = As<QTreeWidget>(this);
  return t ? t->topLevelItemCount() : 0;
}

int CListCtrl::GetSelectedCount() const {
  auto* t = As<QTreeWidget>(this);
  return t ? static_cast<int>(t->selectedItems().size()) : 0;
}

int CListCtrl::GetNextItem(int start, unsigned flags) const {
  auto* t = As<QTreeWidget>(this);
  if (!t) return -1;
  for (int r = start + 1; r < t->topLevelItemCount(); ++r) {
    QTreeWidgetItem* item = t->topLevelItem(r);
    if ((flags & LVNI_SELECTED) && !item->isSelected()) continue;
    if ((flags & LVNI_FOCUSED) && t->currentItem() != item) continue;
    return r;
  }
  return -1;
}

bool CListCtrl::SetItemState(int row, unsigned state, unsigned mask) {
  auto* t = As<QTreeWidget>(this);
  if (!t || row < -1 || row >= t->topLevelItemCount()) return false;
  Quiet q(t);
  int first = row < 0 ? 0 : row, last = row < 0 ? t->topLevelItemCount() - 1 : row;
  for (int r = first; r <= last; ++r) {
    QTreeWidgetItem* item = t->topLevelItem(r);
    if (mask & LVIS_SELECTED) item->setSelected(state & LVIS_SELECTED);
    if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED))
      t->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
  }
  return true;
}

unsigned CListCtrl::GetItemState(int row, unsigned mask) const {
  auto* t = As<QTreeWidget>(this);
  if (!t || row < 0 || row >= t->topLevelItemCount()) return 0;
  QTreeWidgetItem* item = t->topLevelItem(row);
  unsigned s = 0;
  if (item->isSelected()) s |= LVIS_SELECTED;
  if (t->currentItem() == item) s |= LVIS_FOCUSED;
  return s & mask;
}

bool CListCtrl::SetItemData(int row, std::uintptr_t data) {
  auto* t = As<QTreeWidget>(this);
  if (!t || row < 0 || row >= t->topLevelItemCount()) return false;
  t->topLevelItem(row)->setData(0, Qt::UserRole, QVariant::fromValue<quintptr>(data));
  return true;
}

std::uintptr_t CListCtrl::GetItemData(int row) const {
  auto* t = As<QTreeWidget>(this);
  if (!t || row < 0 || row >= t->topLevelItemCount()) return 0;
  return t->topLevelItem(row)->data(0, Qt::UserRole).value<quintptr>();
}

bool CListCtrl::EnsureVisible(int row, bool) {
  auto* t = As<QTreeWidget>(this);
  if (!t || row < 0 || row >= t->topLevelItemCount()) return false;
  t->scrollToItem(t->topLevelItem(row));
  return true;
}

unsigned CListCtrl::SetExtendedStyle(unsigned style) {
  unsigned old = m_extended;
  m_extended = style;
  if (auto* t = As<QTreeWidget>(this)) {
    t->setSelectionBehavior((style & LVS_EX_FULLROWSELECT) ? QAbstractItemView::SelectRows
                                                           : QAbstractItemView::SelectItems);
  }
  return old;
}

// ---- tab control ------------------------------------------------------------------------------

QWidget* CTabCtrl::CreatePeer(QWidget* parent, const CREATESTRUCT&) {
  auto* tabs = new QTabBar(parent);
  tabs->setExpanding(false);
  tabs->setDrawBase(true);
  QObject::connect(tabs, &QTabBar::currentChanged, tabs,
                   [tabs](int) { NotifyHeader(tabs, TCN_SELCHANGE); });
  return tabs;
}

int CTabCtrl::InsertItem(int index, const std::string& text) {
  auto* t = As<QTabBar>(this);
  if (!t) return -1;
  Quiet q(t);
  return t->insertTab(std::clamp(index, 0, t->count()), fw::ToQ(fw::StripMnemonic(text)));
}

bool CTabCtrl::DeleteItem(int index) {
  auto* t = As<QTabBar>(this);
  if (!t || index < 0 || index >= t->count()) return false;
  Quiet q(t);
  t->removeTab(index);
  return true;
}

bool CTabCtrl::DeleteAllItems() {
  auto* t = As<QTabBar>(this);
  if (!t) return false;
  Quiet q(t);
  while (t->count() > 0) t->removeTab(0);
  return true;
}

int CTabCtrl::GetItemCount() const {
  auto* t = As<QTabBar>(this);
  return t ? t->count() : 0;
}

int CTabCtrl::GetCurSel() const {
  auto* t = As<QTabBar>(this);
  return t ? t->currentIndex() : -1;
}

int CTabCtrl::SetCurSel(int index) {
  auto* t = As<QTabBar>(this);
  if (!t || index < 0 || index >= t->count()) return -1;
  Quiet q(t);
  int old = t->currentIndex();
  t->setCurrentIndex(index);
  return old;
}

std::string CTabCtrl::GetItemText(int index) const {
  auto* t = As<QTabBar>(this);
  return t && index >= 0 && index < t->count() ? fw::FromQ(t->tabText(index)) : std::string();
}

bool CTabCtrl::GetItemRect(int index, CRect* r) const {
  auto* t = As<QTabBar>(this);
  if (!t || !r || index < 0 || index >= t->count()) return false;
  *r = CRect::FromQt(t->tabRect(index));
  return true;
}
