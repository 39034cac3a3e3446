#include "toolkit/gui/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include "toolkit/gui/qt_text.h"
#include "toolkit/gui/window.h"

namespace quiz {
namespace {

MessageResponder& Responder() {
  static MessageResponder responder;
  return responder;
}

QMessageBox::Icon IconOf(uint32_t flags) {
  switch (flags & 0xF0) {
    case kMbIconStop: return QMessageBox::Critical;
    case kMbIconQuestion: return QMessageBox::Question;
    case kMbIconExclamation: return QMessageBox::Warning;
    case kMbIconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

}  // namespace

QWidget* MessageOwner() {
  if (QWidget* active = QApplication::activeWindow()) return active;
  // No window of ours is active while the desktop gives the focus elsewhere, or between one
  // window closing and the next taking the focus: the box still belongs to the window the
  // person works in.
  if (Window* innermost = Window::InnermostLoop()) return innermost;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    auto* window = qobject_cast<Window*>(top);
    if (window != nullptr && window->isVisible() && !window->running_loop()) return window;
  }
  return nullptr;
}

void SetMessageResponder(MessageResponder responder) { Responder() = std::move(responder); }

int ShowMessageBox(const std::string& caption, const std::string& text, uint32_t flags) {
  const std::string shown_caption(Shown(caption));
  const std::string shown_text(Shown(text));
  if (Responder()) return Responder()(shown_caption, shown_text, flags);

  QMessageBox box(IconOf(flags), ToQString(shown_caption), ToQString(shown_text),
                  QMessageBox::NoButton, MessageOwner());
  switch (flags & 0x0F) {
    case kMbYesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case kMbYesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes: return kIdYes;
    case QMessageBox::No: return kIdNo;
    case QMessageBox::Cancel: return kIdCancel;
    default:
      // Closing a Yes/No/Cancel box with Escape or its frame is Cancel, as on the desktop.
      return (flags & 0x0F) == kMbYesNoCancel ? kIdCancel : kIdOk;
  }
}

int MsgBox(const std::string& caption, const std::string& text) { return ShowMessageBox(caption, text, kMbOk); }
int MsgBoxFlags(const std::string& caption, const std::string& text, uint32_t flags) {
  return ShowMessageBox(caption, text, kMbOk | flags);
}
int AskYesNo(const std::string& caption, const std::string& text) {
  return ShowMessageBox(caption, text, kMbYesNo);
}
int AskYesNoFlags(const std::string& caption, const std::string& text, uint32_t flags) {
  return ShowMessageBox(caption, text, kMbYesNo | flags);
}
int AskYesNoCancel(const std::string& caption, const std::string& text) {
  return ShowMessageBox(caption, text, kMbYesNoCancel);
}
int AskYesNoCancelFlags(const std::string& caption, const std::string& text, uint32_t flags) {
  return ShowMessageBox(caption, text, kMbYesNoCancel | flags);
}

void ShowStatus(const Status& status) {
  if (!status.ok()) MsgBoxFlags(status.caption(), status.text(), kMbIconStop);
}

}  // namespace quiz
