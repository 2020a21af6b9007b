#pragma once

// The date period codes of a date filter's quick-fill list. Code 0 leaves
// the inputs alone; 1 to 10 are listed for input types 4 and 5, 11 to 13 only
// for 5. Ranges count from an explicit today, so tests and the tool can fix it.

#include <QtCore/QDate>
#include <QtCore/QList>
#include <QtCore/QString>

#include <optional>

namespace lg::filters {

struct DateRange {
    QDate from;
    QDate to;
    bool operator==(const DateRange&) const = default;
};

class DatePeriods {
public:
    static constexpr int kFirstCode = 0;
    static constexpr int kLastCode = 13;

    // The codes the quick-fill list shows for an input type, in list order;
    // empty for types that are not dates.
    static QList<int> codesFor(int inputType);
    static bool isListed(int code, int inputType);

    // The entry's text, "0 - Egyedi" to "D - Túl a 90 napon".
    static QString text(int code);

    // From and to of a code; nothing for code 0 (the inputs stay) and for
    // codes outside 0 to 13.
    static std::optional<DateRange> range(int code, const QDate& today);
};

}  // namespace lg::filters
