#pragma once
// The control routines the windows are written with: controls addressed by window and number,
// list and combo items numbered from 1 with 0 for none, texts in Windows-1252 cut to 255.

#include <QWidget>

#include <cstdint>
#include <string>

#include "toolkit/gui/window.h"

class QComboBox;
class QLineEdit;

namespace quiz {

// The caption of a window, or the text of a control.
void SetWinText(QWidget* window, const std::string& text);
void AppendWinText(QWidget* window, const std::string& text);
std::string GetWinText(const QWidget* window);

void SetItemText(const Window* dialog, int id, const std::string& text);
std::string GetItemText(const Window* dialog, int id);
// The control's text read as a whole number; *error is set when it is not one (an empty text is
// 0 and no error).
int32_t GetItemInt(const Window* dialog, int id, bool* error);
QWidget* GetItem(const Window* dialog, int id);
void ShowItem(const Window* dialog, int id);
void HideItem(const Window* dialog, int id);

// List boxes.
void ListClear(const Window* dialog, int id);
int ListCount(const Window* dialog, int id);
void ListSelect(const Window* dialog, int id, int i);  // 0 removes the selection
int ListSelected(const Window* dialog, int id);
void ListAdd(const Window* dialog, int id, const std::string& text);
void ListReplace(const Window* dialog, int id, int i, const std::string& text);
std::string ListItem(const Window* dialog, int id, int i);
std::string ListSelectedItem(const Window* dialog, int id);

// Every text a field holds is stored in Windows-1252: a typed, pasted or dropped text with a
// character it cannot hold ("α", "→", an emoji) is refused whole where it is typed, and a tip by
// the field names the characters (a label named kRefusedTipName in the field's window, for a
// few seconds or until the next edit). Every line of a window (Window::Add) and every editable
// drop-down box gets this.
void AcceptOnlyStorable(QLineEdit* line);
inline constexpr char kRefusedTipName[] = "refusedtip";
// The tip's text for the refused characters.
QString RefusedCharactersTip(const QString& refused);

// Makes a drop-down box editable as the desktop the programs were designed for makes it: what is
// typed stays as typed (Qt would complete it from the list, "1" becoming "1/4"), Enter keeps the
// text in the box and leaves the list as it was filled, and the list is only built when it is
// first opened.
void MakeEditable(QComboBox* box);

// Combo boxes: one item per non-empty piece of a text separated by ';'.
void ComboFill(const Window* dialog, int id, const std::string& text);
void ComboSelect(const Window* dialog, int id, int i);

}  // namespace quiz
