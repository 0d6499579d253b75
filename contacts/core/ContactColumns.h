#pragma once

#include "store/ContactColumns.h"

namespace ContactColumns {

// The caption the user knows a column by, for messages about it.
QString caption(const QString &table, const QString &column);

} // namespace ContactColumns
