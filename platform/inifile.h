// INI files with the semantics of Windows private profiles: section and key
// names match without regard to case and the first occurrence wins; values are
// trimmed and lose one pair of outer quotes; ';' starts a comment line. Writing
// replaces a value in place, adds a new key at the end of its section and a new
// section at the end of the file; everything else (order, comments, unknown
// sections) is kept. The file is parsed once and written back in one piece,
// atomically.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fw {

class CIniFile {
 public:
  CIniFile() { Parse({}); }

  // A file that does not exist reads as empty, as with the profile functions.
  // Returns false (with a message) only when an existing file cannot be read.
  [[nodiscard]] bool Load(const std::string& path, std::string* error = nullptr);
  void Parse(std::string_view bytes);
  // The text as it will be written: CR LF line ends, UTF-8.
  std::string Serialize() const;
  // The bytes as written to disk: Windows-1252 when every character has a
  // cp1252 form (so files stay readable by older readers) and those bytes do
  // not read as UTF-8, else UTF-8.
  std::string Encode() const;
  [[nodiscard]] bool Save(std::string* error = nullptr) const;
  [[nodiscard]] bool SaveAs(const std::string& path, std::string* error = nullptr);

  const std::string& path() const { return m_path; }
  void set_path(std::string path) { m_path = std::move(path); }

  bool HasSection(std::string_view section) const;
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view def = {}) const;
  // atoi of the value; def when the key is absent.
  int GetInt(std::string_view section, std::string_view key, int def) const;

  void SetString(std::string_view section, std::string_view key, std::string_view value);
  void SetInt(std::string_view section, std::string_view key, long long value);
  // A section without keys, written as its header alone; nothing when it is there.
  void AddSection(std::string_view section);
  bool DeleteKey(std::string_view section, std::string_view key);
  bool DeleteSection(std::string_view section);

  std::vector<std::string> SectionNames() const;
  std::vector<std::string> KeyNames(std::string_view section) const;

 private:
  struct Line {
    std::string raw;  // text as read; empty for a key line that was written since
    bool isKey = false;
    std::string key;  // as written
    std::string value;
  };
  struct Section {
    std::string name;
    bool hasHeader = true;
    std::string header;
    std::vector<Line> lines;
    std::unordered_map<std::string, std::size_t> index;  // folded key -> line
    bool deleted = false;
  };

  Section& AddSectionAtEnd(std::string_view section);
  const Section* Find(std::string_view section) const;
  Section* Find(std::string_view section);
  static void Reindex(Section& s);
  static std::string ParseValue(std::string_view raw);

  std::string m_path;
  std::vector<Section> m_sections;
  std::unordered_map<std::string, std::size_t> m_sectionIndex;  // folded name -> section
  std::size_t m_shadowed = 0;  // sections hidden behind an earlier one of the same name
};

}  // namespace fw
