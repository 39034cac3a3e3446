#pragma once
// The character references that HTML names ("&eacute;", "&euro;", ...).

#include <string_view>

namespace quiz {

// The characters of the reference `name`, written without "&" and ";" and in its own case
// ("eacute", "Eacute"): most are one character, a few two (`*second` is then not 0). False for a
// name HTML does not give.
bool NamedCharacter(std::string_view name, char32_t* first, char32_t* second);

}  // namespace quiz
