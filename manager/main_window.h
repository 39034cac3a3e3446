#pragma once
// quizdesk's main window (class "tests"): the buttons, the topic area and the menu, and the
// command table that sends every command to the part that does the work.

#include <map>
#include <random>
#include <string>
#include <vector>

#include "data/info_file.h"
#include "data/question_file.h"
#include "data/topic_index.h"
#include "manager/listings.h"
#include "manager/search.h"
#include "manager/topics.h"
#include "toolkit/gui/window.h"

class QAction;

namespace quiz {

class ManagerWindow : public Window {
 public:
  // Reads Zive.cf (telling the user when it is missing) and builds the window; Initialise then
  // opens the topic index.
  ManagerWindow();
  ~ManagerWindow() override;

 protected:
  // The program ends with its main window: the windows open over it close first, each after its
  // own leave check; when one of them stays open, so does the main window.
  void closeEvent(QCloseEvent* event) override;

 public:

  // The initialisation message: menu, drawing context, caption, the topic index ("Crear-lo?"),
  // the menu's greying.
  void Initialise();
  // A menu command or button by its number.
  void Command(int id);
  // A left click on the client area: over the exit icon it closes the window.
  void Click(int x, int y);
  void DrawTopicArea();
  void UpdateMenu();

  // Choose topic in multiple mode, for a random test: the topics picked in the list
  // "Seleccio arxius de qüestions", all of them in `draw`, in order. The current topic's entry
  // is left at the last one picked (its number does not change). Returns how many were picked
  // (0 for none, kLoopRefused when a list is open already).
  int ChooseTopicsForDraw(std::vector<uint16_t>* draw);
  // Seeds the draws of random tests, once, as the program starts.
  void Seed(uint32_t seed) { random_.seed(seed); }

  QAction* action(int id) const;
  const CurrentTopic& current() const { return current_; }
  const TopicIndex& index() const { return index_; }
  bool copy_structure() const { return copy_structure_; }
  bool read_only() const { return read_only_; }

 private:
  void BuildMenu();
  void BuildControls();
  // Opens the topic index, asking whether to create it when it is missing. False when there is
  // none afterwards.
  bool OpenTopicIndex();
  // Refuses, with a message, a command while a window it would clash with runs its own loop.
  bool Blocked(int id);
  // True for the commands that write to the data folder.
  bool Writes(int id) const;
  // "Carpeta de només lectura", once for the command that would write.
  void SayReadOnly();
  // Finds the current topic again by its file in the index as it is now, its question file
  // opened anew when another program re-laid it out (and, with `reload`, brought up to date).
  // False when there is no current topic (none, or it is gone: then the user is told, the menu
  // greyed) or its file cannot be read (told).
  bool FindCurrentTopic(bool reload);
  // How the current topic's question file is opened: never made anew; only read on a folder
  // that cannot be written.
  QuestionFile::Access BankAccess() const;
  void NewTopic();
  // The topic list's lines, from the index as it is now.
  Status ListTopics(TextList* lines, uint32_t* total, std::vector<TopicEntry>* listed);
  void ChooseTopic();
  void EditParameters();
  void DeleteTopic();
  void RunRunner();
  void ShowInfo();
  void ShowHistory();
  void ShowChart();
  void GenerateTest();
  void GenerateReviewTest();
  void PrintGeneratedTest();
  void ShowTopicChart();
  void ListQuestions();
  void ExportToText();

  InfoFile info_;
  TopicIndex index_;
  CurrentTopic current_;
  QuestionFile bank_;
  Question record_;  // the current question record: the editor's, the listings' and the export's
  SearchHits hits_;  // the last search, for the file named in hits_file_
  std::string hits_file_;
  bool copy_structure_ = false;
  bool read_only_ = false;  // the data folder cannot be written: it is only browsed
  ExportOptions export_options_;  // kept for the run
  std::mt19937 random_;
  std::map<int, QAction*> actions_;
};

}  // namespace quiz
