// SetStreamEcho cost: the unchanged path (no audio-library call, no
// allocation) and the re-applying path (a child out of range).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <atomic>
#include <memory>
#include <new>
#include <vector>

#include "bass/bass_probe.h"
#include "echo_stream.h"

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

void RunEcho(benchmark::State& state, float mix) {
  BassProbe_Reset();
  BassStream stream{};
  stream.handle = BASS_StreamCreate(44100, 2, 0, nullptr, nullptr);
  Kvc_EchoStream echo;
  std::vector<std::unique_ptr<Kvn_ValueChannel>> children;
  const float values[] = {mix, 40.0f, 100.0f, 120.0f, 0.0f};
  for (int i = 0; i < 5; ++i) {
    children.push_back(std::make_unique<Kvn_ValueChannel>(values[i]));
    echo.LinkChild(i, children.back().get());
  }
  echo.SetStreamEcho(&stream);  // first application

  for (auto _ : state) {
    echo.SetStreamEcho(&stream);
    benchmark::ClobberMemory();
  }
  // Counted apart from the timed loop, so the framework's own work stays out.
  constexpr int kCounted = 1000;
  const DWORD callsBefore = BassProbe_CallCount();
  const long allocationsBefore = g_allocations.load();
  for (int i = 0; i < kCounted; ++i) echo.SetStreamEcho(&stream);
  const double allocations = static_cast<double>(g_allocations.load() - allocationsBefore) / kCounted;
  const double calls = static_cast<double>(BassProbe_CallCount() - callsBefore) / kCounted;
  state.counters["bass_calls_per_op"] = calls;
  state.counters["allocations_per_op"] = allocations;
}

void BM_SetStreamEcho_Unchanged(benchmark::State& state) { RunEcho(state, 50.0f); }
void BM_SetStreamEcho_OutOfRangeReapplies(benchmark::State& state) { RunEcho(state, 150.0f); }

BENCHMARK(BM_SetStreamEcho_Unchanged);
BENCHMARK(BM_SetStreamEcho_OutOfRangeReapplies);

}  // namespace

BENCHMARK_MAIN();
