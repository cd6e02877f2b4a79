#pragma once
// What the component's command line can be, for --help and for the message
// after a wrong command line. Texts are UTF-8, in Japanese when the locale
// is Japanese (the first of LC_ALL, LC_MESSAGES and LANG that is set), else
// in English.

#include <string>

class CCommandLineUsage {
 public:
  // The whole help: every form of the command line, the environment
  // variables and the exit codes.
  static std::string Help();
  // The forms of the command line alone, with a pointer to --help.
  static std::string Synopsis();
  // One of two texts (UTF-8 English, CP932 Japanese) as UTF-8, by the locale.
  static std::string Say(const char* pszEnglish, const char* pszJapanese);
  static bool IsJapanese();
};
