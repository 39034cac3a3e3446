#include "toolkit/gui/programs.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/gui.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"

namespace quiz {
namespace {

class Programs : public testing::InTempDir {};

TEST_F(Programs, CommandLinesAndDocumentsGoWhereTheDesktopWouldSendThem) {
  testing::PutFile("VuzeRA.txt", "guia");
  testing::PutFile("Llista.txt", "llista");
  testing::PutFile("Dos  espais.txt", "x");
  testing::PutFile("Dos espais.txt", "another file that a split and join would open");
  testing::PutFile("amb \"cometes\".txt", "x");
  const std::string here = QDir::currentPath().toStdString();
  // A quizrun on the PATH, since none sits beside the test program.
  const std::string bin = here + "/bin";
  testing::PutFile(bin + "/quizrun", "");
  QFile::setPermissions(QString::fromStdString(bin + "/quizrun"), QFile::ExeOwner | QFile::ReadOwner);
  const std::string old_path = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (bin + ":" + old_path).c_str(), 1);
  struct Case {
    std::function<int()> call;
    int result;
    std::vector<LaunchRequest> launches;
  } cases[] = {
      {[] { return OpenDocument("VuzeRA.txt"); }, 33, {{"open", here + "/VuzeRA.txt", {}}}},
      {[] { return OpenDocument("vuzera.TXT"); }, 33, {{"open", here + "/VuzeRA.txt", {}}}},
      {[] { return OpenDocument("falta.txt"); }, 2, {}},
      {[] { return RunCommand("NotePad.exe Llista.txt"); }, 33, {{"open", here + "/Llista.txt", {}}}},
      {[] { return OpenDocument("NotePad.exe Llista.txt"); }, 33, {{"open", here + "/Llista.txt", {}}}},
      {[] { return RunCommand("quizrun_prv.exe t1.tgn"); }, 33, {{"run", bin + "/quizrun", {"t1.tgn"}}}},
      {[] { return RunCommand("no_existeix.exe a b"); }, 2, {}},
      {[] { return RunCommand(""); }, 2, {}},
      // The editor's file is everything after its name, as it stands.
      {[] { return RunCommand("NotePad.exe Dos  espais.txt"); }, 33, {{"open", here + "/Dos  espais.txt", {}}}},
      {[] { return RunCommand("notepad.exe amb \"cometes\".txt"); }, 33,
       {{"open", here + "/amb \"cometes\".txt", {}}}},
      {[] { return RunCommand("NotePad.exe"); }, 2, {}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    testing::Seams seams;
    EXPECT_EQ(cases[i].call(), cases[i].result) << i;
    EXPECT_EQ(seams.launches, cases[i].launches) << i;
  }
  setenv("PATH", old_path.c_str(), 1);
}

// The desktop's opener answers when it answers: a failure a second and more after the start is
// still told, with the document's full path, and a late success says nothing. The window is
// never held up meanwhile (the start returns at once, as the result shows).
TEST_F(Programs, TheOpenersAnswerIsHeardWhenItComesLateOrAtOnce) {
  testing::PutFile("Info.txt", "info");
  testing::PutFile("t2.txt", "test");
  const std::string here = QDir::currentPath().toStdString();
  const std::string old_path = std::getenv("PATH") ? std::getenv("PATH") : "";
  const auto opener = [&](const std::string& body) {
    const std::string bin = here + "/opener";
    testing::PutFile(bin + "/xdg-open", "#!/bin/sh\n" + body + "\n");
    QFile::setPermissions(QString::fromStdString(bin + "/xdg-open"), QFile::ExeOwner | QFile::ReadOwner);
    setenv("PATH", (bin + ":" + old_path).c_str(), 1);
  };
  testing::Seams seams;
  SetLaunchRecorder(nullptr);  // the real opener, ours
  struct Case {
    const char* opener;
    std::function<int()> open;
    std::vector<std::string> texts;  // of the boxes shown once the opener answered
    std::string caption = "Info no trobada";
  } cases[] = {
      {"sleep 1.5; exit 3", [] { return OpenDocumentOrSay("Info.txt", "Info no trobada"); },
       {here + "/Info.txt\r\nCap programa de l'escriptori no l'ha pogut obrir."}},
      {"exit 4", [] { return OpenDocumentOrSay("Info.txt", "Info no trobada"); },
       {here + "/Info.txt\r\nCap programa de l'escriptori no l'ha pogut obrir."}},
      {"sleep 1.5; exit 0", [] { return OpenDocumentOrSay("Info.txt", "Info no trobada"); }, {}},
      {"kill -9 $$", [] { return OpenDocumentOrSay("Info.txt", "Info no trobada"); },
       {here + "/Info.txt\r\nCap programa de l'escriptori no l'ha pogut obrir."}},
      {"sleep 1.5; exit 3", [] { return OpenWrittenFileOrSay("t2.txt"); },
       {here + W("/t2.txt\r\nEl fitxer s'ha desat aquí, però cap programa de l'escriptori no l'ha pogut obrir.")},
       W("No s'ha pogut obrir el document")},
      {"exit 0", [] { return OpenWrittenFileOrSay("t2.txt"); }, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.opener);
    opener(c.opener);
    seams.messages.shown.clear();
    EXPECT_EQ(c.open(), kStarted);
    EXPECT_TRUE(seams.messages.shown.empty());
    while (OpenersWaited() > 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QCoreApplication::processEvents();
    std::vector<std::string> texts;
    for (const auto& m : seams.messages.shown) texts.push_back(m.text);
    EXPECT_EQ(texts, c.texts);
    if (!texts.empty()) {
      EXPECT_EQ(seams.messages.shown[0].caption, c.caption);
    }
  }
  setenv("PATH", old_path.c_str(), 1);
}

TEST(ProgramName, IsTheExecutableWithoutFolderOrExtension) { EXPECT_EQ(ProgramName(), "gui_tests"); }

}  // namespace
}  // namespace quiz
