#include "grid/sheetgridctrl.h"

#include <QCursor>
#include <QGuiApplication>
#include <QWidget>

#include "grid/gridcellwnd.h"
#include "grid/gridcornerwnd.h"
#include "grid/griddroplist.h"
#include "grid/gridheading.h"
#include "grid/gridhintwnd.h"
#include "grid/gridinplaceedit.h"
#include "grid/gridscrollbar.h"
#include "grid/gridtabwnd.h"
#include "platform/gui/help.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"

namespace {
constexpr std::uint32_t kLayoutRtl = 0x00400000;  // WS_EX_LAYOUTRTL
constexpr int kFirstMenuCommand = 1000;
}  // namespace

CSheetGridCtrl::CSheetGridCtrl()
    : m_cellArea(std::make_unique<CGridCellWnd>(this)),
      m_topHeading(std::make_unique<CGridTopHeading>(this)),
      m_sideHeading(std::make_unique<CGridSideHeading>(this)),
      m_corner(std::make_unique<CGridCornerWnd>(this)),
      m_vbarWnd(std::make_unique<CGridVertBar>(this)),
      m_hbarWnd(std::make_unique<CGridHorzBar>(this)),
      m_hint(std::make_unique<CGridHintWnd>()),
      m_tabs(std::make_unique<CGridTabWnd>(this)),
      m_autoEdit(std::make_unique<CGridAutoSizeEdit>(this)),
      m_maskEdit(std::make_unique<CGridMaskedEdit>(this)),
      m_dropList(std::make_unique<CGridDropList>(this)) {}

CSheetGridCtrl::~CSheetGridCtrl() {
  // Children go before the grid's own window, editors first (they live in
  // the cell area while an edit runs).
  m_dropList.reset();
  m_maskEdit.reset();
  m_autoEdit.reset();
  m_hint.reset();
}

UINT CSheetGridCtrl::FindReplaceMessage() {
  static const UINT id = RegisterWindowMessage("commdlg_FindReplace");
  return id;
}

// ---------------------------------------------------------------------------
// Creation

bool CSheetGridCtrl::PreCreateWindow(CREATESTRUCT& cs) {
  cs.style |= WS_CLIPCHILDREN;
  return CWnd::PreCreateWindow(cs);
}

bool CSheetGridCtrl::CreateGrid(std::uint32_t style, const CRect& rect, CWnd* parent, int id) {
  // The parts are made on WM_CREATE; a grid whose parts cannot be made is
  // not created at all.
  if (!Create("", "", style | WS_CHILD, rect, parent, id)) return false;
  AfterCreation();
  return true;
}

int CSheetGridCtrl::OnCreate(CREATESTRUCT* cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  return CreateChildren() ? 0 : -1;
}

bool CSheetGridCtrl::ChildrenMade() const {
  return m_cellArea->IsWindow();
}

// The parts go with the grid's window and are made again with a new one.
bool CSheetGridCtrl::CreateChildren() {
  if (ChildrenMade()) return true;
  FindReplaceMessage();
  const std::uint32_t child = WS_CHILD | WS_VISIBLE;
  bool made = m_cellArea->Create("", "", child | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, CRect(), this,
                                 kGridCellAreaId);
  made = m_topHeading->Create("", "", child, CRect(), this, kGridTopHeadingId) && made;
  made = m_sideHeading->Create("", "", child, CRect(), this, kGridSideHeadingId) && made;
  made = m_corner->Create("", "", child, CRect(), this, kGridCornerId) && made;
  made = m_tabs->Create("", "", child, CRect(), this, kGridTabsId) && made;
  made = m_vbarWnd->Create("SCROLLBAR", "", child, CRect(), this, kGridVertBarId) && made;
  made = m_hbarWnd->Create("SCROLLBAR", "", child, CRect(), this, kGridHorzBarId) && made;
  made = m_autoEdit->Create("EDIT", "", WS_CHILD | ES_MULTILINE | ES_AUTOVSCROLL, CRect(),
                            m_cellArea.get(), kGridAutoEditId) &&
         made;
  made = m_maskEdit->Create("EDIT", "", WS_CHILD | ES_AUTOHSCROLL, CRect(), m_cellArea.get(),
                            kGridMaskedEditId) &&
         made;
  if (!made) return false;
  // Nothing of this system shows the hint pop-up: the grid does without it.
  (void)m_hint->CreateHintWnd(this);
  if (QWidget* w = widget()) w->setFocusPolicy(Qt::StrongFocus);
  if (QWidget* w = m_cellArea->widget()) w->setFocusPolicy(Qt::StrongFocus);
  // Tabbing into the grid lands in the cell area.
  if (widget() && m_cellArea->widget()) widget()->setFocusProxy(m_cellArea->widget());
  return true;
}

