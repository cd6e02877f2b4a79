#pragma once
// What the command-line modes call to show the report or write its PDF.
// Each starts Qt when it is not running; the PDF needs no display.

#include <string>

#include "CReportModel.h"

// Shows the report window until it is closed; 0, or 2 when Qt cannot start.
int ShowReportWindow(const CReportModel& model, int argc, char** argv);
// Writes the PDF to strPath (UTF-8); false with strError (UTF-8).
bool WriteReportPdf(const CReportModel& model, const std::string& strPath, std::string& strError,
                    int argc, char** argv);
