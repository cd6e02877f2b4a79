#pragma once
// A scratch folder for one fuzz target: created once under $TMPDIR (or
// /tmp), filled with the files of each input, removed at exit. Inputs that
// hold several files keep them apart with the record separator byte 0x1E.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class FuzzFolder {
 public:
  static constexpr char kSeparator = '\x1E';

  explicit FuzzFolder(const char* pszName);
  ~FuzzFolder();
  FuzzFolder(const FuzzFolder&) = delete;
  FuzzFolder& operator=(const FuzzFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  // The folder as a program path, with its trailing separator.
  std::string Prefix() const { return m_path.string() + "/"; }

  // Writes bytes as the file strName in the folder; aborts when it cannot,
  // since a target that cannot set up its input tests nothing.
  void Put(const std::string& strName, std::string_view bytes) const;
  void Remove(const std::string& strName) const;
  // Removes everything in the folder.
  void Clear() const;

  // At most nMax pieces of text split at kSeparator; the last piece keeps
  // any further separators.
  static std::vector<std::string_view> Split(std::string_view text, std::size_t nMax);
  // A file of the source tree, read whole; aborts when it is missing.
  static std::string ReadSource(const std::string& strRelative);
  // Makes message boxes silent: each returns its default answer.
  static void SilenceMessages();

 private:
  std::filesystem::path m_path;
};
