// Narrowing the records list as a person types into the find field: one
// RecordFilter call over 10,000 descriptions per keystroke.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/records/RecordFilter.h"

namespace {

// Descriptions shaped like imported ones: "site (user)", some with upper case
// and UTF-8 Latin-1 letters, a few of them matching "example".
const std::vector<String>& Descriptions() {
  static const std::vector<String> list = [] {
    const char* const sites[] = {"Bank of Springfield", "mail.example.com", "Forum für Gärten", "GitHub",
                                 "shop.Example.org",    "Café Crème",       "router admin",     "Library card"};
    const char* const users[] = {"alice", "bob.smith@example.net", "ÉLODIE", "", "j.doe"};
    std::vector<String> out;
    out.reserve(10000);
    for (int i = 0; i < 10000; ++i) {
      std::string d = std::string(sites[i % 8]) + " " + std::to_string(i);
      if (*users[i % 5]) d += std::string(" (") + users[i % 5] + ")";
      out.push_back(WidenString(d));
    }
    return out;
  }();
  return list;
}

// One keystroke: the text typed so far is the first state.range(0)
// characters of what is being typed.
void BM_FindPerKeystroke(benchmark::State& state) {
  const std::string typed = "Example.c";
  const String text = WidenString(typed.substr(0, static_cast<size_t>(state.range(0))));
  const auto& list = Descriptions();
  size_t found = 0;
  for (auto _ : state) {
    auto indices = RecordFilter(list, text);
    found = indices.size();
    benchmark::DoNotOptimize(indices.data());
  }
  state.counters["found"] = static_cast<double>(found);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(list.size()));
}

// A Latin-1 letter typed in upper case, which folds through the UTF-8 path.
void BM_FindUtf8Letter(benchmark::State& state) {
  const String text = WidenString("CAFÉ");
  const auto& list = Descriptions();
  for (auto _ : state) benchmark::DoNotOptimize(RecordFilter(list, text).size());
}

}  // namespace

BENCHMARK(BM_FindPerKeystroke)->DenseRange(0, 9)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindUtf8Letter)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
