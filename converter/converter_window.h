#pragma once
// qstconv's window (class "WindowsApp"): the text file, the question file and the mode, and the
// conversion once the user confirms.

#include <string>

#include "converter/convert.h"
#include "toolkit/gui/window.h"

namespace quiz {

class ConverterWindow : public Window {
 public:
  // Control numbers.
  static constexpr int kSourceEdit = 100;
  static constexpr int kSourceBrowse = 5;
  static constexpr int kFirstMode = 20;
  static constexpr int kMarkedMode = 21;
  static constexpr int kDestinationEdit = 110;
  static constexpr int kDestinationBrowse = 6;
  static constexpr int kConvert = 1;
  static constexpr int kHelp = 10;

  ConverterWindow();

  CorrectAnswerMode mode() const { return mode_; }
  const std::string& source() const { return source_; }
  const std::string& destination() const { return destination_; }

  // The commands of the buttons.
  void Convert();
  void BrowseSource();
  void BrowseDestination();
  void SetMode(CorrectAnswerMode mode);

 private:
  void ShowMode();

  std::string source_;
  std::string destination_;
  CorrectAnswerMode mode_ = CorrectAnswerMode::kFirst;
};

}  // namespace quiz
