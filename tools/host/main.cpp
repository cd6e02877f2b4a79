// The host stand-in program: one command per run.

#include <iostream>
#include <string>
#include <vector>

#include "HostBooksCommands.h"
#include "HostInit.h"
#include "HostUsage.h"
#include "JournalCommand.h"
#include "LaunchCommand.h"
#include "ProgramVersion.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << HostUsage::Text();
    return HostUsage::EXIT_USAGE;
  }
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "init") return HostInit().Run(args);
  if (command == "add-books") return HostBooksCommands::AddBooks(args);
  if (command == "import-journal") return JournalCommand::Run(args);
  if (command == "export-books") return HostBooksCommands::ExportBooks(args);
  if (command == "list") return HostBooksCommands::List(args);
  if (command == "launch") return LaunchCommand().Run(args);
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << HostUsage::Text();
    return HostUsage::EXIT_OK;
  }
  if (command == "--version" || command == "-V") {
    std::cout << "QT10.EXE " << kProgramVersion << "\n";
    return HostUsage::EXIT_OK;
  }
  std::cerr << "QT10.EXE: unknown command " << command << "\n" << HostUsage::Text();
  return HostUsage::EXIT_USAGE;
}
