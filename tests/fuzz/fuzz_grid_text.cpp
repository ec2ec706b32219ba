// Texts users type into number, currency and date cells, and the print
// layout archive, must never crash or read past their ends.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "grid/gridcellvalue.h"
#include "grid/gridprintinfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const fw::GridLocale locales[] = {fw::GridLocale::English(), fw::GridLocale::German(),
                                    fw::GridLocale::French()};
  for (const fw::GridLocale& loc : locales) {
    (void)ParseLocaleNumber(text, loc);
    double v = 0;
    (void)fw::ParseLocaleCurrency(text, loc, v);
    std::string out;
    (void)fw::FormatLocaleNumber(text, static_cast<int>(size % 12), loc, out);
  }
  if (size < 200) {
    double d = 0;
    (void)fw::ParseLocaleDate(text, locales[size % 3], d);
  }
  for (int type : {kGridNumber, kGridCurrency, kGridText}) {
    CGridCellValue cell;
    cell.GridCellSetText(text);
    if (size % 2) cell.GridCellSetDecimals(static_cast<int>(size % 40) - 5);
    cell.GridCellSetDataType(type);
    (void)cell.GridCellGetText();
    (void)cell.GridCellGetNumber();
  }
  std::istringstream in(text);
  CGridPrintInfo info;
  (void)info.ReadColumns(in);
  return 0;
}
