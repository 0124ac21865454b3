#pragma once

#include <QString>

#include "table/open_table.h"

namespace quillet {

// A field's type, length and decimals as the list's header tip and the details panel give them:
// "Numeric (N), length 12, 2 decimals".
QString FieldFacts(const OpenTable& table, int field);

}  // namespace quillet
