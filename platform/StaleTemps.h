#pragma once
// Hidden temporary files carry the number of the process that made them, so
// that a later run can tell the leftovers of a process that died (killed, or
// its clean-up failed) from the files of a run still going.

#include <string>

namespace platform {

// The name of a temporary file or folder for strName made by this process:
// "." + strName + ".tmp-" + PID + "-" + strUnique.
std::string TempName(const std::string& strName, const std::string& strUnique);

// Removes (with everything inside, for a folder) each entry of strOsFolder
// whose name is strPrefix, then any text, then strMarker (when not empty),
// then a process number and "-" or ".", where no process of that number is
// running. Entries of other names and of live processes stay; failures are
// not reported, as the leftovers only take room.
void RemoveStaleTemps(const std::string& strOsFolder, const std::string& strPrefix,
                      const std::string& strMarker = "");

// RemoveStaleTemps for the temporary files TempName gives strOsFile's name.
void RemoveStaleTempsOf(const std::string& strOsFile);

}  // namespace platform
