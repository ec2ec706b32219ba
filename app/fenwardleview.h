// The right pane of the main window: the switch list over the whole pane.
// It keeps the list in step with the project, carries the commands that
// concern the switch of the current row, and tells the document which pane
// is active and which switch is current.
#pragma once

#include "app/fenwardledoc.h"
#include "platform/gui/view.h"
#include "tools/switchlistgrid.h"

class CFenwardleView : public CView, public CFenwardleDoc::IPanes {
 public:
  static constexpr int kGridId = 1235;

  CFenwardleView();
  ~CFenwardleView() override;

  CFenwardleDoc* GetDocument() const;
  CSwitchListGrid& Grid() { return m_grid; }

  // ---- IPanes
  int ActivePane() const override;
  int CurrentSwitchIndex() const override;
  int CurrentSwitchColumn() const override;

  void OnInitialUpdate() override;
  void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;

 protected:
  int OnCreate(CREATESTRUCT* cs) override;
  void OnDestroy() override;
  void OnSize(UINT type, int cx, int cy) override;

 private:
  // The live switch of the current row, or null.
  const CSwitchEntry* CurrentSwitch() const;
  // The catalogue index of the current switch's configuration, or -1.
  int CurrentSwitchConfigIndex() const;

  CSwitchListGrid m_grid;
};
