// SPDX-License-Identifier: MIT
// Compiles a generated source of 200,000 statements and measures, in the same run, the
// input/output floor: reading the source once and writing a file of the compiled size. The
// counter "ratio" is compile time divided by that floor; the counters "compile_cpu_ms" and
// "floor_cpu_ms" are the processor time of each, the rest of the wall time was spent waiting.
// Each benchmark runs five times and reports the median (and mean and spread) of the five.
//
// BM_CompileAgainstFloor branches to labels above the branch, as the scene scripts do; in
// BM_CompileForwardBranchesAgainstFloor most branches name a label further down, so that the
// compile counts the statements ahead up to nearly every label: its slowest case.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "SourceGenerator.h"
#include "compiler/CompileDriver.h"
#include "compiler/CompiledScript.h"
#include "platform/FileSystem.h"
#include "platform/LineSink.h"

namespace {

using Clock = std::chrono::steady_clock;

// The processor time of this thread, in seconds: where a wall time is larger, the thread waited
// (for the disk, or for a processor that other programs held).
double CpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::string BenchDirectory() {
  static const std::string dir = [] {
    std::string pattern = "/tmp/zelk-bench-XXXXXX";
    return std::string(::mkdtemp(pattern.data()));
  }();
  return dir;
}

void WriteSource(const std::string& path, int statements, bool forwardBranches = false) {
  std::ofstream(path, std::ios::binary)
      << zelk::bench::GenerateSource(statements, 1, forwardBranches);
}

// Reads the source once and writes a file of the compiled size, in the same block sizes that
// the compiler uses.
double FloorSeconds(zelk::FileSystem& files, const std::string& source, const std::string& output,
                    std::size_t outputSize) {
  const auto start = Clock::now();
  std::unique_ptr<char[]> buffer(new char[1 << 18]());
  auto in = files.OpenRead(source);
  while (in->Read(buffer.get(), 1 << 16) > 0) {
  }
  in->Close();
  auto out = files.Create(output);
  for (std::size_t left = outputSize; left > 0;) {
    const std::size_t n = std::min<std::size_t>(left, 1 << 18);
    out->Write(buffer.get(), n);
    left -= n;
  }
  out->Close();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void CompileAgainstFloor(benchmark::State& state, bool forwardBranches) {
  const int statements = static_cast<int>(state.range(0));
  const std::string dir = BenchDirectory();
  WriteSource(dir + "/scene.scr", statements, forwardBranches);

  // The compile alone, as a build tool or an editor runs it: no console.
  const auto hostFiles = zelk::MakeHostFileSystem();
  zelk::FileSystem& files = *hostFiles;
  zelk::NullLineSink out;
  const zelk::CompileJob job{dir + "/scene.scr", dir + "/scene.dat"};

  double compileTotal = 0;
  double floorTotal = 0;
  double compileCpu = 0;
  double floorCpu = 0;
  for (auto _ : state) {
    const double cpuStart = CpuSeconds();
    const auto start = Clock::now();
    const zelk::CompileResult result = zelk::CompileScript(job, files, out, {});
    const double compile = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpuBetween = CpuSeconds();
    if (result.status != zelk::CompileResult::Status::Ok) {
      state.SkipWithError("the generated source did not compile");
      return;
    }
    const double floor =
        FloorSeconds(files, dir + "/scene.scr", dir + "/floor.dat",
                     zelk::HEADER_SIZE + zelk::RECORD_SIZE * static_cast<std::size_t>(statements));
    state.SetIterationTime(compile);
    compileTotal += compile;
    floorTotal += floor;
    compileCpu += cpuBetween - cpuStart;
    floorCpu += CpuSeconds() - cpuBetween;
  }
  const auto perIteration = [&](double seconds) {
    return 1000 * seconds / static_cast<double>(state.iterations());
  };
  state.counters["compile_ms"] = perIteration(compileTotal);
  state.counters["floor_ms"] = perIteration(floorTotal);
  state.counters["ratio"] = compileTotal / floorTotal;
  state.counters["compile_cpu_ms"] = perIteration(compileCpu);
  state.counters["floor_cpu_ms"] = perIteration(floorCpu);
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
void BM_CompileAgainstFloor(benchmark::State& state) {
  CompileAgainstFloor(state, false);
}
void BM_CompileForwardBranchesAgainstFloor(benchmark::State& state) {
  CompileAgainstFloor(state, true);
}
BENCHMARK(BM_CompileAgainstFloor)
    ->Arg(200000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_CompileForwardBranchesAgainstFloor)
    ->Arg(200000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

// "zelk_compile_bench --write-source N FILE" writes a generated source, for the memory script.
int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--write-source") {
    WriteSource(argv[3], std::atoi(argv[2]));
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(BenchDirectory());
  return 0;
}
