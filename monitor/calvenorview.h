// The status monitor's only view: the switch list over the whole client
// area. It carries the commands that act on the switch of the current row.
#pragma once

#include <memory>

#include "grid/gridprintinfo.h"
#include "monitor/monitorswitchgrid.h"
#include "platform/gui/view.h"

class CCalvenorDoc;
class QPrinter;

class CCalvenorView : public CView {
 public:
  static constexpr int kGridId = 1235;

  CCalvenorView();
  ~CCalvenorView() override;

  CCalvenorDoc* GetDocument() const;
  CMonitorSwitchGrid& Grid() { return m_grid; }
  // The width the list takes with every column whole, a vertical scroll bar
  // included: what the view needs to show it without scrolling across.
  int ListWidth() const;
  // The entry of the current row, or null.
  const CSwitchEntry* CurrentEntry() const;

  void OnInitialUpdate() override;
  void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;

  // The OK LED flashing dialog for the switch of the current row.
  void OnWink();

  // Printing the switch list: after the print dialog, straight on the
  // printer, in the preview window; and the page set-up.
  void OnPrint(bool direct);
  void OnPrintPreview();
  void OnPrintSetup();
  // Prints every page of the list on the printer: the number of pages, or
  // -1 when the printer did not start.
  int PrintTo(QPrinter& printer);
  // The printer the commands print on, made at its first use.
  QPrinter& Printer();
  CGridPrintInfo& PrintInfo() { return m_printInfo; }

 protected:
  int OnCreate(CREATESTRUCT* cs) override;
  void OnSize(UINT type, int cx, int cy) override;

 private:
  // The switch of the command line: its row becomes current and its status opens.
  void SelectTarget();

  CMonitorSwitchGrid m_grid;
  CGridPrintInfo m_printInfo;
  std::unique_ptr<QPrinter> m_printer;
};
