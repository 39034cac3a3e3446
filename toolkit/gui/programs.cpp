#include "toolkit/gui/programs.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "toolkit/cp1252.h"
#include "toolkit/gui/message_box.h"
#include "toolkit/gui/qt_text.h"
#include "toolkit/paths.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

LaunchRecorder& Recorder() {
  static LaunchRecorder recorder;
  return recorder;
}

// How long a document opener may take to say that it found no program for the document. An
// opener still running by then is running the program (plain desktops keep it in front).
constexpr int kOpenerVerdictMs = 1000;

// Opens a document through the desktop's opener and listens to its answer, which a detached
// start would never hear: without a program for the document, xdg-open fails at once.
int OpenWithDesktop(const QString& path) {
  const QString opener = QStandardPaths::findExecutable("xdg-open");
  if (opener.isEmpty()) return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? kStarted : kNotFound;
  auto* process = new QProcess(QCoreApplication::instance());
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
  process->start(opener, {path});
  if (!process->waitForStarted()) {
    process->deleteLater();
    return kNotFound;
  }
  if (!process->waitForFinished(kOpenerVerdictMs)) return kStarted;  // it lives on by itself
  return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0 ? kStarted
                                                                                     : kNotFound;
}

int Launch(const LaunchRequest& request) {
  if (Recorder()) return Recorder()(request);
  if (request.kind == "open") return OpenWithDesktop(QString::fromStdString(request.program));
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
  const std::string shown(Shown(command_line));
  // The desktop's text editor is whatever it opens text files with. The rest of the line is the
  // file's name as it stands: a name is never split, nor its quotes taken away.
  for (const std::string editor : {"NotePad.exe", "NotePad"}) {
    if (shown.size() > editor.size() && shown[editor.size()] == ' ' &&
        UpperCat(shown.substr(0, editor.size())) == UpperCat(editor)) {
      return OpenPath(NativePath(shown.substr(editor.size() + 1)));
    }
  }
  QStringList parts = QProcess::splitCommand(ToQString(shown));
  if (parts.isEmpty()) return kNotFound;
  QString program = parts.takeFirst();
  if (program.compare("NotePad.exe", Qt::CaseInsensitive) == 0 ||
      program.compare("NotePad", Qt::CaseInsensitive) == 0) {
    return kNotFound;  // no file to open
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

int OpenDocumentOrSay(const std::string& name, const std::string& caption) {
  const int result = OpenDocument(name);
  if (result > 32) return result;
  const size_t space = name.find(' ');
  const std::string file = name.find(".exe") != std::string::npos && space != std::string::npos
                               ? name.substr(space + 1)
                               : name.substr(0, space);
  const QFileInfo info(QString::fromStdString(NativePath(file)));
  const std::string why = info.exists() ? W("Cap programa de l'escriptori no l'ha pogut obrir.")
                                        : W("El document no existeix.");
  MsgBox(caption.empty() ? W("No s'ha pogut obrir el document") : caption,
         FromQString(info.absoluteFilePath()) + "\r\n" + why);
  return result;
}

}  // namespace quiz
