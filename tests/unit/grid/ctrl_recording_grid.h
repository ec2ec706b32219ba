// A grid without windows that writes down every notification it receives,
// and can be told to refuse moves, view moves and edits.
#pragma once

#include <string>
#include <vector>

#include "grid/gridcore.h"

class RecordingGrid : public CGridCore {
 public:
  std::vector<std::string> log;
  int refuseCellMove = 0;
  int refuseViewMove = 0;
  int refuseEdit = 0;
  int refuseEditDone = 0;
  int refuseMoveOn = 0;
  int rowsToAdd = 0;  // OnRowsNeeded grows the grid by this many rows
  int notFound = 0;

  // A grid of cols x rows cells in a client area of w x h pixels.
  RecordingGrid(int cols, int rows, int w = 400, int h = 300) {
    SetClientSizeForLayout(w, h);
    EXPECT_EQ(SetColumnTotal(cols), kGridOk);
    EXPECT_EQ(SetRowTotal(rows), kGridOk);
    LayoutParts();
    log.clear();
  }

  void Log(std::string s) { log.push_back(std::move(s)); }
  static std::string N(int v) { return std::to_string(v); }

  int OnBeforeCellMove(int oc, int orow, int nc, int nr) override {
    Log("BeforeCellMove " + N(oc) + "," + N(orow) + "->" + N(nc) + "," + N(nr));
    return !refuseCellMove;
  }
  int OnBeforeViewMove(int l, int t, int c, int r) override {
    Log("BeforeViewMove " + N(l) + "," + N(t) + "->" + N(c) + "," + N(r));
    return !refuseViewMove;
  }
  void OnRowsNeeded(int count, int shortfall, int) override {
    Log("RowsNeeded " + N(count) + "," + N(shortfall));
    if (rowsToAdd) {
      EXPECT_EQ(SetRowTotal(count + rowsToAdd), kGridOk);
    }
  }
  void OnCurrentColChanged(int o, int n) override { Log("ColChanged " + N(o) + "->" + N(n)); }
  void OnCurrentRowChanged(int o, int n) override { Log("RowChanged " + N(o) + "->" + N(n)); }
  void OnCurrentCellChanged(int, int, int, int) override { Log("CellChanged"); }
  void OnLeftColChanged(int o, int n) override { Log("LeftColChanged " + N(o) + "->" + N(n)); }
  void OnTopRowChanged(int o, int n) override { Log("TopRowChanged " + N(o) + "->" + N(n)); }
  void OnViewScrolled(int section, int o, int n) override {
    Log("ViewScrolled " + N(section) + " " + N(o) + "->" + N(n));
  }
  int OnBeforeEdit(int c, int r, CWnd**) override {
    Log("BeforeEdit " + N(c) + "," + N(r));
    return !refuseEdit;
  }
  int OnEditDone(int c, int r, CWnd*, const std::string& text, int cancelled) override {
    Log("EditDone " + N(c) + "," + N(r) + " " + text + (cancelled ? " cancelled" : ""));
    return !refuseEditDone;
  }
  int OnEditMoveOn(int c, int r, int* nc, int* nr) override {
    Log("EditMoveOn " + N(c) + "," + N(r) + "->" + N(*nc) + "," + N(*nr));
    return !refuseMoveOn;
  }
  void OnColWidthSet(int col, int* w) override { Log("ColWidthSet " + N(col) + " " + N(*w)); }
  void OnSheetCreated(int sheet) override { Log("SheetCreated " + N(sheet)); }
  void ViewNotFound() override { ++notFound; }

  // Lines of the log that start with `prefix`.
  std::vector<std::string> Only(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& l : log)
      if (l.rfind(prefix, 0) == 0) out.push_back(l);
    return out;
  }
};
