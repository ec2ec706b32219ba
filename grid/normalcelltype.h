// Cell types decide how a cell looks and how it answers the mouse and the
// keyboard. The normal type is both the default and the base of every other
// type. Types reach their grid only through CGridHost (gridhost.h), so they
// can be tested on a fake grid.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "grid/gridcellvalue.h"
#include "grid/gridhost.h"
#include "grid/gridprintinfo.h"
#include "grid/gridredrawlist.h"
#include "platform/gui/dc.h"
#include "platform/gui/gdi.h"
#include "platform/gui/keys.h"
#include "platform/gui/wnd.h"

class QWidget;

using GridTypeId = std::array<std::uint8_t, 16>;

class CNormalCellType {
 public:
  CNormalCellType() = default;
  virtual ~CNormalCellType() = default;
  CNormalCellType(const CNormalCellType&) = delete;
  CNormalCellType& operator=(const CNormalCellType&) = delete;

  void SetGrid(CGridHost* grid) { m_grid = grid; }
  CGridHost* GetGrid() const { return m_grid; }
  void SetTypeIndex(int index) { m_typeIndex = index; }
  int GetTypeIndex() const { return m_typeIndex; }
  void SetTextEditMode(bool flag) { m_textEdit = flag ? 1 : 0; }
  int CanEditText() const { return m_textEdit; }
  int CanOverflow() const { return m_overflow; }
  double GetScaleFactor() const { return m_scale; }

  virtual int DrawCellBitmap(CDC& dc, CBitmap* bitmap, const CRect& rect, COLORREF back);
  virtual void DrawCellBorder(CDC& dc, const CRect& rect, CRect& inner, CGridCellValue& cell);
  virtual void DrawCellText(CDC& dc, const CRect& rect, int offset, int col, int row,
                            CGridCellValue& cell, bool selected, bool current);
  virtual void FillCellBackground(CDC& dc, const CRect& rect, COLORREF colour);
  virtual int GetOverflowSource(CDC& dc, int col, int row, int& sourceCol, CGridCellValue& cell);
  virtual std::string GetName() const { return "Normal Cell Type (default)"; }
  virtual GridTypeId GetTypeId() const;
  virtual int GetEditRect(CRect& /*rect*/) { return 0; }
  virtual int HandleLeftClick(int col, int row, int down, const CRect& rect, CPoint point);
  virtual int HandleRightClick(int col, int row, int down, const CRect& rect, CPoint point);
  virtual int HandleDoubleClick(int col, int row, const CRect& rect, CPoint point);
  virtual int HandleKeyDown(int col, int row, int& key);
  virtual int HandleKeyUp(int col, int row, int key);
  virtual int HandleChar(int col, int row, int& ch);
  virtual int HandleMouseMove(int col, int row, CPoint point, int keyFlags);
  virtual void DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell,
                        bool selected, bool current);
  virtual int DrawFocusRect(CDC& /*dc*/, const CRect& /*rect*/, int /*col*/, int /*row*/) {
    return 0;
  }
  virtual void DrawForPrint(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell,
                            bool selected, bool current);
  virtual void DrawScaled(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell);
  virtual void HandleFocusGained(int /*col*/, int /*row*/, CGridCellValue* /*cell*/) {}
  virtual void HandleFocusLost(int /*col*/, int /*row*/, CGridCellValue* /*cell*/) {}
  virtual void AdjustCellWidth(int /*col*/, int /*row*/, int& /*width*/) {}
  virtual void AdjustCellHeight(int /*col*/, int /*row*/, int& /*height*/) {}
  virtual void MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell);
  virtual void HandleScrolled(int /*col*/, int /*row*/, CGridCellValue* /*cell*/) {}
  // The grid's private message for a type (wParam the type index, lParam the value).
  virtual long long HandleTypeMessage(std::intptr_t /*value*/) { return 0; }
  virtual long long NotifyOwner(int typeIndex, int col, int row, int msg, std::intptr_t param);

  int NormalCellTypeCanOverlap(CGridCellValue& cell) const;

 protected:
  bool IsPrinting(CDC& dc) const { return m_grid && m_grid->GetPrintInfo(dc); }
  double PrintScale(CDC& dc) const;
  bool IsHighlighted(bool selected, bool current) const;
  CGridDrawOptions Options() const {
    return m_grid ? m_grid->GetDrawOptions() : CGridDrawOptions{};
  }
  CFont* CellFont(CGridCellValue& cell) const;
  // Text of the cell as drawn: its label when the type draws labels.
  std::string DrawnText(CGridCellValue& cell) const;

  int m_textEdit = 1;
  int m_drawLabel = 0;
  int m_overflow = 1;
  double m_scale = 1.0;
  CGridHost* m_grid = nullptr;
  int m_typeIndex = -1;
};

// The lines of a label that end in a newline: the options of a radio cell and
// the choices of a drop list. Text after the last newline is not an option.
std::vector<std::string> SplitGridOptions(const std::string& label);

// A cell's number as the state of a check box or radio cell: truncated,
// NaN as 0, out-of-range values held at the int limits.
int GridCellNumberAsInt(const CGridCellValue& cell);

