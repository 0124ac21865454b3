#pragma once

// What an exported file must be, read back by a real reader where there is one: the XML by
// libxml2, the SQL script by SQLite, CSV by an RFC 4180 reader; the HTML rows, the RTF groups
// and the worksheet's record chain by their structure. A broken file aborts with the reason.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "export/export_settings.h"

namespace quillet::fuzzing {

// A broken promise stops the fuzzer at once, saying which, so that the finding it saves comes
// with the reason.
inline void Require(bool condition, const char* what, const std::string& detail = {}) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s%s%s\n", what, detail.empty() ? "" : " ", detail.c_str());
    std::abort();
}

// The shape the export should have.
struct ExpectedShape {
    std::int64_t Records = 0;       // records the filter lets through
    std::size_t Columns = 0;        // selected columns
    bool LastColumnSkipped = false; // the last listed column is not selected
};

void CheckExport(OutputFormat format, const std::string& bytes, const ExpectedShape& shape, const ExportSettings& settings);

}  // namespace quillet::fuzzing
