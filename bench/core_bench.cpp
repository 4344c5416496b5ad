// The core's own work per talk report: counting and the volume for the count, with the unit
// tests' recorder as window services and a host whose getClientID only answers. Every heap
// allocation of the process is counted.
//
//   duckvolt_core_bench [GOOGLE BENCHMARK FLAGS]
//   duckvolt_core_bench --loop N      N reports and nothing else, for callgrind

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "ducking/talk_tracking.h"
#include "plugin/lifecycle.h"
#include "recorder.h"
#include "simulated_host.h"

namespace {
std::uint64_t mallocCalls;  // malloc, calloc and realloc, from C and C++ alike
std::uint64_t newCalls;     // operator new and new[]
}  // namespace

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);

// These take the place of the C library's for the whole process (libstdc++'s operator new
// included) and hand on to its allocator, so free stays the C library's own.
__attribute__((visibility("default"))) void* malloc(std::size_t size) noexcept {
  ++mallocCalls;
  return __libc_malloc(size);
}
__attribute__((visibility("default"))) void* calloc(std::size_t count, std::size_t size) noexcept {
  ++mallocCalls;
  return __libc_calloc(count, size);
}
__attribute__((visibility("default"))) void* realloc(void* pointer, std::size_t size) noexcept {
  ++mallocCalls;
  return __libc_realloc(pointer, size);
}
}

void* operator new(std::size_t size) {
  ++newCalls;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {
constexpr ConnectionId connection = 1;
constexpr ClientId ownClient = 7;
constexpr ClientId otherClient = 5;
constexpr std::size_t recordsKept = 4096;
bool sentNothing;  // a report looked the player up but sent it no volume

HostStatus answerOwnClient(ConnectionId, ClientId* result) {
  *result = ownClient;
  return 0;
}

void startCore() {
  HostFunctions table{};
  table.getClientID = answerOwnClient;
  copyHostFunctions(table);
  setLivePercents(0, 100);
  recorder::reset();
  // Grown once here, so that recording a report allocates nothing.
  recorder::lookups.reserve(recordsKept);
  recorder::messages.reserve(recordsKept);
}

// Another client starts and stops in turn: count 1, lower volume; count 0, restore volume.
void report(int& status) {
  onTalkStatusChange(connection, status, 0, otherClient);
  status ^= 1;
  if (recorder::messages.size() < recordsKept) return;
  if (recorder::lookups.size() != recordsKept) sentNothing = true;
  // clear() keeps the vectors' capacity.
  recorder::lookups.clear();
  recorder::messages.clear();
}

void BM_TalkReport(benchmark::State& state) {
  startCore();
  int status = 1;
  sentNothing = false;
  const std::uint64_t mallocsBefore = mallocCalls;
  const std::uint64_t newsBefore = newCalls;
  for (auto _ : state) report(status);
  // Both read before the counters' own map allocates.
  const double mallocs = double(mallocCalls - mallocsBefore);
  const double news = double(newCalls - newsBefore);
  state.counters["mallocs"] = benchmark::Counter(mallocs, benchmark::Counter::kAvgIterations);
  state.counters["news"] = benchmark::Counter(news, benchmark::Counter::kAvgIterations);
  if (sentNothing || recorder::messages.size() != recorder::lookups.size())
    state.SkipWithError("a report sent no volume");
}
BENCHMARK(BM_TalkReport);

// The simulated host describes and records every call for its transcripts: a host-side
// cost that the host benchmarks leave out by answering getClientID directly.
void BM_SimulatedHostGetClientID(benchmark::State& state) {
  simhost::reset();
  const HostFunctions table = simhost::table();
  ClientId id = 0;
  const std::uint64_t mallocsBefore = mallocCalls;
  for (auto _ : state) {
    benchmark::DoNotOptimize(table.getClientID(connection, &id));
    if (simhost::state.calls.size() == 4096) simhost::state.calls.clear();
  }
  const double mallocs = double(mallocCalls - mallocsBefore);
  state.counters["mallocs"] = benchmark::Counter(mallocs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SimulatedHostGetClientID);

int loop(unsigned long long reports) {
  startCore();
  int status = 1;
  const std::uint64_t mallocsBefore = mallocCalls;
  for (unsigned long long i = 0; i < reports; ++i) report(status);
  std::printf("reports %llu mallocs %llu\n", reports,
              static_cast<unsigned long long>(mallocCalls - mallocsBefore));
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--loop") == 0)
    return loop(std::strtoull(argv[2], nullptr, 10));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
