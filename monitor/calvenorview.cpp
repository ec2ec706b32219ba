#include "monitor/calvenorview.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QPrinter>

#include "grid/gridprint.h"
#include "monitor/calvenorapp.h"
#include "monitor/calvenordoc.h"
#include "monitor/printservice.h"
#include "platform/gui/framewnd.h"
#include "platform/gui/stdids.h"
#include "platform/message.h"
#include "platform/resstring.h"
#include "res/string_ids.h"
#include "shell/commandids.h"
#include "tools/flashleddlg.h"
#include "tools/toolcomm.h"

CCalvenorView::CCalvenorView() {
  // A command on a switch waits for the search: its row may be about to go.
  auto needRow = [this](CCmdUI* ui) {
    const CCalvenorApp* app = CalvenorApp();
    ui->Enable(CurrentEntry() != nullptr && !(app && app->m_bSearching));
  };
  SetUpdateHandler(ID_SHOW_STATUS, needRow);
  SetUpdateHandler(ID_SWITCH_WINK, needRow);
  SetCommandHandler(ID_SHOW_STATUS, [this] {
    const CCalvenorApp* app = CalvenorApp();
    if (app && app->m_bSearching) return;
    if (CCalvenorDoc* doc = GetDocument()) doc->OnShowStatus();
  });
  SetCommandHandler(ID_SWITCH_WINK, [this] { OnWink(); });
  // The list is refilled while a search runs: it is printed before or after.
  auto notSearching = [](CCmdUI* ui) {
    const CCalvenorApp* app = CalvenorApp();
    ui->Enable(!(app && app->m_bSearching));
  };
  for (unsigned id :
       {ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP})
    SetUpdateHandler(id, notSearching);
  SetCommandHandler(ID_FILE_PRINT, [this] { OnPrint(false); });
  SetCommandHandler(ID_FILE_PRINT_DIRECT, [this] { OnPrint(true); });
  SetCommandHandler(ID_FILE_PRINT_PREVIEW, [this] { OnPrintPreview(); });
  SetCommandHandler(ID_FILE_PRINT_SETUP, [this] { OnPrintSetup(); });
}

CCalvenorView::~CCalvenorView() = default;

CCalvenorDoc* CCalvenorView::GetDocument() const {
  return dynamic_cast<CCalvenorDoc*>(CView::GetDocument());
}

const CSwitchEntry* CCalvenorView::CurrentEntry() const {
  return m_grid.IsWindow() ? m_grid.CurrentEntry() : nullptr;
}

int CCalvenorView::ListWidth() const {
  int width = m_grid.GetSideHeadingWidth() + m_grid.GetVertBarWidth();
  for (int c = 0; c < m_grid.GetColumnTotal(); ++c) {
    int w = 0;
    if (m_grid.GetColumnWidth(c, w) == kGridOk) width += w;
  }
  return width;
}

int CCalvenorView::OnCreate(CREATESTRUCT* cs) {
  if (CView::OnCreate(cs) == -1) return -1;
  CRect client;
  GetClientRect(&client);
  if (!m_grid.CreateGrid(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, client, this,
                         kGridId))
    return -1;
  return 0;
}

void CCalvenorView::OnSize(UINT type, int cx, int cy) {
  CView::OnSize(type, cx, cy);
  if (m_grid.IsWindow()) m_grid.MoveWindow(0, 0, cx, cy, false);
}

void CCalvenorView::OnInitialUpdate() {
  CView::OnInitialUpdate();
  CCalvenorDoc* doc = GetDocument();
  m_grid.SetSwitchList(doc ? &doc->GetSwitches() : nullptr);
  if (m_grid.IsWindow()) m_grid.Refill();
}

void CCalvenorView::OnUpdate(CView*, LPARAM hint, CObject*) {
  if (!m_grid.IsWindow()) return;
  if (hint == CCalvenorDoc::kHintTargetWaiting) {
    SelectTarget();
    return;
  }
  m_grid.Refill();
}

