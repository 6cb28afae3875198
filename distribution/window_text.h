#pragma once
// Station texts are 8-bit Latin-1; the windows' fields are Unicode.

#include <QString>
#include <string>
#include <string_view>

namespace aerova {

inline QString Q(std::string_view s) {
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}
inline std::string S(const QString& s) {
    return s.toLatin1().toStdString();
}

}  // namespace aerova
