#include "toolkit/gui/programs.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/gui.h"
#include "tests/support/temp_dir.h"

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

TEST(ProgramName, IsTheExecutableWithoutFolderOrExtension) { EXPECT_EQ(ProgramName(), "gui_tests"); }

}  // namespace
}  // namespace quiz
