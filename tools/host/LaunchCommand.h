#pragma once
// "launch DIR [--function N] [--out PATH]": plays the host application
// starting the link component of the installation DIR. It holds the host's
// guard while it prepares, releases it before the component starts (the
// component refuses to run beside a running host), listens on its window's
// socket, starts the component in the program folder with the command line
// "window,message,function,path", reports what the component does to the
// window and prints the outcome it posts back. Exit code: the posted result
// (0 completed, 1 cancelled, 2 error); 2 when nothing was posted or the
// component could not be started.

#include <string>
#include <vector>

class HostWindowListener;

class LaunchCommand {
 public:
  static constexpr int EXIT_COMPLETED = 0;
  static constexpr int EXIT_CANCELLED = 1;
  static constexpr int EXIT_ERROR = 2;

  // The window message the result is posted with (WM_APP + 0x10).
  static constexpr unsigned int RESULT_MESSAGE = 0x8010;
  // The host's guard, held while the host runs.
  static constexpr const char* HOST_GUARD_NAME = "QuillmossQT10";
  static constexpr const char* COMPONENT_NAME = "QT10ToRX16_G";

  int Run(const std::vector<std::string>& arArg);

 private:
  bool ParseArgs(const std::vector<std::string>& arArg);
  bool BuildCommandLine(unsigned long nWindow);
  // Starts the component and waits for it, reporting the window's messages
  // as they come; false when it could not be started.
  bool RunComponent(HostWindowListener& listener);
  void Report(const std::string& strLine);
  // Prints how the component ended and the result it posted; the exit code.
  int ReportOutcome() const;

  std::string m_strDir;
  std::string m_strOut;
  short m_nFunction = 2;
  std::string m_strCmdLine;
  std::string m_strError;
  bool m_bPosted = false;
  long m_nResult = EXIT_ERROR;
  long m_nPostedFunction = 0;
  int m_nChildStatus = 0;
};
