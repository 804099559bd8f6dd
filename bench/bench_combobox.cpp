// Filling the records combo box: adding items one by one must not rebuild the
// drop-down for every item. Needs an X display (DISPLAY).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/records/RecordFile.h"
#include "app/windows/AppGadgets.h"
#include "app/windows/RecordList.h"
#include "gui/core/EventQueue.h"
#include "gui/core/FrontEnd.h"
#include "gui/core/Gadget.h"
#include "gui/core/Hook.h"
#include "gui/fltk/TFLTKGUIDriver.h"
#include "runtime/Runtime.h"
#include "system/SystemDriver.h"
#include "system/linux/LinuxSystemDriver.h"

namespace {

std::vector<String> Descriptions(int count) {
  std::vector<String> texts;
  texts.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) texts.push_back(S("Record description ") + IntToString(i));
  return texts;
}

Ref<TGadget> window;

Ref<TGadget> NewCombo() { return MakeComboBox(4, 24, 430, 20, window, 0); }

void Fill(const Ref<TGadget>& combo, const std::vector<String>& texts, size_t count) {
  for (size_t i = 0; i < count; ++i) GadgetAddItem(combo, texts[i], 0, -1, String(), nullptr);
}

void BM_Add10000ThenSelectFirst(benchmark::State& state) {
  const auto texts = Descriptions(10000);
  for (auto _ : state) {
    state.PauseTiming();
    auto combo = NewCombo();
    state.ResumeTiming();
    Fill(combo, texts, texts.size());
    GadgetSelectItem(combo, 0);
    benchmark::DoNotOptimize(GadgetSelectedItem(combo));
    state.PauseTiming();
    GadgetFree(combo);
    SystemPollEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Add10000ThenSelectFirst)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ClearThenAdd9999(benchmark::State& state) {
  const auto texts = Descriptions(10000);
  for (auto _ : state) {
    state.PauseTiming();
    auto combo = NewCombo();
    Fill(combo, texts, texts.size());
    GadgetSelectItem(combo, 5000);
    SystemPollEvents();
    state.ResumeTiming();
    // What deleting one record does: empty the list and add the rest again.
    GadgetClearItems(combo);
    Fill(combo, texts, texts.size() - 1);
    GadgetSelectItem(combo, 0);
    benchmark::DoNotOptimize(GadgetSelectedItem(combo));
    state.PauseTiming();
    GadgetFree(combo);
    SystemPollEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ClearThenAdd9999)->Unit(benchmark::kMillisecond)->Iterations(10);

// One keystroke in the find field with 10,000 records: RecordFilter over the
// descriptions, then the combo box emptied and refilled with what it found.
// Iterations alternate between the first state.range(0) characters of
// "description 12" and one character less (a letter typed, then backspace),
// so that every one of them changes the list.
void BM_FindKeystrokeRefill10000(benchmark::State& state) {
  const std::string typed = "description 12";
  const size_t length = static_cast<size_t>(state.range(0));
  const String texts[2] = {WidenString(typed.substr(0, length)), WidenString(typed.substr(0, length - 1))};
  descriptions = Descriptions(10000);
  passwords.assign(10000, TSecret(S("password")));
  recordCount = 10000;
  recordCombo = NewCombo();
  size_t keystroke = 0;
  for (auto _ : state) {
    FindRecords(texts[keystroke++ % 2]);
    benchmark::DoNotOptimize(GadgetItemCount(recordCombo));
  }
  state.counters["shown"] = static_cast<double>(shownRecords.size());
  GadgetFree(recordCombo);
  recordCombo = nullptr;
  SystemPollEvents();
}
BENCHMARK(BM_FindKeystrokeRefill10000)->Arg(1)->Arg(13)->Arg(14)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  RuntimeInit();
  HookInit();
  EventInit();
  SystemInit();
  if (!LinuxSystemDriverInit()) {
    std::fprintf(stderr, "bench_combobox needs an X display (DISPLAY)\n");
    return 1;
  }
  EventQueueInit();
  GadgetInit();
  FrontEndInit();
  FLTKBackEndInit();
  window = MakeWindow(S("Bench"), 0, 0, 640, 300, nullptr, 1 | 64);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  GadgetFree(window);
  window = nullptr;
  return 0;
}
