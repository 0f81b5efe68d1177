// What tallmoor-check prints, as UTF-8 text: the findings in the form that
// editors and CI logs understand ("FILE:LINE: Fehler: text") with a summary
// line, and the result of a dry run. Also the exit status of a check.
#pragma once

#include <string>
#include <vector>

#include "check/script_check.h"
#include "check/simulate.h"

constexpr int ExitClean = 0;     // no findings
constexpr int ExitWarnings = 1;  // warnings only
constexpr int ExitErrors = 2;    // at least one error (or a wrong call)

// `file` is printed as given (it comes from the command line); the texts
// are converted from Windows-1252.
std::string FormatFindings(const std::string& file, const std::vector<Finding>& findings);
int ExitStatusOf(const std::vector<Finding>& findings);

// The report (CR LF as LF) and the list of actions.
std::string FormatSimulation(const SimulationResult& result);
