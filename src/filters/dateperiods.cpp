#include "filters/dateperiods.h"

#include "filters/typedinput.h"
#include "platform/strings.h"

namespace lg::filters {

QList<int> DatePeriods::codesFor(int inputType)
{
    const int last = inputType == TypedInput::DateInputExtended ? 13 : inputType == TypedInput::DateInput ? 10 : -1;
    QList<int> codes;
    for (int code = 0; code <= last; ++code)
        codes.append(code);
    return codes;
}

bool DatePeriods::isListed(int code, int inputType)
{
    return codesFor(inputType).contains(code);
}

QString DatePeriods::text(int code)
{
    return code >= kFirstCode && code <= kLastCode ? LoadResString(30005 + code) : QString();
}

std::optional<DateRange> DatePeriods::range(int code, const QDate& today)
{
    const int y = today.year();
    const int m = today.month();
    const QDate monthStart(y, m, 1);
    const int quarterMonth = (m - 1) / 3 * 3 + 1;
    const QDate quarterStart(y, quarterMonth, 1);
    const QDate longAgo(1980, 1, 1);
    switch (code) {
    case 1: return DateRange{QDate(y, 1, 1), today};
    case 2: return DateRange{monthStart, monthStart.addMonths(1).addDays(-1)};
    case 3: return DateRange{quarterStart, quarterStart.addMonths(3).addDays(-1)};
    case 4: return DateRange{QDate(y, 1, 1), QDate(y, 12, 31)};
    case 5: return DateRange{monthStart.addMonths(-1), monthStart.addDays(-1)};
    case 6: return DateRange{quarterStart.addMonths(-3), quarterStart.addDays(-1)};
    case 7: return DateRange{QDate(y - 1, 1, 1), QDate(y - 1, 12, 31)};
    case 8: return DateRange{today.addDays(-30), today};
    case 9: return DateRange{today.addDays(-60), today};
    case 10: return DateRange{today.addDays(-90), today};
    case 11: return DateRange{longAgo, today.addDays(-30)};
    case 12: return DateRange{longAgo, today.addDays(-60)};
    case 13: return DateRange{longAgo, today.addDays(-90)};
    default: return std::nullopt;
    }
}

}  // namespace lg::filters
