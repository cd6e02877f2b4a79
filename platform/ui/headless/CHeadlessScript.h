#pragma once
// The headless script: one step per line, blank lines and lines starting
// with "#" ignored. The last argument of a step is the rest of the line
// after the one blank that ends the argument before it, blanks included.
// Texts arrive as UTF-8 and are kept as CP932.

#include <string>
#include <vector>

#include "WinTypes.h"

enum class StepVerb {
  Expect,
  ExpectPage,
  Choose,
  Cancel,
  Set,
  Click,
  Key,
  Tick,
  Untick,
  File,
  FileCancel,
  Answer,
  Dump,
  Exec,
};

struct ScriptStep {
  StepVerb verb;
  int nLine = 0;          // line number in the script, from 1
  CString strSource;      // the line as written (CP932)
  CString strArg;         // dialog name, row/text, edit text, path, answer text, command
  int nNumber = 0;        // page id, control id, row, virtual-key code, answer id
  BOOL bByText = FALSE;   // choose TEXT / tick code=N rather than an index
  BOOL bHasText = FALSE;  // answer with a text to match
};

class CHeadlessScript {
 public:
  // FALSE with strError set (naming the line) when a line is not a step.
  BOOL Parse(const std::string& strUtf8, CString& strError);
  BOOL LoadFile(const std::string& strPath, CString& strError);

  const std::vector<ScriptStep>& Steps() const { return m_arSteps; }

 private:
  std::vector<ScriptStep> m_arSteps;
};
