#pragma once
// The manager's topics: its current topic, the lines of the topic list, the topic area of the
// main window, the menu's greying, and the new-topic and delete-topic steps on the index.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "data/question_file.h"
#include "data/topic_index.h"
#include "toolkit/status.h"
#include "toolkit/text_list.h"

namespace quiz {

// The index holds at most this many topics: the reorder code and the draw list name a topic
// with one byte.
inline constexpr uint16_t kMaxTopics = 255;
// A random test draws from at most this many topics.
inline constexpr size_t kMaxDrawTopics = 40;

// The manager's current topic: its number (0 = none, count + 1 = a new topic being made), the
// number it replaced, and a copy of its entry.
struct CurrentTopic {
  uint16_t number = 0;
  uint16_t previous = 0;
  TopicEntry entry;

  // Makes `n` current; the number it replaces becomes the previous one.
  void Select(uint16_t n) {
    previous = number;
    number = n;
  }
  void Restore() { number = previous; }
};

// "3)Història  25": the topic number, ")", the title, two spaces and the question count.
std::string TopicListLine(uint16_t n, const std::string& title, uint16_t questions);

// The topic list over the whole index: one line per topic, in index order, and the questions
// of all topics. With `make_missing`, makes the folder Bases when it is missing, and every
// missing question file, empty, as the list is read. A topic whose file cannot be read (a bad
// name, a damaged layout, no permission) is listed with "?" and the reason in short after its
// title, and its questions are not counted. An index that is not open lists nothing. `entries`,
// when given, gets the entry of each line, to find the topic a line showed again later.
Status BuildTopicList(const TopicIndex& index, TextList* lines, uint32_t* total, bool make_missing = true,
                      std::vector<TopicEntry>* entries = nullptr);
// " (total qüestions = N)", after the list's title.
std::string TopicListSuffix(uint32_t total);
// True when the order code of a reorder moves at least one topic.
bool OrderChanged(const std::vector<uint8_t>& order);

// The two lines of the main window's topic area: the title split after 56 characters (line 2
// holds characters 57..136), or, with no topic, an empty line and the "per seleccionar" line.
std::pair<std::string, std::string> TopicAreaLines(const CurrentTopic& current);

// Command numbers of the manager's menu and buttons.
namespace command {
inline constexpr int kNew = 101, kOpen = 102, kParameters = 103, kDelete = 106, kGenerate = 107, kReview = 108;
inline constexpr int kEdit = 201, kList = 202, kExport = 210;
inline constexpr int kCopyStructure = 301, kDefaultPenalty = 302;
inline constexpr int kRun = 452, kPrint = 453;
inline constexpr int kInfo = 601, kHistory = 602, kAbout = 603, kDemo = 604, kChart = 605, kTopicChart = 606;
inline constexpr int kExit = 997;
// The "Qüestions" menu as a whole.
inline constexpr int kQuestionsMenu = 200;
}  // namespace command

// Whether a menu item is enabled: the topic's own items (Paràmetres tema, Eliminar tema and the
// Qüestions menu) need a current topic; Obrir and Generar test aleatori need a topic in the
// index. Everything else is always enabled.
bool MenuItemEnabled(int id, uint16_t current_topic, uint16_t topic_count);

// The question asked before a topic is deleted.
std::string DeleteTopicCaption();                     // "* Confirmar eliminació Test *"
std::string DeleteTopicText(const std::string& title);  // " Eliminar "<title>"?"
// Removes the current topic's entry (its question file stays on disk) and leaves no topic
// current; `bank` is closed. The topic is found by its file name wherever it is now, and must
// be as it was read: otherwise kChanged, and nothing changes.
Status DeleteCurrentTopic(TopicIndex* index, CurrentTopic* current, QuestionFile* bank);

// Where the topic `listed` (read earlier) is now, by its file name: its number and entry. A
// topic that no entry names any more is a kNotFound status that says so ("Tema desaparegut").
Status FindTopic(TopicIndex* index, const TopicEntry& listed, uint16_t* n, TopicEntry* entry);

// Finds the current topic again by its question file name after the index may have changed
// (a reorder, another program): its number becomes its place now and its entry is read anew.
// When no entry names its file any more, no topic is current and the status (kNotFound) says
// so. With no topic current nothing is done; not for use while a new topic is being made.
Status RelocateCurrentTopic(TopicIndex* index, CurrentTopic* current);

// "Nou" at the limit: refused before any window opens.
Status CheckRoomForTopic(const TopicIndex& index);

}  // namespace quiz
