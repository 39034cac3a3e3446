#include "toolkit/gui/programs.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

#include "tests/support/gui.h"
#include "tests/support/temp_dir.h"

namespace quiz {
namespace {

class Programs : public testing::InTempDir {};

TEST_F(Programs, CommandLinesAndDocumentsGoWhereTheDesktopWouldSendThem) {
  testing::PutFile("VuzeRA.txt", "guia");
  testing::PutFile("Llista.txt", "llista");
  const std::string here = QDir::currentPath().toStdString();
  const std::string beside = QCoreApplication::applicationDirPath().toStdString();
  testing::PutFile(beside + "/quizrun", "");
  QFile::setPermissions(QString::fromStdString(beside + "/quizrun"), QFile::ExeOwner | QFile::ReadOwner);
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
      {[] { return RunCommand("quizrun_prv.exe t1.tgn"); }, 33, {{"run", beside + "/quizrun", {"t1.tgn"}}}},
      {[] { return RunCommand("no_existeix.exe a b"); }, 2, {}},
      {[] { return RunCommand(""); }, 2, {}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    testing::Seams seams;
    EXPECT_EQ(cases[i].call(), cases[i].result) << i;
    EXPECT_EQ(seams.launches, cases[i].launches) << i;
  }
  std::remove((beside + "/quizrun").c_str());
}

TEST(ProgramName, IsTheExecutableWithoutFolderOrExtension) { EXPECT_EQ(ProgramName(), "gui_tests"); }

}  // namespace
}  // namespace quiz
