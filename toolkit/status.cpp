#include "toolkit/status.h"

#include <cerrno>
#include <cstring>

#include "toolkit/cp1252.h"

namespace quiz {

Status Status::IoError(std::string caption, const std::string& file, int err) {
  return Status(Code::kIoError, std::move(caption), file + ": " + ErrorReason(err));
}

Status Status::Busy(const std::string& file) {
  return Status(Code::kBusy, W("Fitxer ocupat"),
                file + W(": un altre programa hi està escrivint. No s'hi ha canviat res; torneu-ho "
                         "a provar d'aquí a un moment."));
}

Status Status::Changed(const std::string& file, const std::string& how, const std::string& detail) {
  return Status(Code::kChanged, W("Fitxer canviat"),
                file + W(": un altre programa l'ha ") + (how.empty() ? W("canviat") : how) + W(" des que s'ha llegit") +
                    (detail.empty() ? "" : ": " + detail) + W(". No s'hi ha escrit res."));
}

std::string Status::ToString() const {
  if (ok()) return "OK";
  return caption_ + ": " + text_;
}

std::string ErrorReason(int err) {
  switch (err) {
    case ENOENT: return W("no existeix");
    case EACCES:
    case EPERM: return W("no hi ha permís");
    case ENOSPC: return W("el disc és ple");
    case EDQUOT: return W("s'ha superat la quota de disc");
    case EROFS: return W("el sistema de fitxers és només de lectura");
    case EISDIR: return W("és una carpeta");
    case ENOTDIR: return W("una part del camí no és una carpeta");
    case EIO: return W("error d'entrada/sortida del dispositiu");
    case EEXIST: return W("ja existeix");
    case ENAMETOOLONG: return W("el nom és massa llarg");
    case EMFILE:
    case ENFILE: return W("hi ha massa fitxers oberts");
    case EFBIG: return W("el fitxer és massa gran");
    case 0: return W("el fitxer s'ha acabat abans d'hora");
    default: return Utf8ToCp1252(std::strerror(err));
  }
}

std::string OpenFailedCaption() { return W("No s'ha pogut obrir el fitxer"); }
std::string ReadFailedCaption() { return W("Error de lectura"); }
std::string WriteFailedCaption() { return W("Error d'escriptura"); }
std::string CreateFolderFailedCaption() { return W("No s'ha pogut crear la carpeta"); }

}  // namespace quiz
