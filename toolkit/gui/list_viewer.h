#pragma once
// The list window (class "Llista"): shows lines and lets the user pick one, pick several, or
// put them in a new order. Each call runs the window until it closes.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/status.h"
#include "toolkit/text_list.h"

namespace quiz {

// Lines beyond these are not shown; callers keep their lists within them.
inline constexpr size_t kMaxListLines = 512;
// An order code names lines with one byte each.
inline constexpr size_t kMaxReorderLines = 255;

// Each call returns Window::kLoopRefused (-1), without showing anything, while a list window is
// already running (a command of another window asked for a second one).

// The number (from 1) of the line picked, 0 for none or for "Surt".
int ShowList(const std::string& title, const TextList& lines);
// The number of lines picked; `selection` gets their numbers in ascending order.
int ChooseLines(const std::string& title, const TextList& lines, std::vector<uint16_t>* selection);
// As ShowList; `order` gets, for each place, the number the line there had at the start.
int ReorderLines(const std::string& title, const TextList& lines, std::vector<uint8_t>* order);
// As ShowList; a line picked opens a second list, `more_title`, with the lines `more` gives for
// its number. A failure of `more` is shown; when it gives no line, `none_text` is said instead.
void ShowListWithMore(const std::string& title, const TextList& lines, const std::string& more_title,
                      const std::string& none_text, const std::function<Status(int picked, TextList* more)>& more);
// Added after the title of the next showing only.
void SetCaptionSuffix(const std::string& suffix);

// The list window's width for its longest line: 6.5 pixels a character (a half to the even
// neighbour) plus 25, never below 320.
int ListWidthFor(size_t longest_line);

}  // namespace quiz
