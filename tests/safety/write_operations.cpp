#include "tests/safety/write_operations.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "converter/convert.h"
#include "converter/exchange.h"
#include "data/answer_log.h"
#include "data/generated_tests.h"
#include "data/question_file.h"
#include "data/score_history.h"
#include "data/topic_index.h"
#include "manager/generation.h"
#include "manager/listings.h"
#include "manager/question_editor.h"
#include "manager/topic_params.h"
#include "manager/topics.h"
#include "runner/mistakes.h"
#include "runner/runner_screen.h"
#include "runner/test_engine.h"
#include "runner/test_export.h"
#include "tests/support/sample_data.h"
#include "tests/support/temp_dir.h"
#include "toolkit/files.h"

namespace fs = std::filesystem;

namespace quiz::testing {
namespace {

constexpr Layout kBankLayout{120, 120, 4, 100};

TopicEntry Topic(const std::string& name, Layout layout) { return TopicOf(name, layout); }

Question NumberedQuestion(int i) {
  const std::string n = std::to_string(i);
  return {"Pregunta " + n, {"bona " + n, "dolenta", "dolenta", "dolenta"}, "comentari " + n};
}

// Three topics, the first one's bank large or small, two generated tests and a score history.
void MakeDataFolder(bool large) {
  TopicIndex index;
  ASSERT_TRUE(index.Create().ok());
  int n = 1;
  for (const char* name : {"vell", "altre", "tercer"}) {
    const TopicEntry entry = Topic(name, kBankLayout);
    ASSERT_TRUE(index.Write(static_cast<uint16_t>(n), entry).ok());
    QuestionFile bank;
    ASSERT_TRUE(bank.Open(entry).ok());
    const int questions = n == 1 ? (large ? 5000 : 20) : 3;
    for (int i = 1; i <= questions; ++i) ASSERT_TRUE(bank.Append(NumberedQuestion(i)).ok());
    ++n;
  }
  std::vector<TestItem> items;
  for (uint16_t i = 1; i <= 20; ++i) items.push_back({1, i});
  ASSERT_TRUE(WriteTestFile("t1", items).ok());
  GeneratedTestIndex generated;
  ASSERT_TRUE(generated.Append({"t1", "Primer"}).ok());
  ASSERT_TRUE(generated.Append({"t2", "Segon"}).ok());
  for (uint16_t i = 0; i < 10; ++i) {
    ASSERT_TRUE(RegisterScore(BuildScoreRecord({1, 2, 2026}, "t1", 20, i, 2, 4)).ok());
  }
}

// A text of questions for the converter, and a destination that already holds some.
void MakeConversion(bool large) {
  std::string text;
  for (int i = 1; i <= (large ? 6000 : 5); ++i) {
    text += "Pregunta " + std::to_string(i) + "\r\nbona\r\ndolenta\r\ndolenta\r\ndolenta\r\n\r\n";
  }
  PutFile("text.txt", text);
  PutFile("Bases/.keep", "");
  QuestionFile bank;
  ASSERT_TRUE(bank.OpenPath("Bases\\banc.qst", kConverterLayout, RecordSizeFor(kConverterLayout)).ok());
  for (int i = 1; i <= 4; ++i) ASSERT_TRUE(bank.Append(NumberedQuestion(i)).ok());
}

// The answers of a corrected test of 50 questions, as quizrun logs them beside its score.
Status LogCorrection() {
  std::vector<AnswerRecord> answers;
  for (uint8_t k = 1; k <= 50; ++k) {
    const bool blank = k % 5 == 0;
    answers.push_back({{7, 12, 2026}, 10, 30, 5, "t1", "vell", k, 0x1234567890ULL + k, blank ? ' ' : 'b',
                       blank ? AnswerResult::kBlank : AnswerResult::kRight, k, 50});
  }
  return AppendCorrection(answers);
}

// What readers of the answer log see: its whole corrections.
std::string WholeCorrections(const std::string& bytes) {
  std::string seen;
  for (const Correction& c : CorrectionsOf(bytes.data(), bytes.size())) seen += AnswerBytes(c.answers);
  return seen;
}

Status OpenFirstBank(QuestionFile* bank) { return bank->Open(Topic("vell", kBankLayout)); }

// "Obrir" on topic 1, as quizdesk keeps it: the index open, the topic current.
Status OpenFirstTopic(TopicIndex* index, CurrentTopic* current) {
  QUIZ_RETURN_IF_ERROR(index->Open());
  current->Select(1);
  return index->Read(1, &current->entry);
}

// The question editor tells a failure in a box: here it becomes the operation's Status.
class CaughtFailure : public Messages {
 public:
  int Message(const std::string& caption, const std::string& text, uint32_t flags) override {
    if ((flags & 0xF0) == kMbIconStop && status.ok()) status = Status::Refused(caption, text);
    return kIdYes;  // every question of the editor answered Yes
  }
  Status status;
};

// Runs `act` in quizdesk's question editor on the first bank, from question `at`.
Status InEditor(uint32_t at, const std::function<void(QuestionEditor&)>& act) {
  QuestionFile bank;
  QUIZ_RETURN_IF_ERROR(OpenFirstBank(&bank));
  CaughtFailure messages;
  Question record, fields;
  QuestionEditor editor(&bank, kBankLayout, &record, &messages);
  if (editor.Open(at, &fields)) act(editor);
  return messages.status;
}

// "Paràmetres tema" on topic 1, saved as `to`, as quizdesk does it.
Status SaveParams(const TopicEntry& to) {
  TopicIndex index;
  CurrentTopic current;
  QUIZ_RETURN_IF_ERROR(OpenFirstTopic(&index, &current));
  QuestionFile bank;
  RelayoutResult result;
  QUIZ_RETURN_IF_ERROR(SaveTopicParams(&index, &current, &bank, false, to, &result));
  return result.old_file_left;
}

// What a parameters save writes: both banks, the entry, and the record of the change with its copy.
const std::vector<std::string> kParamsTargets = {"Bases/vell.qst", "Bases/nou.qst", "Bases/Arxs.rel",
                                                 "Bases/Canvi.nou", "Bases/Canvi.jnl"};

}  // namespace

const std::vector<WriteOperation>& WriteOperations() {
  static const std::vector<WriteOperation> operations = {
      {"esborrar la primera qüestió", MakeDataFolder,
       [] {
         QuestionFile bank;
         QUIZ_RETURN_IF_ERROR(OpenFirstBank(&bank));
         uint16_t n = 1;
         return bank.Delete(&n);
       },
       {"Bases/vell.qst"}},
      {"esborrar l'última qüestió", MakeDataFolder,
       [] {
         QuestionFile bank;
         QUIZ_RETURN_IF_ERROR(OpenFirstBank(&bank));
         uint16_t n = bank.count();
         return bank.Delete(&n);
       },
       {"Bases/vell.qst"}, 706},
      {"afegir una qüestió", MakeDataFolder,
       [] {
         QuestionFile bank;
         QUIZ_RETURN_IF_ERROR(OpenFirstBank(&bank));
         return bank.Append(NumberedQuestion(0));
       },
       {"Bases/vell.qst"}, 706},
      {"desar una qüestió", MakeDataFolder,
       [] {
         QuestionFile bank;
         QUIZ_RETURN_IF_ERROR(OpenFirstBank(&bank));
         return bank.Write(NumberedQuestion(0), 3);
       },
       {"Bases/vell.qst"}, 706},
      {"desar una qüestió a l'editor (quizdesk)", MakeDataFolder,
       [] { return InEditor(3, [](QuestionEditor& e) { e.Save(NumberedQuestion(0)); }); }, {"Bases/vell.qst"}, 706},
      {"afegir una qüestió a l'editor (quizdesk)", MakeDataFolder,
       [] {
         return InEditor(3, [](QuestionEditor& e) {
           Question fields;
           if (e.Navigate(editor::kNew, e.record(), "", false, &fields)) e.Save(NumberedQuestion(0));
         });
       },
       {"Bases/vell.qst"}, 706},
      {"esborrar una qüestió a l'editor (quizdesk)", MakeDataFolder,
       [] {
         return InEditor(2, [](QuestionEditor& e) {
           Question fields;
           e.Delete(&fields);
         });
       },
       {"Bases/vell.qst"}},
      {"generar un test aleatori (quizdesk)", MakeDataFolder,
       [] {
         std::mt19937 random(3);
         return SaveGeneratedTest({"tots_1", "tots"}, DrawTest({{1, 20}, {2, 3}, {3, 3}}, 26, &random));
       },
       {"Generats/tots_1.tgn", "Generats/Generats.rel"}, 0, false,
       [] {
         // An entry never names a test that is missing or half-written.
         const bool listed = FileBytes("Generats/Generats.rel").find("tots_1") != std::string::npos;
         std::vector<TestItem> items;
         const bool whole = ReadTestFile("Generats\\tots_1.tgn", &items).ok() && items.size() == 26;
         return listed && !whole ? std::string("the entry is there, its test is not whole") : std::string();
       }},
      {"substituir un test generat (quizdesk)", MakeDataFolder,
       [] { return SaveGeneratedTest({"t1", "Primer, de nou"}, {{2, 1}, {3, 2}}, true); },
       {"Generats/t1.tgn", "Generats/Generats.rel"}},
      {"passar un tema a text (quizdesk)", MakeDataFolder,
       [] {
         QuestionFile bank;
         QUIZ_RETURN_IF_ERROR(OpenFirstBank(&bank));
         return ExportQuestions(bank, Topic("vell", kBankLayout), {true, true, true, true});
       },
       {"vell.txt"}},
      // A change of parameters writes two files: after a kill, the next open of the folder
      // finds the topic as it was or as it was saved, never a mix.
      {"escurçar les respostes (quizdesk)", MakeDataFolder, [] { return SaveParams(Topic("vell", {120, 60, 4, 100})); },
       kParamsTargets, 0, false, nullptr, true},
      {"allargar les preguntes i els comentaris (quizdesk)", MakeDataFolder,
       [] { return SaveParams(Topic("vell", {128, 120, 4, 128})); }, kParamsTargets, 0, false, nullptr, true},
      {"canviar el nombre d'alternatives (quizdesk)", MakeDataFolder,
       [] { return SaveParams(Topic("vell", {120, 120, 3, 100})); }, kParamsTargets, 0, false, nullptr, true},
      {"canviar el format i el nom (quizdesk)", MakeDataFolder,
       [] { return SaveParams(Topic("nou", {120, 60, 3, 0})); }, kParamsTargets, 0, false, nullptr, true},
      {"canviar el nom (quizdesk)", MakeDataFolder, [] { return SaveParams(Topic("nou", kBankLayout)); },
       kParamsTargets, 0, false, nullptr, true},
      {"afegir un tema", MakeDataFolder,
       [] {
         TopicIndex index;
         QUIZ_RETURN_IF_ERROR(index.Open());
         return index.Write(static_cast<uint16_t>(index.count() + 1), Topic("quart", kBankLayout));
       },
       {"Bases/Arxs.rel"}, 318},
      {"desar un tema", MakeDataFolder,
       [] {
         TopicIndex index;
         QUIZ_RETURN_IF_ERROR(index.Open());
         TopicEntry entry = Topic("altre", kBankLayout);
         entry.title = "Un altre títol";
         return index.Write(2, entry);
       },
       {"Bases/Arxs.rel"}, 318},
      {"esborrar un tema", MakeDataFolder,
       [] {
         TopicIndex index;
         QUIZ_RETURN_IF_ERROR(index.Open());
         return index.Delete(1);
       },
       {"Bases/Arxs.rel"}},
      {"reordenar els temes", MakeDataFolder,
       [] {
         TopicIndex index;
         QUIZ_RETURN_IF_ERROR(index.Open());
         return index.Reorder({3, 1, 2});
       },
       {"Bases/Arxs.rel"}},
      {"crear l'índex de temes", [](bool) { PutFile("Bases/.keep", ""); },
       [] {
         TopicIndex index;
         return index.Create();
       },
       {"Bases/Arxs.rel"}},
      {"crear un tema (quizdesk)", MakeDataFolder,
       [] {
         TopicIndex index;
         QUIZ_RETURN_IF_ERROR(index.Open());
         CurrentTopic current;
         current.Select(static_cast<uint16_t>(index.count() + 1));
         QuestionFile bank;
         RelayoutResult result;
         return SaveTopicParams(&index, &current, &bank, true, Topic("quart", kBankLayout), &result);
       },
       {"Bases/Arxs.rel", "Bases/quart.qst"}, 318},
      {"esborrar el tema obert (quizdesk)", MakeDataFolder,
       [] {
         TopicIndex index;
         CurrentTopic current;
         QUIZ_RETURN_IF_ERROR(OpenFirstTopic(&index, &current));
         QuestionFile bank;
         return DeleteCurrentTopic(&index, &current, &bank);
       },
       {"Bases/Arxs.rel"}},
      {"desar el títol del tema obert (quizdesk)", MakeDataFolder,
       [] {
         TopicIndex index;
         CurrentTopic current;
         QUIZ_RETURN_IF_ERROR(OpenFirstTopic(&index, &current));
         TopicEntry entry = current.entry;
         entry.title = "Un altre títol";
         QuestionFile bank;
         RelayoutResult result;
         return SaveTopicParams(&index, &current, &bank, false, entry, &result);
       },
       {"Bases/Arxs.rel"}, 318},
      {"llistar els temes (quizdesk)",
       [](bool large) {
         MakeDataFolder(large);
         std::filesystem::remove("Bases/tercer.qst");
       },
       [] {
         TopicIndex index;
         QUIZ_RETURN_IF_ERROR(index.Open());
         TextList lines;
         uint32_t total = 0;
         return BuildTopicList(index, &lines, &total);
       },
       {"Bases/tercer.qst", "Bases/Arxs.rel"}},
      {"registrar una puntuació", MakeDataFolder,
       [] { return RegisterScore(BuildScoreRecord({7, 12, 2026}, "t1", 20, 15, 3, 4)); },
       {"Punts.rel"}, 52},
      // A killed writer left part of a record: the next one writes over it.
      {"registrar una puntuació després d'una cua trencada",
       [](bool large) {
         MakeDataFolder(large);
         PutFile("Punts.rel", FileBytes("Punts.rel") + std::string(30, '\x7f'));
       },
       [] { return RegisterScore(BuildScoreRecord({7, 12, 2026}, "t1", 20, 15, 3, 4)); }, {"Punts.rel"}, 52},
      {"registrar les respostes d'una correcció", MakeDataFolder, LogCorrection, {"Respostes.rel"}, 88, false,
       nullptr, false, WholeCorrections},
      // A kill left part of a correction: the next one takes its place.
      {"registrar les respostes després d'una correcció a mitges",
       [](bool large) {
         MakeDataFolder(large);
         ASSERT_TRUE(LogCorrection().ok());
         const std::string whole = FileBytes("Respostes.rel");
         PutFile("Respostes.rel", whole + whole.substr(0, 20 * 88 + 50));
       },
       LogCorrection, {"Respostes.rel"}, 88, false, nullptr, false, WholeCorrections},
      {"afegir un test generat", MakeDataFolder,
       [] {
         GeneratedTestIndex index;
         return index.Append({"t3", "Tercer"});
       },
       {"Generats/Generats.rel"}, 116},
      {"escriure un test generat", MakeDataFolder,
       [] {
         std::vector<TestItem> items;
         for (uint16_t i = 1; i <= 255; ++i) items.push_back({1, i});
         return WriteTestFile("t1", items);
       },
       {"Generats/t1.tgn"}},
      {"convertir un text", MakeConversion,
       [] { return ConvertTextFile("text.txt", "Bases\\banc.qst", CorrectAnswerMode::kFirst, nullptr); },
       {"Bases/banc.qst"}, 706, true},
      {"exportar un tema en Aiken", MakeDataFolder,
       [] {
         uint32_t written = 0;
         return ExportTopic(SourceFormat::kAiken, "vell", "vell.txt", &written);
       },
       {"vell.txt"}},
      {"exportar un test", MakeDataFolder,
       [] {
         QuietRunnerScreen screen;
         TestEngine engine(&screen, {7, 12, 2026}, 1);
         if (!engine.LoadTest("Generats\\t1.tgn")) return Status::Refused("", "no s'ha carregat");
         return ExportTest(engine, "Primer", "t1.txt");
       },
       {"t1.txt"}},
      // The bytes a print to PDF made, over a PDF that was there: replaced whole or not at all.
      {"imprimir un test en PDF",
       [](bool large) {
         MakeDataFolder(large);
         PutFile("examen.pdf", "%PDF-1.4 el d'abans");
       },
       [] {
         std::string pdf = "%PDF-1.4\n";
         for (int i = 0; pdf.size() < (4u << 20); ++i) pdf += "q " + std::to_string(i) + " 0 0 1 re S Q\n";
         return ReplaceFile("examen.pdf", pdf);
       },
       {"examen.pdf"}},
      {"repetir errades i en blanc (quizrun)",
       [](bool large) {
         MakeDataFolder(large);
         // The test on screen was read before anything happened to the folder Generats.
         PutFile("t1.tgn", FileBytes("Generats/t1.tgn"));
       },
       [] {
         QuietRunnerScreen screen;
         TestEngine engine(&screen, {7, 12, 2026}, 1);
         if (!engine.LoadTest("t1.tgn")) return Status::Refused("", "no s'ha carregat");
         engine.Mark(1, engine.CorrectPosition(1));
         engine.Correct("0");
         GeneratedTestEntry written;
         return WriteMistakesTest(engine, &written);
       },
       {"Generats/Generats.rel", "Generats/t1_errades1.tgn"}, 0, false,
       [] {
         // An entry never names a test that is missing or half-written.
         const bool listed = FileBytes("Generats/Generats.rel").find("t1_errades1") != std::string::npos;
         std::vector<TestItem> items;
         const bool whole = ReadTestFile("Generats\\t1_errades1.tgn", &items).ok() && items.size() == 19;
         return listed && !whole ? std::string("the entry is there, its test is not whole") : std::string();
       }},
  };
  return operations;
}

}  // namespace quiz::testing
