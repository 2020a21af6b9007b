#include <QtCore/QDateTime>
#include <QtCore/QFile>

#include <cmath>

#include "daotest.h"
#include "platform/dao/tsv.h"

using namespace lg::dao;

TEST(TsvValue, FormatsEveryKindOfValue)
{
    EXPECT_EQ(formatTsvValue(Value()), QString());
    EXPECT_EQ(formatTsvValue(QString()), QString());
    EXPECT_EQ(formatTsvValue(QStringLiteral("a\tb\nc\\d\re")), QStringLiteral("a\\tb\\nc\\\\d\\re"));
    EXPECT_EQ(formatTsvValue(qlonglong(-42)), QStringLiteral("-42"));
    EXPECT_EQ(formatTsvValue(3.0), QStringLiteral("3"));
    EXPECT_EQ(formatTsvValue(0.1), QStringLiteral("0.1"));
    EXPECT_EQ(formatTsvValue(-2.5e-7), QStringLiteral("-2.5e-07"));
    const double third = 1.0 / 3.0;
    EXPECT_EQ(formatTsvValue(third).toDouble(), third);  // reads back the same
    EXPECT_EQ(formatTsvValue(qlonglong(-1), FieldType::YesNo), QStringLiteral("-1"));
    EXPECT_EQ(formatTsvValue(qlonglong(1), FieldType::YesNo), QStringLiteral("-1"));
    EXPECT_EQ(formatTsvValue(true), QStringLiteral("-1"));
    EXPECT_EQ(formatTsvValue(QDateTime(QDate(2004, 10, 3), QTime(0, 0))), QStringLiteral("2004-10-03"));
    EXPECT_EQ(formatTsvValue(QDateTime(QDate(2004, 10, 3), QTime(0, 0, 1))), QStringLiteral("2004-10-03 00:00:01"));
    EXPECT_EQ(formatTsvValue(QStringLiteral("árvíztűrő")), QStringLiteral("árvíztűrő"));
}
