#include "toolkit/gui/file_dialog.h"

#include <QDir>
#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace quiz {
namespace {

class FileDialog : public testing::InTempDir {};

TEST_F(FileDialog, PutsTheCurrentFolderBackAndKeepsTheNameOnCancel) {
  testing::PutFile("lluny/a.txt", "");
  const QString here = QDir::currentPath();
  struct Case {
    bool confirm;
    std::string start, after;
  } cases[] = {{true, "x.txt", "lluny/a.txt"}, {false, "x.txt", "x.txt"}};
  for (const auto& c : cases) {
    std::string offered;
    SetFileDialogResponder([&](std::string* name, bool open_form) {
      offered = *name;
      EXPECT_TRUE(open_form);
      QDir::setCurrent("lluny");  // the user browsed elsewhere
      if (c.confirm) *name = "lluny/a.txt";
      return c.confirm;
    });
    std::string name = c.start;
    EXPECT_EQ(ChooseFileOpen(&name), c.confirm);
    EXPECT_EQ(name, c.after);
    EXPECT_EQ(offered, c.start);
    EXPECT_EQ(QDir::currentPath(), here);
  }
  std::string long_name(300, 'n');
  std::string offered;
  SetFileDialogResponder([&](std::string* name, bool open_form) {
    offered = *name;
    EXPECT_FALSE(open_form);
    return false;
  });
  EXPECT_FALSE(ChooseFileSave(&long_name));
  EXPECT_EQ(offered.size(), 255u);
  EXPECT_EQ(long_name.size(), 300u);
  SetFileDialogResponder(nullptr);
}

}  // namespace
}  // namespace quiz
