#pragma once
// The open topic's questions outside the editor: their texts for the list viewer, and the whole
// topic as a plain text file.

#include <functional>
#include <string>
#include <string_view>

#include "data/question_file.h"
#include "data/topic_index.h"
#include "toolkit/status.h"
#include "toolkit/text_list.h"

namespace quiz {

// Line k is the text of question k, nothing more.
Status QuestionListLines(const QuestionFile& bank, TextList* lines);
// "Qüestions " + the topic's file name.
std::string QuestionListTitle(const TopicEntry& entry);

// The four choices of the export, kept for the run.
struct ExportOptions {
  bool title = false;       // "Cuestiones " + the title upper-cased, and an empty line
  bool separation = true;   // an empty line after each question
  bool numbering = false;   // "7) " before each question
  bool comments = false;    // "Nota: " + the comment, when there is one
};

// The export's bytes (Windows-1252, lines ended by CR LF): each question, then its answers as
// "a) ", "b) ", ... in stored order (the correct one first).
Status ExportText(const QuestionFile& bank, const TopicEntry& entry, const ExportOptions& options, std::string* bytes);
// The same bytes handed to `sink` a piece at a time (a few hundred kilobytes each).
Status ExportTextTo(const QuestionFile& bank, const TopicEntry& entry, const ExportOptions& options,
                    const std::function<Status(std::string_view)>& sink);
// The export file: the topic's file name + ".txt", in the data folder.
std::string ExportFileName(const TopicEntry& entry);
// Writes the export file whole (`file`, or ExportFileName when empty), replacing one that is
// there; on failure nothing is written.
Status ExportQuestions(const QuestionFile& bank, const TopicEntry& entry, const ExportOptions& options,
                       const std::string& file = "");

}  // namespace quiz
