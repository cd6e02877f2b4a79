// Reading and writing a file of 1,000,000 account-to-item match lines
// ("item,code,side"), and the heap allocations that do it. The file is taken
// from RX16_BENCH_MATCH_FILE, or made in the temporary folder when unset.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include "_CTextAccessor.h"
#include "_CTextFile.h"

namespace {

std::uint64_t g_nAllocations = 0;

}  // namespace

void* operator new(std::size_t nSize) {
  ++g_nAllocations;
  if (void* p = std::malloc(nSize ? nSize : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr long kLines = 1000000;

#pragma pack(push, 1)
struct Match {
  std::int16_t nItem;
  std::int16_t nCode;
  std::uint8_t nSide;
};
#pragma pack(pop)
static_assert(sizeof(Match) == 5);

const _STAFormat kMatchFormats[] = {
    {"item", 2, 0, 0, 2, FT_SIGNED, 1},
    {"code", 4, 0, 2, 2, FT_SIGNED, 1},
    {"side", 1, 0, 4, 1, FT_UNSIGNED, 1},
};

Match MatchOf(long i) {
  return {static_cast<std::int16_t>(1 + i % 43), static_cast<std::int16_t>(100 + (i * 7919) % 9000),
          static_cast<std::uint8_t>(i % 2)};
}

std::string MatchFile() {
  if (const char* pszPath = std::getenv("RX16_BENCH_MATCH_FILE")) return pszPath;
  const std::string path =
      (std::filesystem::temp_directory_path() / "rx16_bench_match.txt").string();
  std::ofstream out(path, std::ios::binary);
  for (long i = 0; i < kLines; ++i) {
    const Match m = MatchOf(i);
    out << m.nItem << ',' << m.nCode << ',' << int{m.nSide} << '\n';
  }
  return path;
}

void BM_ReadMatch(benchmark::State& state) {
  const std::string path = MatchFile();
  Match rec{};
  _CTextAccessor acc("G_MATCH", kMatchFormats, 3, &rec);
  acc.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  long nLines = 0;
  std::uint64_t nAllocations = 0;
  std::int64_t nSum = 0;
  for (auto _ : state) {
    _CTextFile file;
    if (file.Open(path.c_str(), _CTextFile::TF_READ) != 0) {
      state.SkipWithError("cannot open the match file");
      return;
    }
    file.Attach(&acc);
    const std::uint64_t nBefore = g_nAllocations;
    long nResult;
    while ((nResult = acc.Read()) == 0) {
      nSum += rec.nItem + rec.nCode + rec.nSide;
      ++nLines;
    }
    nAllocations += g_nAllocations - nBefore;
    if (nResult != 1) {
      state.SkipWithError("format error in the match file");
      return;
    }
    file.Close();
  }
  benchmark::DoNotOptimize(nSum);
  state.SetItemsProcessed(nLines);
  state.counters["lines"] = static_cast<double>(nLines) / state.iterations();
  state.counters["allocs_per_line"] = nLines ? static_cast<double>(nAllocations) / nLines : 0;
}
BENCHMARK(BM_ReadMatch)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteMatch(benchmark::State& state) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "rx16_bench_match_out.txt").string();
  Match rec{};
  _CTextAccessor acc("G_MATCH", kMatchFormats, 3, &rec);
  acc.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  std::uint64_t nAllocations = 0;
  for (auto _ : state) {
    _CTextFile file;
    if (file.Open(path.c_str(), _CTextFile::TF_WRITE | _CTextFile::TF_TRUNCATE) != 0) {
      state.SkipWithError("cannot create the output file");
      return;
    }
    file.Attach(&acc);
    const std::uint64_t nBefore = g_nAllocations;
    for (long i = 0; i < kLines; ++i) {
      rec = MatchOf(i);
      if (acc.Write() != 0) {
        state.SkipWithError("write failed");
        return;
      }
    }
    nAllocations += g_nAllocations - nBefore;
    file.Close();
  }
  std::filesystem::remove(path);
  const double nLines = static_cast<double>(kLines) * state.iterations();
  state.SetItemsProcessed(static_cast<std::int64_t>(nLines));
  state.counters["allocs_per_line"] = static_cast<double>(nAllocations) / nLines;
}
BENCHMARK(BM_WriteMatch)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
