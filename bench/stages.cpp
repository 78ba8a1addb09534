// The stages of a read and a write run, in-process, on a full save of 118
// entries whose every field the text carries exactly: load, decode pass,
// export; import of the whole text, encode pass; and the comparison of the
// save with a copy that differs in one field of every entry. Each reports
// the bytes it works through per second: the save's for load, decode and
// encode, the text's for export and import, both saves' for the comparison. The stages' console
// messages are discarded; the results are printed as usual.
//
// The stages repeat in one process, so apart from the load, which gets a
// new buffer each time, their memory is warm after the first round; what a
// run pays to touch fresh memory shows in whole runs, which bench/compare
// measures.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogue.h"
#include "compare/compare_saves.h"
#include "save/file.h"
#include "save/save_image.h"
#include "save/slots.h"
#include "save_builder/save_builder.h"
#include "text/text_export.h"
#include "text/text_import.h"
#include "values/entry_pass.h"

namespace kv5 {
namespace {

// Sends what the stages print to /dev/null while it lives.
class Quiet {
 public:
  Quiet() : saved_(dup(1)) {
    std::fflush(stdout);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    close(null);
  }
  ~Quiet() {
    std::fflush(stdout);
    dup2(saved_, 1);
    close(saved_);
  }
  Quiet(const Quiet&) = delete;
  Quiet& operator=(const Quiet&) = delete;

 private:
  int saved_;
};

// A directory of its own with the full save and the text the read mode
// writes from it, made once for all stages.
struct Files {
  std::string directory;
  std::string save_path;
  std::string text_path;
  std::int64_t save_size = 0;
  std::int64_t text_size = 0;
};

std::int64_t FileSize(const std::string& path) {
  File file = File::Open(path, "rb");
  const std::optional<std::int64_t> length = file ? file.Length() : std::nullopt;
  return length.value_or(0);
}

const Files& TheFiles() {
  static const Files files = [] {
    Files made;
    std::string pattern = "/tmp/kv5-stages-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    made.directory = pattern;
    made.save_path = made.directory + "/KV5SaveData";
    made.text_path = made.save_path + ".txt";

    builder::SaveBuilder save;
    for (int slot = 1; slot <= kSlotCount; ++slot) save.WithExactValues(slot);
    const std::vector<std::uint8_t> bytes = save.Build();
    OutputFile out(made.save_path);
    out.Write(bytes.data(), bytes.size());
    if (!out.Commit(OutputFile::Durability::kBuffered)) std::abort();

    Quiet quiet;
    ClearTables();
    BuildFieldCatalogue();
    File in = File::Open(made.save_path, "rb");
    if (!LoadSaveData(in, made.save_path)) std::abort();
    ProcessSaveData(PassDirection::kDecode, TheSaveImage());
    OutputFile text(made.text_path);
    WriteTextFile(text, false);
    made.save_size = FileSize(made.save_path);
    made.text_size = FileSize(made.text_path);
    std::atexit([] {
      const Files& done = TheFiles();
      std::remove(done.save_path.c_str());
      std::remove(done.text_path.c_str());
      std::remove(done.directory.c_str());
    });
    return made;
  }();
  return files;
}

// The tables and the loaded save every stage after the load starts from.
void StartRun(const Files& files) {
  ClearTables();
  BuildFieldCatalogue();
  File in = File::Open(files.save_path, "rb");
  if (!LoadSaveData(in, files.save_path)) std::abort();
}

void Load(benchmark::State& state) {
  const Files& files = TheFiles();
  Quiet quiet;
  for (auto _ : state) {
    File in = File::Open(files.save_path, "rb");
    benchmark::DoNotOptimize(LoadSaveData(in, files.save_path));
  }
  state.SetBytesProcessed(state.iterations() * files.save_size);
}

void DecodePass(benchmark::State& state) {
  const Files& files = TheFiles();
  Quiet quiet;
  StartRun(files);
  for (auto _ : state) ProcessSaveData(PassDirection::kDecode, TheSaveImage());
  state.SetBytesProcessed(state.iterations() * files.save_size);
}

void Export(benchmark::State& state) {
  const Files& files = TheFiles();
  Quiet quiet;
  StartRun(files);
  ProcessSaveData(PassDirection::kDecode, TheSaveImage());
  const std::string path = files.directory + "/export.txt";
  for (auto _ : state) {
    OutputFile text(path);
    WriteTextFile(text, false);
  }
  std::remove(path.c_str());
  state.SetBytesProcessed(state.iterations() * files.text_size);
}

void Import(benchmark::State& state) {
  const Files& files = TheFiles();
  Quiet quiet;
  StartRun(files);
  for (auto _ : state) {
    File text = File::Open(files.text_path, "rb");
    ReadTextFile(text, files.text_path);
  }
  state.SetBytesProcessed(state.iterations() * files.text_size);
}

void EncodePass(benchmark::State& state) {
  const Files& files = TheFiles();
  Quiet quiet;
  StartRun(files);
  File text = File::Open(files.text_path, "rb");
  ReadTextFile(text, files.text_path);
  for (auto _ : state) ProcessSaveData(PassDirection::kEncode, TheSaveImage());
  state.SetBytesProcessed(state.iterations() * files.save_size);
}

void Compare(benchmark::State& state) {
  const Files& files = TheFiles();
  Quiet quiet;
  StartRun(files);
  SaveImage changed = TheSaveImage();
  constexpr std::size_t kVoice = 14;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    changed.bytes[static_cast<std::size_t>(SlotOffset(slot)) + kVoice] ^= 1;
  }
  std::size_t printed = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        CompareSaves(TheSaveImage(), changed, false,
                     [&printed](std::string_view text) { printed += text.size(); }));
  }
  state.SetBytesProcessed(state.iterations() * 2 * files.save_size);
}

BENCHMARK(Load)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodePass)->Unit(benchmark::kMillisecond);
BENCHMARK(Export)->Unit(benchmark::kMillisecond);
BENCHMARK(Import)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodePass)->Unit(benchmark::kMillisecond);
BENCHMARK(Compare)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv5

BENCHMARK_MAIN();
