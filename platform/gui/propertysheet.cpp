#include "platform/gui/propertysheet.h"

#include <QApplication>
#include <QTabBar>
#include <algorithm>

#include "platform/gui/keys.h"
#include "platform/gui/qtstring.h"
#include "platform/resourcebundle.h"
#include "platform/resstring.h"
#include "res/string_ids.h"

namespace {

// Frame geometry in dialog units of the pages' font.
constexpr int kMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;
// Room a tab row takes; the real height comes from the tab bar itself.
constexpr int kTabAllowance = 16;

}  // namespace

// ---- page ------------------------------------------------------------------------------

CPropertyPage::CPropertyPage(unsigned templateId, unsigned captionId)
    : CDialog(templateId), m_captionId(captionId) {}

std::string CPropertyPage::GetCaption() const {
  if (m_captionId) {
    std::string text = LoadResString(m_captionId);
    if (!text.empty()) return text;
  }
  const fw::CDialogTemplate* t = fw::FindDialogTemplate(m_templateId);
  return t ? t->caption : std::string();
}

QWidget* CPropertyPage::CreatePeer(QWidget* parent, const CREATESTRUCT&) {
  // A page lives inside its sheet whatever its template says, on the
  // dialog colour as a dialog does.
  auto* page = new QWidget(parent);
  page->setAutoFillBackground(true);
  QPalette palette = page->palette();
  palette.setColor(QPalette::Window, fw::ToQColor(GetSysColor(COLOR_BTNFACE)));
  page->setPalette(palette);
  return page;
}

