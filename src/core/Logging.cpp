#include "Logging.h"

namespace parlino {

Q_LOGGING_CATEGORY(lcEditing, "parlino.editing", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSynthesis, "parlino.synthesis", QtInfoMsg)
Q_LOGGING_CATEGORY(lcNet, "parlino.net", QtInfoMsg)
Q_LOGGING_CATEGORY(lcApp, "parlino.app", QtInfoMsg)

} // namespace parlino