void CSheetGridCtrl::AfterCreation() {
  OnGridCreated();
  OnSheetCreated(0);
  Sheet().m_created = 1;
  LayoutParts();
}

bool CSheetGridCtrl::AttachToControl(int controlId, CWnd* dialog) {
  if (!dialog || !dialog->GetDlgItem(controlId)) return false;
  if (!SubclassDlgItem(controlId, dialog)) return false;
  ModifyStyle(0, WS_CLIPCHILDREN | WS_TABSTOP);
  if (CFont* font = dialog->GetFont(); font && font->IsValid()) {
    LOGFONT lf;
    font->GetLogFont(&lf);
    int index = RegisterFont(lf);
    (void)SetDefaultFont(index);  // just registered
    lf.lfWeight += 200;
    int bold = RegisterFont(lf);
    Sheet().m_headingDefault.GridCellSetFont(GetFont(bold));
  }
  // Parts made before one failed stay in the control and go with it.
  if (!CreateChildren()) return false;
  if (GetExStyle() & kLayoutRtl) {
    ModifyStyleEx(kLayoutRtl, 0);
    (void)SetLayoutRightToLeft(1);
  }
  AfterCreation();
  return true;
}

int CSheetGridCtrl::SetLayoutRightToLeft(int on) {
  const bool has = (GetExStyle() & kLayoutRtl) != 0;
  if (has == (on != 0)) return kGridLayoutUnchanged;
  if (on)
    ModifyStyleEx(0, kLayoutRtl);
  else
    ModifyStyleEx(kLayoutRtl, 0);
  const Qt::LayoutDirection dir = on ? Qt::RightToLeft : Qt::LeftToRight;
  CWnd* windows[] = {m_cellArea.get(), m_topHeading.get(), m_sideHeading.get(), m_corner.get(),
                     m_tabs.get(),     m_vbarWnd.get(),    m_hbarWnd.get(),     m_hint.get(),
                     m_autoEdit.get(), m_maskEdit.get()};
  for (CWnd* w : windows)
    if (w && w->widget()) w->widget()->setLayoutDirection(dir);
  if (m_tabs->IsWindow()) {
    CRect r;
    m_tabs->GetClientRect(&r);
    m_tabs->SendMessage(WM_SIZE, 0, MAKELPARAM(r.Width(), r.Height()));
  }
  RepaintAll();
  return kGridOk;
}

int CSheetGridCtrl::AddSheetTab(const std::string& label, int id) {
  return m_tabs->AddSheetTab(label, id);
}

CWnd* CSheetGridCtrl::GetScrollBarCtrl(int bar) const {
  return bar == 1 ? static_cast<CWnd*>(m_vbarWnd.get()) : static_cast<CWnd*>(m_hbarWnd.get());
}

CWnd* CSheetGridCtrl::DefaultEditor() {
  return m_autoEdit.get();
}
CWnd* CSheetGridCtrl::MaskedEditor() {
  return m_maskEdit.get();
}

CWnd* CSheetGridCtrl::SectionWindow(int section) const {
  switch (section) {
    case kSectionSideHeading: return m_sideHeading.get();
    case kSectionTopHeading: return m_topHeading.get();
    default: return m_cellArea.get();
  }
}

void CSheetGridCtrl::AttachFindDialog(CWnd* dialog) {
  m_findDialog = dialog;
  m_findDialogPeer = dialog ? dialog->widget() : nullptr;
}

