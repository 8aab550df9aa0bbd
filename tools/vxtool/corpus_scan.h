#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "data_file_report.h"

class CodePage;

struct CorpusScanOptions {
    std::vector<std::string> roots;  // folders or data files
    ReportSettings report;
    bool summary = false;   // a table over the whole corpus instead of one JSON line per data file
    bool progress = false;  // a count and the current folder on standard error, now and then
};

// Walks the roots for data files (.cdd in any letter case) and reports on each. Symbolic links
// to folders are not followed, so links cannot loop; folders that cannot be read are counted
// and skipped. Only regular files are read, and nothing is written into the scanned folders.
// Returns the exit status: 0, or 1 when a root does not exist.
int ScanCorpus(const CorpusScanOptions& options, const CodePage& codePage, std::ostream& out, std::ostream& errors);
