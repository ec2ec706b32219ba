// Painting one screen of 40 rows by 12 columns through the normal cell type,
// the grid's commonest paint.
#include <benchmark/benchmark.h>

#include "tests/unit/grid/fake_cell_host.h"

namespace {

void BM_DrawScreenOfCells(benchmark::State& state) {
  FakeCellHost host;
  host.normal.SetGrid(&host);
  host.colWidth = 75;
  host.rowHeight = 20;
  constexpr int kCols = 12, kRows = 40;
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kCols; ++c) {
      CGridCellValue cell;
      if ((r + c) % 3 == 0) {
        cell.GridCellSetNumber(r * 1000.25 + c);
        cell.GridCellSetAlignment(kAlignRight | kAlignVCenter);
      } else {
        cell.GridCellSetText("Port " + std::to_string(r * kCols + c));
      }
      if (r % 2) cell.GridCellSetBackColor(RGB(250, 255, 220));
      host.Put(c, r, cell);
    }
  }
  CImageDC dc(kCols * host.colWidth, kRows * host.rowHeight);
  CGridCellValue cell;
  for (auto _ : state) {
    for (int r = 0; r < kRows; ++r) {
      for (int c = 0; c < kCols; ++c) {
        host.GetCell(c, r, cell);
        CRect rect;
        host.GetCellRectangle(c, r, rect);
        host.normal.DrawCell(dc, rect, c, r, cell, false, false);
      }
    }
    host.hint.ClearHint();
  }
  state.SetItemsProcessed(state.iterations() * kCols * kRows);
}
BENCHMARK(BM_DrawScreenOfCells)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
