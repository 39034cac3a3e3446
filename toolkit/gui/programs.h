#pragma once
// Starting other programs and opening documents, with the desktop's result codes: greater than
// 32 when the start succeeded, 2 when the program or document was not found. No shell ever sees
// a command line: it is split into the program and its arguments.
//
// Program names of the other desktop map to ours: "NotePad.exe FILE" opens FILE in the desktop's
// text editor (everything after "NotePad.exe " is the file's name, spaces and quotes included); "quizrun_prv.exe" is the quizrun beside the running program (then on PATH); any
// other name loses ".exe" and is looked up the same way.

#include <functional>
#include <string>
#include <vector>

namespace quiz {

inline constexpr int kStarted = 33;
inline constexpr int kNotFound = 2;

// The running program's file name without folder and extension.
std::string ProgramName();

// Starts the command line (Windows-1252) and returns at once. `failed`, when given, runs once if
// the start fails: at once (the result is then 32 or less), or later, from the event loop, when
// the desktop's opener of a document answers that nothing could open it.
int RunCommand(const std::string& command_line, const std::function<void()>& failed = {});
// A name holding ".exe" is run as a command line; otherwise the text before the first space is a
// document, opened in the program the desktop associates with it. `failed` as for RunCommand.
int OpenDocument(const std::string& name, const std::function<void()>& failed = {});
// OpenDocument, and when nothing could open the document (now or when the opener answers) a
// message box with `caption` whose text gives the document's full path and why it did not open.
int OpenDocumentOrSay(const std::string& name, const std::string& caption = "");
// Opens a file the program has just written in the desktop's text editor; when nothing opens
// it, a box with `caption` says where the file was written.
int OpenWrittenFileOrSay(const std::string& file, const std::string& caption = "");
// How many of the desktop's openers have not answered yet.
int OpenersWaited();

// What a start would do, for tests: kind "run" (program = the full path or the name looked
// for, then the arguments) or "open" (program = the document's path).
struct LaunchRequest {
  std::string kind;
  std::string program;  // UTF-8, as the system would get it
  std::vector<std::string> arguments;
  bool operator==(const LaunchRequest&) const = default;
};
// While set, nothing is started: the recorder gets the request and its result is returned.
using LaunchRecorder = std::function<int(const LaunchRequest&)>;
void SetLaunchRecorder(LaunchRecorder recorder);

}  // namespace quiz
