// The stream operation of every effect channel, as the engine calls it:
// - unchanged children, for the plug-ins whose setters have a change test
//   (expected: 0 audio-library calls, 0 allocations per operation);
// - the re-applying path: gargle, parametric equaliser and EAX at every
//   operation, and the echo with a child out of range.
// Prints ns per operation, audio-library calls and allocations per operation.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <atomic>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "../tests/native/plugin_catalog.h"
#include "bass/bass_probe.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }

namespace {

bool HasChangeTest(PluginId id) { return id != PluginId::kGargle && id != PluginId::kParamEQ && id != PluginId::kEAX; }

void RunStreamOperation(benchmark::State& state, const PluginCase& c, float child0) {
  LoadedPlugin library(c);
  if (!library.ok()) {
    state.SkipWithError("plug-in library not loaded");
    return;
  }
  BassProbe_Reset();
  BassStream stream{};
  stream.handle = BASS_StreamCreate(44100, 2, 0, nullptr, nullptr);
  Kvn_Channel* channel = library.InitDLL();
  std::vector<std::unique_ptr<Kvn_ValueChannel>> children;
  for (size_t i = 0; i < c.baseline.size(); ++i) {
    children.push_back(std::make_unique<Kvn_ValueChannel>(i == 0 ? child0 : c.baseline[i]));
    channel->LinkChild(static_cast<int>(i), children.back().get());
  }
  StreamOperation(channel, &stream);  // first application

  for (auto _ : state) {
    StreamOperation(channel, &stream);
    benchmark::ClobberMemory();
  }
  // Counted apart from the timed loop, so the framework's own work stays out.
  constexpr int kCounted = 1000;
  const DWORD callsBefore = BassProbe_CallCount();
  const long allocationsBefore = g_allocations.load();
  for (int i = 0; i < kCounted; ++i) StreamOperation(channel, &stream);
  const double allocations = static_cast<double>(g_allocations.load() - allocationsBefore) / kCounted;
  const double calls = static_cast<double>(BassProbe_CallCount() - callsBefore) / kCounted;
  state.counters["bass_calls_per_op"] = calls;
  state.counters["allocations_per_op"] = allocations;
  delete channel;
}

}  // namespace

int main(int argc, char** argv) {
  for (const PluginCase& c : Plugins()) {
    if (HasChangeTest(c.id)) {
      benchmark::RegisterBenchmark((std::string("Unchanged/") + c.channelName).c_str(),
                                   [&c](benchmark::State& s) { RunStreamOperation(s, c, c.baseline[0]); });
    } else {
      benchmark::RegisterBenchmark((std::string("Reapply/") + c.channelName).c_str(),
                                   [&c](benchmark::State& s) { RunStreamOperation(s, c, c.baseline[0]); });
    }
  }
  const PluginCase& echo = Plugin(PluginId::kEcho);
  benchmark::RegisterBenchmark("OutOfRange/EchoStream",
                               [&echo](benchmark::State& s) { RunStreamOperation(s, echo, 150.0f); });
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
