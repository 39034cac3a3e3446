#pragma once
// Question banks in the exchange formats of the learning platforms, next to the converter's own
// five-line text. Aiken: the question on one line, each option on its own line ("A. " or "A) "),
// then "ANSWER: A"; questions apart by empty lines. GIFT: "::name:: text { =right ~wrong
// #feedback ####general feedback }", questions apart by empty lines, "//" comments. Moodle XML:
// <quiz><question type="multichoice"> with <questiontext>, <answer fraction="100"> and
// <generalfeedback>. Sources in these formats are UTF-8.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/question_format.h"
#include "toolkit/status.h"

namespace quiz {

enum class SourceFormat { kText, kAiken, kGift, kMoodle };

// The format named after --format ("text", "aiken", "gift", "moodle"); false for another name.
bool SourceFormatNamed(std::string_view name, SourceFormat* format);

// The format of a source: GIFT for a name ending in ".gift", Moodle XML for one ending in ".xml"
// (in any case); else Aiken when a line in its first 64 KB starts with "ANSWER:"; else the
// five-line text.
SourceFormat DetectSourceFormat(std::string_view name, std::string_view bytes);

struct ImportOptions {
  std::optional<SourceFormat> format;  // recognised when not given
  bool true_false = false;             // GIFT true/false questions become "Cert" / "Fals"
};

// What an import read, left out and changed.
struct ImportReport {
  uint32_t read = 0;                  // questions handed on
  std::vector<std::string> skipped;   // one line each: which question, where, and why
  std::vector<std::string> noted;     // questions added that another tool may read otherwise
  uint32_t replaced = 0;              // characters Windows-1252 cannot hold, now "?"
  uint32_t cut = 0;                   // texts longer than their field in a record
};

// Reads an Aiken source (UTF-8, with or without a byte-order mark) and hands each question that
// fits a record to `add`, the correct answer first, the others in their order; a question of two
// or three options leaves the last answers empty. A question of one option or more than four is
// left out and named in the report. Stops at the first question it cannot read (no "ANSWER:",
// an answer letter it does not list, a line that is no option), or at bytes that are not UTF-8,
// with a status that names the question and the line; the questions before it have been handed
// on.
Status ReadAiken(std::string_view bytes, ImportReport* report, const std::function<Status(const Question&)>& add);

// What an export left out: one line per question ("Qüestió <n>: no s'ha escrit, <why>").
using LeftOut = std::vector<std::string>;

// The questions as an Aiken text in UTF-8: the correct answer is option A, the empty answers
// are left out. Aiken has no place for a comment. A question whose text or right answer is
// empty, or whose text reads as an option or an answer line (Aiken has no escape), is left out
// and named in `left_out`.
std::string WriteAiken(const std::vector<Question>& questions, LeftOut* left_out = nullptr);

// Reads a GIFT source (UTF-8, with or without a byte-order mark) as ReadAiken reads Aiken. A
// question of one right answer ("=") and one to three wrong ones ("~") becomes a record; its
// general feedback ("####") becomes the comment and the answers' own feedback is dropped. A blank
// in the middle of the text ("text {=a ~b} text") is shown as "_____". Categories and comments
// are passed over; true/false questions become "Cert" / "Fals" only with `true_false`; every other
// kind (short answer, matching, numeric, essay, several right answers, more than four options) is
// left out and named in the report. Stops at a brace that is never closed.
Status ReadGift(std::string_view bytes, bool true_false, ImportReport* report,
                const std::function<Status(const Question&)>& add);

// The questions as a GIFT text in UTF-8; the comment is the general feedback. Every text reads
// back as it was, also in other GIFT readers: special characters escaped, a text that starts like
// a format mark marked plain, explicit weights on the answers of a question where one starts like
// a weight, the wrong answers first where the right one holds "->", a comment of blanks left out.
// A question whose text or right answer is empty is left out and named in `left_out`.
std::string WriteGift(const std::vector<Question>& questions, LeftOut* left_out = nullptr);

// Reads a Moodle XML source as ReadGift reads GIFT: a "multichoice" question of one answer with
// fraction 100 and one to three others of no credit becomes a record, its general feedback the
// comment; HTML texts lose their tags and entities; "truefalse" questions need `true_false`;
// categories are passed over and every other type is named and left out. Stops at XML that is
// not well formed, naming the line.
Status ReadMoodleXml(std::string_view bytes, bool true_false, ImportReport* report,
                     const std::function<Status(const Question&)>& add);
// The same, parsing the whole document at once: slower on a large quiz, and holding all of it in
// memory, it is the reading that the usual one (a question at a time) is checked against.
Status ReadMoodleXmlWhole(std::string_view bytes, bool true_false, ImportReport* report,
                          const std::function<Status(const Question&)>& add);

// The questions as a Moodle XML quiz in UTF-8, texts as plain text. A question whose text or
// right answer is empty, or that holds a control character (XML 1.0 has no way to write one), is
// left out and named in `left_out`.
std::string WriteMoodleXml(const std::vector<Question>& questions, LeftOut* left_out = nullptr);

// Writes the questions of the topic whose question file is `topic` (the name the topic index of
// the current folder gives it, in any case) to `destination` in Aiken, GIFT or Moodle XML,
// replacing the file whole.
// `written` gets the number of questions written, `left_out` those that were not, and why.
Status ExportTopic(SourceFormat format, const std::string& topic, const std::string& destination, uint32_t* written,
                   LeftOut* left_out = nullptr);

// Counts in the report the texts of `q` longer than the converter's fields.
void CountCuts(const Question& q, ImportReport* report);

}  // namespace quiz
