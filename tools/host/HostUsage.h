#pragma once
// Exit codes and the usage text of the host program.

#include <string>

class HostUsage {
 public:
  static constexpr int EXIT_OK = 0;
  static constexpr int EXIT_FAILED = 1;  // the command ran and failed
  static constexpr int EXIT_USAGE = 2;   // the command line was wrong

  static std::string Text();
};
