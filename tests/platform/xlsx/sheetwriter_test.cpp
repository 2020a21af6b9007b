#include "platform/xlsx/sheetwriter.h"
#include "support/testsupport.h"

#include <QtCore/QDateTime>
#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

using namespace lg::xlsx;

namespace {

QString unzip(const QString& zip, const QString& member)
{
    return lg::test::runProgram(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, member}).out;
}

// The XML of cell `ref` (e.g. "B2") in a sheet.
QString cell(const QString& sheet, const QString& ref)
{
    const QRegularExpression re(QStringLiteral("<c r=\"%1\"[^>]*(/>|>.*?</c>)").arg(ref));
    return re.match(sheet).captured(0);
}

QString write(const QString& name, const QList<Column>& columns, const QList<QList<QVariant>>& rows,
              SheetWriter::Options options = {})
{
    const QString path = lg::test::tempPath(name);
    SheetWriter w;
    QString error;
    EXPECT_TRUE(w.open(path, columns, options, error)) << error.toStdString();
    for (const auto& r : rows)
        w.writeRow(r);
    EXPECT_TRUE(w.close(error)) << error.toStdString();
    EXPECT_EQ(w.rowsWritten(), rows.size());
    return path;
}

}  // namespace

TEST(SheetWriter, ColumnKindsDecideTheCells)
{
    const QDateTime noon(QDate(2024, 3, 5), QTime(12, 30));
    const QList<Column> cols = {{QStringLiteral("Auto"), CellKind::Auto},
                                {QStringLiteral("Szöveg"), CellKind::Text},
                                {QStringLiteral("Igen/Nem"), CellKind::Boolean},
                                {QStringLiteral("Dátum"), CellKind::Date}};
    const QString path = write(QStringLiteral("kinds.xlsx"), cols,
                               {{QVariant(qlonglong(42)), QVariant(qlonglong(7)), QVariant(qlonglong(-1)), QVariant(noon)},
                                {QVariant(2.5), QVariant(noon), QVariant(qlonglong(0)), QVariant(QDate(1850, 1, 2))},
                                {QStringLiteral("=1+1"), QVariant(), QStringLiteral("igen"), QVariant(true)},
                                {QVariant(QMetaType::fromType<double>()), QString(), QVariant(false)}});
    const QString sheet = unzip(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    ASSERT_FALSE(sheet.isEmpty());
    EXPECT_TRUE(cell(sheet, QStringLiteral("B1")).contains(QString::fromUtf8("Szöveg")));
    EXPECT_TRUE(cell(sheet, QStringLiteral("A2")).contains(QStringLiteral("<v>42</v>")));
    EXPECT_FALSE(cell(sheet, QStringLiteral("A2")).contains(QStringLiteral("t=")));
    // A number in a text column stays text.
    EXPECT_TRUE(cell(sheet, QStringLiteral("B2")).contains(QStringLiteral("t=\"inlineStr\"")));
    EXPECT_TRUE(cell(sheet, QStringLiteral("B2")).contains(QStringLiteral(">7<")));
    // Jet's -1 / 0 in a Yes/No column: TRUE / FALSE.
    EXPECT_TRUE(cell(sheet, QStringLiteral("C2")).contains(QStringLiteral("t=\"b\"")));
    EXPECT_TRUE(cell(sheet, QStringLiteral("C2")).contains(QStringLiteral("<v>1</v>")));
    EXPECT_TRUE(cell(sheet, QStringLiteral("C3")).contains(QStringLiteral("<v>0</v>")));
    // A text in a Yes/No column stays what it is.
    EXPECT_TRUE(cell(sheet, QStringLiteral("C4")).contains(QStringLiteral(">igen<")));
    EXPECT_TRUE(cell(sheet, QStringLiteral("D2")).contains(QStringLiteral("<v>45356.5208")));  // date and time
    EXPECT_TRUE(cell(sheet, QStringLiteral("D3")).contains(QStringLiteral("1850.01.02")));   // before 1900: text
    EXPECT_TRUE(cell(sheet, QStringLiteral("D4")).contains(QStringLiteral("t=\"b\"")));      // a truth value anywhere
    EXPECT_TRUE(cell(sheet, QStringLiteral("B3")).contains(QStringLiteral("t=\"inlineStr\"")));  // a date in a text column
    EXPECT_FALSE(cell(sheet, QStringLiteral("A4")).contains(QStringLiteral("<f>")));             // never a formula
    // Null and empty texts: no cell at all.
    EXPECT_TRUE(cell(sheet, QStringLiteral("B4")).isEmpty());
    EXPECT_TRUE(cell(sheet, QStringLiteral("A5")).isEmpty());
    EXPECT_TRUE(cell(sheet, QStringLiteral("B5")).isEmpty());
}

TEST(SheetWriter, FullSheetsContinueWithTheCaptionsAndWidthsFollowTheContent)
{
    QList<QList<QVariant>> rows;
    for (int i = 0; i < 7; ++i)
        rows.append({QVariant(qlonglong(i)), QString(QStringLiteral("x")).repeated(i * 10)});
    SheetWriter::Options small;
    small.rowsPerSheet = 3;  // caption + 2 rows
    const QString path = write(QStringLiteral("roll.xlsx"), {{QStringLiteral("N")}, {QStringLiteral("T")}}, rows, small);
    for (int s = 1; s <= 4; ++s) {
        const QString sheet = unzip(path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(s));
        EXPECT_TRUE(cell(sheet, QStringLiteral("A1")).contains(QStringLiteral(">N<"))) << s;
        EXPECT_EQ(sheet.count(QStringLiteral("<row ")), s < 4 ? 3 : 2) << s;
        // Every sheet gets the widths of the whole export: the longest text is on the last sheet.
        const auto m = QRegularExpression(QStringLiteral("<col min=\"2\" max=\"2\" width=\"([\\d.]+)\"")).match(sheet);
        ASSERT_TRUE(m.hasMatch()) << s;
        EXPECT_GT(m.captured(1).toDouble(), 55.0) << s;
    }
    EXPECT_TRUE(cell(unzip(path, QStringLiteral("xl/worksheets/sheet4.xml")), QStringLiteral("A2"))
                    .contains(QStringLiteral("<v>6</v>")));
    EXPECT_TRUE(unzip(path, QStringLiteral("xl/workbook.xml")).contains(QStringLiteral("Munka4")));

    // Without constant memory the same rows give the same cells (texts shared).
    SheetWriter::Options inMemory;
    inMemory.constantMemory = false;
    const QString path2 = write(QStringLiteral("mem.xlsx"), {{QStringLiteral("N")}, {QStringLiteral("T")}}, rows, inMemory);
    const QString sheet = unzip(path2, QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_EQ(sheet.count(QStringLiteral("<row ")), 8);
    EXPECT_TRUE(cell(sheet, QStringLiteral("B8")).contains(QStringLiteral("t=\"s\"")));
}

TEST(SheetWriter, RefusesWhatASheetCannotHold)
{
    SheetWriter w;
    QString error;
    EXPECT_FALSE(w.open(lg::test::tempPath(QStringLiteral("wide.xlsx")), QList<Column>(kMaxSheetColumns + 1), error));
    EXPECT_TRUE(error.contains(QString::number(kMaxSheetColumns)));
    // A file that cannot be made fails when it is opened or at the latest when it is closed.
    error.clear();
    SheetWriter nowhere;
    const bool made = nowhere.open(lg::test::tempDir() + QStringLiteral("/no/such/dir/a.xlsx"), {{QStringLiteral("A")}}, error) &&
                      nowhere.close(error);
    EXPECT_FALSE(made);
    EXPECT_FALSE(error.isEmpty());

    EXPECT_EQ(columnLetters(1), QStringLiteral("A"));
    EXPECT_EQ(columnLetters(28), QStringLiteral("AB"));
    EXPECT_EQ(columnLetters(kMaxSheetColumns), QStringLiteral("XFD"));
    EXPECT_TRUE(columnLetters(kMaxSheetColumns + 1).isEmpty());
    EXPECT_EQ(cellKindOf(lg::jetsql::JetType::YesNo), CellKind::Boolean);
    EXPECT_EQ(cellKindOf(lg::jetsql::JetType::Memo), CellKind::Text);
    EXPECT_EQ(cellKindOf(lg::jetsql::JetType::Unknown), CellKind::Auto);
}