CWnd* CSheetGridCtrl::FindDialog() const {
  return m_findDialog && m_findDialogPeer && m_findDialog->widget() == m_findDialogPeer
             ? m_findDialog
             : nullptr;
}

// ---------------------------------------------------------------------------
// Help

void CSheetGridCtrl::HelpFromKey() {
  const QPoint pointer = QCursor::pos();
  CWnd* windows[] = {m_topHeading.get(), m_sideHeading.get(), m_corner.get(),
                     m_tabs.get(),       m_vbarWnd.get(),     m_hbarWnd.get()};
  for (CWnd* w : windows) {
    QWidget* peer = w ? w->widget() : nullptr;
    if (peer && peer->isVisible() && peer->rect().contains(peer->mapFromGlobal(pointer))) {
      w->SendMessage(WM_HELP);
      return;
    }
  }
  if (m_cellArea->IsWindow()) m_cellArea->SendMessage(WM_HELP, kGridHelpFromKey);
}

int CSheetGridCtrl::ShowContextHelp(int context, int section) {
  // The program's help tells the user itself when it has none to show.
  if (context != 0 || section != kSectionCells) (void)fw::ShowHelp(static_cast<unsigned>(context));
  return context;
}

// ---------------------------------------------------------------------------
// Messages

LRESULT CSheetGridCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == FindReplaceMessage()) {
    const auto* request = reinterpret_cast<const GridFindRequest*>(lParam);
    CWnd* dialog = FindDialog();
    if (!dialog || !request) return 1;
    if (request->flags & FR_DIALOGTERM) {
      AttachFindDialog(nullptr);
      RepaintAll();
      return 1;
    }
    const int r = HandleFindReplace(request->findWhat, request->replaceWith, request->flags);
    // After the not-found message the user goes on in the dialog.
    if (r == kGridNotFound && FindDialog()) FindDialog()->SetFocus();
    return r;
  }
  switch (msg) {
    case WM_GRID_CELLTYPE_MSG: {
      int index = static_cast<int>(wParam);
      if (index < 0 || index >= static_cast<int>(m_cellTypes.size()) ||
          !m_cellTypes[static_cast<std::size_t>(index)])
        return 1;
      return static_cast<LRESULT>(
          m_cellTypes[static_cast<std::size_t>(index)]->HandleTypeMessage(lParam));
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    case WM_VSCROLL:
      HandleVScroll(static_cast<int>(LOWORD(wParam)), static_cast<int>(HIWORD(wParam)));
      if (m_sideHeading->IsWindow()) m_sideHeading->Invalidate(false);
      return 0;
    case WM_HSCROLL:
      HandleHScroll(static_cast<int>(LOWORD(wParam)), static_cast<int>(HIWORD(wParam)));
      return 0;
    default: return CWnd::WindowProc(msg, wParam, lParam);
  }
}

bool CSheetGridCtrl::OnCommand(WPARAM wParam, LPARAM lParam) {
  int id = static_cast<int>(LOWORD(wParam));
  if (id >= kFirstMenuCommand) {
    // Without a pop-up menu of the grid's own, a command is about the
    // current cell of the cell area.
    if (m_menuSection == 0)
      OnGridMenuCommand(Sheet().m_curCol, Sheet().m_curRow, kSectionCells, id);
    else
      OnGridMenuCommand(m_menuCol, m_menuRow, m_menuSection, id);
  }
  return CWnd::OnCommand(wParam, lParam);
}

bool CSheetGridCtrl::PreTranslateMessage(MSG* msg) {
  // Ctrl+Page Down / Page Up turn a grid's own sheets, as in a spreadsheet,
  // before a dialog around the grid turns its pages with them. At the last
  // (first) sheet the key does nothing.
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_NEXT || msg->wParam == VK_PRIOR) &&
      (msg->keyModifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) ==
          Qt::ControlModifier &&
      m_tabs && m_tabs->Tabs().size() > 1) {
    (void)m_tabs->StepTab(msg->wParam == VK_NEXT ? 1 : -1);  // false at the end: stays
    return true;
  }
  return CWnd::PreTranslateMessage(msg);
}

