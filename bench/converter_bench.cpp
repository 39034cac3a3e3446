// Converting a large text file of questions into a bank: the five-line text, Aiken, GIFT and
// Moodle XML, each next to reading its bytes and writing the bank's.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "bench/bench_files.h"
#include "converter/convert.h"
#include "data/layout.h"
#include "toolkit/files.h"

namespace quiz {
namespace {

// As many blocks as a question file can take, about 25 MB of text.
constexpr uint32_t kBlocks = 65535;
const std::string kText = "preguntes.txt";
const std::string kAiken = "aiken.txt";
const std::string kGift = "preguntes.gift";
const std::string kMoodle = "preguntes.xml";
const std::string kBank = "banc.qst";
const std::string kPlain = "plain.bin";

class NoMessages : public Messages {
 public:
  int Message(const std::string&, const std::string&, uint32_t) override {
    throw std::runtime_error("missatge inesperat");
  }
};

std::string Line(const char* stem, uint32_t n, size_t length) {
  std::string s = stem + std::to_string(n) + " ";
  while (s.size() < length) s += "lorem ipsum dolor sit amet ";
  return s.substr(0, length);
}

size_t text_bytes = 0;
size_t aiken_bytes = 0;
size_t gift_bytes = 0;
size_t moodle_bytes = 0;

// Writes a source for the benchmarks and gives its size.
size_t Put(const std::string& name, const std::string& bytes) {
  if (!ReplaceFile(name, bytes).ok()) throw std::runtime_error("no s'ha pogut escriure " + name);
  return bytes.size();
}

void MakeText() {
  static bool made = false;
  if (made) return;
  bench::EnterScratchFolder();
  std::string text;
  for (uint32_t n = 1; n <= kBlocks; ++n) {
    text += Line("Pregunta ", n, 160) + "\r\n";
    for (int k = 1; k <= 4; ++k) text += Line(k == 2 ? "*Resposta " : "Resposta ", n, 55) + "\r\n";
    text += "\r\n";
  }
  text_bytes = Put(kText, text);
  // The same questions in Aiken.
  std::string aiken;
  for (uint32_t n = 1; n <= kBlocks; ++n) {
    aiken += Line("Pregunta ", n, 160) + "\n";
    for (int k = 1; k <= 4; ++k) aiken += std::string(1, static_cast<char>('A' + k - 1)) + ". " + Line("Resposta ", n, 55) + "\n";
    aiken += "ANSWER: B\n\n";
  }
  aiken_bytes = Put(kAiken, aiken);
  // And in GIFT, with a general feedback each.
  std::string gift;
  for (uint32_t n = 1; n <= kBlocks; ++n) {
    gift += Line("Pregunta ", n, 160) + " {\n";
    for (int k = 1; k <= 4; ++k) gift += (k == 2 ? "=" : "~") + Line("Resposta ", n, 55) + "\n";
    gift += "####" + Line("Comentari ", n, 90) + "\n}\n\n";
  }
  gift_bytes = Put(kGift, gift);
  // And in Moodle XML, as the platform writes it: HTML texts in CDATA, a feedback each.
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n";
  for (uint32_t n = 1; n <= kBlocks; ++n) {
    xml += "  <question type=\"multichoice\">\n    <name><text>Pregunta " + std::to_string(n) + "</text></name>\n";
    xml += "    <questiontext format=\"html\"><text><![CDATA[<p>" + Line("Pregunta ", n, 160) + "</p>]]></text></questiontext>\n";
    xml += "    <generalfeedback format=\"html\"><text><![CDATA[<p>" + Line("Comentari ", n, 90) + "</p>]]></text></generalfeedback>\n";
    xml += "    <single>true</single>\n";
    for (int k = 1; k <= 4; ++k) {
      xml += std::string("    <answer fraction=\"") + (k == 2 ? "100" : "0") + "\" format=\"html\"><text>" +
             Line("Resposta ", n, 55) + "</text><feedback format=\"html\"><text></text></feedback></answer>\n";
    }
    xml += "  </question>\n";
  }
  xml += "</quiz>\n";
  moodle_bytes = Put(kMoodle, xml);
  made = true;
}

// Baselines: read the text, then write as many bytes as the bank will hold (or as the text has)
// and flush them to disk, as the conversion does.
void PlainReadAndWrite(benchmark::State& state, size_t bytes_out, const std::string& source = kText) {
  MakeText();
  const std::string out(bytes_out, 'x');
  for (auto _ : state) {
    benchmark::DoNotOptimize(bench::ReadFileBytes(source));
    bench::WriteFile(kPlain, out, true);
  }
  state.counters["MB"] = static_cast<double>(source == kText    ? text_bytes
                                             : source == kAiken ? aiken_bytes
                                             : source == kGift  ? gift_bytes
                                                                : moodle_bytes) /
                        1e6;
}

void BM_ReadTextWriteSameBytes(benchmark::State& state) {
  MakeText();
  PlainReadAndWrite(state, text_bytes);
}

void BM_ReadTextWriteBankBytes(benchmark::State& state) {
  PlainReadAndWrite(state, size_t{kBlocks} * RecordSizeFor(kConverterLayout));
}

void BM_ConvertTextFile(benchmark::State& state) {
  MakeText();
  NoMessages messages;
  for (auto _ : state) {
    state.PauseTiming();
    ::unlink(kBank.c_str());
    state.ResumeTiming();
    uint32_t appended = 0;
    const Status status =
        ConvertTextFile(kText, kBank, CorrectAnswerMode::kMarked, &messages, &appended);
    if (!status.ok() || appended != kBlocks) throw std::runtime_error(status.ToString());
  }
  state.counters["MB"] = static_cast<double>(text_bytes) / 1e6;
}

void BM_ReadAikenWriteBankBytes(benchmark::State& state) {
  PlainReadAndWrite(state, size_t{kBlocks} * RecordSizeFor(kConverterLayout), kAiken);
}

void BM_ReadGiftWriteBankBytes(benchmark::State& state) {
  PlainReadAndWrite(state, size_t{kBlocks} * RecordSizeFor(kConverterLayout), kGift);
}

// Converts a source in its format (recognised: by its answer lines or its name).
void ConvertExchange(benchmark::State& state, const std::string& source, size_t bytes) {
  MakeText();
  NoMessages messages;
  for (auto _ : state) {
    state.PauseTiming();
    ::unlink(kBank.c_str());
    state.ResumeTiming();
    uint32_t appended = 0;
    ImportReport report;
    const Status status = ConvertTextFile(source, kBank, CorrectAnswerMode::kFirst, &messages, &appended, &report);
    if (!status.ok() || appended != kBlocks) throw std::runtime_error(status.ToString());
  }
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_ConvertAiken(benchmark::State& state) { ConvertExchange(state, kAiken, aiken_bytes); }
void BM_ConvertGift(benchmark::State& state) { ConvertExchange(state, kGift, gift_bytes); }

void BM_ReadMoodleWriteBankBytes(benchmark::State& state) {
  PlainReadAndWrite(state, size_t{kBlocks} * RecordSizeFor(kConverterLayout), kMoodle);
}

void BM_ConvertMoodleXml(benchmark::State& state) { ConvertExchange(state, kMoodle, moodle_bytes); }

BENCHMARK(BM_ReadTextWriteSameBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAikenWriteBankBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertAiken)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadGiftWriteBankBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertGift)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadMoodleWriteBankBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertMoodleXml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadTextWriteBankBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertTextFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quiz
