#include "platform/dao/dao.h"
#include "platform/errorhandler.h"
#include "platform/safefile.h"
#include "report/xlsexport.h"
#include "store/context.h"
#include "store/errors.h"
#include "support/pgbackend.h"
#include "support/testsupport.h"

#include <QtCore/QDateTime>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

using lg::cXLSExport;

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

cXLSExport::RowReader rowsOf(std::shared_ptr<QList<QList<QVariant>>> rows)
{
    auto pos = std::make_shared<int>(0);
    return [rows, pos](QList<QVariant>& row) {
        if (*pos >= rows->size())
            return false;
        row = rows->at((*pos)++);
        return true;
    };
}

}  // namespace

TEST(XlsExport, ExcelCellsAddressing)
{
    EXPECT_EQ(cXLSExport::ExcelCells(1, 1), "A1");
    EXPECT_EQ(cXLSExport::ExcelCells(2, 26), "Z2");
    EXPECT_EQ(cXLSExport::ExcelCells(2, 27), "AA2");
    EXPECT_EQ(cXLSExport::ExcelCells(5, 52), "AZ5");
    EXPECT_EQ(cXLSExport::ExcelCells(5, 53), "BA5");
    EXPECT_EQ(cXLSExport::ExcelCells(1, 702), "ZZ1");
    EXPECT_EQ(cXLSExport::ExcelCells(1, 703), "AAA1");
    EXPECT_EQ(cXLSExport::ExcelCells(9, 16384), "XFD9");
    EXPECT_EQ(cXLSExport::ExcelCells(1, 0), "");
    EXPECT_EQ(cXLSExport::ExcelCells(1, 16385), "");
}