void CCalvenorView::SelectTarget() {
  const CCalvenorApp* app = CalvenorApp();
  if (!app) return;
  const int row = m_grid.FindRowByMac(app->m_strTargetMac);
  if (row < 0) return;
  (void)m_grid.MoveToCell(std::max(m_grid.GetCurrentColumn(), 0), row);
  if (CWnd* main = app->m_pMainWnd)
    (void)main->PostMessage(WM_COMMAND, ID_SHOW_STATUS);  // gone with the window: nothing to show
}

void CCalvenorView::OnWink() {
  const CCalvenorApp* app = CalvenorApp();
  if (app && app->m_bSearching) return;
  const CSwitchEntry* entry = CurrentEntry();
  if (!entry) return;
  QPointer<QWidget> focus = QApplication::focusWidget();
  const CToolCommEnv env = ToolCommEnv();
  CFlashLedDlg dlg(app ? app->m_pMainWnd : nullptr, entry, env.backend,
                   env.clock ? env.clock : &GuiClock());
  dlg.UseMonitorTexts();
  (void)dlg.DoModal();
  if (focus) focus->setFocus();
}

namespace {

// Screen pixels of the footer line under each page.
constexpr int kFooterHeight = 24;
constexpr int kFooterFontHeight = 12;

QWidget* DialogParent() {
  const CCalvenorApp* app = CalvenorApp();
  return app && app->m_pMainWnd ? app->m_pMainWnd->widget() : nullptr;
}

bool Searching() {
  const CCalvenorApp* app = CalvenorApp();
  return app && app->m_bSearching;
}

}  // namespace

QPrinter& CCalvenorView::Printer() {
  if (!m_printer) {
    m_printer = PrintService().MakePrinter();
    const auto* m = m_printInfo.m_margins;
    (void)m_printer->setPageMargins(QMarginsF(m[0], m[1], m[2], m[3]), QPageLayout::Millimeter);
  }
  return *m_printer;
}

int CCalvenorView::PrintTo(QPrinter& printer) {
  if (!m_grid.IsWindow()) return -1;
  QPainter painter;
  if (!painter.begin(&printer)) return -1;
  const int dpi = printer.resolution();
  const QRect area = printer.pageLayout().paintRectPixels(dpi);
  const double scale = dpi / 96.0;
  const int footer = static_cast<int>(kFooterHeight * scale);
  CGridPrinter grid(m_grid, m_printInfo);
  grid.Paginate(CSize(area.width(), std::max(1, area.height() - footer)), dpi);
  const int pages = grid.PageCount();
  CDC dc(&painter);
  LOGFONT lf{};
  lf.lfHeight = static_cast<std::int32_t>(kFooterFontHeight * scale);
  fw::SetFaceName(lf, "Arial");
  CFont footerFont;
  (void)footerFont.CreateFontIndirect(&lf);  // fails only without a LOGFONT
  for (int page = 0; page < pages; ++page) {
    if (page > 0 && !printer.newPage()) return -1;
    grid.PrintPage(dc, page);
    CFont* old = dc.SelectObject(&footerFont);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetBkMode(TRANSPARENT);
    CRect line(0, area.height() - footer, area.width(), area.height());
    (void)dc.DrawText(FormatRes(IDS_PRINT_PAGE_OF, page + 1, pages), &line,
                      DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
    dc.SelectObject(old);
  }
  dc.DeleteDC();  // gives the painter back its state before it ends
  painter.end();
  return pages;
}

void CCalvenorView::OnPrint(bool direct) {
  if (Searching()) return;
  QPrinter& printer = Printer();
  if (!direct && !PrintService().ChoosePrinter(printer, DialogParent())) return;
  if (PrintTo(printer) < 0)
    AfxMessageBox(LoadResString(IDS_PRINTER_NOT_STARTED), MB_OK | MB_ICONEXCLAMATION);
}

void CCalvenorView::OnPrintPreview() {
  if (Searching()) return;
  PrintService().Preview(Printer(), DialogParent(), [this](QPrinter* p) {
    if (p) (void)PrintTo(*p);  // the preview shows what it got
  });
}

void CCalvenorView::OnPrintSetup() {
  if (Searching()) return;
  (void)PrintService().SetUpPage(Printer(), DialogParent());  // the printer keeps what was set
}
