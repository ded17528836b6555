#pragma once

#include <QDateTime>
#include <QStringView>

#include <optional>

namespace sim {

// An xs:dateTime text as an instant. A text without a zone designator is taken as UTC, so two
// such texts still give the interval between them the client meant.
std::optional<QDateTime> parseXmlDateTime(QStringView text);

} // namespace sim
