#include "monitor/printservice.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>

#include "platform/gui/wnd.h"

namespace {
IPrintService* g_service = nullptr;
}  // namespace

std::unique_ptr<QPrinter> CQtPrintService::MakePrinter() {
  return std::make_unique<QPrinter>(QPrinter::HighResolution);
}

bool CQtPrintService::ChoosePrinter(QPrinter& printer, QWidget* parent) {
  QPrintDialog dlg(&printer, parent);
  // Only whole copies of the list: no page ranges or selection.
  dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
  const fw::ModalScope scope;
  return dlg.exec() == QDialog::Accepted;
}

bool CQtPrintService::SetUpPage(QPrinter& printer, QWidget* parent) {
  QPageSetupDialog dlg(&printer, parent);
  const fw::ModalScope scope;
  return dlg.exec() == QDialog::Accepted;
}

void CQtPrintService::Preview(QPrinter& printer, QWidget* parent,
                              const std::function<void(QPrinter*)>& paint) {
  QPrintPreviewDialog dlg(&printer, parent);
  QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, [&paint](QPrinter* p) { paint(p); });
  const fw::ModalScope scope;
  (void)dlg.exec();  // printing from the preview happens inside it
}

void SetPrintService(IPrintService* service) {
  g_service = service;
}

IPrintService& PrintService() {
  static CQtPrintService qt;
  return g_service ? *g_service : qt;
}