bool CPropertyPage::CreatePageWindow(CPropertySheet* sheet, const CRect& rect) {
  m_sheet = sheet;
  m_parentWnd = sheet;
  m_firstActive = true;
  UseUnits(sheet->dialogUnits());
  if (!CDialog::Create(m_templateId, sheet)) return false;
  // Hidden until shown as the active page; templates of pages may say disabled.
  ShowWindow(SW_HIDE);
  EnableWindow(true);
  // Every page fills the page area, whatever its own template's size.
  if (QWidget* w = widget()) {
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
  MoveWindow(rect);
  return true;
}

void CPropertyPage::FocusFirstControl() {
  QWidget* page = widget();
  if (!page) return;
  if (QWidget* f = QApplication::focusWidget(); f && page->isAncestorOf(f) && f->isVisible())
    return;
  for (QWidget* c : page->findChildren<QWidget*>()) {
    CWnd* w = CWnd::FromHandlePermanent(c);
    if (w && (w->GetStyle() & WS_TABSTOP) && c->isEnabled() && c->isVisibleTo(page)) {
      c->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

bool CPropertyPage::OnSetActive() {
  if (!m_firstActive) (void)UpdateData(false);  // filling the controls validates nothing
  m_firstActive = false;
  return true;
}

bool CPropertyPage::OnKillActive() {
  return UpdateData(true);
}

LRESULT CPropertyPage::OnWizardBack() {
  return 0;
}

LRESULT CPropertyPage::OnWizardNext() {
  return 0;
}

bool CPropertyPage::OnWizardFinish() {
  return true;
}

// ---- sheet -----------------------------------------------------------------------------

CPropertySheet::CPropertySheet(unsigned captionId, CWnd* parent, unsigned selectPage)
    : CPropertySheet(std::string(), parent, selectPage) {
  m_captionId = captionId;
}

CPropertySheet::CPropertySheet(std::string caption, CWnd* parent, unsigned selectPage)
    : CDialog(0, parent), m_startPage(static_cast<int>(selectPage)), m_title(std::move(caption)) {}

CPropertySheet::~CPropertySheet() {
  // The pages are the caller's objects: their windows go with ours, now,
  // while the page objects still exist.
  (void)DestroyWindow();
}

void CPropertySheet::AddPage(CPropertyPage* page) {
  if (page && GetPageIndex(page) < 0) m_pages.push_back(page);
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
  return index >= 0 && index < GetPageCount() ? m_pages[static_cast<std::size_t>(index)] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
  auto it = std::find(m_pages.begin(), m_pages.end(), page);
  return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

int CPropertySheet::IndexOfTemplate(unsigned templateId) const {
  for (int i = 0; i < GetPageCount(); ++i)
    if (m_pages[static_cast<std::size_t>(i)]->templateId() == templateId) return i;
  return -1;
}

std::string CPropertySheet::GetTitle() const {
  return m_captionId ? LoadResString(m_captionId) : m_title;
}

void CPropertySheet::SetTitle(const std::string& title) {
  m_captionId = 0;
  m_title = title;
  if (IsWindow()) SetWindowText(title);
}

bool CPropertySheet::BuildFrame() {
  if (m_pages.empty()) return false;
  // The frame takes the pages' font; its size fits the largest page and is
  // corrected in pixels once the buttons exist.
  m_frame = fw::CDialogTemplate();
  m_frame.style = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  m_frame.caption = GetTitle();
  int cx = 0, cy = 0;
  for (CPropertyPage* page : m_pages) {
    const fw::CDialogTemplate* t = fw::FindDialogTemplate(page->templateId());
    if (!t) return false;
    if (m_frame.fontPoints == 0 && t->fontPoints > 0) {
      m_frame.fontPoints = t->fontPoints;
      m_frame.fontFace = t->fontFace;
      m_frame.fontWeight = t->fontWeight;
    }
    cx = std::max(cx, t->cx);
    cy = std::max(cy, t->cy);
  }
  m_frame.cx = cx + 2 * kMargin;
  m_frame.cy = cy + 3 * kMargin + kButtonHeight + (IsWizard() ? 0 : kTabAllowance);
  UseOwnTemplate(&m_frame);
  return true;
}

fw::DialogUnits CPropertySheet::FitUnits(const fw::CDialogTemplate& t, const QFont& font,
                                         fw::DialogUnits measured) {
  fw::DialogUnits units = measured;
  int pagesCx = 0;
  for (CPropertyPage* page : m_pages) {
    if (const fw::CDialogTemplate* p = fw::FindDialogTemplate(page->templateId())) {
      units = fw::Max(units, fw::FitDialogUnits(*p, font, measured, page->laterTexts()));
      pagesCx = std::max(pagesCx, p->cx);
    }
  }
  // The sheet's own buttons, as a template of one row.
  fw::CDialogTemplate buttons;
  buttons.cx = t.cx;
  buttons.cy = t.cy;
  for (unsigned id : {IDS_SHEET_OK, IDS_SHEET_CANCEL, IDS_SHEET_HELP, IDS_WIZARD_BACK,
                      IDS_WIZARD_NEXT, IDS_WIZARD_FINISH}) {
    fw::CDialogItem b;
    b.className = "Button";
    b.style = WS_CHILD | BS_PUSHBUTTON;
    b.text = LoadResString(id);
    b.cx = kButtonWidth;
    b.cy = kButtonHeight;
    buttons.items.push_back(b);
  }
  units = fw::Max(units, fw::FitDialogUnits(buttons, font, measured));
  if (!IsWizard() && pagesCx > 0) {
    // Every tab in one row over the widest page.
    QTabBar tabs;
    tabs.setFont(font);
    for (CPropertyPage* page : m_pages) tabs.addTab(fw::ToQ(page->GetCaption()));
    const int need = tabs.sizeHint().width() + 1;
    units.cx = std::max(units.cx, (need * 4 * 64 + pagesCx - 1) / pagesCx);
  }
  return fw::LimitToScreen(units, t.cx, t.cy);
}

std::intptr_t CPropertySheet::DoModal() {
  if (!BuildFrame()) return -1;
  return CDialog::DoModal();
}

void CPropertySheet::CreateButtons() {
  CRect unit(0, 0, kMargin, kMargin);
  MapDialogRect(&unit);
  const int mx = unit.Width(), my = unit.Height();
  CRect button(0, 0, kButtonWidth, kButtonHeight);
  MapDialogRect(&button);
  CRect gapRect(0, 0, kButtonGap, 0);
  MapDialogRect(&gapRect);
  const int bw = button.Width(), bh = button.Height(), gap = gapRect.Width();

  int pageW = 0, pageH = 0;
  for (CPropertyPage* page : m_pages) {
    const fw::CDialogTemplate* t = fw::FindDialogTemplate(page->templateId());
    CRect r(0, 0, t->cx, t->cy);
    MapDialogRect(&r);
    pageW = std::max(pageW, r.Width());
    pageH = std::max(pageH, r.Height());
  }

  int top = my;
  if (!IsWizard()) {
    // Children of a made window: their creation cannot be refused.
    (void)m_tabs.Create("SysTabControl32", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                        CRect(mx, my, mx + pageW, my + 20), this, kSheetTabControlId);
    m_tabs.SetFont(dialogFont(), false);
    for (int i = 0; i < GetPageCount(); ++i) m_tabs.InsertItem(i, GetPage(i)->GetCaption());
    const int tabH = m_tabs.widget() ? m_tabs.widget()->sizeHint().height() : 20;
    m_tabs.MoveWindow(CRect(mx, my, mx + pageW, my + tabH));
    top = my + tabH;
  }
  m_pageRect = CRect(mx, top, mx + pageW, top + pageH);
  int y = m_pageRect.bottom + my;
  if (IsWizard()) {
    (void)m_line.Create(
        "Static", "", WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ,
        CRect(mx, m_pageRect.bottom + my / 2, mx + pageW, m_pageRect.bottom + my / 2 + 2), this,
        IDC_STATIC);
  }
  const int width = pageW + 2 * mx;
  const int height = y + bh + my;
  if (QWidget* w = widget()) w->setFixedSize(width, height);
  CenterWindow(m_parentWnd);  // the frame's final size is known only now

  // Right to left: Help, Cancel, then OK or the wizard's Back and Next/Finish.
  int right = width - mx;
  auto place = [&](CButton& b, int id, unsigned textId, bool visible) {
    (void)b.Create("Button", LoadResString(textId), WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON,
                   CRect(right - bw, y, right, y + bh), this, id);
    b.SetFont(dialogFont(), false);
    b.ShowWindow(visible ? SW_SHOW : SW_HIDE);
  };
  const bool help = (m_psh.dwFlags & PSH_HASHELP) != 0;
  if (help) {
    place(m_help, ID_HELP, IDS_SHEET_HELP, true);
    right -= bw + gap;
  }
  place(m_cancel, IDCANCEL, IDS_SHEET_CANCEL, true);
  right -= bw + gap;
  if (IsWizard()) {
    place(m_finish, ID_WIZFINISH, IDS_WIZARD_FINISH, false);
    place(m_next, ID_WIZNEXT, IDS_WIZARD_NEXT, true);
    right -= bw;
    place(m_back, ID_WIZBACK, IDS_WIZARD_BACK, true);
    ApplyWizardButtons();
  } else {
    place(m_ok, IDOK, IDS_SHEET_OK, true);
    SetDefID(IDOK);
  }
}

void CPropertySheet::ApplyWizardButtons() {
  if (!IsWizard() || !m_next.IsWindow()) return;
  const std::uint32_t f = m_wizardButtons;
  const bool finish = (f & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) != 0;
  m_back.EnableWindow((f & PSWIZB_BACK) != 0);
  m_next.ShowWindow(finish ? SW_HIDE : SW_SHOW);
  m_next.EnableWindow((f & PSWIZB_NEXT) != 0);
  m_finish.ShowWindow(finish ? SW_SHOW : SW_HIDE);
  m_finish.EnableWindow((f & PSWIZB_FINISH) != 0);
  SetDefID(finish ? ID_WIZFINISH : ID_WIZNEXT);
}

bool CPropertySheet::OnInitDialog() {
  CDialog::OnInitDialog();
  SetWindowText(GetTitle());
  CreateButtons();
  m_active = -1;
  const int start = std::clamp(m_startPage, 0, GetPageCount() - 1);
  if (!ShowPage(start)) ShowPage(0);
  // The page put the focus on its first control.
  return false;
}

bool CPropertySheet::ShowPage(int index) {
  CPropertyPage* page = GetPage(index);
  if (!page) return false;
  if (!page->IsWindow() && !page->CreatePageWindow(this, m_pageRect)) return false;
  const int previous = m_active;
  CPropertyPage* old = GetPage(previous);
  if (old && old != page) old->ShowWindow(SW_HIDE);
  m_active = index;
  page->ShowWindow(SW_SHOW);
  if (m_tabs.IsWindow()) m_tabs.SetCurSel(index);
  if (page->OnSetActive()) {
    // The focus goes into the page unless it is on the tabs.
    if (!(m_tabs.IsWindow() && QApplication::focusWidget() == m_tabs.widget()))
      page->FocusFirstControl();
    return true;
  }
  // The page refused: back to the one before, as it was.
  page->ShowWindow(SW_HIDE);
  m_active = previous;
  if (old) old->ShowWindow(SW_SHOW);
  if (m_tabs.IsWindow()) m_tabs.SetCurSel(previous);
  return false;
}

bool CPropertySheet::SetActivePage(int index) {
  if (index < 0 || index >= GetPageCount()) return false;
  if (!IsWindow()) {
    m_startPage = index;
    return true;
  }
  if (index == m_active) return true;
  if (CPropertyPage* current = GetActivePage(); current && !current->OnKillActive()) {
    if (m_tabs.IsWindow()) m_tabs.SetCurSel(m_active);
    return false;
  }
  return ShowPage(index);
}

LRESULT CPropertySheet::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case PSM_SETWIZBUTTONS:
      m_wizardButtons = static_cast<std::uint32_t>(lParam);
      ApplyWizardButtons();
      return 0;
    case PSM_PRESSBUTTON: {
      int id = 0;
      switch (static_cast<int>(wParam)) {
        case PSBTN_BACK: id = ID_WIZBACK; break;
        case PSBTN_NEXT: id = ID_WIZNEXT; break;
        case PSBTN_FINISH: id = ID_WIZFINISH; break;
        case PSBTN_OK: id = IDOK; break;
        case PSBTN_CANCEL: id = IDCANCEL; break;
        case PSBTN_HELP: id = ID_HELP; break;
        default: return 0;
      }
      // As a click: handled after the message that asked for it.
      (void)PostMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED), 0);
      return 1;
    }
    default: return CDialog::WindowProc(msg, wParam, lParam);
  }
}

bool CPropertySheet::PreTranslateMessage(MSG* msg) {
  if (const int step = fw::PageStepOfKey(*msg); step != 0) {
    TurnPage(step);
    return true;
  }
  return CDialog::PreTranslateMessage(msg);
}

void CPropertySheet::TurnPage(int step) {
  if (IsWizard()) {
    // Only where the button is offered.
    CButton& button = step > 0 ? m_next : m_back;
    if (button.IsWindow() && button.IsWindowVisible() && button.IsWindowEnabled())
      SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(button.GetDlgCtrlID()), BN_CLICKED),
                  reinterpret_cast<LPARAM>(button.widget()));
    return;
  }
  const int count = GetPageCount();
  if (count > 1 && m_active >= 0) SetActivePage((m_active + step + count) % count);
}

