// The left pane of the main window: the configuration list over the whole
// pane. It keeps the list in step with the project and answers, while it is
// the active pane, which configuration commands are possible.
#pragma once

#include "platform/gui/view.h"
#include "tools/configlistgrid.h"

class CFenwardleDoc;

class CLeftView : public CView {
 public:
  static constexpr int kGridId = 1234;

  CLeftView();
  ~CLeftView() override;

  CFenwardleDoc* GetDocument() const;
  CConfigListGrid& Grid() { return m_grid; }
  // The configuration of the grid's current row, or -1.
  int CurrentConfigIndex() const;

  void OnInitialUpdate() override;
  void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;

 protected:
  int OnCreate(CREATESTRUCT* cs) override;
  void OnDestroy() override;
  void OnSize(UINT type, int cx, int cy) override;

 private:
  CConfigListGrid m_grid;
};
