#pragma once
// Message boxes as the core asks for them. The core decides what to ask and in which order; the
// window layer shows the box (caption first, text second) and hands back the button pressed.
// Flags and results keep the values of the desktop the programs were designed for.

#include <cstdint>
#include <string>

namespace quiz {

// Buttons.
inline constexpr uint32_t kMbOk = 0x00;
inline constexpr uint32_t kMbYesNoCancel = 0x03;
inline constexpr uint32_t kMbYesNo = 0x04;
// Icons.
inline constexpr uint32_t kMbIconStop = 0x10;
inline constexpr uint32_t kMbIconQuestion = 0x20;
inline constexpr uint32_t kMbIconExclamation = 0x30;
inline constexpr uint32_t kMbIconInformation = 0x40;

// Buttons pressed.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

class Messages {
 public:
  virtual ~Messages() = default;
  // Shows a message box; texts are Windows-1252. Returns the button pressed.
  virtual int Message(const std::string& caption, const std::string& text, uint32_t flags) = 0;
};

}  // namespace quiz
