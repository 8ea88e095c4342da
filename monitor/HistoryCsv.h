// The line history as CSV: one header row, then one row per sample, oldest first.
#pragma once

#include <string>

#include "monitor/LineHistory.h"

namespace tarnwick {

// Each ends in CRLF; fields are quoted as RFC 4180 asks when they need it.
std::string CsvHeader();
std::string CsvRow(const DslSample& sample);
std::string HistoryCsv(const LineHistory& history);

}  // namespace tarnwick
