#pragma once
// A small data folder for the runner's tests, written into the current folder: topic 1
// "HISTORIA" (layout 50/40/2/0, 5 questions) and topic 2 "GEO" (120/120/4/100, 3 questions),
// whose question n of topic T reads "Q T n" with the correct answer "bona T n"; the generated
// tests t1 (1/1, 1/2, 2/3, 2/1) and t2 (2/2, 1/5), listed in Generats\Generats.rel.

#include <cstdint>
#include <string>
#include <vector>

#include "data/generated_tests.h"
#include "data/layout.h"
#include "data/question_format.h"
#include "data/topic_index.h"

namespace quiz::testing {

// A topic entry with its title "Tema " + name and the record size of its layout.
TopicEntry TopicOf(const std::string& name, Layout layout);

void AddTopic(TopicIndex* index, uint16_t n, const std::string& name, Layout layout, int questions);
void MakeSampleData();

// The entries of Generats\Generats.rel (a failure to read them fails the test).
std::vector<GeneratedTestEntry> GeneratedEntries();

// The questions of a file of the converter's records (read only; a failure fails the test).
std::vector<Question> ConverterBank(const std::string& name);

}  // namespace quiz::testing
