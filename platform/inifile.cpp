#include "platform/inifile.h"

#include <climits>

#include "platform/atomicfile.h"
#include "platform/resstring.h"
#include "platform/text.h"
#include "res/string_ids.h"

namespace fw {

namespace {
// A line break inside a key or value would split it into two lines on disk.
std::string OneLine(std::string_view s) {
  std::string out(s);
  for (auto& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}
}  // namespace

bool CIniFile::Load(const std::string& path, std::string* error) {
  m_path = path;
  std::string bytes;
  std::string err;
  if (!ReadFileBytes(path, bytes, &err)) {
    if (errno == ENOENT) {
      Parse({});
      return true;
    }
    AppendError(error, err);
    return false;
  }
  Parse(bytes);
  return true;
}

std::string CIniFile::ParseValue(std::string_view raw) {
  std::string_view v = TrimView(raw);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

void CIniFile::Parse(std::string_view bytes) {
  m_sections.clear();
  m_sectionIndex.clear();
  m_shadowed = 0;
  const std::string text = DecodeTextBytes(bytes);
  // Lines before the first header belong to a section without a header; no
  // lookup reaches them, but they are written back as they were.
  Section* cur = &m_sections.emplace_back();
  cur->hasHeader = false;
  for (std::string& raw : SplitLines(text)) {
    std::string_view t = TrimView(raw);
    if (!t.empty() && t.front() == '[') {
      std::size_t close = t.find(']');
      std::string name =
          Trim(t.substr(1, close == std::string_view::npos ? t.size() - 1 : close - 1));
      cur = &m_sections.emplace_back();
      cur->name = name;
      cur->header = std::move(raw);
      std::string folded = FoldCase(name);
      if (!m_sectionIndex.count(folded))
        m_sectionIndex[folded] = m_sections.size() - 1;
      else
        ++m_shadowed;
      continue;
    }
    Line line;
    if (!t.empty() && t.front() != ';') {
      std::size_t eq = t.find('=');
      if (eq != std::string_view::npos && eq > 0) {
        line.isKey = true;
        line.key = Trim(t.substr(0, eq));
        line.value = ParseValue(t.substr(eq + 1));
      }
    }
    line.raw = std::move(raw);
    cur->lines.push_back(std::move(line));
  }
  for (auto& s : m_sections) Reindex(s);
}

void CIniFile::Reindex(Section& s) {
  s.index.clear();
  for (std::size_t i = 0; i < s.lines.size(); ++i)
    if (s.lines[i].isKey) s.index.emplace(FoldCase(s.lines[i].key), i);  // first one wins
}

std::string CIniFile::Serialize() const {
  std::string out;
  for (const auto& s : m_sections) {
    if (s.deleted) continue;
    if (s.hasHeader) {
      out += s.header.empty() ? "[" + s.name + "]" : s.header;
      out += "\r\n";
    }
    for (const auto& l : s.lines) {
      if (l.raw.empty() && l.isKey) {
        // A value the reader would change (outer blanks, a pair of outer
        // quotes) goes between quotes, which the reader takes off again.
        out += l.key + "=";
        out += ParseValue(l.value) == l.value ? l.value : "\"" + l.value + "\"";
      } else
        out += l.raw;
      out += "\r\n";
    }
  }
  return out;
}

std::string CIniFile::Encode() const {
  std::string text = Serialize();
  std::string cp;
  // cp1252 bytes that happen to form UTF-8 would read back as other letters.
  std::string out = Utf8ToCp1252(text, cp) && (cp == text || !IsValidUtf8(cp)) ? cp : text;
  // The reader takes a leading byte order mark off; a text that starts with
  // those bytes of its own gets one more, so that they survive.
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (std::string_view(out).substr(0, kBom.size()) == kBom) out.insert(0, kBom);
  return out;
}

bool CIniFile::Save(std::string* error) const {
  if (m_path.empty()) {
    AppendError(error, LoadResString(IDS_FILE_NO_NAME));
    return false;
  }
  return WriteFileAtomic(m_path, Encode(), error);
}

bool CIniFile::SaveAs(const std::string& path, std::string* error) {
  if (!WriteFileAtomic(path, Encode(), error)) return false;
  m_path = path;
  return true;
}

const CIniFile::Section* CIniFile::Find(std::string_view section) const {
  auto it = m_sectionIndex.find(FoldCase(section));
  return it == m_sectionIndex.end() ? nullptr : &m_sections[it->second];
}

CIniFile::Section* CIniFile::Find(std::string_view section) {
  return const_cast<Section*>(static_cast<const CIniFile*>(this)->Find(section));
}

bool CIniFile::HasSection(std::string_view section) const {
  return Find(section) != nullptr;
}

std::optional<std::string> CIniFile::Get(std::string_view section, std::string_view key) const {
  const Section* s = Find(section);
  if (!s) return std::nullopt;
  auto it = s->index.find(FoldCase(key));
  if (it == s->index.end()) return std::nullopt;
  return s->lines[it->second].value;
}

std::string CIniFile::GetString(std::string_view section, std::string_view key,
                                std::string_view def) const {
  auto v = Get(section, key);
  return v ? *v : std::string(TrimView(def));
}

int CIniFile::GetInt(std::string_view section, std::string_view key, int def) const {
  auto v = Get(section, key);
  if (!v) return def;
  long long n = AtoI(*v);
  if (n > INT_MAX) return INT_MAX;
  if (n < INT_MIN) return INT_MIN;
  return static_cast<int>(n);
}

CIniFile::Section& CIniFile::AddSectionAtEnd(std::string_view section) {
  // A blank line keeps the new section apart from the one written before it.
  std::size_t lastShown = m_sections.size() - 1;
  while (lastShown > 0 && m_sections[lastShown].deleted) --lastShown;
  Section& last = m_sections[lastShown];
  bool needBlank = !last.lines.empty()
                       ? !TrimView(last.lines.back().raw).empty() || last.lines.back().isKey
                       : last.hasHeader;
  if (needBlank) last.lines.push_back(Line{});
  Section ns;
  ns.name = OneLine(Trim(section));
  m_sections.push_back(std::move(ns));
  m_sectionIndex[FoldCase(m_sections.back().name)] = m_sections.size() - 1;
  return m_sections.back();
}

void CIniFile::AddSection(std::string_view section) {
  if (!Find(section)) AddSectionAtEnd(section);
}

void CIniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
  Section* s = Find(section);
  if (!s) s = &AddSectionAtEnd(section);
  auto it = s->index.find(FoldCase(key));
  if (it != s->index.end()) {
    Line& l = s->lines[it->second];
    l.value = OneLine(value);
    l.raw.clear();
    return;
  }
  // A new key goes after the last non-blank line of its section.
  std::size_t at = s->lines.size();
  while (at > 0 && !s->lines[at - 1].isKey && TrimView(s->lines[at - 1].raw).empty()) --at;
  Line l;
  l.isKey = true;
  l.key = OneLine(Trim(key));
  l.value = OneLine(value);
  s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(l));
  if (at == s->lines.size() - 1)
    s->index.emplace(FoldCase(s->lines[at].key), at);
  else
    Reindex(*s);
}

void CIniFile::SetInt(std::string_view section, std::string_view key, long long value) {
  SetString(section, key, std::to_string(value));
}

bool CIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Section* s = Find(section);
  if (!s) return false;
  auto it = s->index.find(FoldCase(key));
  if (it == s->index.end()) return false;
  s->lines.erase(s->lines.begin() + static_cast<std::ptrdiff_t>(it->second));
  Reindex(*s);
  return true;
}

