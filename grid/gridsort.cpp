#include "grid/gridsort.h"

#include <cstring>
#include <string>
#include <utility>

#include "grid/gridcellvalue.h"

int SheetGridCompareCells(CGridCellValue* cell1, CGridCellValue* cell2, int flags) {
  if (!cell1) return cell2 ? 1 : 0;
  if (!cell2) return -1;
  if (flags & 2) std::swap(cell1, cell2);
  int type = cell1->GridCellGetDataType();
  if (type == 2 || type == 3 || type == 5) {
    double a = cell1->GridCellGetNumber();
    double b = cell2->GridCellGetNumber();
    if (a < b) return -1;
    if (a > b) return 1;
    return 0;
  }
  // Copy the first text: fetching the second may reuse a shared format buffer.
  const std::string* p1 = cell1->GridCellGetText();
  std::string t1 = p1 ? *p1 : std::string();
  const std::string* p2 = cell2->GridCellGetText();
  bool has1 = !t1.empty();
  bool has2 = p2 && !p2->empty();
  if (!has1 || !has2) return has1 == has2 ? 0 : (has1 ? -1 : 1);
  int r = std::strcmp(t1.c_str(), p2->c_str());
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}
