#include "manager/generation.h"

#include <algorithm>

#include "toolkit/cp1252.h"
#include "toolkit/paths.h"
#include "toolkit/text.h"

namespace quiz {

uint32_t AvailableQuestions(const std::vector<DrawTopic>& topics) {
  uint32_t available = 0;
  for (const DrawTopic& t : topics) available += t.count;
  return available;
}

std::vector<TestItem> DrawTest(const std::vector<DrawTopic>& topics, uint32_t n, std::mt19937* random) {
  // One pool per topic that has questions: the draw list is the list of pools.
  struct Pool {
    uint16_t topic;
    std::vector<uint16_t> left;
  };
  std::vector<Pool> pools;
  for (const DrawTopic& t : topics) {
    if (t.count == 0) continue;
    Pool pool{t.number, std::vector<uint16_t>(t.count)};
    for (uint16_t q = 0; q < t.count; ++q) pool.left[q] = static_cast<uint16_t>(q + 1);
    pools.push_back(std::move(pool));
  }
  n = std::min(n, AvailableQuestions(topics));
  std::vector<TestItem> items;
  items.reserve(n);
  auto uniform = [random](size_t m) { return std::uniform_int_distribution<size_t>(0, m - 1)(*random); };
  while (items.size() < n && !pools.empty()) {
    const size_t p = uniform(pools.size());
    Pool& pool = pools[p];
    const size_t r = uniform(pool.left.size());
    items.push_back({pool.topic, pool.left[r]});
    // The last one takes the drawn one's place: the questions left keep equal chances.
    pool.left[r] = pool.left.back();
    pool.left.pop_back();
    if (pool.left.empty()) pools.erase(pools.begin() + static_cast<std::ptrdiff_t>(p));
  }
  return items;
}

DrawNames ProposedNames(const std::vector<uint16_t>& chosen, uint16_t topic_count, const std::string& file_name,
                        const std::string& title) {
  if (chosen.size() == 1) return {file_name, title};
  if (chosen.size() == topic_count) return {"tots", "tots"};
  std::string numbers;
  for (uint16_t t : chosen) {
    if (!numbers.empty()) numbers += ",";
    numbers += IntToText(t);
  }
  return {numbers, numbers};
}

std::string ProposedFileName(const std::string& base, const std::vector<GeneratedTestEntry>& entries) {
  int32_t sequence = 1;
  for (const GeneratedTestEntry& e : entries) {
    const size_t underscore = e.file_name.find('_');
    const std::string stem = underscore == std::string::npos ? std::string() : e.file_name.substr(0, underscore);
    if (stem == base) ++sequence;
  }
  return base + "_" + IntToText(sequence);
}

Status ReadTestSize(const std::string& text, uint32_t* n) {
  int32_t value = 0;
  if (!ItemTextToInt(text, &value) || value < 1 || value > 255) {
    *n = 0;
    return Status::Refused(W("error en el nº de qüestions"), W("ha de ser un número entre 1 i 255"));
  }
  *n = static_cast<uint32_t>(value);
  return Status::Ok();
}

Status CheckAvailable(uint32_t n, uint32_t available) {
  if (n <= available) return Status::Ok();
  return Status::Refused(W("nº de qüestions superiors a les existents"),
                         W("es generarà un test amb només ") + IntToText(static_cast<int32_t>(available)) +
                             W(" qüestions"));
}

Status CheckTestName(const std::string& name) {
  const std::string cut = CutText(name, 32);
  if (Trim(cut).empty()) return Status::Refused(W("Nom de test no vàlid"), W("Cal un nom per al test."));
  const std::string fault = FileNameFault(cut);
  if (fault.empty()) return Status::Ok();
  return Status::Refused(W("Nom de test no vàlid"), W("El nom «") + cut + W("» ") + fault + ".");
}

}  // namespace quiz
