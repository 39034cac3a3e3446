#pragma once
// The "Quant a..." box (class "FerSobre") of the manager and the runner.

#include <string>

namespace quiz {

// Shows the box with the program's name, `description` and `contact` (may be empty), and
// returns when it is closed.
void ShowAbout(const std::string& description, const std::string& contact);

// The seven words of its button, one drawn at random at every showing.
inline constexpr const char* kInterjections[] = {"buenu", "Ah!", "Oh!", "vaja!", "hum!", "mmm..", "i vés!"};

// The credit line drawn under the description.
inline constexpr char kCreditAuthor[] = "Equip del Quiz Toolkit";

}  // namespace quiz
