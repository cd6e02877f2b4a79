#pragma once
// The chart of Japanese account titles that imported journals are matched
// against: for each title its class, side, account code and number, and a
// display name. Titles that share a code are one account (売上高 and
// 農産物売上高 both are the sample chart's sales account 401), so the
// shipped item definitions and default mappings pick them up as they pick up
// the sample chart's accounts. Titles are matched without regard to full- or
// half-width forms, blanks, （） against (), and a trailing 勘定.

#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

class StandardChart {
 public:
  struct Title {
    std::string m_strName;   // CP932, as the chart file writes it
    std::string m_strClass;  // a class of BooksFolderReader::Classes()
    bool m_bCredit = false;
    int m_nCode = 0;            // 0: none given, Complete() chooses one
    int m_nNumber = 0;          // 0: none given, Complete() chooses one
    std::string m_strDispName;  // CP932; empty: the title as the journal writes it
    bool m_bHidden = false;
    std::string m_strWhere;  // file and line, for messages
    int m_nOrder = 0;        // place in the files read
  };

  // The name under which a title is looked up (CP932 in and out).
  static std::string Key(const std::string& strName);
  // The clearing account 諸口 in CP932.
  static const std::string& ClearingName();

  // Reads a chart file: columns name, class, side, and optionally code,
  // number, display_name, hidden; a title read before is replaced. False
  // with m_arError set on any problem.
  bool Load(const std::filesystem::path& path);
  // Chooses a free code and number in its class's range for each title
  // that has none, and checks that titles sharing a code agree.
  bool Complete();
  const Title* Find(const std::string& strName) const;
  // One title per account code, the first the files give for it, by number.
  std::vector<const Title*> Accounts() const;

  std::vector<std::string> m_arError;

 private:
  std::unordered_map<std::string, Title> m_mapTitle;
  int m_nOrder = 0;
};
