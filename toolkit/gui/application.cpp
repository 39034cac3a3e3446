#include "toolkit/gui/application.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

namespace quiz {

bool DisplayAvailable(const char* program) {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform) return true;
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((display && *display) || (wayland && *wayland)) return true;
  std::fprintf(stderr, "%s: no hi ha cap pantalla gràfica disponible (DISPLAY buit); no es pot obrir la finestra.\n",
               program);
  return false;
}

void PrepareApplication(QApplication& app) {
  auto* translator = new QTranslator(&app);
  if (translator->load(QLocale(QLocale::Catalan), "qtbase", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(translator);
  }
  const QDir wine("/usr/share/wine/fonts");
  for (const QString& file : wine.entryList({"tahoma*.ttf"}, QDir::Files)) {
    QFontDatabase::addApplicationFont(wine.filePath(file));
  }
  QFont font("Liberation Sans");
  font.setPixelSize(12);
  QApplication::setFont(font);
}

}  // namespace quiz
