#pragma once

// Dates are stored as text "YYYY-MM-DD HH:MM:SS", always with the time part:
// a date without time is that day at midnight, a time without date lies on
// 1899-12-30 (day zero of Jet's day numbers), and text order is chronological.

#include <QtCore/QDateTime>
#include <QtCore/QString>
#include <QtCore/QStringView>

#include <optional>

namespace lg::jetsql {

QString toCanonicalDate(const QDateTime& value);
// Also accepts a bare "YYYY-MM-DD" (midnight). Nullopt for anything else.
std::optional<QDateTime> fromCanonicalDate(QStringView text);

}  // namespace lg::jetsql
