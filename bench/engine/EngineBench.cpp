// CFinGaiSum::Run, aggregation and file, over two sets of books:
//   BM_RunSample  the sample farm corporation (data/books/midori) with the
//                 shipped item definitions and default matches;
//   BM_RunBig     the 1,000,000-line books that `bench_ledger generate DIR`
//                 makes, when RX16_BENCH_BIG_DIR names that DIR, with every
//                 account matched to one of the account-mapped items.
// Both write their XML file into a scratch folder.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "BooksCsvImporter.h"
#include "CFinGaiSum.h"
#include "CInstallation.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CManagementDb.h"
#include "CSetGaiFile.h"
#include "CHostObjects.h"
#include "MAXDATACOUNT.h"
#include "ProgramResources.h"

CJetAccess* g_pJetAccess = nullptr;
CKaikei* g_pKaikei = nullptr;

namespace {

// The books of one installation opened as the program opens them, with the
// settings the wizard would hand to the engine.
struct Books {
  CJetAccess jet;
  CKaikei kaikei{&jet, nullptr, nullptr};
  _SG_CONDITION cond{};
  CArray<S_KANKAMOKU, S_KANKAMOKU> arKamoku;
  CArray<_SG_MATCH, _SG_MATCH> arMatch;
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> arInitBody;

  bool Open(const std::string& strProgramDir, const std::string& strOut) {
    ::setenv(CInstallation::ENV_PROGRAM_DIR, strProgramDir.c_str(), 1);
    MAXDATACOUNT limits{};
    if (jet.MasterInit(&limits, &limits) != 0 || jet.Init("TOKA", 0, 0, nullptr) != 0 ||
        jet.SelectDataSet(0) != 0) {
      return false;
    }
    CSetGaiFile files(nullptr, FALSE);
    files.m_strInitFolder = RX16_SOURCE_DIR "/data/";
    if (!files.LoadSettings(jet.GetSelectedDataPath(), cond, arMatch, arInitBody)) return false;
    cond.nKikanFrom = 4;
    cond.nKikanTo = 3;
    std::snprintf(cond.szOutPath, sizeof cond.szOutPath, "%s", strOut.c_str());
    g_pJetAccess = &jet;
    g_pKaikei = &kaikei;
    return true;
  }

  void Run(benchmark::State& state) {
    for (auto _ : state) {
      CFinGaiSum sum(nullptr);
      if (!sum.Init(cond, &arKamoku, &arMatch, &arInitBody, 2) || !sum.Run(nullptr)) {
        state.SkipWithError("the run failed");
        return;
      }
    }
  }
};

std::string ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "rx16-bench-XXXXXX").string();
  return ::mkdtemp(pattern.data());
}

void BM_RunSample(benchmark::State& state) {
  const std::string strRoot = ScratchDir();
  CInstallation installation;
  BooksCsvImporter importer;
  Books books;
  if (!CInstallation::WriteSettings(strRoot, 0, "kanri.db", "ハルモア１０") ||
      !CManagementDb::Create(strRoot + "/kanri.db", 0) || !installation.Load(strRoot) ||
      !importer.Import(installation, RX16_SOURCE_DIR "/data/books/midori") ||
      !books.Open(strRoot, strRoot + "/out.xml")) {
    state.SkipWithError("cannot set up the sample books");
  } else {
    books.Run(state);
  }
  std::filesystem::remove_all(strRoot);
}
BENCHMARK(BM_RunSample)->Unit(benchmark::kMillisecond);

void BM_RunBig(benchmark::State& state) {
  const char* szDir = std::getenv("RX16_BENCH_BIG_DIR");
  const std::string strOutDir = ScratchDir();
  Books books;
  if (szDir == nullptr || !books.Open(szDir, strOutDir + "/out.xml")) {
    state.SkipWithError("RX16_BENCH_BIG_DIR names no books made by bench_ledger generate");
  } else {
    // The generated books have their own chart: spread its accounts over the
    // account-mapped items, one match each.
    short nCount = 0, nRead = 0;
    books.jet.GetKanKamokuCount(&nCount);
    books.arKamoku.resize(static_cast<std::size_t>(nCount));
    books.jet.ReadKanKamoku(books.arKamoku.data(), 0, nCount, &nRead, 0);
    books.arMatch.clear();
    std::size_t nItem = 0;
    for (short i = 0; i < nRead; ++i) {
      do {
        nItem = (nItem + 1) % books.arInitBody.size();
      } while (std::strcmp(books.arInitBody[nItem].szSeikaku, "") == 0 ||
               std::strcmp(books.arInitBody[nItem].szSeikaku, "0") == 0);
      books.arMatch.push_back({books.arInitBody[nItem].nGaiNo, books.arKamoku[i].nKamokuCode, 1});
    }
    books.arMatch.push_back({});
    books.Run(state);
  }
  std::filesystem::remove_all(strOutDir);
}
BENCHMARK(BM_RunBig)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  RegisterProgramResources();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
