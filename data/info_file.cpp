#include "data/info_file.h"

#include "toolkit/files.h"

namespace quiz {

bool ReadInfoFile(InfoFile* info, const std::string& name) {
  *info = InfoFile{};
  TextReader file;
  if (!OpenTextRead(name, &file)) return false;
  file.ReadLine(&info->document);
  file.ReadLine(&info->contact);
  return true;
}

}  // namespace quiz