void CSheetGridCtrl::OnDestroy() {
  if (m_hint && m_hint->IsWindow()) (void)m_hint->DestroyWindow();
  CWnd::OnDestroy();
}

void CSheetGridCtrl::OnSize(UINT, int, int) {
  Invalidate(false);
  if (!IsCreated()) return;
  int paint = m_paint;
  m_paint = 0;
  LayoutParts();
  m_paint = paint;
  RepaintAll();
}

void CSheetGridCtrl::OnPaint() {
  CPaintDC dc(this);
  const auto& s = Sheet();
  CRect client;
  GetClientRect(&client);
  // The box between the two scroll bars.
  CRect box(s.m_rcVBar.left, s.m_rcHBar.top, client.right, client.bottom);
  if (!box.IsRectEmpty()) dc.FillSolidRect(box, GetSysColor(COLOR_BTNFACE));
}

bool CSheetGridCtrl::OnEraseBkgnd(CDC*) {
  return true;
}

void CSheetGridCtrl::OnSetFocus(CWnd*) {
  if (m_cellArea->IsWindow()) {
    m_cellArea->SetFocus();
    m_cellArea->Invalidate(false);
  }
}

void CSheetGridCtrl::OnSysColorChange() {
  RecreatePens();
  RepaintAll();
}

// ---------------------------------------------------------------------------
// The core's window side

void CSheetGridCtrl::ViewClientSize(int& width, int& height) {
  if (!IsWindow()) {
    CGridCore::ViewClientSize(width, height);
    return;
  }
  CRect r;
  GetClientRect(&r);
  width = r.Width();
  height = r.Height();
}

bool CSheetGridCtrl::ViewIsVisible() const {
  return IsWindow() && IsWindowVisible();
}

void CSheetGridCtrl::ViewMoveChildren() {
  if (!IsWindow() || !ChildrenMade()) return;
  const auto& s = Sheet();
  auto place = [](CWnd* w, const CRect& r) {
    if (!w || !w->IsWindow()) return;
    if (r.IsRectEmpty()) {
      w->ShowWindow(SW_HIDE);
      return;
    }
    w->MoveWindow(r, false);
    w->ShowWindow(SW_SHOWNA);
  };
  place(m_cellArea.get(), s.m_rcCells);
  place(m_topHeading.get(), s.m_rcTop);
  place(m_sideHeading.get(), s.m_rcSide);
  place(m_corner.get(), s.m_rcCorner);
  place(m_vbarWnd.get(), s.m_rcVBar);
  place(m_hbarWnd.get(), s.m_rcHBar);
  place(m_tabs.get(), s.m_rcTabs);
}

void CSheetGridCtrl::ViewRepaintAll() {
  if (!IsWindow() || !ChildrenMade()) return;
  Invalidate(false);
  m_cellArea->Invalidate(false);
  m_corner->Invalidate(false);
  m_vbarWnd->UpdateScrollBar();
  m_hbarWnd->UpdateScrollBar();
  m_tabs->Invalidate(false);
  m_topHeading->Invalidate(false);
  m_sideHeading->Invalidate(false);
}

void CSheetGridCtrl::ViewRepaintCell(int col, int row) {
  if (!IsWindow() || !ChildrenMade()) return;
  if (col < 0 && row < 0)
    m_corner->Invalidate(false);
  else if (col < 0)
    m_sideHeading->Invalidate(false);
  else if (row < 0)
    m_topHeading->Invalidate(false);
  else
    m_cellArea->RepaintCell(col, row);
}

void CSheetGridCtrl::ViewRepaintRow(int row) {
  if (IsWindow() && ChildrenMade()) m_cellArea->RepaintRow(row);
}

void CSheetGridCtrl::ViewUpdateAfterMove() {
  if (!IsWindow() || !ChildrenMade() || !m_paint) return;
  const auto& s = Sheet();
  m_cellArea->UpdateView(s.m_prevLeftCol, s.m_prevTopRow, s.m_prevCurCol, s.m_prevCurRow);
  m_topHeading->UpdateTopHeading(s.m_prevLeftCol);
  m_sideHeading->UpdateSideHeading(s.m_prevTopRow, s.m_prevCurRow, s.m_curRow);
}

