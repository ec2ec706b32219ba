// Scrolling a 10,000-row by 10-column grid one row and one page at a time,
// painted each step, against a QTableView over the same data in the same run.
#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "grid/gridcellwnd.h"
#include "grid/sheetgridctrl.h"

namespace {

constexpr int kRows = 10000;
constexpr int kCols = 10;

const std::vector<std::string>& Data() {
  static const std::vector<std::string> data = [] {
    std::vector<std::string> d;
    d.reserve(static_cast<std::size_t>(kRows) * kCols);
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kCols; ++c)
        d.push_back("R" + std::to_string(r) + " C" + std::to_string(c));
    return d;
  }();
  return data;
}

// The grid reads the shared texts through a data source of its own.
class VectorSource : public CGridDataSource {
 public:
  int GetCell(int col, int row, CGridCellValue& cell) override {
    if (col < 0 || row < 0 || col >= kCols || row >= kRows) return 1;
    cell.GridCellSetText(
        Data()[static_cast<std::size_t>(row) * kCols + static_cast<std::size_t>(col)]);
    return 0;
  }
};

class VectorModel : public QAbstractTableModel {
 public:
  int rowCount(const QModelIndex& = QModelIndex()) const override { return kRows; }
  int columnCount(const QModelIndex& = QModelIndex()) const override { return kCols; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const std::string& s = Data()[static_cast<std::size_t>(index.row()) * kCols +
                                  static_cast<std::size_t>(index.column())];
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
  }
};

void Flush() {
  QCoreApplication::processEvents();
}

// A set-up that fails leaves nothing worth measuring.
void Require(bool ok) {
  if (!ok) std::abort();
}

struct GridFixture {
  CWnd host;
  CSheetGridCtrl grid;
  VectorSource source;
  GridFixture() {
    Require(host.CreateEx(0, "", "bench", WS_OVERLAPPED | WS_VISIBLE, CRect(0, 0, 800, 600),
                          nullptr, 0));
    Require(grid.CreateGrid(WS_VISIBLE, CRect(0, 0, 800, 600), &host, 1));
    int index = grid.RegisterDataSource(&source);
    Require(grid.SetDefaultDataSource(index) == kGridOk);
    Require(grid.SetColumnTotal(kCols) == kGridOk);
    Require(grid.SetRowTotal(kRows) == kGridOk);
    grid.LayoutParts();
    host.widget()->show();
    Flush();
  }
};

struct TableFixture {
  VectorModel model;
  QTableView view;
  TableFixture() {
    view.setModel(&model);
    view.resize(800, 600);
    view.verticalHeader()->setDefaultSectionSize(20);
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.horizontalHeader()->setDefaultSectionSize(75);
    view.show();
    Flush();
  }
};

void BM_GridScrollByRow(benchmark::State& state) {
  GridFixture f;
  for (auto _ : state) {
    if (f.grid.GetViewTopRow() >= f.grid.Sheet().m_maxTopRow) (void)f.grid.ScrollToRow(0);
    (void)f.grid.StepTopRow(kStepForward);
    Flush();
  }
}
BENCHMARK(BM_GridScrollByRow);

void BM_TableViewScrollByRow(benchmark::State& state) {
  TableFixture f;
  QScrollBar* bar = f.view.verticalScrollBar();
  for (auto _ : state) {
    if (bar->value() >= bar->maximum()) bar->setValue(0);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    Flush();
  }
}
BENCHMARK(BM_TableViewScrollByRow);

void BM_GridScrollByPage(benchmark::State& state) {
  GridFixture f;
  for (auto _ : state) {
    if (f.grid.GetViewTopRow() >= f.grid.Sheet().m_maxTopRow) (void)f.grid.ScrollToRow(0);
    (void)f.grid.StepTopRow(kStepPageForward);
    Flush();
  }
}
BENCHMARK(BM_GridScrollByPage);

void BM_TableViewScrollByPage(benchmark::State& state) {
  TableFixture f;
  QScrollBar* bar = f.view.verticalScrollBar();
  for (auto _ : state) {
    if (bar->value() >= bar->maximum()) bar->setValue(0);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    Flush();
  }
}
BENCHMARK(BM_TableViewScrollByPage);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
