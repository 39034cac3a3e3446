#include "toolkit/gui/qt_text.h"

#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {

QString ToQString(std::string_view cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }

std::string FromQString(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

QString NotStorable(const QString& text) {
  QList<uint> refused;
  for (const uint cp : text.toUcs4()) {
    if (cp != '?' && CodePointToCp1252(static_cast<char32_t>(cp)) == '?' && !refused.contains(cp)) {
      refused.push_back(cp);
    }
  }
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(refused.constData()), refused.size());
}

std::string_view Shown(std::string_view text) { return text.substr(0, std::min(text.size(), kMaxShownText)); }

}  // namespace quiz
