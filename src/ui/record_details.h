#pragma once

#include <QString>
#include <cstdint>

#include "table/open_table.h"

namespace quillet {

// The details panel's page for one record: each listed field's name, type and whole value
// (memo texts with their line breaks), as HTML for a QTextBrowser.
QString RecordDetailsHtml(const OpenTable& table, std::int64_t record, char decimalSeparator);

}  // namespace quillet
