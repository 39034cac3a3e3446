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

// The desktop's openers whose answer has not come yet. They are never deleted by the program's
// end, which would kill them (and with them, on some desktops, the program they started).
std::vector<QProcess*>& Openers() {
  static auto* openers = new std::vector<QProcess*>;
  return *openers;
}

// Opens a document through the desktop's opener and hears its answer whenever it comes, without
// holding the window up: without a program for the document, xdg-open exits with an error, at
// once or after a long look on a busy machine. `failed` runs then.
int OpenWithDesktop(const QString& path, const std::function<void()>& failed) {
  const QString opener = QStandardPaths::findExecutable("xdg-open");
  if (opener.isEmpty()) return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? kStarted : kNotFound;
  auto* process = new QProcess;
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  process->start(opener, {path});
  if (!process->waitForStarted()) {
    delete process;
    return kNotFound;
  }
  Openers().push_back(process);
  QObject::connect(process, &QProcess::finished, [process, failed](int code, QProcess::ExitStatus status) {
    std::erase(Openers(), process);
    process->deleteLater();
    if ((status != QProcess::NormalExit || code != 0) && failed) failed();
  });
  return kStarted;
}

int Launch(const LaunchRequest& request, const std::function<void()>& failed) {
  if (Recorder()) return Recorder()(request);
  if (request.kind == "open") return OpenWithDesktop(QString::fromStdString(request.program), failed);
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

int OpenPath(const std::string& native, const std::function<void()>& failed) {
  const QFileInfo file(QString::fromStdString(native));
  if (!file.exists()) return kNotFound;
  return Launch({"open", file.absoluteFilePath().toStdString(), {}}, failed);
}

// Runs `failed` at once when the start already failed; a later failure runs it by itself.
int Then(int result, const std::function<void()>& failed) {
  if (result <= 32 && failed) failed();
  return result;
}

// The box that says a document did not open: its full path, and why.
std::function<void()> SayNotOpened(const std::string& native, const std::string& caption,
                                   const std::string& written) {
  return [native, caption, written] {
    const QFileInfo info(QString::fromStdString(native));
    std::string why = W("El document no existeix.");
    if (info.exists()) {
      why = written.empty() ? W("Cap programa de l'escriptori no l'ha pogut obrir.")
                            : written + W(", però cap programa de l'escriptori no l'ha pogut obrir.");
    }
    MsgBox(caption.empty() ? W("No s'ha pogut obrir el document") : caption,
           FromQString(info.absoluteFilePath()) + "\r\n" + why);
  };
}

}  // namespace

void SetLaunchRecorder(LaunchRecorder recorder) { Recorder() = std::move(recorder); }

std::string ProgramName() {
  return FromQString(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
}

int OpenersWaited() { return static_cast<int>(Openers().size()); }

int RunCommand(const std::string& command_line, const std::function<void()>& failed) {
  const std::string shown(Shown(command_line));
  // The desktop's text editor is whatever it opens text files with. The rest of the line is the
  // file's name as it stands: a name is never split, nor its quotes taken away.
  for (const std::string editor : {"NotePad.exe", "NotePad"}) {
    if (shown.size() > editor.size() && shown[editor.size()] == ' ' &&
        UpperCat(shown.substr(0, editor.size())) == UpperCat(editor)) {
      return Then(OpenPath(NativePath(shown.substr(editor.size() + 1)), failed), failed);
    }
  }
  QStringList parts = QProcess::splitCommand(ToQString(shown));
  if (parts.isEmpty()) return Then(kNotFound, failed);
  QString program = parts.takeFirst();
  if (program.compare("NotePad.exe", Qt::CaseInsensitive) == 0 ||
      program.compare("NotePad", Qt::CaseInsensitive) == 0) {
    return Then(kNotFound, failed);  // no file to open
  }
  if (program.endsWith(".exe", Qt::CaseInsensitive)) program.chop(4);
  if (program.compare("quizrun_prv", Qt::CaseInsensitive) == 0) program = "quizrun";
  const QString found = FindProgram(program);
  if (found.isEmpty()) return Then(kNotFound, failed);
  LaunchRequest request{"run", found.toStdString(), {}};
  for (const QString& a : parts) request.arguments.push_back(a.toStdString());
  return Then(Launch(request, failed), failed);
}

int OpenDocument(const std::string& name, const std::function<void()>& failed) {
  if (name.find(".exe") != std::string::npos) return RunCommand(name, failed);
  const size_t space = name.find(' ');
  // The parameters after the first space have no use for a document opened by the desktop.
  const std::string file = space == std::string::npos ? name : name.substr(0, space);
  return Then(OpenPath(NativePath(file), failed), failed);
}

int OpenDocumentOrSay(const std::string& name, const std::string& caption) {
  const size_t space = name.find(' ');
  const std::string file = name.find(".exe") != std::string::npos && space != std::string::npos
                               ? name.substr(space + 1)
                               : name.substr(0, space);
  return OpenDocument(name, SayNotOpened(NativePath(file), caption, ""));
}

int OpenWrittenFileOrSay(const std::string& file, const std::string& caption) {
  return RunCommand("NotePad.exe " + file, SayNotOpened(NativePath(file), caption, W("El fitxer s'ha desat aquí")));
}

}  // namespace quiz
