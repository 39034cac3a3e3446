#pragma once
// A counted list of texts, in order, handed to the list viewer.

#include <cstdint>
#include <string>
#include <vector>

namespace quiz {

struct TextList {
  std::vector<std::string> items;  // item 1 first, each at most 255 characters
  size_t count() const { return items.size(); }
};

// Appends `s` cut to 255 characters.
void TextListAdd(TextList& list, std::string_view s);
void TextListClear(TextList& list);

}  // namespace quiz
