#include "toolkit/gui/programs.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "toolkit/gui/qt_text.h"
#include "toolkit/paths.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

LaunchRecorder& Recorder() {
  static LaunchRecorder recorder;
  return recorder;
}

int Launch(const LaunchRequest& request) {
  if (Recorder()) return Recorder()(request);
  if (request.kind == "open") {
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(request.program));
    return QDesktopServices::openUrl(url) ? kStarted : kNotFound;
  }
  QStringList arguments;
  for (const auto& a : request.arguments) arguments << QString::fromStdString(a);
  return QProcess::startDetached(QString::fromStdString(request.program), arguments) ? kStarted
                                                                                     : kNotFound;
}

// The executable for a program name: beside the running program first, then on PATH.
QString FindProgram(const QString& name) {
  const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
  if (QFileInfo(beside).isExecutable() && QFileInfo(beside).isFile()) return beside;
  return QStandardPaths::findExecutable(name);
}

int OpenPath(const std::string& native) {
  const QFileInfo file(QString::fromStdString(native));
  if (!file.exists()) return kNotFound;
  return Launch({"open", file.absoluteFilePath().toStdString(), {}});
}

}  // namespace

void SetLaunchRecorder(LaunchRecorder recorder) { Recorder() = std::move(recorder); }

std::string ProgramName() {
  return FromQString(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
}

int RunCommand(const std::string& command_line) {
  QStringList parts = QProcess::splitCommand(ToQString(Shown(command_line)));
  if (parts.isEmpty()) return kNotFound;
  QString program = parts.takeFirst();
  if (program.compare("NotePad.exe", Qt::CaseInsensitive) == 0 ||
      program.compare("NotePad", Qt::CaseInsensitive) == 0) {
    // The desktop's text editor is whatever it opens text files with.
    if (parts.isEmpty()) return kNotFound;
    return OpenPath(NativePath(FromQString(parts.join(' '))));
  }
  if (program.endsWith(".exe", Qt::CaseInsensitive)) program.chop(4);
  if (program.compare("quizrun_prv", Qt::CaseInsensitive) == 0) program = "quizrun";
  const QString found = FindProgram(program);
  if (found.isEmpty()) return kNotFound;
  LaunchRequest request{"run", found.toStdString(), {}};
  for (const QString& a : parts) request.arguments.push_back(a.toStdString());
  return Launch(request);
}

int OpenDocument(const std::string& name) {
  if (name.find(".exe") != std::string::npos) return RunCommand(name);
  const size_t space = name.find(' ');
  // The parameters after the first space have no use for a document opened by the desktop.
  const std::string file = space == std::string::npos ? name : name.substr(0, space);
  return OpenPath(NativePath(file));
}

}  // namespace quiz
