#pragma once
// A named guard between processes, standing where Windows has a named file
// mapping: the lock file $XDG_RUNTIME_DIR/NAME.lock (without that variable
// /tmp/NAME-UID.lock), held with flock. A guard exists while a live process
// holds it; the lock goes with the process, so a crash leaves nothing stale.
// The file itself is never deleted: deleting it would let a second holder
// lock a new file while the first still holds the old one.

#include <string>

class NamedGuard {
 public:
  NamedGuard() = default;
  ~NamedGuard();
  NamedGuard(const NamedGuard&) = delete;
  NamedGuard& operator=(const NamedGuard&) = delete;

  // True when some process (this one included) holds the guard of that name.
  static bool IsHeld(const char* name);

  // Takes the guard and holds it until Close or destruction. False when
  // another holder has it or the lock file cannot be opened. The handle is
  // not inherited by child processes.
  bool Create(const char* name);
  void Close();
  bool IsOpen() const { return m_nFd >= 0; }

  static std::string LockPath(const char* name);

 private:
  int m_nFd = -1;
};
