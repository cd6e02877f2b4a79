#include "HostUsage.h"

std::string HostUsage::Text() {
  return "usage:\n"
         "  QT10.EXE init DIR [--edition regular|cooperative] [--component PATH] [--data DIR]\n"
         "  QT10.EXE add-books INSTALLATION FOLDER\n"
         "  QT10.EXE import-journal INSTALLATION JOURNAL.csv [--opening BALANCES.csv]\n"
         "      [--accounts CHART.csv] --name NAME --fiscal-start YYYY-MM-DD\n"
         "      --fiscal-end YYYY-MM-DD [--data-id ID] [--net-assets 0|1] [--dry-run]\n"
         "  QT10.EXE export-books INSTALLATION DATASET FOLDER\n"
         "  QT10.EXE list INSTALLATION\n"
         "  QT10.EXE launch INSTALLATION [--function N] [--out PATH]\n"
         "  QT10.EXE --version | --help\n"
         "DATASET is a data ID or a data-set number as list shows it. init links the\n"
         "installation's QT10.EXE, KP10.EXE and component to the installed programs.\n";
}
