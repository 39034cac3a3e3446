#include "converter/exchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <sstream>

#include "converter/batch.h"
#include "converter/convert.h"
#include "data/question_file.h"
#include "data/layout.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"

namespace quiz {
namespace {

Question Q(std::string question, std::string a, std::string b, std::string c = "", std::string d = "") {
  return Question{std::move(question), {std::move(a), std::move(b), std::move(c), std::move(d)}, ""};
}

struct Read {
  Status status;
  std::vector<Question> questions;
  ImportReport report;
};

// Reads a source in a format, keeping what it hands on.
Read ReadIn(SourceFormat format, std::string_view source, bool true_false = false) {
  Read r;
  auto keep = [&](const Question& q) {
    r.questions.push_back(q);
    return Status::Ok();
  };
  switch (format) {
    case SourceFormat::kAiken: r.status = ReadAiken(source, &r.report, keep); break;
    case SourceFormat::kGift: r.status = ReadGift(source, true_false, &r.report, keep); break;
    case SourceFormat::kMoodle: r.status = ReadMoodleXml(source, true_false, &r.report, keep); break;
    case SourceFormat::kText: ADD_FAILURE() << "the five-line text has tests of its own"; break;
  }
  return r;
}

Read ReadAll(std::string_view source) { return ReadIn(SourceFormat::kAiken, source); }

// What a reading must give: its questions, its error (a piece of it; "" when it succeeds) and a
// piece of each line of the questions left out.
void ExpectRead(const Read& r, const std::vector<Question>& questions, const std::string& error,
                const std::vector<std::string>& skipped) {
  EXPECT_EQ(r.status.ok(), error.empty()) << r.status.text();
  if (!error.empty()) {
    EXPECT_NE(r.status.text().find(error), std::string::npos) << r.status.text();
  }
  EXPECT_EQ(r.questions, questions);
  EXPECT_EQ(r.report.read, questions.size());
  ASSERT_EQ(r.report.skipped.size(), skipped.size());
  for (size_t i = 0; i < skipped.size(); ++i) {
    EXPECT_NE(r.report.skipped[i].find(skipped[i]), std::string::npos) << r.report.skipped[i];
  }
}

// Each bank written in a format and read again gives the same records, byte for byte.
void ExpectSameRecordsBack(const std::vector<std::vector<Question>>& banks, SourceFormat format,
                           std::string (*write)(const std::vector<Question>&, LeftOut*)) {
  constexpr uint16_t kSize = RecordSizeFor(kConverterLayout);
  for (const auto& bank : banks) {
    LeftOut left_out;
    const Read back = ReadIn(format, write(bank, &left_out));
    EXPECT_EQ(left_out, LeftOut{});
    ASSERT_TRUE(back.status.ok()) << back.status.text();
    ASSERT_EQ(back.questions.size(), bank.size());
    for (size_t i = 0; i < bank.size(); ++i) {
      std::string before(kSize, '\0'), after(kSize, '\0');
      EncodeQuestion(bank[i], kConverterLayout, kSize, before.data());
      EncodeQuestion(back.questions[i], kConverterLayout, kSize, after.data());
      EXPECT_EQ(after, before) << i;
    }
    EXPECT_TRUE(back.report.skipped.empty());
  }
}

const std::string k130(130, 'x');

TEST(Aiken, ReadsTheQuestionsThatFitARecordAndReportsTheOthers) {
  struct Case {
    const char* what;
    std::string source;
    std::vector<Question> read;
    std::string error;                  // a piece of the status text; "" = it succeeds
    std::vector<std::string> skipped;   // a piece of each skipped line
    uint32_t replaced, cut;
  } cases[] = {
      {"the correct answer goes first, the others keep their order",
       "Capital de França?\nA. Lió\nB. París\nC) Niça\nD) Brest\nANSWER: B\n",
       {Q(W("Capital de França?"), W("París"), W("Lió"), W("Niça"), "Brest")}, "", {}, 0, 0},
      {"two and three options leave the last answers empty; CR LF, a BOM and spaces around",
       "\xEF\xBB\xBFQ1\r\nA. s\xC3\xAD\r\nB. no\r\nANSWER: A\r\n\r\n\r\nQ2\r\n  A.  u  \r\nB. dos\r\nC. tres\r\n  ANSWER:   C  \r\n",
       {Q("Q1", W("sí"), "no"), Q("Q2", "tres", "u", "dos")}, "", {}, 0, 0},
      {"a question over two lines is one; no empty line is needed between questions",
       "Quina\nés la bona?\nA. a\nB. b\nANSWER: B\nQ2\nA. c\nB. d\nANSWER: A",
       {Q(W("Quina és la bona?"), "b", "a"), Q("Q2", "c", "d")}, "", {}, 0, 0},
      {"one option, five options and an empty option are left out, never guessed",
       "Q1\nA. sola\nANSWER: A\n\nQ2\nA. a\nB. b\nC. c\nD. d\nE. e\nANSWER: E\n\nQ3\nA.\nB. b\nANSWER: B\n\nQ4\nA. x\nB. y\nANSWER: B\n",
       {Q("Q4", "y", "x")}, "",
       {W("Qüestió 1, línia 1: no s'ha afegit, té una sola opció"), W("Qüestió 2, línia 5: no s'ha afegit, té 5 opcions"),
        W("Qüestió 3, línia 13: no s'ha afegit, té una opció buida")},
       0, 0},
      {"characters Windows-1252 lacks become ? and are counted; long texts are counted as cut",
       "\xE2\x86\x92 Fletxa \xCE\xB1\xCE\xB2?\nA. " + k130 + "\nB. b\nANSWER: A\n",
       {Q("? Fletxa ???", k130, "b")}, "", {}, 3, 1},
      {"an answer letter that is not an option stops there; the questions before are kept",
       "Q1\nA. a\nB. b\nANSWER: A\n\nQ2\nA. a\nB. b\nANSWER: C\n\nQ3\nA. a\nB. b\nANSWER: A\n",
       {Q("Q1", "a", "b")}, W("Qüestió 2, línia 9: la resposta C no és cap de les opcions"), {}, 0, 0},
      {"a question without ANSWER: before the empty line stops there",
       "Q1\nA. a\nB. b\n\nQ2\nA. a\nB. b\nANSWER: A\n", {},
       W("Qüestió 1, línia 1: falta la línia \"ANSWER:\" abans de la línia 4"), {}, 0, 0},
      {"the text ends without ANSWER:", "Q1\nA. a\nB. b\nANSWER: B\nQ2\nA. a\nB. b\n", {Q("Q1", "b", "a")},
       W("Qüestió 2, línia 5: el text s'acaba sense la línia \"ANSWER:\""), {}, 0, 0},
      {"a line among the options that is none", "Q1\nA. a\nno ho és\nANSWER: A\n", {},
       W("Qüestió 1, línia 3: la línia no és cap opció"), {}, 0, 0},
      {"an answer that is not one letter", "Q1\nA. a\nB. b\nANSWER: AB\n", {},
       W("Qüestió 1, línia 4: la resposta ha de ser una lletra"), {}, 0, 0},
      {"bytes that are not UTF-8 name their line", "Q1\nA. a\nB. b\nANSWER: A\n\nQ\xE9\nA. a\nB. b\nANSWER: A\n",
       {}, W("Línia 6: el text no és UTF-8"), {}, 0, 0},
      {"an empty source reads nothing", "\n\n  \n", {}, "", {}, 0, 0},
      // Carriage returns at the ends of lines are line ends, also doubled or before a space.
      {"stray carriage returns", "Q\r\r\nA. a\r \nB. b\r\r\nANSWER: A\r\n", {Q("Q", "a", "b")}, "", {}, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Read r = ReadAll(c.source);
    ExpectRead(r, c.read, c.error, c.skipped);
    EXPECT_EQ(r.report.replaced, c.replaced);
    EXPECT_EQ(r.report.cut, c.cut);
  }
}

TEST(Aiken, IsRecognisedByItsAnswerLines) {
  EXPECT_EQ(DetectSourceFormat("t.txt", "Q\nA. a\nB. b\n  ANSWER: A\n"), SourceFormat::kAiken);
  EXPECT_EQ(DetectSourceFormat("t.txt", "Q\na\nb\nc\nd\n"), SourceFormat::kText);
  EXPECT_EQ(DetectSourceFormat("t.txt", "Q\na ANSWER: b\nc\nd\ne\n"), SourceFormat::kText);
  // Only the start of a large text is looked at.
  EXPECT_EQ(DetectSourceFormat("t.txt", std::string(70000, '\n') + "ANSWER: A\n"), SourceFormat::kText);
  EXPECT_EQ(DetectSourceFormat("t.txt", std::string(60000, '\n') + "ANSWER: A\n"), SourceFormat::kAiken);
}

// What is written in Aiken reads back as the same questions, so the same records, whatever the
// number of alternatives and the characters.
TEST(Aiken, WrittenAndReadAgainGivesTheSameRecords) {
  const std::vector<std::vector<Question>> banks = {
      {Q("Dues", "bona", "dolenta"), Q(W("Àvia?"), W("sí"), W("no és així"))},
      {Q("Tres", "1", "2", "3"), Q("Q " + std::string(120, 'q'), std::string(120, 'a'), "b", "c")},
      {Q(W("Quatre: «cometes» i €"), "a", "b", "c", "d"), Q("  espais davant", "x", "y", "z", "w")},
  };
  ExpectSameRecordsBack(banks, SourceFormat::kAiken, WriteAiken);
}

Read ReadAllGift(std::string_view source, bool true_false = false) { return ReadIn(SourceFormat::kGift, source, true_false); }

Question WithComment(Question q, std::string comment) {
  q.comment = std::move(comment);
  return q;
}

// A source and what reading it must give: the questions handed on, a part of the error (none
// when empty) and a part of each line of the questions left out.
struct ReadCase {
  const char* what;
  std::string source;
  bool true_false;
  std::vector<Question> read;
  std::string error;
  std::vector<std::string> skipped;
};

TEST(Gift, ReadsSingleAnswerQuestionsAndReportsEveryOtherKind) {
  const ReadCase cases[] = {
      {"names, comments (also among a question's lines), categories, feedback and the general feedback as the comment",
       "// un comentari\n$CATEGORY: $course$/Geografia\n\n::Capital::Quina és la capital de França? {\n"
       "  ~Lió#No, és al sud.\n  // un comentari dins la pregunta\n  =París#Sí.\n  ~Niça\n  ####París és la capital des de fa segles.\n}\n",
       false,
       {WithComment(Q(W("Quina és la capital de França?"), W("París"), W("Lió"), W("Niça")),
                    W("París és la capital des de fa segles."))},
       "", {}},
      {"escapes, markers, a blank in the middle and answers on one line",
       "[html]<p>2 \\= 1 \\+ 1 \\{sí\\}? &amp; c\\:b</p> {=Cert ~Fals}\n\n"
       "[markdown]El dia {~15 =2 ~3} d'octubre.\n",
       false,
       {Q(W("2 = 1 \\+ 1 {sí}? & c:b"), "Cert", "Fals"), Q(W("El dia _____ d'octubre."), "2", "15", "3")}, "", {}},
      {"a blank at the start; answers at the end are no blank", "{=u ~dos} i tres\n\nU, dos i {=tres ~quatre}\n", false,
       {Q("_____ i tres", "u", "dos"), Q("U, dos i", "tres", "quatre")}, "", {}},
      {"an answer with an arrow among wrong ones is no matching", "Q {=a -> b ~c}\n", false, {Q("Q", "a -> b", "c")}, "", {}},
      {"numbered entities in HTML; a tab or a line end among them is a space",
       "[html]caf&#233; &#x20AC;&#9;&#x3B1; &bogus;&#10; {=a ~b}\n", false, {Q(W("café € ? &bogus;"), "a", "b")}, "", {}},
      {"true or false only with --tf, the general feedback as the comment",
       "Q1 {T}\n\nQ2 {FALSE#no#sí}\n\nQ3 {T####[html]Per <b>cert</b>}\n", true,
       {Q("Q1", "Cert", "Fals"), Q("Q2", "Fals", "Cert"), WithComment(Q("Q3", "Cert", "Fals"), "Per cert")}, "", {}},
      {"format marks on answers and feedback; without one, the question's format",
       "Q {=[moodle]Nunca. ~[plain]blue ~[html]<b>ver</b>d#[html]<i>no</i> ~[markdown]*x* ####[html]<p>Per&ograve;</p>}\n\n"
       "[html]<i>R</i> {=<b>a</b> ~b&eacute;}\n",
       false,
       {WithComment(Q("Q", "Nunca.", "blue", "verd", "*x*"), W("Però")), Q("R", "a", W("bé"))}, "", {}},
      {"answers all given with \"=\" are a short answer, whatever their weights",
       "Q1 {=%100%Crete =%0%Greece}\n\nQ2 {=%100%a ~%0%b}\n", false, {Q("Q2", "a", "b")}, "",
       {W("Qüestió 1, línia 1: no s'ha afegit, és de resposta curta")}},
      {"every kind that does not fit a record is left out and named",
       "::TF::Q1 {T}\n\nQ2 {=curta =també}\n\nQ3 {=a -> b =c -> d =e -> f}\n\nQ4 {#3:1}\n\nQ5 {}\n\n"
       "Q6 {~%50%a ~%50%b ~c}\n\nQ7 {=a ~b ~c ~d ~e}\n\nNomés text\n\nQ9 {=bona ~dolenta}\n\nQ10 {~a ~b}\n",
       false, {Q("Q9", "bona", "dolenta")}, "",
       {W("Qüestió 1 (TF), línia 1: no s'ha afegit, és de cert o fals"), W("Qüestió 2, línia 3: no s'ha afegit, és de resposta curta"),
        W("Qüestió 3, línia 5: no s'ha afegit, és d'aparellar"), W("Qüestió 4, línia 7: no s'ha afegit, és de resposta numèrica"),
        W("Qüestió 5, línia 9: no s'ha afegit, és de resposta oberta"),
        W("Qüestió 6, línia 11: no s'ha afegit, té més d'una resposta correcta"),
        W("Qüestió 7, línia 13: no s'ha afegit, té 5 opcions"), W("Qüestió 8, línia 15: no s'ha afegit, no té respostes"),
        W("Qüestió 10, línia 19: no s'ha afegit, no té cap resposta correcta")}},
      {"long texts: runs of spaces, escapes, feedback and entities well past their first bytes",
       "Una pregunta prou llarga  amb\tespais   de més {=una resposta llarga \\~ amb escapada#i un comentari llarg\n"
       "~una altra resposta prou llarga ~la tercera, també llarga#x\n####Comentari general prou llarg}\n\n"
       "[html]<p>Un  paràgraf   prou llarg&amp;amb entitat i <b>negreta</b>   al final </p>  {=resposta ~altra}\n\n"
       "abcdefg  hijklmnopq {=a ~b}\n",
       false,
       {WithComment(Q(W("Una pregunta prou llarga amb espais de més"), "una resposta llarga ~ amb escapada",
                      "una altra resposta prou llarga", W("la tercera, també llarga")),
                    "Comentari general prou llarg"),
        Q(W("Un paràgraf prou llarg&amb entitat i negreta al final"), "resposta", "altra"), Q("abcdefg hijklmnopq", "a", "b")},
       "", {}},
      {"a brace never closed stops there; the questions before are kept",
       "Q1 {=a ~b}\n\nQ2\n{=a ~b\n\nQ3 {=c ~d}\n", false, {Q("Q1", "a", "b")},
       W("Qüestió 2, línia 3: la clau oberta a la línia 4 no es tanca"), {}},
      {"bytes that are not UTF-8", "Q1 {=a ~b}\nQ\xE9 {=a ~b}\n", false, {}, W("Línia 2: el text no és UTF-8"), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Read r = ReadAllGift(c.source, c.true_false);
    ExpectRead(r, c.read, c.error, c.skipped);
  }
}

// GIFT keeps the comment: written and read again, every record is the same, byte for byte.
TEST(Gift, WrittenAndReadAgainGivesTheSameRecords) {
  const std::vector<std::vector<Question>> banks = {
      {Q("Dues", "bona", "dolenta"), WithComment(Q(W("Àvia?"), W("sí"), W("no")), W("El comentari: {~=#} \\ fi"))},
      {WithComment(Q("Tres", "1", "2", "3"), "c"), Q("a=b~c#d{e}f:g", "x:y", "z{w}")},
      {WithComment(Q(W("Quatre «€»"), "a", "b", "c", "d"), std::string(100, 'm')), Q("Q", "a", "b", "c", "d")},
      // Texts that read as something else unless they are guarded.
      {WithComment(Q("[html]<b>Q</b>", "[html]<i>a</i>", "[plain]b", "[moodle]c"), "[markdown]*x*"),
       Q("Pesos", "%50% a", "%d", "~b"), Q("Punter", "p->next", "p.next", "*p"), Q("Q", "a", "b->c")},
  };
  ExpectSameRecordsBack(banks, SourceFormat::kGift, WriteGift);
}

// What a format cannot write, or writes as another answer key, is left out and named; the others
// are written.
TEST(Export, LeavesOutAndNamesWhatTheFormatWouldMisread) {
  const Question good = Q("Bona", "a", "b");
  Question control = Q("Amb \x01 control", "a", "b");
  const struct {
    const char* what;
    Question question;
    std::string aiken, gift, moodle;  // the reason in each format's line; "" when it is written
  } cases[] = {
      {"an empty right answer (a marked block whose star stood alone)", Q("Capital?", "", "Balaguer", W("Tàrrega")),
       W("la resposta correcta és buida"), W("la resposta correcta és buida"), W("la resposta correcta és buida")},
      {"an empty question", Q("  ", "a", "b"), W("la pregunta és buida"), W("la pregunta és buida"),
       W("la pregunta és buida")},
      {"a question that reads as an Aiken option", Q("A. Quina?", "a", "b"), W("Aiken no ho pot escriure"), "", ""},
      {"a question that reads as an Aiken answer line", Q("ANSWER: quina?", "a", "b"), W("Aiken no ho pot escriure"),
       "", ""},
      {"a control character", control, "", "", W("caràcter de control")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<Question> bank = {good, c.question, good};
    const std::pair<std::string (*)(const std::vector<Question>&, LeftOut*), std::string> formats[] = {
        {WriteAiken, c.aiken}, {WriteGift, c.gift}, {WriteMoodleXml, c.moodle}};
    for (const auto& [write, reason] : formats) {
      LeftOut left_out;
      const std::string text = write(bank, &left_out);
      if (reason.empty()) {
        EXPECT_EQ(left_out, LeftOut{});
        continue;
      }
      ASSERT_EQ(left_out.size(), 1u) << reason;
      EXPECT_NE(left_out[0].find(W("Qüestió 2: no s'ha escrit, ")), std::string::npos) << left_out[0];
      EXPECT_NE(left_out[0].find(reason), std::string::npos) << left_out[0];
      EXPECT_EQ(text, write({good, good}, nullptr)) << reason;
    }
  }
  // Blanks alone are no comment: nothing of them is written.
  EXPECT_EQ(WriteGift({WithComment(good, "   ")}), WriteGift({good}));
}

Read ReadAllMoodle(std::string_view source, bool true_false = false) { return ReadIn(SourceFormat::kMoodle, source, true_false); }

// A Moodle question of a type, its texts given as XML.
std::string MoodleQuestion(const std::string& type, const std::string& inside) {
  return "<question type=\"" + type + "\">\n" + inside + "</question>\n";
}

std::string MoodleQuiz(const std::string& questions) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n" + questions + "</quiz>\n";
}

TEST(MoodleXml, ReadsSingleAnswerQuestionsAndReportsEveryOtherType) {
  const std::string capital = MoodleQuestion(
      "multichoice",
      "<name><text>Capital</text></name>\n"
      "<questiontext format=\"html\"><text><![CDATA[<p>Quina és la <b>capital</b> de França?<br/>&nbsp;</p>]]></text></questiontext>\n"
      "<generalfeedback format=\"html\"><text>&lt;p&gt;Des de fa segles &amp;amp; més.&lt;/p&gt;</text></generalfeedback>\n"
      "<answer fraction=\"0\"><text>Lió</text><feedback><text>No</text></feedback></answer>\n"
      "<answer fraction=\"100\"><text>París</text></answer>\n"
      "<answer fraction=\"-33.3\" format=\"plain_text\"><text>a &lt; b</text></answer>\n");
  const ReadCase cases[] = {
      {"HTML and CDATA made plain, the right answer first, the general feedback as the comment",
       MoodleQuiz(MoodleQuestion("category", "<category><text>$course$/Geo</text></category>\n") + capital), false,
       {WithComment(Q(W("Quina és la capital de França?"), W("París"), W("Lió"), "a < b"), W("Des de fa segles & més."))},
       "", {}},
      {"true or false only with --tf",
       MoodleQuiz(MoodleQuestion("truefalse", "<questiontext><text>Q1</text></questiontext>\n"
                                              "<answer fraction=\"0\"><text>true</text></answer>\n"
                                              "<answer fraction=\"100\"><text>false</text></answer>\n")),
       true, {Q("Q1", "Fals", "Cert")}, "", {}},
      {"every other type, several right answers and too many options are named",
       MoodleQuiz(MoodleQuestion("truefalse", "<name><text>TF</text></name>\n") +
                  MoodleQuestion("shortanswer", "") + MoodleQuestion("multianswer", "") +
                  MoodleQuestion("multichoice", "<answer fraction=\"50\"><text>a</text></answer><answer fraction=\"50\"><text>b</text></answer>\n") +
                  MoodleQuestion("multichoice", "<answer fraction=\"100\"><text>a</text></answer>\n") +
                  MoodleQuestion("multichoice", "<questiontext><text>Q6</text></questiontext><answer fraction=\"100\"><text>x</text></answer><answer><text>y</text></answer>\n") +
                  MoodleQuestion("multichoice", "<answer fraction=\"0\"><text>a</text></answer><answer><text>b</text></answer>\n")),
       false, {Q("Q6", "x", "y")}, "",
       {W("Qüestió 1 (TF), línia 3: no s'ha afegit, és de cert o fals"), W("Qüestió 2, línia 6: no s'ha afegit, és de tipus shortanswer"),
        W("Qüestió 3, línia 8: no s'ha afegit, és de tipus multianswer"),
        W("Qüestió 4, línia 10: no s'ha afegit, té més d'una resposta correcta"),
        W("Qüestió 5, línia 13: no s'ha afegit, té 1 opcions"), W("Qüestió 7, línia 19: no s'ha afegit, no té cap resposta correcta")}},
      {"XML that is not well formed names its line", "<?xml version=\"1.0\"?>\n<quiz>\n<question type=\"multichoice\">\n</quiz>\n",
       false, {}, W("Línia 4: el XML no és vàlid"), {}},
      {"no quiz element", "<?xml version=\"1.0\"?>\n<test/>\n", false, {}, W("no hi ha l'element <quiz>"), {}},
      {"bytes that are not UTF-8", "<quiz>\n<question type=\"multichoice\"><questiontext><text>\xE9</text></questiontext></question></quiz>",
       false, {}, W("Línia 2: el text no és UTF-8"), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Read r = ReadAllMoodle(c.source, c.true_false);
    ExpectRead(r, c.read, c.error, c.skipped);
  }
}

// HTML texts read as a browser shows them: inline tags join the words around them, tags of a line
// or a block part them, and every character reference HTML names is decoded.
TEST(Html, TextsReadAsTheyAreShown) {
  const struct {
    const char* html;
    std::string plain;
  } cases[] = {
      {"l'<b>Ebre</b>.", "l'Ebre."},
      {"<span lang=\"en\">Environment</span>.", "Environment."},
      {"<a href=\"x\">enlla&ccedil;</a>os, H<sub>2</sub>O, m<sup>2</sup>, <i>it</i><em>&agrave;</em><strong>lic</strong>",
       W("enllaços, H2O, m2, itàlic")},
      {"<font color=\"red\">ve</font><u>rm</u><code>ell</code>", "vermell"},
      {"<p>u</p><p>dos</p>tres<br>quatre<br/>cinc<div>sis</div>", "u dos tres quatre cinc sis"},
      {"<ul><li>u</li><li>dos</li></ul><h2>Tres</h2>quatre<TABLE><TR><TD>cinc</TD><TD>sis</TD></TR></TABLE>",
       "u dos Tres quatre cinc sis"},
      {"&eacute;&agrave;&ccedil;&middot;&laquo;&raquo;&euro;&Eacute;&Ograve;&iuml;", W("éàç·«»€ÉÒï")},
      {"l&rsquo;&uacute;s&hellip; &ldquo;cometes&rdquo; &ndash; &mdash; &copy;&deg;&sup2;&frac12;", W("l’ús… “cometes” – — ©°²½")},
      {"&amp;&lt;&gt;&quot;&apos;&nbsp;x", "&<>\"' x"},
      {"&alpha; &bogus; &eacute &AMP; AT&T &#233;", W("? &bogus; &eacute & AT&T é")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.html);
    const std::string question = "<questiontext format=\"html\"><text><![CDATA[" + std::string(c.html) + "]]></text></questiontext>";
    const Read r = ReadIn(SourceFormat::kMoodle,
                          MoodleQuiz(MoodleQuestion("multichoice", question +
                                                                       "<answer fraction=\"100\"><text>a</text></answer>"
                                                                       "<answer fraction=\"0\"><text>b</text></answer>\n")));
    ASSERT_TRUE(r.status.ok()) << r.status.text();
    ASSERT_EQ(r.questions.size(), 1u);
    EXPECT_EQ(r.questions[0].question, c.plain);
  }
  // GIFT's HTML texts are read the same way.
  const Read gift = ReadIn(SourceFormat::kGift, "[html]l'<b>Ebre</b>, la <i>Noguera</i>&middot;<p>i el Segre {=a ~b}\n");
  ASSERT_EQ(gift.questions.size(), 1u);
  EXPECT_EQ(gift.questions[0].question, W("l'Ebre, la Noguera· i el Segre"));
}

// However the quiz is laid out, every question is read once, in its order, and the line of a
// question or of damage is the line in the whole file.
TEST(MoodleXml, ReadsEveryLayoutOfAQuizOnceAndInOrder) {
  auto q = [](const std::string& text) {
    return MoodleQuestion("multichoice", "<questiontext format=\"plain_text\"><text>" + text +
                                             "</text></questiontext>\n<answer fraction=\"100\"><text>a</text></answer>"
                                             "<answer><text>b</text></answer>\n");
  };
  struct Case {
    const char* what;
    std::string source;
    std::vector<Question> read;
    std::string error;
    std::vector<std::string> skipped;
  } cases[] = {
      {"comments before each question and after the last, as the platform writes them",
       MoodleQuiz("<!-- question: 1 -->\n" + q("Q1") + "<!-- question: 2 -->\n" + q("Q2") + "<!-- fi -->\n"), {Q("Q1", "a", "b"), Q("Q2", "a", "b")},
       "", {}},
      {"a closing tag inside a text", MoodleQuiz(q("Q1") + q("<![CDATA[x </question> y]]>") + q("Q3")),
       {Q("Q1", "a", "b"), Q("x </question> y", "a", "b"), Q("Q3", "a", "b")}, "", {}},
      {"an empty question element, then more", MoodleQuiz(q("Q1") + "<question type=\"multichoice\"/>\n" + q("Q3")),
       {Q("Q1", "a", "b"), Q("Q3", "a", "b")}, "", {W("Qüestió 2, línia 7: no s'ha afegit, té 0 opcions")}},
      {"a question inside another element is not the quiz's",
       MoodleQuiz(q("Q1") + "<grup>" + q("Q2") + "</grup>\n" + q("Q3") + MoodleQuestion("essay", "")),
       {Q("Q1", "a", "b"), Q("Q3", "a", "b")}, "", {W("Qüestió 3, línia 16: no s'ha afegit, és de tipus essay")}},
      {"two spaces across eight bytes of a text",
       MoodleQuiz(MoodleQuestion("multichoice", "<questiontext><text>&lt;p&gt;xabcdefg  hijklmnopq&lt;/p&gt;</text></questiontext>"
                                                "<answer fraction=\"100\"><text>a</text></answer><answer><text>b</text></answer>\n")),
       {Q("xabcdefg hijklmnopq", "a", "b")}, "", {}},
      {"the root and the questions on one line", "<quiz>" + q("Q1") + q("Q2") + "</quiz>", {Q("Q1", "a", "b"), Q("Q2", "a", "b")}, "", {}},
      {"a question that opens before the quiz is not read",
       "<!-- <question> -->\n<quiz>\n" + q("Q1") + "</quiz>\n", {Q("Q1", "a", "b")}, "", {}},
      {"damage after two questions keeps them and names its line",
       MoodleQuiz(q("Q1") + q("Q2") + "<question type=\"multichoice\">\n<questiontext><text>Q3</questiontext>\n</question>\n"),
       {Q("Q1", "a", "b"), Q("Q2", "a", "b")}, W("Línia 12: el XML no és vàlid"), {}},
      {"a NUL byte in a closing tag, which the parser takes for the end of the text",
       MoodleQuiz(q("Q1") + "<question type=\"multichoice\"></question" + std::string(1, '\0') + ">\n" + q("Q3")),
       {Q("Q1", "a", "b")}, W("el XML no és vàlid"), {}},
      {"a quiz that does not end", "<quiz>\n" + q("Q1"), {Q("Q1", "a", "b")}, W("Línia 5: el XML no és vàlid"), {}},
      {"an element after the quiz", MoodleQuiz(q("Q1")) + "<quiz>" + q("Q2") + "</quiz>\n", {Q("Q1", "a", "b")}, "", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Read r = ReadAllMoodle(c.source);
    ExpectRead(r, c.read, c.error, c.skipped);
    // Parsed whole, the document gives the same questions and report, or the same error.
    Read whole;
    whole.status = ReadMoodleXmlWhole(c.source, false, &whole.report, [&](const Question& q) {
      whole.questions.push_back(q);
      return Status::Ok();
    });
    EXPECT_EQ(whole.status.text(), r.status.text());
    if (c.error.empty()) {
      EXPECT_EQ(whole.questions, r.questions);
      EXPECT_EQ(whole.report.skipped, r.report.skipped);
    }
  }
}

// Moodle XML keeps the comment and any character: written and read again, every record is the
// same, byte for byte.
TEST(MoodleXml, WrittenAndReadAgainGivesTheSameRecords) {
  const std::vector<std::vector<Question>> banks = {
      {Q("Dues", "bona", "dolenta"), WithComment(Q(W("Àvia <i>?</i> & \"x\""), W("sí"), W("no")), W("Comentari ]]> fi"))},
      {WithComment(Q("Tres", "1", "2", "3"), "c"), Q("  espais  ", "x", "y", "z")},
      {WithComment(Q(W("Quatre «€»"), "a", "b", "c", "d"), std::string(100, 'm')), Q("Q", "a", "b", "c", "d")},
  };
  ExpectSameRecordsBack(banks, SourceFormat::kMoodle, WriteMoodleXml);
}

class Exchange : public testing::InTempDir {
 protected:
  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return RunConverterBatch(args, out_, err_);
  }
  std::vector<Question> Stored(const std::string& name) { return testing::ConverterBank(name); }
  std::ostringstream out_, err_;
};

// The batch reads Aiken when the text has its answer lines or when told, says what it left out,
// and exits with 1 at a question it cannot read.
TEST_F(Exchange, TheBatchReadsAikenAndSaysWhatItLeftOut) {
  testing::PutFile("aiken.txt", "Q1\nA. a\nB. b\nANSWER: B\n\nQ2\nA. sola\nANSWER: A\n");
  testing::PutFile("dolent.txt", "Q1\nA. a\nB. b\nANSWER: A\n\nQ2\nA. a\nANSWER: Z\n");
  testing::PutFile("tf.gift", "Q1 {T}\n\nQ2 {=a ~b}\n");
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string out, err;
    std::string file;
    size_t records;
  } cases[] = {
      {{"aiken.txt", "banc"}, 0, W("Qüestió 2, línia 6: no s'ha afegit, té una sola opció"), "", "banc.qst", 1},
      {{"--format", "aiken", "aiken.txt", "banc2"}, 0, W("1 qüestió afegida a banc2.qst"), "", "banc2.qst", 1},
      // Told it is the five-line text, the same file is read as blocks of five lines.
      {{"--format", "text", "aiken.txt", "banc3"}, 1, "", W("la resposta 4 és buida"), "banc3.qst", 0},
      {{"dolent.txt", "banc4"}, 1, "", W("Qüestió 2, línia 8: la resposta Z no és cap de les opcions"), "banc4.qst", 1},
      {{"--format", "xml", "aiken.txt", "banc5"}, 2, "", W("el format \"xml\" no existeix"), "", 0},
      {{"--format"}, 2, "", W("Ús: qstconv"), "", 0},
      {{"tf.gift", "banc6"}, 0, W("és de cert o fals"), "", "banc6.qst", 1},
      {{"--tf", "tf.gift", "banc7"}, 0, W("2 qüestions afegides"), "", "banc7.qst", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    EXPECT_EQ(Run(c.args), c.code) << err_.str();
    const std::string out = Utf8ToCp1252(out_.str()), err = Utf8ToCp1252(err_.str());
    EXPECT_TRUE(c.out.empty() ? out.empty() : out.find(c.out) != std::string::npos) << out;
    EXPECT_TRUE(c.err.empty() ? err.empty() : err.find(c.err) != std::string::npos) << err;
    if (!c.file.empty()) {
      EXPECT_EQ(Stored(c.file).size(), c.records);
    }
  }
  EXPECT_EQ(Stored("banc.qst"), (std::vector<Question>{Q("Q1", "b", "a")}));
}

// Three sources as a teacher would bring them, thirty questions each in Catalan: every one that
// fits a record is added, the others are named, and a question reads the same in all three.
TEST_F(Exchange, RealisticSourcesOfEachFormatGiveTheirQuestions) {
  const std::string dir = std::string(QUIZ_FIXTURES_DIR) + "/exchange/";
  struct Case {
    std::string source;
    std::vector<std::string> args;
    size_t records, skipped;
  } cases[] = {
      {"geografia.txt", {}, 30, 1},
      {"historia.gift", {}, 30, 2},
      {"historia.gift", {"--tf"}, 31, 1},
      {"ciencies.xml", {}, 30, 2},
      {"ciencies.xml", {"--tf"}, 31, 1},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    const std::string bank = "banc" + std::to_string(++n);
    std::vector<std::string> args = c.args;
    args.push_back(dir + c.source);
    args.push_back(bank);
    ASSERT_EQ(Run(args), 0) << err_.str();
    const std::string out = Utf8ToCp1252(out_.str());
    EXPECT_EQ(static_cast<size_t>(std::count(out.begin(), out.end(), '\n')), c.skipped + 1) << out;
    const std::vector<Question> stored = Stored(bank + ".qst");
    ASSERT_EQ(stored.size(), c.records);
    EXPECT_EQ(stored[0].question, W("Quin és el riu més llarg de Catalunya?"));
    EXPECT_EQ(stored[0].answers, (std::array<std::string, 4>{"El Segre", "L'Ebre", "El Ter", "El Llobregat"}));
    EXPECT_EQ(stored[2].comment, c.source == "geografia.txt" ? "" : W("3.143 m."));
    EXPECT_EQ(stored[6].question, W("Quina ciutat és coneguda com «la ciutat dels prodigis»?"));
  }
}

// A topic exported to Aiken and converted back gives its questions; the comment has no place in
// Aiken. An unknown topic or format changes nothing.
TEST_F(Exchange, ATopicIsExportedToAikenAndComesBack) {
  testing::MakeSampleData();
  ASSERT_EQ(Run({"--export", "aiken", "geo", "geo.txt"}), 0) << err_.str();
  EXPECT_NE(Utf8ToCp1252(out_.str()).find(W("3 qüestions escrites a geo.txt")), std::string::npos);
  EXPECT_TRUE(testing::FileBytes("geo.txt").starts_with(
      "Q GEO 1\nA. bona GEO 1\nB. dolenta1\nC. dolenta2\nD. dolenta3\nANSWER: A\n\nQ GEO 2\n"));
  ASSERT_EQ(Run({"geo.txt", "torna"}), 0) << err_.str();
  const std::vector<Question> back = Stored("torna.qst");
  ASSERT_EQ(back.size(), 3u);
  EXPECT_EQ(back[2], Q("Q GEO 3", "bona GEO 3", "dolenta1", "dolenta2", "dolenta3"));

  ASSERT_EQ(Run({"--export", "aiken", "historia", "h.txt"}), 0) << err_.str();
  ASSERT_EQ(Run({"--format", "aiken", "h.txt", "h2"}), 0) << err_.str();
  EXPECT_EQ(Stored("h2.qst")[4], Q("Q HISTORIA 5", "bona HISTORIA 5", "dolenta1"));

  EXPECT_EQ(Run({"--export", "aiken", "cap", "cap.txt"}), 1);
  EXPECT_NE(Utf8ToCp1252(err_.str()).find(W("cap: cap tema de l'índex no té aquest fitxer")), std::string::npos);
  ASSERT_EQ(Run({"--export", "gift", "geo", "geo.gift"}), 0) << err_.str();
  ASSERT_EQ(Run({"geo.gift", "torna2"}), 0) << err_.str();
  EXPECT_EQ(Stored("torna2.qst"), back);
  ASSERT_EQ(Run({"--export", "moodle", "geo", "geo.xml"}), 0) << err_.str();
  ASSERT_EQ(Run({"geo.xml", "torna3"}), 0) << err_.str();
  EXPECT_EQ(Stored("torna3.qst"), back);
  EXPECT_EQ(Run({"--export", "text", "geo", "g.txt"}), 2);
  EXPECT_FALSE(std::filesystem::exists("cap.txt") || std::filesystem::exists("g.txt"));
}

}  // namespace
}  // namespace quiz
