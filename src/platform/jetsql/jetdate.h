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

// The canonical form of the inside of a Jet date literal (#...#): month/day/
// year with an optional time ("1:2:3 PM", "23.59.59"), year-month-day, or a
// time alone. Nullopt when it is not a valid date.
std::optional<QString> parseDateLiteral(QStringView literal);

// Jet day numbers: whole days since 1899-12-30, the fraction is the time.
std::optional<double> canonicalToDayNumber(QStringView text);
QString dayNumberToCanonical(double days);

}  // namespace lg::jetsql