std::vector<QWidget*> CPropertySheet::TabStops() {
  std::vector<QWidget*> stops;
  if (m_tabs.IsWindow()) stops.push_back(m_tabs.widget());
  if (CPropertyPage* page = GetActivePage(); page && page->IsWindow()) {
    const std::vector<QWidget*> controls = page->TabStops();
    stops.insert(stops.end(), controls.begin(), controls.end());
  }
  // The sheet's own controls in their row, left to right: its buttons and
  // any the program put beside them.
  std::vector<QWidget*> row;
  for (QWidget* w : CDialog::TabStops())
    if (w->parentWidget() == widget() && w != m_tabs.widget()) row.push_back(w);
  std::stable_sort(row.begin(), row.end(),
                   [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
  stops.insert(stops.end(), row.begin(), row.end());
  return stops;
}

bool CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CWnd::OnCommand(wParam, lParam)) return true;
  if (HIWORD(wParam) != BN_CLICKED) return false;
  switch (static_cast<int>(LOWORD(wParam))) {
    case ID_WIZBACK: OnWizardBack(); return true;
    case ID_WIZNEXT: OnWizardNext(); return true;
    case ID_WIZFINISH: OnWizardFinish(); return true;
    case ID_HELP: OnHelp(); return true;
    case IDOK: OnOK(); return true;
    case IDCANCEL: OnCancel(); return true;
    default: return false;
  }
}

