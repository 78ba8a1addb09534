// The stages of a read and a write run, in-process through the session API,
// on a full save of 118 entries whose every field the text carries exactly:
// opening the save; the read mode's decode and export; the write mode's
// import and encode of the whole text; and the comparison of the save with
// a copy that differs in one field of every entry. Each reports the bytes
// it works through per second: the save's for opening, the text's for the
// export and the write, both saves' for the comparison.
//
// The stages repeat in one process, so apart from opening, which gets a new
// image each time, their memory is warm after the first round; what a run
// pays to touch fresh memory shows in whole runs, which bench/compare
// measures.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "save/slots.h"
#include "save_builder/save_builder.h"
#include "session/session.h"

namespace kv5 {
namespace {

// The full save, its text as the read mode writes it, and a copy with the
// voice byte of every entry changed.
struct Inputs {
  Bytes save;
  std::string text;
  Bytes changed;
};

const Inputs& TheInputs() {
  static const Inputs inputs = [] {
    Inputs made;
    builder::SaveBuilder save;
    for (int slot = 1; slot <= kSlotCount; ++slot) save.WithExactValues(slot);
    made.save = save.Build();
    made.text = Session::Open(made.save, "KV5SaveData").session->ExportText().text;
    made.changed = made.save;
    constexpr std::size_t kVoice = 14;
    for (int slot = 0; slot < kSlotCount; ++slot) {
      made.changed[static_cast<std::size_t>(SlotOffset(slot)) + kVoice] ^= 1;
    }
    return made;
  }();
  return inputs;
}

std::unique_ptr<Session> Opened(const Bytes& bytes) {
  std::unique_ptr<Session> session = Session::Open(bytes, "KV5SaveData").session;
  if (!session) std::abort();
  return session;
}

void Open(benchmark::State& state) {
  const Inputs& inputs = TheInputs();
  for (auto _ : state) benchmark::DoNotOptimize(Session::Open(inputs.save, "KV5SaveData"));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(inputs.save.size()));
}

void Export(benchmark::State& state) {
  const Inputs& inputs = TheInputs();
  const std::unique_ptr<Session> session = Opened(inputs.save);
  for (auto _ : state) benchmark::DoNotOptimize(session->ExportText(false));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(inputs.text.size()));
}

void Apply(benchmark::State& state) {
  const Inputs& inputs = TheInputs();
  const std::unique_ptr<Session> session = Opened(inputs.save);
  for (auto _ : state) benchmark::DoNotOptimize(session->ApplyText(inputs.text, "KV5SaveData.txt"));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(inputs.text.size()));
}

void Compare(benchmark::State& state) {
  const Inputs& inputs = TheInputs();
  const std::unique_ptr<Session> old_save = Opened(inputs.save);
  const std::unique_ptr<Session> new_save = Opened(inputs.changed);
  for (auto _ : state) benchmark::DoNotOptimize(old_save->Compare(*new_save));
  state.SetBytesProcessed(state.iterations() * 2 * static_cast<std::int64_t>(inputs.save.size()));
}

BENCHMARK(Open)->Unit(benchmark::kMillisecond);
BENCHMARK(Export)->Unit(benchmark::kMillisecond);
BENCHMARK(Apply)->Unit(benchmark::kMillisecond);
BENCHMARK(Compare)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv5

BENCHMARK_MAIN();
