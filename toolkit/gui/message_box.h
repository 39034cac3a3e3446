#pragma once
// Message boxes, caption first and text second, each over the window that asks. Flags and results
// keep the desktop's values (toolkit/messages.h). Texts are Windows-1252, cut to 255.

#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/messages.h"
#include "toolkit/status.h"

class QWidget;

namespace quiz {

int MsgBox(const std::string& caption, const std::string& text);
int MsgBoxFlags(const std::string& caption, const std::string& text, uint32_t flags);
int AskYesNo(const std::string& caption, const std::string& text);
int AskYesNoFlags(const std::string& caption, const std::string& text, uint32_t flags);
int AskYesNoCancel(const std::string& caption, const std::string& text);
int AskYesNoCancelFlags(const std::string& caption, const std::string& text, uint32_t flags);

// The window a box belongs to and is shown over: the active window; without one, the window
// whose own loop started last; without one, the program's main window.
QWidget* MessageOwner();

// Every box above goes through here.
int ShowMessageBox(const std::string& caption, const std::string& text, uint32_t flags);

// A failed operation: its caption and its text (the file and the reason), with the stop icon.
void ShowStatus(const Status& status);

// Tests answer the boxes instead of a person: while a responder is set, no box is shown and the
// responder's answer is returned. An empty function removes it.
using MessageResponder =
    std::function<int(const std::string& caption, const std::string& text, uint32_t flags)>;
void SetMessageResponder(MessageResponder responder);

// The core's message interface over these boxes.
class BoxMessages : public Messages {
 public:
  int Message(const std::string& caption, const std::string& text, uint32_t flags) override {
    return ShowMessageBox(caption, text, flags);
  }
};

}  // namespace quiz