void CSheetGridCtrl::ViewApplyScrollBars() {
  if (!IsWindow() || !ChildrenMade()) return;
  m_vbarWnd->UpdateScrollBar();
  m_hbarWnd->UpdateScrollBar();
}

void CSheetGridCtrl::ViewFocusCellArea() {
  if (m_cellArea->IsWindow() && GetFocus() != m_cellArea.get()) m_cellArea->SetFocus();
}

void CSheetGridCtrl::ViewShowEditor(CWnd* editor, int section, const CRect& rect,
                                    const CGridCellValue& cell, const std::string& text, int key) {
  if (!editor || !editor->IsWindow()) return;
  CWnd* parent = SectionWindow(section);
  if (editor->GetParent() != parent) editor->SetParent(parent);
  editor->MoveWindow(rect);
  CFont* font = cell.GridCellHasFlag(GridProp::Font) ? cell.GridCellGetFont() : nullptr;
  if (!font) font = Sheet().m_defaultFont;
  if (font) editor->SetFont(font);
  auto* inplace = dynamic_cast<CGridInPlaceEdit*>(editor);
  if (inplace)
    inplace->SetText(text);
  else
    editor->SetWindowText(text);
  editor->ShowWindow(SW_SHOW);
  if (editor->widget()) editor->widget()->raise();
  editor->SetFocus();
  if (key > 0) {
    if (inplace)
      inplace->TypeInitialChar(key);
    else
      editor->SendMessage(WM_CHAR, static_cast<WPARAM>(key));
  }
}

void CSheetGridCtrl::ViewHideEditor(CWnd* editor) {
  if (!editor || !editor->IsWindow()) return;
  if (auto* inplace = dynamic_cast<CGridInPlaceEdit*>(editor))
    inplace->HideQuietly();
  else
    editor->ShowWindow(SW_HIDE);
}

CWnd* CSheetGridCtrl::ViewDefaultEditor(bool masked) {
  return masked ? static_cast<CWnd*>(m_maskEdit.get()) : static_cast<CWnd*>(m_autoEdit.get());
}

void CSheetGridCtrl::ViewSheetChanged() {
  if (IsWindow() && ChildrenMade() && m_paint) ViewRepaintAll();
}

void CSheetGridCtrl::ViewNotFound() {
  MessageBoxCaption(LoadResString(IDS_GRID_ITEM_NOT_FOUND), LoadResString(IDS_GRID_NOT_FOUND),
                    MB_OK);
}

int CSheetGridCtrl::MeasureCellWidth(int col, int row, CGridCellValue& cell) {
  if (!m_cellArea->IsWindow()) return CGridCore::MeasureCellWidth(col, row, cell);
  CClientDC dc(m_cellArea.get());
  CFont* font = cell.GridCellHasFlag(GridProp::Font) ? cell.GridCellGetFont() : nullptr;
  if (!font) font = Sheet().m_defaultFont;
  if (font) dc.SelectObject(font);
  int index = cell.GridCellHasFlag(GridProp::CellType) ? cell.GridCellGetCellType() : 0;
  CSize size(0, GetRowHeight(row));
  GetCellTypeObject(index)->MeasureBestSize(dc, size, cell);
  return size.cx;
}

QWidget* CSheetGridCtrl::GetCellAreaWindow() {
  return m_cellArea->widget();
}

int CSheetGridCtrl::GetModifierKeys() {
  Qt::KeyboardModifiers mods = QGuiApplication::keyboardModifiers();
  int flags = 0;
  if (mods & Qt::ShiftModifier) flags |= MK_SHIFT;
  if (mods & Qt::ControlModifier) flags |= MK_CONTROL;
  return flags;
}

bool CSheetGridCtrl::IsDropListShowing() {
  return m_dropList->IsOpen();
}

void CSheetGridCtrl::HideDropList() {
  m_dropList->Close();
}

void CSheetGridCtrl::ShowDropList(CDropListCellType* type, int col, int row, const CRect& rect,
                                  CFont* font, const std::vector<std::string>& choices) {
  m_dropList->Open(type, col, row, rect, font, choices);
}
