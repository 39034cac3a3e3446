// Installing the toolkit: the files in place, and the desktop's own checkers content with them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"

namespace quiz {
namespace {

namespace fs = std::filesystem;

int Shell(const std::string& command) {
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Install : public testing::InTempDir {};

TEST_F(Install, PutsEveryFileInPlaceAndTheCheckersAccept) {
  ASSERT_EQ(Shell("cmake --install '" QUIZ_BUILD_DIR "' --prefix '" + dir() + "/prefix'"), 0);
  const std::string share = dir() + "/prefix/share/";
  const std::string files[] = {
      "bin/quizdesk", "bin/quizrun", "bin/qstconv",
      "share/applications/cat.quiztoolkit.quizdesk.desktop",
      "share/applications/cat.quiztoolkit.quizrun.desktop",
      "share/applications/cat.quiztoolkit.qstconv.desktop",
      "share/icons/hicolor/scalable/apps/quiztoolkit.svg",
      "share/metainfo/cat.quiztoolkit.quizdesk.metainfo.xml",
      "share/quiztoolkit/demo/Zive.cf",
      "share/quiztoolkit/demo/Bases/Arxs.rel",
  };
  for (const std::string& f : files) EXPECT_TRUE(fs::exists(dir() + "/prefix/" + f)) << f;
  // The charts' module, where the installed programs look for it.
  EXPECT_TRUE(fs::exists(dir() + "/prefix/bin/" QUIZ_CHART_MODULE_INSTALLED)) << QUIZ_CHART_MODULE_INSTALLED;
  for (const char* program : {"quizdesk", "quizrun", "qstconv"}) {
    EXPECT_EQ(Shell("desktop-file-validate '" + share + "applications/cat.quiztoolkit." + program + ".desktop'"), 0)
        << program;
  }
  EXPECT_EQ(Shell("appstreamcli validate --no-net '" + share + "metainfo/cat.quiztoolkit.quizdesk.metainfo.xml'"), 0);

  // Started as the menu starts it, the installed manager makes the user's folder from the
  // installed demo data and works there.
  const std::string home = dir() + "/casa";
  const std::string run = "cd '" + dir() + "' && HOME='" + home + "' XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen "
                          "QUIZ_EXIT_AFTER_FIRST_FRAME=1 '" + dir() + "/prefix/bin/quizdesk' --user-data";
  EXPECT_EQ(Shell(run), 0);
  EXPECT_TRUE(fs::exists(home + "/.local/share/quiztoolkit/dades/Bases/Arxs.rel"));
  EXPECT_FALSE(fs::exists(home + "/Bases"));
  EXPECT_FALSE(fs::exists(dir() + "/Bases"));
}

}  // namespace
}  // namespace quiz
