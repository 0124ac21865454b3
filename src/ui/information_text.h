#pragma once

#include <QString>

#include "table/open_table.h"

namespace quillet {

// The information box's four lines, each ended by CR LF: the path as the open dialog gave it,
// the version's description, the number of records and the last update as day/month/year.
QString InformationText(const QString& path, const OpenTable& table);

}  // namespace quillet
