// The printer and the dialogs around printing: the printer the commands
// print on, the print dialog, the page set-up and the preview window. They
// sit behind an interface so that tests print to a file and answer the
// dialogs instead of opening them.
#pragma once

#include <QPrinter>
#include <functional>
#include <memory>

class QWidget;

class IPrintService {
 public:
  virtual ~IPrintService() = default;
  // The printer printing starts with (the system's default one).
  virtual std::unique_ptr<QPrinter> MakePrinter() = 0;
  // The print dialog: false when the user cancelled.
  [[nodiscard]] virtual bool ChoosePrinter(QPrinter& printer, QWidget* parent) = 0;
  // The page set-up dialog: false when the user cancelled.
  [[nodiscard]] virtual bool SetUpPage(QPrinter& printer, QWidget* parent) = 0;
  // The preview window; paint renders every page on the printer it is given.
  virtual void Preview(QPrinter& printer, QWidget* parent,
                       const std::function<void(QPrinter*)>& paint) = 0;
};

// Qt's print dialogs and the system's printers.
class CQtPrintService : public IPrintService {
 public:
  std::unique_ptr<QPrinter> MakePrinter() override;
  bool ChoosePrinter(QPrinter& printer, QWidget* parent) override;
  bool SetUpPage(QPrinter& printer, QWidget* parent) override;
  void Preview(QPrinter& printer, QWidget* parent,
               const std::function<void(QPrinter*)>& paint) override;
};

void SetPrintService(IPrintService* service);  // nullptr: Qt's
IPrintService& PrintService();