class CCheckBoxCellType : public CNormalCellType {
 public:
  enum Style {
    kRecessed = 0x100,
    kRaised = 0x200,
    kRound = 0x400,
    kBoxOnly = 0x800,
    kTick = 0x1000,
    kThreeState = 0x2000
  };
  CCheckBoxCellType();
  std::string GetName() const override { return "CheckBox"; }
  GridTypeId GetTypeId() const override;
  void DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell, bool selected,
                bool current) override;
  int HandleLeftClick(int col, int row, int down, const CRect& rect, CPoint point) override;
  int HandleDoubleClick(int col, int row, const CRect& rect, CPoint point) override;
  int HandleChar(int col, int row, int& ch) override;
  void MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) override;
  // Where the box lies in a cell; empty when the cell is too low for one.
  static CRect BoxRect(const CRect& cell, CGridCellValue& value);

 private:
  int Toggle(int col, int row);
  CPen m_shadowPen, m_lightPen, m_facePen;
  CBitmap m_ditherBitmap;
  CBrush m_ditherBrush;
  CGridCellValue m_scratch;
};

class CRadioCellType : public CNormalCellType {
 public:
  CRadioCellType();
  std::string GetName() const override { return "Radio Button"; }
  GridTypeId GetTypeId() const override;
  void DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell, bool selected,
                bool current) override;
  int HandleLeftClick(int col, int row, int down, const CRect& rect, CPoint point) override;
  int HandleKeyDown(int col, int row, int& key) override;
  void MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) override;

 private:
  int LineHeight(CGridCellValue& cell);
  CGridCellValue m_scratch;
};

class CSideArrowsCellType : public CNormalCellType {
 public:
  CSideArrowsCellType() { m_textEdit = 0; }
  std::string GetName() const override { return "Side Arrows"; }
  GridTypeId GetTypeId() const override;
  void DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell, bool selected,
                bool current) override;
  void MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) override;
  // 1 right, 2 left, 3 double right, 4 double left, 0 none.
  static int ArrowKind(std::int32_t style);
};

class CEllipsisCellType : public CNormalCellType {
 public:
  CEllipsisCellType();
  std::string GetName() const override { return "Ellipsis Text"; }
  GridTypeId GetTypeId() const override;
  int GetEditRect(CRect& rect) override;
  int HandleLeftClick(int col, int row, int down, const CRect& rect, CPoint point) override;
  int HandleDoubleClick(int col, int row, const CRect& rect, CPoint point) override;
  // Enter and Ctrl+Down press the button, as they open a drop list.
  int HandleKeyDown(int col, int row, int& key) override;
  int HandleChar(int col, int row, int& ch) override;
  int HandleMouseMove(int col, int row, CPoint point, int keyFlags) override;
  void DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell, bool selected,
                bool current) override;
  void MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) override;
  bool IsPressed() const { return m_pressed; }

 private:
  int m_buttonWidth;
  CPen m_facePen;
  CBrush m_faceBrush;
  bool m_pressed = false;
  CRect m_buttonRect;
  int m_pressedCol = -1, m_pressedRow = -1;
};

class CLabeledCellType : public CNormalCellType {
 public:
  static constexpr int kLabelHeight = 12;
  CLabeledCellType();
  std::string GetName() const override { return "Labeled"; }
  GridTypeId GetTypeId() const override;
  int GetEditRect(CRect& rect) override;
  void DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell, bool selected,
                bool current) override;
  void MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) override;

 private:
  CFont m_labelFont;
  COLORREF m_labelColour = RGB(0, 0, 0);
};

class CSortArrowCellType : public CNormalCellType {
 public:
  enum Style { kPointsUp = 0x10 };
  CSortArrowCellType();
  std::string GetName() const override { return "Sort Arrow"; }
  GridTypeId GetTypeId() const override;
  void DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell, bool selected,
                bool current) override;
  void MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) override;

 private:
  int m_arrowWidth;
};

class CDropListCellType : public CNormalCellType {
 public:
  enum Style { kButtonOnCurrentOnly = 0x200 };
  static constexpr int kMaxRows = 15;
  CDropListCellType();
  std::string GetName() const override { return "DropList"; }
  GridTypeId GetTypeId() const override;
  void DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell, bool selected,
                bool current) override;
  int HandleLeftClick(int col, int row, int down, const CRect& rect, CPoint point) override;
  int HandleDoubleClick(int col, int row, const CRect& rect, CPoint point) override;
  int HandleKeyDown(int col, int row, int& key) override;
  int HandleChar(int col, int row, int& ch) override;
  int HandleMouseMove(int col, int row, CPoint point, int keyFlags) override;
  void HandleFocusLost(int col, int row, CGridCellValue* cell) override;
  int GetEditRect(CRect& rect) override;
  void MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) override;
  // Opens the list for the drop cell: 0 opened, 1 not.
  int StartDropList();
  // The list's place below a cell, in the cell area's coordinates: it may
  // reach past the area, as a combo box's list does.
  static CRect ListRect(const CRect& cell, int choices, int itemHeight);
  static int ItemHeight(const CFont* font);
  // The column width that shows each of the choices whole beside the button.
  int WidthForChoices(const CFont* font, const std::vector<std::string>& choices);

  int GetDropColumn() const { return m_dropCol; }
  int GetDropRow() const { return m_dropRow; }
  void ForgetDropCell() { m_dropCol = m_dropRow = -1; }
  bool IsPressed() const { return m_pressed; }

 private:
  int m_buttonWidth;
  bool m_pressed = false;
  CRect m_buttonRect;
  int m_dropCol = -1, m_dropRow = -1;
  CPen m_facePen;
  CBrush m_faceBrush;
  CGridCellValue m_scratch;
};

// Draws a border bit's raised (0x2000) or recessed (0x1000) button frame and
// fills its face; shared by the drop list and ellipsis buttons.
void DrawGridButton(CNormalCellType& type, CDC& dc, const CRect& rect, bool pressed, CBrush& face);
