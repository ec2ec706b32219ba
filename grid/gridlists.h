// Small containers of the grid: the list of cell ranges to repaint within one
// paint, an indexed registry of object pointers, and the print layout record.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <vector>

class CGridRedrawList {
 public:
  void AddRange(int left, int top, int right, int bottom);
  void AddCell(int col, int row) { AddRange(col, row, col, row); }
  void ExtendFirstRange(int left, int top, int right, int bottom);
  int IsInHint(int col, int row) const;
  void AddHintCell(int col, int row);
  int IsHintCell(int col, int row) const;
  void ClearHint();

  bool IsEmpty() const { return m_ranges.empty(); }
  struct Range {
    int left, top, right, bottom;
  };
  const std::vector<Range>& Ranges() const { return m_ranges; }
  // Bounding box of all ranges; meaningless while the list is empty.
  Range Bounds() const { return m_box; }

 private:
  void Widen(int left, int top, int right, int bottom);
  std::vector<Range> m_ranges;
  Range m_box{0, 0, -1, -1};
  struct Cell {
    int col, row;
  };
  std::vector<Cell> m_cells;
};

class CGridPointerList {
 public:
  using Extra = std::array<std::int32_t, 4>;
  int AddPointer(void* pointer, std::int32_t param, const Extra* extra = nullptr);
  int UpdateParam(int index, std::int32_t value);
  std::int32_t GetParam(int index) const;
  void* GetPointer(int index) const;
  // Frees one entry; its index may be handed out again.
  int RemovePointer(int index);
  int GetCount() const { return m_used; }
  int GetMaxCount() const { return static_cast<int>(m_entries.size()); }
  void Empty();

 private:
  struct Entry {
    bool inUse = false;
    void* pointer = nullptr;
    std::int32_t param = 0;
    Extra extra{};
  };
  std::vector<Entry> m_entries;
  int m_used = 0;
};

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
