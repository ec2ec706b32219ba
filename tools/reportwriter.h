// The list of a project's switches as a text file: comma-separated,
// tab-delimited, or in fixed-width columns under a title line.
#pragma once

#include <string>

class IProjectDocument;

class CReportWriter {
 public:
  enum Type { kCsv = 0, kTabDelimited = 1, kText = 2 };

  explicit CReportWriter(const IProjectDocument& doc) : m_doc(doc) {}

  // The whole report; lines end with "\n". `date` stands in the title line.
  std::string Build(int type, const std::string& date) const;
  // Creates (or replaces) the file and writes the report. False with the
  // message for the user in *error: the file could not be created, or the
  // report could not be written completely (nothing half-written is left).
  [[nodiscard]] bool Write(const std::string& path, int type, const std::string& date,
                           std::string* error) const;

  // ".csv" for the CSV layout, ".txt" for the others.
  static std::string Extension(int type);
  // Today as "%m/%d/%Y".
  static std::string Today();

 private:
  const IProjectDocument& m_doc;
};
