#pragma once

#include <QLoggingCategory>

namespace parlino {

// Debug log categories. Debug output is off unless enabled, for example with
// QT_LOGGING_RULES="parlino.*.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcEditing)
Q_DECLARE_LOGGING_CATEGORY(lcSynthesis)
Q_DECLARE_LOGGING_CATEGORY(lcNet)
Q_DECLARE_LOGGING_CATEGORY(lcApp)

} // namespace parlino
