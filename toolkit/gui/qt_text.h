#pragma once
// The one pair of conversions between the core's Windows-1252 texts and Qt's strings.

#include <QString>

#include <string>
#include <string_view>

namespace quiz {

QString ToQString(std::string_view cp1252);
// Characters that Windows-1252 cannot hold become '?'.
std::string FromQString(const QString& text);

// The characters of `text` that Windows-1252 cannot hold, each once, in their order.
QString NotStorable(const QString& text);

// `text` cut to the 255 characters that every text handed to a window may hold.
std::string_view Shown(std::string_view text);

}  // namespace quiz
