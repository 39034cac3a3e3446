#include "converter/converter_window.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "tests/support/gui.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"
#include "toolkit/gui/controls.h"

namespace quiz {
namespace {

using testing::ShownMessage;
using W_ = ConverterWindow;

class ConverterWindowTest : public testing::InTempDir {
 protected:
  void Type(int id, const std::string& text) {
    qobject_cast<QLineEdit*>(window_.Control(id))->setText(QString::fromStdString(text));
  }
  void Click(int id) { qobject_cast<QAbstractButton*>(window_.Control(id))->click(); }
  bool Checked(int id) { return qobject_cast<QRadioButton*>(window_.Control(id))->isChecked(); }

  testing::Seams seams_;
  ConverterWindow window_;
};

const std::string kConfirmCaption = W("Confirma paràmetres conversió:");

TEST_F(ConverterWindowTest, StartsAsTheProgramShowsIt) {
  EXPECT_EQ(window_.objectName(), "WindowsApp");
  EXPECT_EQ(window_.windowTitle(), QString::fromUtf8("Pas qüestions en format text a .qst"));
  EXPECT_TRUE(Checked(W_::kFirstMode));
  EXPECT_FALSE(Checked(W_::kMarkedMode));
  EXPECT_EQ(window_.Control(W_::kConvert)->geometry(), QRect(140, 150, 120, 28));
  EXPECT_EQ(window_.Control(W_::kSourceEdit)->geometry(), QRect(10, 35, 350, 20));
  window_.show();
  testing::SaveShot(&window_, "qstconv");
  // For a screen reader and the keyboard alone.
  EXPECT_EQ(testing::UnnamedControls(&window_), std::vector<std::string>{});
  EXPECT_EQ(testing::ControlsNotReachedByTab(&window_), std::vector<std::string>{});
}

TEST_F(ConverterWindowTest, TheRadioButtonsAlwaysShowTheMode) {
  Click(W_::kMarkedMode);
  EXPECT_EQ(window_.mode(), CorrectAnswerMode::kMarked);
  EXPECT_TRUE(Checked(W_::kMarkedMode));
  EXPECT_FALSE(Checked(W_::kFirstMode));
  Click(W_::kMarkedMode);  // again: stays marked
  EXPECT_TRUE(Checked(W_::kMarkedMode));
  Click(W_::kFirstMode);
  EXPECT_EQ(window_.mode(), CorrectAnswerMode::kFirst);
  EXPECT_TRUE(Checked(W_::kFirstMode));
}

TEST_F(ConverterWindowTest, ConvertsAfterTheConfirmation) {
  testing::PutFile("text.txt", "Q1\na\n*b\nc\nd\n");
  testing::PutFile("dolent.txt", "Q1\na\nb\nc\nd\n");
  testing::PutFile("gran.qst", std::string(3 * 774, '\x05'));
  testing::PutFile("aiken.txt", "Q1\nA. a\nB. b\nANSWER: B\n\nQ2\nA. sola\nANSWER: A\n");
  struct Case {
    std::string source, destination;
    bool marked;
    int answer;
    std::string confirm_text;
    std::vector<ShownMessage> after;  // the boxes after the confirmation
    std::string file;
    size_t records;
  } cases[] = {
      {"text.txt", "banc", false, kIdYes,
       W("Origen: text.txt\r\nDestí: banc.qst\r\nOpció: RESPOSTA CORRECTA = LA PRIMERA\r\n         Continuar? "),
       {{"Fet!", W("Conversió finalitzada"), kMbOk}}, "banc.qst", 1},
      {"text.txt", "banc.qst", true, kIdNo,
       W("Origen: text.txt\r\nDestí: banc.qst\r\nOpció: RESPOSTA CORRECTA = VARIABLE\r\n         Continuar? "),
       {}, "banc.qst", 1},
      {"dolent.txt", "altre", true, kIdYes,
       W("Origen: dolent.txt\r\nDestí: altre.qst\r\nOpció: RESPOSTA CORRECTA = VARIABLE\r\n         Continuar? "),
       {{W("Error a la qüestió 1"), W("La resposta correcta ha de començar amb \"*\""), kMbOk},
        {"Error", W("No Conversió"), kMbOk}},
       "altre.qst", 0},
      // An Aiken text is recognised; what it left out follows the verdict.
      {"aiken.txt", "aiken", false, kIdYes,
       W("Origen: aiken.txt\r\nDestí: aiken.qst\r\nOpció: RESPOSTA CORRECTA = LA PRIMERA\r\n         Continuar? "),
       {{"Fet!", W("Conversió finalitzada\r\n\r\nQüestió 2, línia 6: no s'ha afegit, té una sola opció"), kMbOk}},
       "aiken.qst", 1},
      // Every other failure says why.
      {"", "", false, kIdYes,
       W("Origen: \r\nDestí: .qst\r\nOpció: RESPOSTA CORRECTA = LA PRIMERA\r\n         Continuar? "),
       {{"Error", W("No Conversió\r\n\r\nNo s'ha pogut obrir el fitxer:\r\n: no existeix"), kMbOk}}, ".qst", 0},
      {"text.txt", "carpeta.x/banc", false, kIdYes,
       W("Origen: text.txt\r\nDestí: carpeta.x/banc\r\nOpció: RESPOSTA CORRECTA = LA PRIMERA\r\n         Continuar? "),
       {{"Error", W("No Conversió\r\n\r\nNo s'ha pogut obrir el fitxer:\r\ncarpeta.x/banc: no existeix"), kMbOk}},
       "", 0},
      {"text.txt", "gran.qst", false, kIdYes,
       W("Origen: text.txt\r\nDestí: gran.qst\r\nOpció: RESPOSTA CORRECTA = LA PRIMERA\r\n         Continuar? "),
       {{"Error",
         W("No Conversió\r\n\r\nEl destí no és un fitxer de qüestions del convertidor:\r\ngran.qst: fa 2322 "
           "bytes, que no són un nombre sencer de registres de 706 bytes. No s'hi ha afegit res."),
         kMbOk}},
       "", 0},
  };
  for (const auto& c : cases) {
    seams_.messages.shown.clear();
    seams_.messages.answers = {c.answer};
    Type(W_::kSourceEdit, c.source);
    Type(W_::kDestinationEdit, c.destination);
    window_.SetMode(c.marked ? CorrectAnswerMode::kMarked : CorrectAnswerMode::kFirst);
    Click(W_::kConvert);
    ASSERT_GE(seams_.messages.shown.size(), 1u);
    EXPECT_EQ(seams_.messages.shown[0], (ShownMessage{kConfirmCaption, c.confirm_text, kMbYesNo}));
    EXPECT_EQ(std::vector<ShownMessage>(seams_.messages.shown.begin() + 1, seams_.messages.shown.end()),
              c.after)
        << c.source;
    if (!c.file.empty()) {
      EXPECT_EQ(testing::FileBytes(c.file).size(), c.records * 706) << c.file;
    }
    // The field keeps what the user typed.
    EXPECT_EQ(GetItemText(&window_, W_::kDestinationEdit), c.destination);
  }
}

TEST_F(ConverterWindowTest, ALongConfirmationIsCutAt255) {
  const std::string folder(200, 'd');
  Type(W_::kSourceEdit, folder + "/text.txt");
  Type(W_::kDestinationEdit, "banc");
  seams_.messages.answers = {kIdNo};
  Click(W_::kConvert);
  ASSERT_EQ(seams_.messages.shown.size(), 1u);
  EXPECT_EQ(seams_.messages.shown[0].text.size(), 255u);
  EXPECT_EQ(seams_.messages.shown[0].text.find("Continuar"), std::string::npos);
}

TEST_F(ConverterWindowTest, BrowsingStartsFromTheLastNameAndFillsTheField) {
  seams_.dialog_answers = {{true, "/tmp/a.txt"}, {false, ""}, {true, "/tmp/b.qst"}};
  Type(W_::kSourceEdit, "typed.txt");
  Click(W_::kSourceBrowse);
  EXPECT_EQ(GetItemText(&window_, W_::kSourceEdit), "/tmp/a.txt");
  Click(W_::kSourceBrowse);  // cancelled: nothing changes
  EXPECT_EQ(GetItemText(&window_, W_::kSourceEdit), "/tmp/a.txt");
  Click(W_::kDestinationBrowse);
  EXPECT_EQ(GetItemText(&window_, W_::kDestinationEdit), "/tmp/b.qst");
  // Not from the typed text: from the name last chosen.
  EXPECT_EQ(seams_.dialog_starts, (std::vector<std::string>{"", "/tmp/a.txt", ""}));
}

TEST_F(ConverterWindowTest, TheHelpButtonOpensTheGuide) {
  testing::PutFile("VuzeRA.txt", "guia");
  Click(W_::kHelp);
  ASSERT_EQ(seams_.launches.size(), 1u);
  EXPECT_EQ(seams_.launches[0].kind, "open");
  EXPECT_TRUE(seams_.launches[0].program.ends_with("/VuzeRA.txt"));
  EXPECT_TRUE(seams_.messages.shown.empty());
  // No program for it: the user learns where the guide is.
  seams_.launch_result = 2;
  Click(W_::kHelp);
  const std::string where = QDir::current().filePath("VuzeRA.txt").toStdString();
  EXPECT_EQ(seams_.messages.shown,
            (std::vector<ShownMessage>{{W("No s'ha pogut obrir el document"),
                                        where + W("\r\nCap programa de l'escriptori no l'ha pogut obrir."),
                                        kMbOk}}));
  ::unlink("VuzeRA.txt");
  seams_.messages.shown.clear();
  Click(W_::kHelp);
  EXPECT_EQ(seams_.launches.size(), 2u);
  EXPECT_EQ(seams_.messages.shown,
            (std::vector<ShownMessage>{{W("No s'ha pogut obrir el document"),
                                        where + W("\r\nEl document no existeix."), kMbOk}}));
}

}  // namespace
}  // namespace quiz