bool CPropertySheet::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
  if (static_cast<int>(wParam) == kSheetTabControlId && hdr && hdr->code == TCN_SELCHANGE) {
    SetActivePage(m_tabs.GetCurSel());
    if (result) *result = 0;
    return true;
  }
  return CDialog::OnNotify(wParam, lParam, result);
}

void CPropertySheet::OnOK() {
  if (IsWizard()) {
    // Enter in a wizard is the default button: Finish once it is offered, else Next.
    if (m_wizardButtons & PSWIZB_FINISH)
      OnWizardFinish();
    else if (m_wizardButtons & PSWIZB_NEXT)
      OnWizardNext();
    return;
  }
  if (CPropertyPage* page = GetActivePage(); page && !page->OnKillActive()) return;
  EndDialog(IDOK);
}

void CPropertySheet::OnCancel() {
  EndDialog(IDCANCEL);
}

void CPropertySheet::OnHelp() {
  if (CPropertyPage* page = GetActivePage()) fw::ShowHelp(kHelpDialogBase + page->templateId());
}

void CPropertySheet::OnWizardBack() {
  CPropertyPage* page = GetActivePage();
  if (!page) return;
  const LRESULT r = page->OnWizardBack();
  if (r == -1) return;
  SetActivePage(r == 0 ? m_active - 1 : IndexOfTemplate(static_cast<unsigned>(r)));
}

