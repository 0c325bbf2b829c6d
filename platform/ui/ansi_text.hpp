#pragma once
// The program's texts are 8-bit strings in the system's 8-bit encoding (the
// locale's character set); Qt's widgets hold Unicode. These two functions are
// the only crossing between the two.

#include <QString>
#include <string>
#include <string_view>

namespace kelvara {

QString FromAnsi(std::string_view text);
std::string ToAnsi(const QString& text);

} // namespace kelvara
