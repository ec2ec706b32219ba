// Text crosses into Qt here: UTF-8 std::string inside, QString only at Qt calls.
#pragma once

#include <QString>
#include <string>

namespace fw {

inline QString ToQ(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string FromQ(const QString& s) {
  return s.toStdString();
}

}  // namespace fw
