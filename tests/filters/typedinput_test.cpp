#include "filters/typedinput.h"
#include "printing.h"

#include <gtest/gtest.h>

using namespace lg::filters;

namespace {

struct DateText {
    const char* typed;
    QDate expected;  // invalid: not a date
};

TEST(TypedInput, ForgivingDateForms)
{
    const DateText cases[] = {
        {"2024.01.31.", {2024, 1, 31}},
        {"2024-01-31", {2024, 1, 31}},
        {"2024/1/31", {2024, 1, 31}},
        {"20240131", {2024, 1, 31}},
        {"240131", {2024, 1, 31}},
        {"2024 01 31", {2024, 1, 31}},
        {"2024\\01\\31", {2024, 1, 31}},
        {"2024,1,31", {2024, 1, 31}},
        {" 2024. 01. 31. ", {2024, 1, 31}},
        {"31.01.2024", {2024, 1, 31}},  // the year plainly last
        {"991231", {1999, 12, 31}},
        {"291231", {2029, 12, 31}},
        {"2024.02.29", {2024, 2, 29}},
        {"2023.02.29", {}},
        {"2024.13.01", {}},
        {"20241301", {}},
        {"12345678", {}},
        {"2024.01", {}},
        {"2024.01.31.5", {}},
        {"abc", {}},
        {"", {}},
        {"2024-01-3x", {}},
        {"'; DROP TABLE x", {}},
    };
    for (const DateText& c : cases) {
        const auto parsed = TypedInput::parseDate(QString::fromUtf8(c.typed));
        if (c.expected.isValid()) {
            ASSERT_TRUE(parsed.has_value()) << c.typed;
            EXPECT_EQ(*parsed, c.expected) << c.typed;
        } else {
            EXPECT_FALSE(parsed.has_value()) << c.typed;
        }
    }
}

TEST(TypedInput, TypedDateIsShownInTheFormatWhenFocusLeaves)
{
    for (const char* typed : {"2024.01.31.", "2024-01-31", "2024/1/31", "20240131"}) {
        TypedInput input;
        input.setInputType(TypedInput::DateInput);
        input.setText(QString::fromLatin1(typed));
        ASSERT_TRUE(input.leave()) << typed;
        EXPECT_EQ(input.text(), QStringLiteral("2024.01.31.")) << typed;
        EXPECT_EQ(input.value().toDate(), QDate(2024, 1, 31)) << typed;
    }
    TypedInput input;
    input.setInputType(TypedInput::DateInput);
    input.setFormatString(QStringLiteral("yyyy-mm-dd"));
    input.setValue(QDate(2024, 3, 5));
    EXPECT_EQ(input.text(), QStringLiteral("2024-03-05"));
}

TEST(TypedInput, NumbersInSqlForm)
{
    const std::pair<const char*, const char*> cases[] = {
        {"5", "5"},           {"0", "0"},         {"-0", "0"},         {"007", "7"},
        {"1 000", "1000"},    {"12,5", "12.5"},   {"12.50", "12.5"},   {"-3", "-3"},
        {",5", "0.5"},        {"5,", "5"},        {"1,2,3", nullptr},  {"1.2.3", nullptr},
        {"5x", nullptr},      {"", nullptr},      {"-", nullptr},      {",", nullptr},
        {"1e5", nullptr},     {"5) OR (1=1", nullptr},
        {"12345678901234567890123456789", nullptr},
    };
    for (const auto& [typed, sql] : cases) {
        const auto parsed = TypedInput::parseNumber(QString::fromUtf8(typed));
        if (sql) {
            ASSERT_TRUE(parsed.has_value()) << typed;
            EXPECT_EQ(*parsed, QString::fromLatin1(sql)) << typed;
        } else {
            EXPECT_FALSE(parsed.has_value()) << typed;
        }
    }
}

TEST(TypedInput, FilterValueWeekAndParts)
{
    TypedInput input;
    input.setInputType(TypedInput::DateInput);
    input.setValue(QDate(2024, 3, 5));
    EXPECT_EQ(input.filterValue(), QStringLiteral("03/05/2024"));
    EXPECT_EQ(input.year(), 2024);
    EXPECT_EQ(input.month(), 3);
    EXPECT_EQ(input.day(), 5);

    // Weeks start on Sunday; week 1 is the week of 1 January.
    const std::pair<QDate, int> weeks[] = {
        {{2024, 1, 1}, 1},   // a Monday
        {{2024, 1, 6}, 1},   // Saturday
        {{2024, 1, 7}, 2},   // Sunday starts week 2
        {{2023, 1, 1}, 1},   // a Sunday
        {{2023, 1, 7}, 1},
        {{2023, 1, 8}, 2},
        {{2022, 1, 1}, 1},   // a Saturday: one-day week 1
        {{2022, 1, 2}, 2},
        {{2024, 12, 31}, 53},
        {{2022, 12, 31}, 53},
        {{2023, 12, 31}, 53},
    };
    for (const auto& [date, week] : weeks) {
        input.setValue(date);
        EXPECT_EQ(input.week(), week) << date.toString(Qt::ISODate).toStdString();
    }
}

TEST(TypedInput, BoundsRefuseOutOfOrderValues)
{
    TypedInput input;
    EXPECT_TRUE(input.setMinDate(QDate(1953, 1, 1)));
    EXPECT_FALSE(input.setMaxDate(QDate(1952, 12, 31)));
    EXPECT_EQ(input.maxDate(), QDate(2029, 12, 31));
    EXPECT_FALSE(input.setMinDate(QDate(1898, 12, 31)));
    EXPECT_EQ(input.minDate(), QDate(1953, 1, 1));
    EXPECT_FALSE(input.setMinDate(QDate(2030, 1, 1)));
    EXPECT_TRUE(input.setMaxDate(QDate(2024, 12, 31)));
    EXPECT_TRUE(input.setMinDate(QDate(1899, 1, 1)));
}

TEST(TypedInput, LeavingADateBoxChecksTheBounds)
{
    TypedInput input;
    input.setInputType(TypedInput::DateInput);
    input.setMinDate(QDate(2000, 1, 1));
    input.setMaxDate(QDate(2024, 12, 31));
    const std::pair<const char*, bool> cases[] = {
        {"1999.12.31", false}, {"2000.01.01", true}, {"2024.12.31", true},
        {"2025.01.01", false}, {"", false},          {"x", false},
    };
    for (const auto& [typed, accepted] : cases) {
        input.setText(QString::fromLatin1(typed));
        EXPECT_EQ(input.canLeave(), accepted) << typed;
    }
}

TEST(TypedInput, ReadingAnEarlyDatePutsMinDateIntoTheBox)
{
    TypedInput input;
    input.setInputType(TypedInput::DateInput);
    input.setMinDate(QDate(2000, 1, 1));
    input.setText(QStringLiteral("1999.05.05"));
    EXPECT_EQ(input.value().toDate(), QDate(2000, 1, 1));
    EXPECT_EQ(input.text(), QStringLiteral("2000.01.01."));
}

TEST(TypedInput, NumberKeystrokes)
{
    TypedInput input;
    input.setInputType(TypedInput::NumberInput);
    EXPECT_EQ(input.text(), QStringLiteral("0"));
    input.setText(QStringLiteral("12"));
    const std::tuple<QChar, bool, bool> cases[] = {
        {u'7', false, true},  {u'0', false, true},  {QChar(8), false, true}, {QChar(22), false, true},
        {QChar(3), true, true}, {QChar(3), false, false}, {u'a', false, false}, {u'-', false, false},
        {u' ', false, false}, {u'e', false, false}, {u',', false, true},   {u'.', false, true},
    };
    for (const auto& [c, selectedAll, accepted] : cases)
        EXPECT_EQ(input.acceptsCharacter(c, selectedAll), accepted) << int(c.unicode());
    // One decimal separator only.
    input.setText(QStringLiteral("12,5"));
    EXPECT_FALSE(input.acceptsCharacter(u',', false));
    EXPECT_FALSE(input.acceptsCharacter(u'.', false));
    EXPECT_TRUE(input.acceptsCharacter(u'.', true));

    input.setText(QStringLiteral("abc"));  // pasted
    EXPECT_EQ(input.value(), QVariant(0));
    EXPECT_FALSE(input.canLeave());
    input.setText(QStringLiteral("1 234,5"));
    EXPECT_TRUE(input.canLeave());
    EXPECT_DOUBLE_EQ(input.value().toDouble(), 1234.5);
}

TEST(TypedInput, EscapeRestoresByType)
{
    TypedInput text;
    text.setText(QStringLiteral("abc"));
    text.escape();
    EXPECT_EQ(text.text(), QString());

    TypedInput number;
    number.setInputType(TypedInput::NumberInput);
    number.setText(QStringLiteral("42"));
    number.escape();
    EXPECT_EQ(number.text(), QStringLiteral("0"));

    TypedInput date;
    date.setInputType(TypedInput::DateInput);
    date.setValue(QDate(2024, 3, 5));
    date.setText(QStringLiteral("2024.03.4x"));
    EXPECT_EQ(date.value().toDate(), QDate(2024, 3, 5));  // the last accepted one
    date.escape();
    EXPECT_EQ(date.text(), QStringLiteral("2024.03.05."));
}

TEST(TypedInput, InputTypeSetsTextAndAlignment)
{
    TypedInput input;
    input.setTodayProvider([] { return QDate(2024, 6, 1); });
    input.setText(QStringLiteral("abc"));
    input.setInputType(TypedInput::NumberInput);
    EXPECT_EQ(input.text(), QStringLiteral("0"));
    EXPECT_EQ(input.alignment(), Qt::AlignRight);
    input.setInputType(TypedInput::DateInputExtended);
    EXPECT_EQ(input.text(), QStringLiteral("2024.06.01."));
    input.setInputType(TypedInput::TextInput2);
    EXPECT_EQ(input.text(), QString());
    EXPECT_EQ(input.alignment(), Qt::AlignLeft);
    input.setInputType(TypedInput::NoInput);
    EXPECT_FALSE(input.value().isValid());
}

TEST(TypedInput, ChangeIsRaisedForDatesOnlyWhileTheTextIsADate)
{
    TypedInput input;
    input.setInputType(TypedInput::DateInput);
    int changes = 0;
    int texts = 0;
    QObject::connect(&input, &TypedInput::changed, [&] { ++changes; });
    QObject::connect(&input, &TypedInput::textChanged, [&] { ++texts; });
    for (const char* t : {"2", "20", "2024.0", "2024.01.3", "2024.01.31"})
        input.setText(QString::fromLatin1(t));
    EXPECT_EQ(texts, 5);
    EXPECT_EQ(changes, 2);  // "2024.01.3" and "2024.01.31"

    input.typeToday();
    EXPECT_EQ(input.text(), input.formatDate(QDate::currentDate()));
}

TEST(TypedInput, FailedAssignmentsKeepTheValue)
{
    TypedInput date;
    date.setInputType(TypedInput::DateInput);
    date.setValue(QDate(2024, 3, 5));
    date.setValue(QStringLiteral("not a date"));
    EXPECT_EQ(date.text(), QStringLiteral("2024.03.05."));
    EXPECT_EQ(date.lastAccepted().toDate(), QDate(2024, 3, 5));

    TypedInput number;
    number.setInputType(TypedInput::NumberInput);
    number.setValue(17);
    number.setValue(QStringLiteral("x"));
    EXPECT_EQ(number.text(), QStringLiteral("17"));
}

}  // namespace
