// A small pop-up that shows one line of text near a point of the grid (the
// thumb position while a scroll bar is dragged, when hints are on).
#pragma once

#include <string>

#include "grid/sheetgridctrl.h"

class CGridHintWnd : public CWnd {
 public:
  CGridHintWnd() = default;
  // 0 on failure.
  int CreateHintWnd(CSheetGridCtrl* grid, CBrush* brush = nullptr);
  void SetHintText(const std::string& text, bool redraw = true);
  void SetHintAlign(unsigned flags) { m_align = flags; }
  void ShowHint(int x, int y, int minWidth);
  void HideHint();
  const std::string& HintText() const { return m_text; }

 protected:
  void OnPaint() override;
  bool OnEraseBkgnd(CDC*) override { return true; }

 private:
  CSheetGridCtrl* m_grid = nullptr;
  std::string m_text;
  COLORREF m_textColor = 0;
  COLORREF m_backColor = 0xE0FFFF;
  unsigned m_align = 1;
  CFont* m_font = nullptr;
  int m_lineHeight = 0;
};
