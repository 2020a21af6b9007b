#include "filters/dateperiods.h"
#include "filters/textfiltermodel.h"
#include "printing.h"

#include <gtest/gtest.h>

using namespace lg::filters;

namespace {

// Written out month by month, not computed: the quarter of each month and
// the previous quarter, and the last day of each month of 2024 (a leap year).
constexpr int kQuarterFirstMonth[13] = {0, 1, 1, 1, 4, 4, 4, 7, 7, 7, 10, 10, 10};
constexpr int kMonthDays2024[13] = {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int kMonthDays2023[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

DateRange expected(int code, const QDate& today)
{
    const int y = today.year();
    const int m = today.month();
    const int q = kQuarterFirstMonth[m];
    switch (code) {
    case 1: return {QDate(y, 1, 1), today};
    case 2: return {QDate(y, m, 1), QDate(y, m, kMonthDays2024[m])};
    case 3: return {QDate(y, q, 1), QDate(y, q + 2, kMonthDays2024[q + 2])};
    case 4: return {QDate(y, 1, 1), QDate(y, 12, 31)};
    case 5: return m == 1 ? DateRange{QDate(y - 1, 12, 1), QDate(y - 1, 12, 31)}
                          : DateRange{QDate(y, m - 1, 1), QDate(y, m - 1, kMonthDays2024[m - 1])};
    case 6: return q == 1 ? DateRange{QDate(y - 1, 10, 1), QDate(y - 1, 12, 31)}
                          : DateRange{QDate(y, q - 3, 1), QDate(y, q - 1, kMonthDays2024[q - 1])};
    case 7: return {QDate(y - 1, 1, 1), QDate(y - 1, 12, 31)};
    case 8: return {today.addDays(-30), today};
    case 9: return {today.addDays(-60), today};
    case 10: return {today.addDays(-90), today};
    case 11: return {QDate(1980, 1, 1), today.addDays(-30)};
    case 12: return {QDate(1980, 1, 1), today.addDays(-60)};
    case 13: return {QDate(1980, 1, 1), today.addDays(-90)};
    }
    return {};
}

TEST(DatePeriods, EveryCodeInEveryMonthOfAYear)
{
    for (int month = 1; month <= 12; ++month) {
        // The first, the middle and the last day of the month.
        for (int day : {1, 15, kMonthDays2024[month]}) {
            const QDate today(2024, month, day);
            EXPECT_FALSE(DatePeriods::range(0, today).has_value());
            for (int code = 1; code <= 13; ++code) {
                const auto range = DatePeriods::range(code, today);
                ASSERT_TRUE(range.has_value());
                EXPECT_EQ(*range, expected(code, today))
                    << "code " << code << " on " << today.toString(Qt::ISODate).toStdString();
            }
        }
    }
    EXPECT_FALSE(DatePeriods::range(14, QDate(2024, 1, 1)).has_value());
    EXPECT_FALSE(DatePeriods::range(-1, QDate(2024, 1, 1)).has_value());
}

TEST(DatePeriods, DayCountsCrossYearsAndLeapDays)
{
    const std::tuple<QDate, int, DateRange> cases[] = {
        {{2024, 1, 15}, 8, {{2023, 12, 16}, {2024, 1, 15}}},
        {{2024, 3, 1}, 8, {{2024, 1, 31}, {2024, 3, 1}}},
        {{2023, 3, 1}, 8, {{2023, 1, 30}, {2023, 3, 1}}},
        {{2024, 3, 31}, 10, {{2024, 1, 1}, {2024, 3, 31}}},
        {{2023, 3, 31}, 13, {{1980, 1, 1}, {2022, 12, 31}}},
        {{2023, 2, 14}, 2, {{2023, 2, 1}, {2023, 2, kMonthDays2023[2]}}},
        {{2023, 3, 31}, 5, {{2023, 2, 1}, {2023, 2, 28}}},
        {{2024, 5, 31}, 6, {{2024, 1, 1}, {2024, 3, 31}}},
    };
    for (const auto& [today, code, range] : cases)
        EXPECT_EQ(DatePeriods::range(code, today), range) << code << " " << today.toString(Qt::ISODate).toStdString();
}

TEST(DatePeriods, CodesListedPerInputType)
{
    EXPECT_EQ(DatePeriods::codesFor(4).size(), 11);
    EXPECT_EQ(DatePeriods::codesFor(5).size(), 14);
    EXPECT_TRUE(DatePeriods::codesFor(1).isEmpty());
    EXPECT_TRUE(DatePeriods::codesFor(2).isEmpty());
    EXPECT_FALSE(DatePeriods::isListed(11, 4));
    EXPECT_TRUE(DatePeriods::isListed(13, 5));
    EXPECT_EQ(DatePeriods::text(0), QStringLiteral("0 - Egyedi"));
    EXPECT_EQ(DatePeriods::text(10), QStringLiteral("A - Elmúlt 90 nap"));
    EXPECT_EQ(DatePeriods::text(13), QStringLiteral("D - Túl a 90 napon"));
}

// The Part's examples, through the quick-fill list of a date filter.
TEST(DatePeriods, QuickFillSetsBothInputsAndTheRange)
{
    const std::tuple<QDate, int, QDate, QDate> cases[] = {
        {{2024, 2, 10}, 3, {2024, 1, 1}, {2024, 3, 31}},
        {{2024, 2, 10}, 6, {2023, 10, 1}, {2023, 12, 31}},
        {{2024, 1, 20}, 5, {2023, 12, 1}, {2023, 12, 31}},
    };
    for (const auto& [today, code, from, to] : cases) {
        TextFilterModel f;
        f.setInputType(TypedInput::DateInput);
        f.setTodayProvider([today] { return today; });
        f.setActive(true);
        f.setQueryField(QStringLiteral("D"));
        QString clicked;
        QObject::connect(&f, &TextFilterModel::fillerClick, [&](const QString& t) { clicked = t; });
        ASSERT_TRUE(f.applyPeriod(code));
        EXPECT_EQ(clicked, DatePeriods::text(code));
        EXPECT_EQ(f.fillerListItemData(), code);
        EXPECT_EQ(f.relationListItemData(), int(TextFilterModel::Between));
        EXPECT_EQ(f.input1Text().toDate(), from);
        EXPECT_EQ(f.input2Text().toDate(), to);
        EXPECT_EQ(f.queryResultSQL(), QStringLiteral("(( D BETWEEN #%1# AND #%2 23.59.59# ))")
                                          .arg(from.toString(QStringLiteral("MM/dd/yyyy")),
                                               to.toString(QStringLiteral("MM/dd/yyyy"))));
    }
    TextFilterModel f;
    f.setInputType(TypedInput::DateInput);
    EXPECT_FALSE(f.applyPeriod(11));  // only type 5 lists it
    f.setInputType(TypedInput::DateInputExtended);
    EXPECT_TRUE(f.applyPeriod(11));
    f.setInputType(TypedInput::TextInput);
    EXPECT_FALSE(f.applyPeriod(1));
}

}  // namespace
