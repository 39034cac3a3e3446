#pragma once
// The programs' icons, drawn here in vector form: "Ic0" (the programs' own: an answer sheet),
// "IcPreg" (a question mark), "IcBe" (a green tick), "IcMal" (a red cross), "IcSurt" (an exit
// sign). An unknown name gives the desktop's default (an empty icon).

#include <QIcon>
#include <QPixmap>

#include <string>

namespace quiz {

QPixmap IconPixmap(const std::string& name, int size = 32);
QIcon ResourceIcon(const std::string& name);

}  // namespace quiz