bool CIniFile::DeleteSection(std::string_view section) {
  const std::string folded = FoldCase(section);
  auto it = m_sectionIndex.find(folded);
  if (it == m_sectionIndex.end()) return false;
  const std::size_t at = it->second;
  m_sections[at].deleted = true;
  m_sectionIndex.erase(it);
  // Every later copy of the name goes too: were one left, it would answer from
  // now on and whatever is written next would land among its stale keys. Most
  // files have none: then there is nothing to look for, which keeps deleting
  // many sections linear.
  for (std::size_t i = at + 1; m_shadowed > 0 && i < m_sections.size(); ++i) {
    auto& s = m_sections[i];
    if (!s.deleted && s.hasHeader && FoldCase(s.name) == folded) {
      s.deleted = true;
      --m_shadowed;
    }
  }
  return true;
}

std::vector<std::string> CIniFile::SectionNames() const {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < m_sections.size(); ++i) {
    const auto& s = m_sections[i];
    if (s.deleted || !s.hasHeader) continue;
    auto it = m_sectionIndex.find(FoldCase(s.name));
    if (it != m_sectionIndex.end() && it->second == i) names.push_back(s.name);
  }
  return names;
}

std::vector<std::string> CIniFile::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  const Section* s = Find(section);
  if (!s) return names;
  for (std::size_t i = 0; i < s->lines.size(); ++i) {
    const Line& l = s->lines[i];
    if (l.isKey && s->index.at(FoldCase(l.key)) == i) names.push_back(l.key);
  }
  return names;
}

}  // namespace fw
