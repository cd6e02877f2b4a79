#pragma once
// A desktop of the test's own: a virtual X server (Xvfb, on the first free
// display) with a window manager (openbox), and the e2e fixture's scratch
// installation. Programs started here show their windows on it; xdotool
// waits for windows and presses keys through the X server, as a user's
// keyboard does. Without Xvfb, openbox or xdotool the test is skipped.

#include <sys/types.h>

#include <string>
#include <vector>

#include "E2eFixture.h"

namespace desktop {

// A program running in the background; its output goes to a file.
struct Child {
  pid_t pid = -1;
  std::string strOutputFile;
};

// A window's frame on the screen, window manager's decorations included.
struct Frame {
  int x = 0, y = 0, width = 0, height = 0;
};

class Desktop : public e2e::E2e {
 protected:
  void SetUp() override;
  // The screen Xvfb makes; set before SetUp runs.
  void UseScreen(int nWidth, int nHeight) {
    m_nScreenWidth = nWidth;
    m_nScreenHeight = nHeight;
  }
  // Whether the frame of the X window lies inside the screen; the frame
  // is reported in the failure message.
  ::testing::AssertionResult FrameInsideScreen(const std::string& strId);
  void TearDown() override;

  // argv[0] is a path; the child gets this process's environment.
  Child Start(const std::vector<std::string>& arArgv);
  // The exit status, or -1 when it has not ended within nSeconds (it is
  // then killed).
  int WaitExit(Child& child, int nSeconds);

  // xdotool with these arguments; its standard output, and whether it
  // succeeded.
  bool Xdo(const std::vector<std::string>& arArg, std::string* pOutput = nullptr);
  // Waits (at most 20 s) for a shown window whose title matches the
  // regular expression and is not one of arIgnored; makes it the active
  // window and returns its id, "" when none came.
  std::string WaitWindow(const std::string& strTitle,
                         const std::vector<std::string>& arIgnored = {});
  // The shown windows whose title matches.
  std::vector<std::string> ShownWindows(const std::string& strTitle);
  // Whether the window is still shown after nMilliseconds, checked every
  // 50 ms (false as soon as it is gone).
  bool StaysShown(const std::string& strTitle, const std::string& strId, int nMilliseconds);
  // Waits (at most 20 s) until the window is no longer shown.
  bool WaitGone(const std::string& strTitle, const std::string& strId);
  // Key presses (xdotool key names: "alt+e", "Tab", "F8") and typed text,
  // to whatever window has the keyboard focus.
  void Keys(const std::vector<std::string>& arKey);
  void Type(const std::string& strText);

 private:
  std::vector<pid_t> m_arChildren;  // started and not yet waited for
  int m_nScreenWidth = 1280;
  int m_nScreenHeight = 1024;
  pid_t m_xvfb = -1;
  pid_t m_wm = -1;
  std::string m_strXdotool;
};

// The full path of a program found in PATH, "" when there is none.
std::string Which(const std::string& strName);

}  // namespace desktop
