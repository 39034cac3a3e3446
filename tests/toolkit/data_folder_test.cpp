#include "toolkit/data_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "toolkit/program_start.h"

namespace quiz {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;

std::string Cwd() { return fs::current_path().string(); }

class DataFolder : public testing::InTempDir {
 protected:
  // Runs ChooseDataFolder on `args` (program name first) from the test's folder; returns the
  // arguments left.
  std::vector<std::string> Choose(std::vector<std::string> args, bool* ok, std::string* error) {
    fs::current_path(dir());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(args.size());
    *ok = ChooseDataFolder(argc, argv.data(), dir() + "/demo", error);
    return std::vector<std::string>(argv.begin(), argv.begin() + argc);
  }
};

TEST_F(DataFolder, OptionsChooseTheFolderAndLeaveTheOtherArguments) {
  testing::PutFile("demo/Zive.cf", "Info.txt\r\n");
  setenv("XDG_DATA_HOME", (dir() + "/xdg").c_str(), 1);
  struct Case {
    std::vector<std::string> args;
    bool ok;
    std::string folder;  // relative to the test's folder; "" = unchanged
    std::vector<std::string> left;
  } cases[] = {
      {{"p"}, true, "", {"p"}},
      {{"p", "t1"}, true, "", {"p", "t1"}},
      {{"p", "--data", "meves", "t1"}, true, "meves", {"p", "t1"}},
      {{"p", "--marked", "--data", "a/b", "x.txt", "y"}, true, "a/b", {"p", "--marked", "x.txt", "y"}},
      {{"p", "--user-data"}, true, "xdg/quiztoolkit/dades", {"p"}},
      {{"p", "--", "--data", "x"}, true, "", {"p", "--", "--data", "x"}},
      {{"p", "--data"}, false, "", {"p"}},
      {{"p", "--data", "fitxer"}, false, "", {"p"}},  // a file, not a folder
  };
  testing::PutFile("fitxer", "");
  for (const auto& c : cases) {
    bool ok = false;
    std::string error;
    const std::vector<std::string> left = Choose(c.args, &ok, &error);
    const std::string what = c.args.size() > 1 ? c.args[1] + " " + (c.args.size() > 2 ? c.args[2] : "") : "";
    EXPECT_EQ(ok, c.ok) << what << ": " << error;
    EXPECT_EQ(ok, error.empty()) << what;
    if (c.ok) {
      EXPECT_EQ(Cwd(), c.folder.empty() ? dir() : dir() + "/" + c.folder) << what;
      EXPECT_EQ(left, c.left) << what;
    }
  }
  // The user's folder was made from the demo data.
  EXPECT_EQ(FileBytes(dir() + "/xdg/quiztoolkit/dades/Zive.cf"), "Info.txt\r\n");
  EXPECT_FALSE(fs::exists(dir() + "/meves/Zive.cf"));  // --data starts empty
  unsetenv("XDG_DATA_HOME");
}

TEST_F(DataFolder, TheUsersFolderIsKeptOnceMade) {
  setenv("XDG_DATA_HOME", (dir() + "/xdg").c_str(), 1);
  testing::PutFile("demo/Zive.cf", "demo\r\n");
  bool ok = false;
  std::string error;
  Choose({"p", "--user-data"}, &ok, &error);
  ASSERT_TRUE(ok) << error;
  testing::PutFile(dir() + "/xdg/quiztoolkit/dades/Zive.cf", "meu\r\n");
  testing::PutFile("demo/Zive.cf", "demo nova\r\n");
  Choose({"p", "--user-data"}, &ok, &error);
  ASSERT_TRUE(ok) << error;
  EXPECT_EQ(FileBytes("Zive.cf"), "meu\r\n");
  EXPECT_EQ(UserDataFolder(), dir() + "/xdg/quiztoolkit/dades");
  unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace quiz

namespace quiz {
namespace {

// Two programs started a millisecond apart draw different tests.
TEST(StartSeed, DiffersBetweenStartsAMillisecondApart) {
  std::vector<uint32_t> seeds;
  for (int i = 0; i < 20; ++i) {
    seeds.push_back(StartSeed());
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::sort(seeds.begin(), seeds.end());
  EXPECT_EQ(std::adjacent_find(seeds.begin(), seeds.end()), seeds.end());
}

// Only a first "--help" or "-h" asks for the help; a name after the options does not.
TEST(PrintedHelp, AnswersOnlyAFirstHelpOption) {
  const struct {
    std::vector<std::string> args;
    bool help;
  } cases[] = {{{"p", "--help"}, true}, {{"p", "-h"}, true},       {{"p"}, false},
               {{"p", "--data", "x", "--help"}, false},             {{"p", "t1.tgn"}, false},
               {{"p", "--helpme"}, false}};
  for (auto c : cases) {
    std::vector<char*> argv;
    for (std::string& a : c.args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(PrintedHelp("Ús: p\n", static_cast<int>(c.args.size()), argv.data()), c.help) << c.args.back();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.starts_with("Ús: p\n\n  --data CARPETA"), c.help) << out;
    if (!c.help) {
      EXPECT_EQ(out, "");
    }
  }
}

}  // namespace
}  // namespace quiz
