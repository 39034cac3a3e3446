#include "toolkit/text_list.h"

#include "toolkit/text.h"

namespace quiz {

void TextListAdd(TextList& list, std::string_view s) {
  list.items.push_back(CutText(s, kMaxShownText));
}

void TextListClear(TextList& list) { list.items.clear(); }

}  // namespace quiz
