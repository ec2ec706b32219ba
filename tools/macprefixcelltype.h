// The cell type of the switch list's MAC column: the fixed vendor prefix
// every switch shares is drawn as a small grey label in front of the part of
// the address the entry keeps, so only that part is edited.
#pragma once

#include <string>

#include "grid/normalcelltype.h"

class CMacPrefixCellType : public CLabeledCellType {
 public:
  static constexpr COLORREF kLabelColour = RGB(122, 122, 122);

  CMacPrefixCellType();
  std::string GetName() const override { return "MAC Prefix"; }
  void DrawCell(CDC& dc, const CRect& rect, int col, int row, CGridCellValue& cell, bool selected,
                bool current) override;
  void MeasureBestSize(CDC& dc, CSize& size, CGridCellValue& cell) override;
  // The editor starts after the label.
  int GetEditRect(CRect& rect) override;
  // Width of a label in the label font.
  int LabelWidth(const std::string& label) const;

 private:
  CFont m_prefixFont;
  std::string m_lastLabel;
};