void CPropertySheet::OnWizardNext() {
  CPropertyPage* page = GetActivePage();
  if (!page) return;
  const LRESULT r = page->OnWizardNext();
  if (r == -1) return;
  SetActivePage(r == 0 ? m_active + 1 : IndexOfTemplate(static_cast<unsigned>(r)));
}

void CPropertySheet::OnWizardFinish() {
  if (CPropertyPage* page = GetActivePage(); page && !page->OnWizardFinish()) return;
  EndDialog(ID_WIZFINISH);
}

// ---- placing a window over a control ----------------------------------------------------

namespace fw {

int PageStepOfKey(const MSG& msg) {
  // The modifiers the key was typed with: Ctrl may be up by the time a queued key is handled.
  if (msg.message != WM_KEYDOWN || !(msg.keyModifiers & Qt::ControlModifier)) return 0;
  switch (msg.wParam) {
    case VK_TAB: return (msg.keyModifiers & Qt::ShiftModifier) ? -1 : 1;
    case VK_NEXT: return 1;
    case VK_PRIOR: return -1;
    default: return 0;
  }
}

bool PlaceOverControl(CWnd* dialog, int controlId,
                      const std::function<bool(CWnd* parent, const CRect& rect, int id)>& create) {
  CWnd* control = dialog ? dialog->GetDlgItem(controlId) : nullptr;
  if (!control || !control->widget() || !create) return false;
  QWidget* old = control->widget();
  const CRect rect = CRect::FromQt(old->geometry());
  // The control steps aside first, so the new window alone answers to the id.
  control->SetDlgCtrlID(0);
  control->ShowWindow(SW_HIDE);
  if (!create(dialog, rect, controlId)) {
    control->SetDlgCtrlID(controlId);
    control->ShowWindow(SW_SHOW);
    return false;
  }
  CWnd* placed = dialog->GetDlgItem(controlId);
  if (placed && placed->widget() && placed->widget() != old)
    QWidget::setTabOrder(old, placed->widget());
  return true;
}

}  // namespace fw
