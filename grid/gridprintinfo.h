// The print layout record: margins, scale and the printed pages and columns.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <vector>

class CGridPrintInfo {
 public:
  // Margins and layout values as the print set-up starts them.
  std::int32_t m_margins[4] = {25, 25, 25, 25};
  std::int32_t m_value1 = 1;
  std::int32_t m_value7 = 7;
  std::int32_t m_value0 = 0;
  std::int32_t m_percent = 100;
  float m_printScale = 1.0f;
  bool m_printSideHeadings = false;
  // Last column of the printed range; text spills no further. -1: the grid's last.
  int m_lastPrintedColumn = -1;

  struct PageRecord {
    std::int32_t v[6];
  };
  struct ColumnRecord {
    std::int32_t left;
    std::int32_t width;
    std::int32_t right;  // right edge of the printed column
    std::int32_t page;
  };
  std::vector<PageRecord> m_pages;
  std::vector<ColumnRecord> m_columns;

  // A count followed by the raw records, little-endian 32-bit values.
  void WriteColumns(std::ostream& out) const;
  // False (and the array unchanged) for a truncated or implausible archive.
  bool ReadColumns(std::istream& in);
};
