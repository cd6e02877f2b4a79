// Monthly aggregation over large books.
//   bench_ledger generate DIR   installation in DIR with one data set of
//                               300 accounts and 1,000,000 journal lines
//   bench_ledger run DIR [N]    TukiKanZanCal over it N times (default 3);
//                               prints the medians of wall-clock and CPU
//                               time in seconds
// The books file is DIR/books/big/books.db.

#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "CBooksDatabase.h"
#include "CInstallation.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CManagementDb.h"
#include "KAMOKU_CLASS.h"
#include "S_KANKAMOKU.h"
#include "TUKIKAN.h"

namespace {

// <chrono> does not compile with the CP932 execution character set.
double Now(clockid_t clock) {
  timespec ts;
  ::clock_gettime(clock, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

constexpr int kAccounts = 300;
constexpr int kLines = 1000000;

std::uint8_t ClassOf(int i) {
  static const std::uint8_t classes[] = {
      KAMOKU_CLASS_ASSETS,      KAMOKU_CLASS_ASSETS, KAMOKU_CLASS_LIABILITIES,
      KAMOKU_CLASS_NET_ASSETS,  KAMOKU_CLASS_SALES,  KAMOKU_CLASS_COST_OF_SALES,
      KAMOKU_CLASS_SGA,         KAMOKU_CLASS_SGA,    KAMOKU_CLASS_NON_OPERATING_INCOME,
      KAMOKU_CLASS_SPECIAL_LOSS};
  return classes[i % 10];
}

int Generate(const std::string& dir) {
  if (!CInstallation::WriteSettings(dir, 0, "books/kanri.db", "bench") ||
      !CManagementDb::Create(dir + "/books/kanri.db", 0)) {
    std::fprintf(stderr, "cannot set up %s (does %s/books exist?)\n", dir.c_str(), dir.c_str());
    return 1;
  }
  CBooksDatabase books;
  CBooksDatabase::Company company;
  company.strName = "bench";
  company.strDataID = "BENCH";
  company.nStartYear = 2016;
  company.nStartMonth = 4;
  company.nStartDay = 1;
  company.nEndYear = 2017;
  company.nEndMonth = 3;
  company.nEndDay = 31;
  if (!books.Begin(dir + "/books/big", company)) {
    std::fprintf(stderr, "%s\n", books.GetError().c_str());
    return 1;
  }
  for (int i = 0; i < kAccounts; ++i) {
    CBooksDatabase::Account a;
    a.nCode = static_cast<short>(1000 + i);
    a.strName = "account" + std::to_string(i);
    a.nNo = 1000 + i;
    a.byClass = ClassOf(i);
    a.bySide = (a.byClass == KAMOKU_CLASS_ASSETS || a.byClass == KAMOKU_CLASS_COST_OF_SALES ||
                a.byClass == KAMOKU_CLASS_SGA || a.byClass == KAMOKU_CLASS_SPECIAL_LOSS)
                   ? KAMOKU_KARIKATA
                   : KAMOKU_KASIKATA;
    if (!books.AddAccount(a)) {
      std::fprintf(stderr, "%s\n", books.GetError().c_str());
      return 1;
    }
  }
  static const int days[12] = {30, 31, 30, 31, 31, 30, 31, 30, 31, 31, 28, 31};
  unsigned seed = 12345;
  const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFFFF; };
  for (int n = 0; n < kLines; ++n) {
    const int m = static_cast<int>(next() % 12);
    const int month = (m + 3) % 12 + 1;
    const int year = month >= 4 ? 2016 : 2017;
    const int day = static_cast<int>(next() % static_cast<unsigned>(days[m])) + 1;
    CBooksDatabase::Journal j;
    j.nDate = (year * 100 + month) * 100 + day;
    j.nDebit = static_cast<short>(1000 + next() % kAccounts);
    j.nCredit = static_cast<short>(1000 + next() % kAccounts);
    if (j.nCredit == j.nDebit) j.nCredit = static_cast<short>(1000 + (j.nDebit - 999) % kAccounts);
    j.llAmount = 1 + next() % 1000000;
    j.bSettlement = n % 500 == 0 && month == 3;
    if (j.bSettlement) j.nDate = 20170331;
    if (!books.AddJournal(j)) {
      std::fprintf(stderr, "%s\n", books.GetError().c_str());
      return 1;
    }
  }
  if (!books.Commit(dir + "/books/kanri.db", "", 0, nullptr)) {
    std::fprintf(stderr, "%s\n", books.GetError().c_str());
    return 1;
  }
  return 0;
}

int Run(const std::string& dir, int nRuns) {
  ::setenv(CInstallation::ENV_PROGRAM_DIR, dir.c_str(), 1);
  CJetAccess jet;
  MAXDATACOUNT limits{};
  short count = 0, read = 0;
  if (jet.MasterInit(&limits, &limits) != 0 || jet.Init("TOKA", 0, 0, nullptr) != 0 ||
      jet.SelectDataSet(0) != 0 || jet.GetKanKamokuCount(&count) != 0) {
    std::fprintf(stderr, "cannot open the books in %s\n", dir.c_str());
    return 1;
  }
  std::vector<S_KANKAMOKU> titles(static_cast<std::size_t>(count));
  if (jet.ReadKanKamoku(titles.data(), 0, count, &read, 0) != 0) return 1;
  std::vector<TUKIKAN> table(static_cast<std::size_t>(read) + 1);
  std::memset(table.data(), 0, table.size() * sizeof(TUKIKAN));
  for (short i = 0; i < read; ++i) {
    table[i].nKamokuCode = titles[i].nKamokuCode;
    table[i].nKamokuNo = titles[i].nKamokuNo;
  }
  CKaikei kaikei(&jet, nullptr, nullptr);
  std::vector<double> times, cpuTimes;
  for (int r = 0; r < nRuns; ++r) {
    const double start = Now(CLOCK_MONOTONIC), cpuStart = Now(CLOCK_PROCESS_CPUTIME_ID);
    if (kaikei.TukiKanZanCal(1, 0, 0, table.data(), nullptr) != 0) {
      std::fprintf(stderr, "TukiKanZanCal failed\n");
      return 1;
    }
    times.push_back(Now(CLOCK_MONOTONIC) - start);
    cpuTimes.push_back(Now(CLOCK_PROCESS_CPUTIME_ID) - cpuStart);
  }
  std::sort(times.begin(), times.end());
  std::sort(cpuTimes.begin(), cpuTimes.end());
  std::printf("%.6f %.6f\n", times[times.size() / 2], cpuTimes[cpuTimes.size() / 2]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "generate") == 0) return Generate(argv[2]);
  if (argc >= 3 && std::strcmp(argv[1], "run") == 0)
    return Run(argv[2], argc >= 4 ? std::max(1, std::atoi(argv[3])) : 3);
  std::fprintf(stderr, "usage: bench_ledger generate DIR | run DIR [RUNS]\n");
  return 2;
}
