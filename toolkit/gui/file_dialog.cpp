#include "toolkit/gui/file_dialog.h"

#include <QDir>
#include <QFileDialog>

#include "toolkit/gui/qt_text.h"

namespace quiz {
namespace {

FileDialogResponder& Responder() {
  static FileDialogResponder responder;
  return responder;
}

}  // namespace

void SetFileDialogResponder(FileDialogResponder responder) { Responder() = std::move(responder); }

bool ChooseFile(std::string* name, bool open_form) {
  const QString folder = QDir::currentPath();
  std::string chosen(Shown(*name));
  bool confirmed = false;
  if (Responder()) {
    confirmed = Responder()(&chosen, open_form);
  } else {
    const QString start = ToQString(chosen).replace('\\', '/');
    const QString filter = "All files (*)";
    const QString path = open_form ? QFileDialog::getOpenFileName(nullptr, QString(), start, filter)
                                   : QFileDialog::getSaveFileName(nullptr, QString(), start, filter);
    confirmed = !path.isEmpty();
    if (confirmed) chosen = FromQString(path);
  }
  // Browsing may have moved the current folder; the program's paths are relative to it.
  QDir::setCurrent(folder);
  if (confirmed) *name = chosen;
  return confirmed;
}

}  // namespace quiz
