#include "toolkit/gui/qt_text.h"

#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {

QString ToQString(std::string_view cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }

std::string FromQString(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

std::string_view Shown(std::string_view text) { return text.substr(0, std::min(text.size(), kMaxShownText)); }

}  // namespace quiz
