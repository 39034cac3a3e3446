#pragma once
// The outcome of a core operation. The core never shows a message: it hands a Status back and the
// window layer shows caption() and text() in a message box.
//
// Every text is Windows-1252, like every other text of the core, and ready to be shown: the
// caption names the problem, the text gives the detail (for file errors, the file and the reason).

#include <string>

namespace quiz {

class [[nodiscard]] Status {
 public:
  enum class Code {
    kOk,
    kNotFound,  // a file that should be there is not
    kIoError,   // the system refused an operation on a file that exists
    kCorrupt,   // the contents of a file are not what its format allows
    kRefused,   // the request itself is not acceptable (bad number, absurd layout, ...)
    kBusy,      // another program kept the file locked for longer than we wait
    kChanged,   // another program changed or removed what was to be written: nothing was
  };

  Status() = default;

  static Status Ok() { return Status(); }
  static Status NotFound(std::string caption, std::string text) {
    return Status(Code::kNotFound, std::move(caption), std::move(text));
  }
  // `err` is the errno value of the failed call; the text becomes "<file>: <reason in Catalan>".
  static Status IoError(std::string caption, const std::string& file, int err);
  static Status Corrupt(std::string caption, std::string text) {
    return Status(Code::kCorrupt, std::move(caption), std::move(text));
  }
  static Status Refused(std::string caption, std::string text) {
    return Status(Code::kRefused, std::move(caption), std::move(text));
  }
  // Caption "Fitxer ocupat"; the text names the file and says that nothing was changed.
  static Status Busy(const std::string& file);
  // Caption "Fitxer canviat"; the text names the file, says that another program changed it
  // (`how`, when given: "esborrat", "reescrit"), what `detail` adds, and that nothing was written.
  static Status Changed(const std::string& file, const std::string& how = "", const std::string& detail = "");

  bool ok() const { return code_ == Code::kOk; }
  Code code() const { return code_; }
  const std::string& caption() const { return caption_; }
  const std::string& text() const { return text_; }
  // caption + ": " + text, for standard error and test failures.
  std::string ToString() const;

 private:
  Status(Code code, std::string caption, std::string text)
      : code_(code), caption_(std::move(caption)), text_(std::move(text)) {}

  Code code_ = Code::kOk;
  std::string caption_;
  std::string text_;
};

// The reason for an errno value, in Catalan (Windows-1252).
std::string ErrorReason(int err);

// Captions of the file errors, shared by every file format.
std::string OpenFailedCaption();    // "No s'ha pogut obrir el fitxer"
std::string ReadFailedCaption();    // "Error de lectura"
std::string WriteFailedCaption();   // "Error d'escriptura"
std::string CreateFolderFailedCaption();  // "No s'ha pogut crear la carpeta"

}  // namespace quiz

// Returns from the calling function when `expr` yields a failed Status.
#define QUIZ_RETURN_IF_ERROR(expr)          \
  do {                                      \
    ::quiz::Status quiz_status_ = (expr);   \
    if (!quiz_status_.ok()) return quiz_status_; \
  } while (false)
