// Prints a grid page by page: the top headings at the head of every page,
// the rows below them, and columns that do not fit across carried over to
// further pages. Cells are drawn by their cell types' printer paths at the
// print scale of the layout record.
#pragma once

#include "grid/gridprintinfo.h"
#include "platform/gui/dc.h"

class CGridCore;

class CGridPrinter {
 public:
  // Page records of the layout: index of each value.
  enum : int { kFirstRow = 0, kLastRow, kFirstCol, kLastCol, kRowPage, kColPage };

  CGridPrinter(CGridCore& grid, CGridPrintInfo& info) : m_grid(grid), m_info(info) {}

  // Lays the grid out on pages of the given size in device pixels of a device
  // with dpi pixels per inch (screen pixels are taken at 96 per inch): sets
  // the print scale and the page and column records. At least one page.
  void Paginate(const CSize& page, int dpi);
  int PageCount() const { return static_cast<int>(m_info.m_pages.size()); }
  // Draws one page (from 0) with its top-left corner at the DC's origin.
  void PrintPage(CDC& dc, int page);

 private:
  CGridCore& m_grid;
  CGridPrintInfo& m_info;
};
