#include "grid/gridprintinfo.h"

#include <istream>
#include <ostream>

namespace {
void Put32(std::ostream& out, std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  char b[4] = {char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF),
               char((u >> 24) & 0xFF)};
  out.write(b, 4);
}
bool Get32(std::istream& in, std::int32_t& v) {
  unsigned char b[4];
  if (!in.read(reinterpret_cast<char*>(b), 4)) return false;
  v = static_cast<std::int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t(b[3]) << 24));
  return true;
}
}  // namespace

void CGridPrintInfo::WriteColumns(std::ostream& out) const {
  Put32(out, static_cast<std::int32_t>(m_columns.size()));
  for (const ColumnRecord& c : m_columns) {
    Put32(out, c.left);
    Put32(out, c.width);
    Put32(out, c.right);
    Put32(out, c.page);
  }
}

bool CGridPrintInfo::ReadColumns(std::istream& in) {
  std::int32_t count = 0;
  // A grid has at most 32000 columns; anything larger is a damaged archive.
  if (!Get32(in, count) || count < 0 || count > 32000) return false;
  std::vector<ColumnRecord> cols(static_cast<std::size_t>(count));
  for (ColumnRecord& c : cols)
    if (!Get32(in, c.left) || !Get32(in, c.width) || !Get32(in, c.right) || !Get32(in, c.page))
      return false;
  m_columns.swap(cols);
  return true;
}
