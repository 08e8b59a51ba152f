// Conversions between the core's UTF-16 texts and Qt strings.
#pragma once

#include <QString>
#include <string>

namespace tessera {

inline QString ToQ(const std::u16string& s) {
  return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::u16string FromQ(const QString& s) {
  return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), s.size());
}

}  // namespace tessera
