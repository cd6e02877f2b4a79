#pragma once
// The modes an argument beginning with "-" selects: the host never starts
// the program so (its launch line begins with the window number), and a
// first argument that is neither is refused with the usage (exit 2) before
// anything is taken or written. CCommandLineUsage holds the texts. Each mode
// reads the installation the program sits in, writes only what it is asked
// for, and reports on standard error in UTF-8. The report modes take no
// guard; the batch holds those of a run by hand (see CBatchRun).
//
//   --report DATA_ID [--pdf OUT.pdf] [--json]
//   --report-file REPORT.xml [--pdf OUT.pdf] [--json]
//   --batch OUTDIR [--jobs N] [DATA_ID ...]
//   --help, -h; --version, -V
//
// Exit codes: 0 done, nothing to look at; 1 done, with something to look at
// (report: warnings; batch: a data set skipped or failed); 2 could not run
// (also for an unknown option, after the usage).

class CCommandLineModes {
 public:
  static constexpr int EXIT_DONE = 0;
  static constexpr int EXIT_WARNINGS = 1;
  static constexpr int EXIT_FAILED = 2;

  // True unless the command line is empty or the host's launch line.
  static bool IsMode(int argc, const char* const* argv);
  // Runs the mode; the process exit code.
  static int Run(int argc, char** argv);
};
