#include "converter/batch.h"

#include "converter/convert.h"
#include "converter/exchange.h"
#include "toolkit/cp1252.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

constexpr char kUsage[] =
    "Ús: qstconv [--data CARPETA] [--marked] [--format FORMAT] [--tf] FITXER_DE_TEXT FITXER_DE_QÜESTIONS\n"
    "    qstconv [--data CARPETA] --export aiken|gift|moodle TEMA FITXER\n"
    "\n"
    "Afegeix les qüestions d'un fitxer de text al fitxer de qüestions, sense obrir cap finestra.\n"
    "El text són blocs de cinc línies: la pregunta i les seves quatre respostes; entre blocs hi\n"
    "pot haver línies buides. El text pot ser UTF-8 o Windows-1252. Un text amb línies\n"
    "\"ANSWER:\" es llegeix en format Aiken (UTF-8): la pregunta, les opcions \"A. ...\" i la\n"
    "línia \"ANSWER: A\". Un fitxer .gift es llegeix en format GIFT (UTF-8):\n"
    "\"pregunta { =correcta ~incorrecta ~incorrecta }\", i un fitxer .xml en Moodle XML.\n"
    "\n"
    "  --data CARPETA  treballa a CARPETA (els noms de fitxer hi són relatius)\n"
    "  --marked   la resposta correcta és la que comença amb \"*\" (si no, ho és la primera)\n"
    "  --format FORMAT  llegeix el text en aquest format: text (els blocs de cinc línies), aiken,\n"
    "             gift o moodle\n"
    "  --tf       les preguntes de cert o fals (GIFT, Moodle) s'afegeixen amb les respostes Cert i\n"
    "             Fals\n"
    "  --export FORMAT TEMA FITXER  escriu les qüestions del tema (el nom del seu fitxer a l'índex\n"
    "             de temes) al FITXER en format aiken, gift o moodle (UTF-8)\n"
    "  --help     mostra aquesta ajuda (només com a primer argument; -h també)\n"
    "  --         el que segueix són noms de fitxer, encara que comencin amb \"-\"\n"
    "\n"
    "Si el fitxer de qüestions no té cap \".\" al nom, s'hi afegeix \".qst\".\n"
    "Surt amb 0 si la conversió s'ha fet i amb 1 si no.\n";

// The reason comes back in the status; nothing is shown while converting.
class SilentMessages : public Messages {
 public:
  int Message(const std::string&, const std::string&, uint32_t) override { return kIdOk; }
};

int RunExport(SourceFormat format, const std::string& topic, const std::string& destination, std::ostream& out,
              std::ostream& err) {
  uint32_t written = 0;
  LeftOut left_out;
  if (const Status status = ExportTopic(format, topic, destination, &written, &left_out); !status.ok()) {
    err << Cp1252ToUtf8(W("No Exportació: ") + status.caption() + ": " + status.text()) << "\n";
    return 1;
  }
  out << Cp1252ToUtf8(W("Exportació finalitzada: ") + IntToText(static_cast<int32_t>(written)) +
                      (written == 1 ? W(" qüestió escrita a ") : W(" qüestions escrites a ")) + destination)
      << "\n";
  for (const std::string& line : left_out) out << Cp1252ToUtf8(line) << "\n";
  return 0;
}

}  // namespace

int RunConverterBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (!arguments.empty() && (arguments[0] == "--help" || arguments[0] == "-h")) {
    out << kUsage;
    return 0;
  }
  CorrectAnswerMode mode = CorrectAnswerMode::kFirst;
  std::vector<std::string> names;
  bool options = true;
  ImportOptions import;
  std::string export_format;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (options && a == "--") {
      options = false;
    } else if (options && a == "--marked") {
      mode = CorrectAnswerMode::kMarked;
    } else if (options && a == "--tf") {
      import.true_false = true;
    } else if (options && (a == "--format" || a == "--export")) {
      if (i + 1 == arguments.size()) {
        err << kUsage;
        return 2;
      }
      const std::string& value = arguments[++i];
      SourceFormat format = SourceFormat::kText;
      if (!SourceFormatNamed(value, &format) || (a == "--export" && format == SourceFormat::kText)) {
        err << Cp1252ToUtf8(W("No Conversió: el format \"") + Utf8ToCp1252(value) + W("\" no existeix; ") +
                            (a == "--export" ? W("n'hi ha tres: aiken, gift i moodle") : W("n'hi ha quatre: text, aiken, gift i moodle")))
            << "\n";
        return 2;
      }
      if (a == "--export") export_format = value;
      else import.format = format;
    } else {
      names.push_back(a);
    }
  }
  if (names.size() != 2) {
    err << kUsage;
    return 2;
  }
  if (!export_format.empty()) {
    SourceFormat format = SourceFormat::kAiken;
    SourceFormatNamed(export_format, &format);
    return RunExport(format, Utf8ToCp1252(names[0]), Utf8ToCp1252(names[1]), out, err);
  }
  const std::string source = Utf8ToCp1252(names[0]);
  const std::string destination = DestinationWithExtension(Utf8ToCp1252(names[1]));
  SilentMessages messages;
  uint32_t appended = 0;
  ImportReport report;
  const Status status =
      ConvertTextFile(source, destination, mode, &messages, &appended, &report, import);
  for (const std::string& line : ReportLines(report)) (status.ok() ? out : err) << Cp1252ToUtf8(line) << "\n";
  if (!status.ok()) {
    err << Cp1252ToUtf8(W("No Conversió: ") + status.caption() + ": " + status.text()) << "\n";
    if (appended == 1) {
      err << Cp1252ToUtf8(W("La qüestió anterior a l'error ja s'ha afegit a ") + destination) << "\n";
    } else if (appended > 1) {
      err << Cp1252ToUtf8(W("Les ") + std::to_string(appended) +
                          W(" qüestions anteriors a l'error ja s'han afegit a ") + destination)
          << "\n";
    }
    return 1;
  }
  const std::string added = appended == 1 ? W("1 qüestió afegida a ")
                                          : std::to_string(appended) + W(" qüestions afegides a ");
  out << Cp1252ToUtf8(W("Conversió finalitzada: ") + added + destination) << "\n";
  return 0;
}

}  // namespace quiz
