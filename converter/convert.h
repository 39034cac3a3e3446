#pragma once
// Turns a plain text file of questions into question records. The text is a sequence of blocks
// of five lines (the question and its four answers); empty lines may stand between blocks.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "converter/exchange.h"
#include "data/question_format.h"
#include "toolkit/messages.h"
#include "toolkit/status.h"

namespace quiz {

enum class CorrectAnswerMode {
  kFirst = 0,   // answer 1 of every block is the correct one
  kMarked = 1,  // the correct answer is the one that begins with "*"
};

// The name of a mode in the converter's confirmation.
std::string CorrectAnswerModeName(CorrectAnswerMode mode);

// The destination as typed, with ".qst" appended when it holds no "." at all.
std::string DestinationWithExtension(const std::string& typed);

// The question asked before a conversion, cut to 255 characters.
std::string ConversionConfirmText(const std::string& source, const std::string& destination,
                                  CorrectAnswerMode mode);

// The questions of a text, in the order of its blocks, each handed to `add` as it is read (the
// correct answer first, every text as read: the record cuts them). The text's encoding and line
// ends are those ConvertTextFile takes. Stops at the first bad block, or when `add` fails, with
// that status; `messages` shows only the one message of a block without a marked answer.
Status ReadQuestionBlocks(std::string text, CorrectAnswerMode mode, Messages* messages,
                          const std::function<Status(const Question&)>& add);

// Converts `source` and appends its questions, in the converter's layout, to the question file
// `destination` (created when absent); its earlier records are never touched. The source's
// format is the options' when given, else recognised (see DetectSourceFormat); the correct-answer
// mode applies to the five-line text only. A five-line text that starts with a UTF-8 byte-order
// mark, or that is well-formed UTF-8 holding multi-byte characters, is read as UTF-8 (characters
// Windows-1252 lacks become '?'); anything else is Windows-1252. Lines end with CR LF, LF or CR.
//
// On failure the blocks before the failing one stay appended. The only message shown through
// `messages` is the one for a block without a marked answer; every other failure comes back in
// the status alone. `appended`, when given, receives the number of records appended; `report`
// what an exchange format left out or changed.
Status ConvertTextFile(const std::string& source, const std::string& destination,
                       CorrectAnswerMode mode, Messages* messages, uint32_t* appended = nullptr,
                       ImportReport* report = nullptr, const ImportOptions& options = {});

// The report's lines for a person: the questions left out, the characters replaced and the
// texts cut; empty when there is nothing to say.
std::vector<std::string> ReportLines(const ImportReport& report);

}  // namespace quiz
