// A grid stand-in for cell types: cells in a memory source, fixed geometry
// (uniform columns and rows from 0,0), and a record of what the types asked for.
#pragma once

#include <QCoreApplication>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "fake_data_host.h"
#include "grid/normalcelltype.h"
#include "tests/common/gui_testapp.h"

class FakeCellHost : public CGridHost {
 public:
  FakeCellHost() {
    // The window tests' program has its application already.
    if (!QCoreApplication::instance()) fwtest::EnsureGuiApp();
    source.SetGrid(this);
    // Solid pens of one pixel: nothing to fail.
    (void)gridPen.CreatePen(PS_SOLID, 1, 0xDCDCDC);
    (void)blackPen.CreatePen(PS_SOLID, 1, 0);
    (void)hiPen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    (void)shadowPen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    types.push_back(&normal);
  }

  CGridMemDataSource source;
  CNormalCellType normal;
  std::vector<CNormalCellType*> types;
  CGridDrawOptions options;
  CGridRedrawList hint;
  CPen gridPen, blackPen, hiPen, shadowPen;
  CFont* defaultFont = nullptr;
  int colWidth = 60, rowHeight = 20, columns = 10, rows = 10;
  int curCol = 0, curRow = 0;
  int moveResult = 0;  // what MoveToCell answers
  long long eventAnswer = 1;
  int modifiers = 0;
  std::unique_ptr<QWidget> cellArea;
  CRect client{0, 0, 600, 200};

  struct Event {
    int type, col, row, msg;
    std::intptr_t param;
  };
  std::vector<Event> events;
  std::vector<std::pair<int, int>> repaints;
  int stores = 0;
  bool dropShowing = false;
  CRect dropRect;
  std::vector<std::string> dropChoices;
  int dropShows = 0;

  int Register(CNormalCellType* type) {
    types.push_back(type);
    type->SetGrid(this);
    type->SetTypeIndex(int(types.size()) - 1);
    return int(types.size()) - 1;
  }
  void Put(int col, int row, const CGridCellValue& cell) {
    (void)source.SetCell(col, row, cell);  // the memory source stores every cell
  }
  CGridCellValue Fetch(int col, int row) {
    CGridCellValue c;
    GetCell(col, row, c);
    return c;
  }

  // CGridDataHost
  int GetColumnTotal() const override { return columns; }
  int GetRowTotal() const override { return rows; }
  int GetCurrentColumn() const override { return curCol; }
  int GetCurrentRow() const override { return curRow; }
  std::optional<std::string> GetCellText(int col, int row) override {
    CGridCellValue c = Fetch(col, row);
    const std::string* t = c.GridCellGetText();
    return t ? std::optional<std::string>(*t) : std::nullopt;
  }
  CGridRedrawList& GetRedrawHint() override { return hint; }
  void ShiftColumnMapping(const CGridDataSource*, int, int) override {}

  // CGridHost
  int GetCell(int col, int row, CGridCellValue& cell) override {
    cell.GridCellClear();
    source.GetCell(col, row, cell);
    return 0;
  }
  int SetCell(int col, int row, const CGridCellValue& cell) override {
    ++stores;
    return source.SetCell(col, row, cell);
  }
  void RepaintCell(int col, int row) override { repaints.push_back({col, row}); }
  int GetCellRectangle(int col, int row, CRect& rect) override {
    rect = CRect(col * colWidth, row * rowHeight, (col + 1) * colWidth, (row + 1) * rowHeight);
    return 0;
  }
  long long OnCellTypeEvent(int type, int col, int row, int msg, std::intptr_t param) override {
    events.push_back({type, col, row, msg, param});
    if (msg == kCellEventButton && type >= 0 && type < int(types.size()) &&
        types[type]->GetName() == "DropList")
      lastChoices = *reinterpret_cast<std::vector<std::string>*>(param);
    return eventAnswer;
  }
  std::vector<std::string> lastChoices;
  CNormalCellType* GetCellTypeObject(int index) override {
    return index > 0 && index < int(types.size()) ? types[index] : &normal;
  }
  int GetColumnWidth(int) override { return colWidth; }
  int GetRowHeight(int) override { return rowHeight; }
  int FindPrevNonEmptyCell(int& col, int row) override {
    return source.FindPrevNonEmptyCell(col, row);
  }
  const CGridDrawOptions& GetDrawOptions() override { return options; }
  CFont* GetDefaultFont() override { return defaultFont; }
  CPen* GetDefaultPen() override { return &blackPen; }
  CPen* GetGridLinePen() override { return &gridPen; }
  CPen* GetHighlightPen() override { return &hiPen; }
  CPen* GetShadowPen() override { return &shadowPen; }
  int GetModifierKeys() override { return modifiers; }
  int MoveToCell(int col, int row) override {
    if (moveResult == 0) {
      curCol = col;
      curRow = row;
    }
    return moveResult;
  }
  QWidget* GetCellAreaWindow() override {
    if (!cellArea) {
      cellArea = std::make_unique<QWidget>();
      cellArea->resize(client.Width(), client.Height());
    }
    return cellArea.get();
  }
  CRect GetCellAreaClientRect() override { return client; }
  bool IsDropListShowing() override { return dropShowing; }
  void HideDropList() override { dropShowing = false; }
  void ShowDropList(CDropListCellType*, int, int, const CRect& rect, CFont*,
                    const std::vector<std::string>& choices) override {
    dropShowing = true;
    dropRect = rect;
    dropChoices = choices;
    ++dropShows;
  }
};
