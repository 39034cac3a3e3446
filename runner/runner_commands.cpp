// The commands of quizrun's menu and buttons.

#include <QApplication>

#include "data/answer_stats.h"
#include "data/score_chart.h"
#include "data/score_history.h"
#include "data/test_paper.h"
#include "runner/mistakes.h"
#include "runner/runner_window.h"
#include "runner/test_export.h"
#include "toolkit/cp1252.h"
#include "toolkit/paths.h"
#include "toolkit/text.h"
#include "toolkit/files.h"
#include "toolkit/gui/about_box.h"
#include "toolkit/gui/chart_window.h"
#include "toolkit/gui/controls.h"
#include "toolkit/gui/list_viewer.h"
#include "toolkit/gui/message_box.h"
#include "toolkit/gui/print_window.h"
#include "toolkit/gui/programs.h"
#include "toolkit/program_start.h"

namespace quiz {

void RunnerWindow::Command(int id) {
  switch (id) {
    case kOpenTest: ChooseTest(); break;
    case kExport:
      if (engine_.opened()) Export();
      break;
    case kMistakes: RepeatMistakes(); break;
    case kReview: DrawReview(); break;
    case kPrint:
      if (engine_.count() > 0) PrintTest();
      break;
    case kTopicResults: ShowTopicResults(); break;
    case kTopicChart: ShowTopicChart(); break;
    case kExit: close(); break;
    case kHistory: ShowHistory(); break;
    case kChart: ShowChart(); break;
    case kInfo: OpenInfo(); break;
    case kAbout: ShowAbout(W("Resolució de tests per pantalla en mode real"), info_.contact); break;
    case kStart: engine_.StartClock(GetItemText(this, kTime)); break;
    case kCorrection: engine_.PressCorrectionButton(GetItemText(this, kPenalty)); break;
    default: break;
  }
  UpdateMenu();
}

void RunnerWindow::ChooseTest() {
  GeneratedTestIndex index;
  if (const Status status = index.OpenForRunner(); !status.ok()) {
    ShowStatus(status);
    return;
  }
  std::vector<GeneratedTestEntry> entries;
  if (const Status status = index.ReadAll(&entries); !status.ok()) {
    ShowStatus(status);
    return;
  }
  index.Close();
  int choice = 0;
  if (entries.empty()) {
    MsgBox(W("Relació buïda"), "No hi ha cap test generat");
  } else {
    TextList lines;
    for (const auto& e : entries) TextListAdd(lines, e.file_name);
    choice = ShowList("Tests generats", lines);
    if (choice < 0) return;  // the list is open already: that one decides
  }
  engine_.set_opened(choice != 0);
  if (choice > 0 && static_cast<size_t>(choice) <= entries.size()) {
    engine_.ResetClock();
    const GeneratedTestEntry& entry = entries[static_cast<size_t>(choice - 1)];
    // A damaged or hostile index never leads the test, nor its export, out of the folder.
    if (const std::string fault = FileNameFault(entry.file_name); !fault.empty()) {
      MsgBox(W("Nom de test no vàlid"), W("El test «") + entry.file_name + W("» de ") + kGeneratedIndexName +
                                            W(" té un nom que ") + fault + W("; no s'obre."));
      if (!has_chosen_) engine_.set_opened(false);
      return;
    }
    if (engine_.LoadTest(TestFileName(entry.file_name), "Tema: " + entry.description)) {
      chosen_ = entry;
      has_chosen_ = true;
    } else if (!has_chosen_) {
      // The test on screen did not come from the list: there is nothing to export.
      engine_.set_opened(false);
    }
    // Otherwise the test still shown is the one chosen before, and the export names that one.
  }
}

void RunnerWindow::Export() {
  const std::string name = chosen_.file_name + ".txt";
  if (const Status status = ExportTest(engine_, chosen_.description, name); !status.ok()) {
    ShowStatus(status);
    return;
  }
  OpenWrittenFileOrSay(name);
}

void RunnerWindow::RepeatMistakes() {
  if (!engine_.corrected()) return;
  if (MistakeItems(engine_).empty()) {
    Message(W("Res a repetir"), W("Totes les respostes són correctes: no hi ha errades ni qüestions en blanc per repetir."),
            kMbOk | kMbIconInformation);
    return;
  }
  GeneratedTestEntry entry;
  if (const Status status = WriteMistakesTest(engine_, &entry); !status.ok()) {
    ShowStatus(status);
    return;
  }
  TakeAtOnce(entry);
}

void RunnerWindow::TakeAtOnce(const GeneratedTestEntry& entry) {
  // As a test chosen from the list.
  engine_.ResetClock();
  engine_.set_opened(true);
  if (engine_.LoadTest(TestFileName(entry.file_name), "Tema: " + entry.description)) {
    chosen_ = entry;
    has_chosen_ = true;
  }
}

void RunnerWindow::DrawReview() {
  if (engine_.count() == 0) return;
  GeneratedTestEntry entry;
  if (const Status status = WriteReviewTest(&engine_, day_, &review_random_, &entry); !status.ok()) {
    ShowStatus(status);
    return;
  }
  TakeAtOnce(entry);
}

void RunnerWindow::ShowTopicResults() {
  if (!engine_.corrected() || engine_.answers().empty()) return;
  ShowList(kTopicResultsTitle, TopicResultLines(engine_.answers(), engine_.topic_index()));
}

void RunnerWindow::ShowHistory() {
  TextList lines;
  // The list shows at most 512 lines: the most recent ones.
  if (const Status status = ScoreHistoryLines(&lines, kScoreHistoryName, kMaxListLines); !status.ok()) {
    ShowStatus(status);
    return;
  }
  // A result picked ("Veure") is scored again under every penalty, when its answers are logged.
  ShowListWithMore(kScoreHistoryTitle, lines, RescoreTitle(), NoAnswersToRescore(),
                   [](int picked, TextList* again) { return RescoreHistoryLine(picked, kMaxListLines, again); });
}

void RunnerWindow::PrintTest() {
  std::string name = engine_.test_name();
  if (UpperCat(name).ends_with(".TGN")) name.resize(name.size() - 4);
  std::vector<PaperQuestion> test;
  std::string description;
  if (const Status read = ReadPaperTest(name, &test, &description); !read.ok()) {
    ShowStatus(read);
    return;
  }
  const uint32_t seed = StartSeed();
  ShowPrintWindow(name, description.empty() ? name : description,
                  [&test, seed](const PrintChoice& choice, double width, double height, const MeasureText& measure) {
                    return PrintPages(test, seed, choice, width, height, measure);
                  });
}

void RunnerWindow::ShowTopicChart() {
  DatedChart chart;
  if (const Status status = ReadTopicProgressChart(&chart, engine_.topic_index()); !status.ok()) {
    ShowStatus(status);
    return;
  }
  ShowDatedChart(chart);
}

void RunnerWindow::ShowChart() {
  DatedChart chart;
  if (const Status status = ReadScoreChart(&chart); !status.ok()) {
    ShowStatus(status);
    return;
  }
  ShowDatedChart(chart);
}

void RunnerWindow::OpenInfo() {
  if (info_.document.empty()) {
    MsgBox(W("Fitxer d'informació?"), W("Està a Zive.cf, no trobat"));
    return;
  }
  OpenDocumentOrSay(info_.document, "Info no trobada");
}

}  // namespace quiz
