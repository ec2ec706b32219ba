#include "tools/reportwriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <vector>

#include "platform/format.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"
#include "switch/switchconfigstore.h"
#include "switch/switchentry.h"
#include "tools/projectdocument.h"

namespace {

constexpr std::size_t kColumns = 6;
using Row = std::array<std::string, kColumns>;

// Width in characters, so that names with accents line up.
std::size_t Chars(const std::string& s) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size(); ++n)
    i += std::min(fw::Utf8SequenceLength(static_cast<unsigned char>(s[i])), s.size() - i);
  return n;
}

// A CSV field: quoted, with its quotes doubled, when it holds a separator,
// a quote or a line break.
std::string CsvField(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string FormatRow(const Row& row, int type, const std::array<std::size_t, kColumns>& widths) {
  std::string line;
  for (std::size_t c = 0; c < kColumns; ++c) {
    if (type == CReportWriter::kCsv) {
      if (c) line += ',';
      line += CsvField(row[c]);
    } else if (type == CReportWriter::kTabDelimited) {
      if (c) line += '\t';
      line += row[c];
    } else {
      if (c) line += ' ';
      line += row[c];
      const std::size_t n = Chars(row[c]);
      if (n < widths[c]) line.append(widths[c] - n, ' ');
    }
  }
  return line + "\n";
}

}  // namespace

std::string CReportWriter::Extension(int type) {
  return type == kCsv ? ".csv" : ".txt";
}

std::string CReportWriter::Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16] = {};
  std::strftime(text, sizeof text, "%m/%d/%Y", &local);
  return text;
}

std::string CReportWriter::Build(int type, const std::string& date) const {
  const std::string none = LoadResString(IDS_NONE);
  const Row heading = {LoadResString(IDS_SWITCH_NAME_HEADING), LoadResString(IDS_TYPE),
                       LoadResString(IDS_MAC_ADDRESS),         LoadResString(IDS_CONFIGURATION),
                       LoadResString(IDS_IP_ADDRESS),          LoadResString(IDS_MODBUS_ADDRESS)};
  std::vector<Row> rows;
  const CSwitchList& switches = m_doc.GetSwitches();
  for (int i = switches.First(); i >= 0; i = switches.Next(i)) {
    const CSwitchEntry& e = *switches.GetAt(i);
    rows.push_back({e.GetName(), e.GetPart().partNumber, e.GetMacText(false),
                    e.GetConfig().GetName(), e.GetIP().empty() ? none : e.GetIP(),
                    e.GetModbusEnable() ? fw::FormatText("%d", e.GetModbusAddress()) : none});
  }
  std::array<std::size_t, kColumns> widths{};
  for (std::size_t c = 0; c < kColumns; ++c) {
    widths[c] = Chars(heading[c]);
    for (const Row& r : rows) widths[c] = std::max(widths[c], Chars(r[c]));
  }
  std::string out;
  if (type != kCsv) {
    out += fw::FormatText("%s      %s     %s\n", LoadResString(IDS_RING_SWITCH_CONFIGURATIONS),
                          m_doc.GetProjectTitle(), date);
    out += "\n";
  }
  out += FormatRow(heading, type, widths);
  for (const Row& r : rows) out += FormatRow(r, type, widths);
  return out;
}

bool CReportWriter::Write(const std::string& path, int type, const std::string& date,
                          std::string* error) const {
  const std::string text = Build(type, date);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (error)
      *error = fw::FormatText("%s\n\n%s: %s", LoadResString(IDS_FAILED_CREATE_FILE), path,
                              std::strerror(errno));
    return false;
  }
  int failure = 0;
  for (std::size_t done = 0; done < text.size() && !failure;) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      failure = n < 0 ? errno : ENOSPC;
    else
      done += static_cast<std::size_t>(n);
  }
  if (!failure && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) failure = errno;
  if (::close(fd) != 0 && !failure) failure = errno;
  if (failure) {
    // A report cut short would pass for a complete one.
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) std::filesystem::remove(path, ec);
    if (error) *error = FormatRes(IDS_REPORT_WRITE_FAILED, path, std::strerror(failure));
    return false;
  }
  return true;
}
