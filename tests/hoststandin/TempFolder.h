#pragma once
// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.

#include <filesystem>
#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  // Writes bytes to a file below the folder, creating its folders.
  void Write(const std::filesystem::path& relative, const std::string& bytes) const;
  std::string Read(const std::filesystem::path& relative) const;

 private:
  std::filesystem::path m_path;
};