TEST(XlsExport, TypedCellsCaptionsAndWidthsFromARecordset)
{
    lg::Context::reset();
    const QString dbPath = lg::test::testDatabaseName(QStringLiteral("x.db"));
    auto db = lg::dao::Database::open(dbPath);
    db->Execute(QStringLiteral("CREATE TABLE t (id COUNTER PRIMARY KEY, name TEXT(100), qty LONG, price DOUBLE, "
                               "sold DATETIME, paid YESNO)"));
    db->Execute(QStringLiteral("INSERT INTO t (name, qty, price, sold, paid) VALUES "
                               "('Körte & <alma>', 3, 12.5, #03/05/2024#, -1)"));
    db->Execute(QStringLiteral("INSERT INTO t (name, qty, price, sold, paid) VALUES (Null, Null, -0.25, Null, 0)"));
    db->Execute(QStringLiteral("INSERT INTO t (name, qty, price, sold, paid) VALUES "
                               "('=SUM(A1:A2)', 1234567, 0, #12/31/1999 13:45:00#, 0)"));
    auto rs = db->OpenRecordset(QStringLiteral("SELECT name, qty, price, sold, paid FROM t ORDER BY id"),
                                lg::dao::RecordsetType::Snapshot);

    const QString path = lg::test::tempPath(QStringLiteral("out.xlsx"));
    cXLSExport x;
    x.setFileName(path);
    x.setRecordSource(rs);
    x.setFieldHeader(QString::fromUtf8("Név,Mennyiség,Ár,Dátum,Fizetve"));
    ASSERT_TRUE(x.ExportExecute()) << x.LastError().toStdString();

    const QString sheet = unzip(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    const QString styles = unzip(path, QStringLiteral("xl/styles.xml"));
    ASSERT_FALSE(sheet.isEmpty());
    EXPECT_EQ(sheet.count(QStringLiteral("<row ")), 4);
    // Captions: inline text in row 1 (constant memory writes strings inline).
    EXPECT_TRUE(cell(sheet, QStringLiteral("A1")).contains(QString::fromUtf8("Név")));
    EXPECT_TRUE(cell(sheet, QStringLiteral("E1")).contains(QStringLiteral("Fizetve")));
    EXPECT_TRUE(cell(sheet, QStringLiteral("A2")).contains(QStringLiteral("Körte &amp; &lt;alma&gt;")));
    EXPECT_TRUE(cell(sheet, QStringLiteral("B2")).contains(QStringLiteral("<v>3</v>")));
    EXPECT_FALSE(cell(sheet, QStringLiteral("B2")).contains(QStringLiteral("t=")));  // a number
    EXPECT_TRUE(cell(sheet, QStringLiteral("C3")).contains(QStringLiteral("<v>-0.25</v>")));
    EXPECT_TRUE(cell(sheet, QStringLiteral("D2")).contains(QStringLiteral("<v>45356</v>")));  // 2024-03-05 as a date
    EXPECT_TRUE(cell(sheet, QStringLiteral("E2")).contains(QStringLiteral("t=\"b\"")));
    EXPECT_TRUE(cell(sheet, QStringLiteral("E2")).contains(QStringLiteral("<v>1</v>")));
    EXPECT_TRUE(cell(sheet, QStringLiteral("A3")).isEmpty());  // Null: no cell
    EXPECT_TRUE(cell(sheet, QStringLiteral("D3")).isEmpty());
    EXPECT_TRUE(cell(sheet, QStringLiteral("A4")).contains(QStringLiteral("=SUM(A1:A2)")));  // text, not a formula
    EXPECT_FALSE(cell(sheet, QStringLiteral("A4")).contains(QStringLiteral("<f>")));
    EXPECT_TRUE(styles.contains(QStringLiteral("yyyy.mm.dd")));
    EXPECT_TRUE(styles.contains(QStringLiteral("Tahoma")));
    EXPECT_TRUE(styles.contains(QStringLiteral("<b/>")));
    // Widths fitted to the content: the name column is wider than the Yes/No one.
    const QRegularExpression col(QStringLiteral("<col min=\"(\\d+)\" max=\"\\d+\" width=\"([\\d.]+)\""));
    QMap<int, double> widths;
    for (auto it = col.globalMatch(sheet); it.hasNext();) {
        const auto m = it.next();
        widths[m.captured(1).toInt()] = m.captured(2).toDouble();
    }
    ASSERT_EQ(widths.size(), 5);
    EXPECT_GT(widths[1], widths[5]);
    EXPECT_GT(widths[4], 10);  // a date with time
}

TEST(XlsExport, EmptyResultLongListsAndUnwritableTargets)
{
    lg::Context::reset();
    const QString dir = lg::test::tempDir();
    {
        cXLSExport x;
        x.setFileName(dir + QStringLiteral("/empty.xlsx"));
        x.setFieldHeader(QStringLiteral("A,B,C"));
        x.setRowReader(rowsOf(std::make_shared<QList<QList<QVariant>>>()), 3);
        ASSERT_TRUE(x.ExportExecute());
        const QString sheet = unzip(dir + QStringLiteral("/empty.xlsx"), QStringLiteral("xl/worksheets/sheet1.xml"));
        EXPECT_EQ(sheet.count(QStringLiteral("<row ")), 1);
        EXPECT_TRUE(cell(sheet, QStringLiteral("C1")).contains(QStringLiteral(">C<")));
    }
    {
        // 25 rows on sheets of 10 rows: 9 + 9 + 7 data rows, each sheet with the captions.
        auto rows = std::make_shared<QList<QList<QVariant>>>();
        for (int i = 0; i < 25; ++i)
            rows->append({QVariant(qlonglong(i)), QStringLiteral("r%1").arg(i)});
        cXLSExport x;
        const QString path = dir + QStringLiteral("/long.xlsx");
        x.setFileName(path);
        x.setFieldHeader(QStringLiteral("N,T"));
        x.setRowReader(rowsOf(rows), 2);
        x.setRowsPerSheet(10);
        ASSERT_TRUE(x.ExportExecute());
        const QString s1 = unzip(path, QStringLiteral("xl/worksheets/sheet1.xml"));
        const QString s3 = unzip(path, QStringLiteral("xl/worksheets/sheet3.xml"));
        EXPECT_EQ(s1.count(QStringLiteral("<row ")), 10);
        EXPECT_EQ(s3.count(QStringLiteral("<row ")), 8);
        EXPECT_TRUE(cell(s3, QStringLiteral("A1")).contains(QStringLiteral(">N<")));
        EXPECT_TRUE(cell(s3, QStringLiteral("A8")).contains(QStringLiteral("<v>24</v>")));
        EXPECT_TRUE(unzip(path, QStringLiteral("xl/workbook.xml")).contains(QStringLiteral("Munka3")));
    }
    {
        // Unwritable: false, the reason collected, nothing thrown, no stray file.
        cXLSExport x;
        x.setFileName(dir + QStringLiteral("/no/such/dir/out.xlsx"));
        x.setFieldHeader(QStringLiteral("A"));
        x.setRowReader(rowsOf(std::make_shared<QList<QList<QVariant>>>()), 1);
        const long before = lg::ctx().currentErrors().Count();
        EXPECT_FALSE(x.ExportExecute());
        EXPECT_FALSE(x.LastError().isEmpty());
        EXPECT_EQ(lg::ctx().currentErrors().Count(), before + 1);
        EXPECT_TRUE(x.LastError().contains(QStringLiteral("out.xlsx")));

        cXLSExport y;
        y.setFileName(dir);  // a folder
        y.setRowReader(rowsOf(std::make_shared<QList<QList<QVariant>>>()), 1);
        EXPECT_FALSE(y.ExportExecute());
        cXLSExport z;  // no rows given at all
        z.setFileName(dir + QStringLiteral("/z.xlsx"));
        EXPECT_FALSE(z.ExportExecute());
    }
    {
        // A failing export leaves an existing file as it was.
        const QString path = dir + QStringLiteral("/keep.xlsx");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
        f.close();
        cXLSExport x;
        x.setFileName(path);
        x.setRowReader([](QList<QVariant>&) -> bool { return false; }, 20000);  // more columns than a sheet has
        EXPECT_FALSE(x.ExportExecute());
        QFile g(path);
        ASSERT_TRUE(g.open(QIODevice::ReadOnly));
        EXPECT_EQ(g.readAll(), "old");
    }
}

namespace {

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

TEST(XlsExport, AnEarlierFileSurvivesEveryFailure)
{
    lg::Context::reset();
    const QString dir = lg::test::tempDir();
    const QString path = dir + QStringLiteral("/keep.xlsx");
    auto rows = std::make_shared<QList<QList<QVariant>>>(QList<QList<QVariant>>{{QVariant(qlonglong(1))}});

    // The finished workbook cannot be put in place.
    writeFile(path, "old");
    {
        cXLSExport x;
        x.setFileName(path);
        x.setFieldHeader(QStringLiteral("A"));
        x.setRowReader(rowsOf(rows), 1);
        lg::detail::setSafeFileRename([](const char*, const char*) {
            errno = ENOSPC;
            return -1;
        });
        const bool ok = x.ExportExecute();
        lg::detail::setSafeFileRename(nullptr);
        EXPECT_FALSE(ok);
        EXPECT_TRUE(x.LastError().contains(QStringLiteral("keep.xlsx"))) << x.LastError().toStdString();
        EXPECT_EQ(contentOf(path), "old");
    }
    // Reading the rows fails half way: the error goes up with this level's
    // trace line and no dialog is shown by the export itself.
    auto dialog = std::make_shared<lg::ScriptedErrorDialog>();
    lg::ctx().errorDialog = dialog;
    {
        cXLSExport x;
        x.setFileName(path);
        int n = 0;
        x.setRowReader(
            [&](QList<QVariant>& row) {
                if (++n > 3)
                    throw lg::RuntimeError(3061, QStringLiteral("DAO.Recordset"), QStringLiteral("Too few parameters."));
                row = {QVariant(qlonglong(n))};
                return true;
            },
            1);
        try {
            x.ExportExecute();
            ADD_FAILURE() << "no error";
        } catch (const lg::RuntimeError& e) {
            EXPECT_EQ(e.number(), 3061);
            EXPECT_TRUE(e.description().contains(QStringLiteral("in Function ExportExecute"))) << e.description().toStdString();
        }
        EXPECT_TRUE(x.LastError().contains(QStringLiteral("Too few parameters.")));
        EXPECT_TRUE(dialog->shown().isEmpty());
        EXPECT_EQ(contentOf(path), "old");
    }
    // The user-facing caller shows the dialog; a retry runs the whole export again.
    {
        cXLSExport x;
        x.setFileName(path);
        int calls = 0;
        x.setRowReader(
            [&](QList<QVariant>& row) {
                ++calls;
                if (calls == 1)
                    throw lg::RuntimeError(3061, QStringLiteral("DAO.Recordset"), QStringLiteral("Too few parameters."));
                if (calls > 2)
                    return false;
                row = {QVariant(qlonglong(calls))};
                return true;
            },
            1);
        dialog->answerRetry();
        EXPECT_TRUE(lg::ExportWithErrorDialog(x));
        ASSERT_EQ(dialog->shown().size(), 1);
        EXPECT_NE(contentOf(path), "old");  // replaced by the complete workbook
        EXPECT_EQ(x.RowsWritten(), 1);
    }
    QDir folder(dir);
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary files left";
    lg::ctx().errorDialog.reset();
}

TEST(XlsExport, NeverReplacesTheDatabaseAndLeavesOutTheAlternativeGroupColumns)
{
    lg::Context::reset();
    const QString dbPath = lg::test::testDatabaseName(QStringLiteral("rgf.db"));
    auto db = lg::dao::Database::open(dbPath);
    db->Execute(QStringLiteral("CREATE TABLE t (id COUNTER PRIMARY KEY, g TEXT(10), v LONG)"));
    db->Execute(QStringLiteral("INSERT INTO t (g, v) VALUES ('b', 2)"));
    const QString statement = QStringLiteral("SELECT g AS RG1, id AS RGF1, v AS RF2 FROM t");

    cXLSExport refused;
    refused.setFileName(QFileInfo(dbPath).absolutePath() + QStringLiteral("/./rgf.db"));  // another spelling
    refused.setRecordSource(db->OpenRecordset(statement, lg::dao::RecordsetType::Snapshot));
    refused.refusePath(db->Name());
    EXPECT_FALSE(refused.ExportExecute());
    EXPECT_FALSE(refused.LastError().isEmpty());
    EXPECT_EQ(db->OpenRecordset(QStringLiteral("SELECT v FROM t"), lg::dao::RecordsetType::Snapshot)->Fields(0).toInt(), 2);

    auto rs = db->OpenRecordset(statement, lg::dao::RecordsetType::Snapshot);
    EXPECT_EQ(cXLSExport::ExportedFields(*rs), (QList<int>{0, 2}));
    const QString path = lg::test::tempPath(QStringLiteral("rgf.xlsx"));
    cXLSExport x;
    x.setFileName(path);
    x.setFieldHeader(QStringLiteral("Csoport,Érték"));
    x.setRecordSource(rs);
    ASSERT_TRUE(x.ExportExecute()) << x.LastError().toStdString();
    const QString sheet = unzip(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(cell(sheet, QStringLiteral("A2")).contains(QStringLiteral(">b<")));
    EXPECT_TRUE(cell(sheet, QStringLiteral("B2")).contains(QStringLiteral("<v>2</v>")));
    EXPECT_TRUE(cell(sheet, QStringLiteral("C2")).isEmpty());
}
