#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>

#include "catalogue/catalogue_fixture.h"
#include "catalogue/fieldcatalogue.h"
#include "catalogue/filehelpers.h"
#include "store/errors.h"

using namespace lg;
using namespace lg::catalogue;
using lg::test::CatalogueDb;
using lg::test::InvoiceCatalogue;

namespace {

class FieldCatalogue : public ::testing::Test {
protected:
    QStringList picker(eReportFieldFillType fill, eReportFieldFillSideType side, bool full, long n = 0,
                       const QString& column = QStringLiteral("name"))
    {
        std::shared_ptr<dao::Recordset> rs;
        EXPECT_TRUE(LoadReportFieldToControl(cat.invoiceType, n, fill, side, full, rs));
        return lg::test::column(*rs, column);
    }

    CatalogueDb c;
    InvoiceCatalogue cat{c};
};

struct RecordingSink : ListSink {
    void clear() override { items.clear(); }
    void addItem(const QString& text, long id) override { items << QStringLiteral("%1=%2").arg(id).arg(text); }
    QStringList items{QStringLiteral("stale")};
};

}  // namespace

TEST_F(FieldCatalogue, FreeSideOffersFlaggedFieldsInTableOrderWithBothNameForms)
{
    // Tables by table_parent_id (szamla 1, partner 2), then by visible names.
    EXPECT_EQ(picker(eRFFTFieldGroupable, eRFFSTFieldFree, true),
              (QStringList{"Számla dátum", "Számla összeg", "Partner név", "Partner város"}));
    EXPECT_EQ(picker(eRFFTFieldVisibled, eRFFSTFieldFree, false),
              (QStringList{"Dátum", "Összeg", "Aktív", "Név", "Város"}));
    EXPECT_EQ(picker(eRFFTFieldFiltered, eRFFSTFieldUsed, false).size(), 5);

    std::shared_ptr<dao::Recordset> rs;
    ASSERT_TRUE(LoadReportFieldToControl(cat.invoiceType, 0, eRFFTFieldVisibled, eRFFSTFieldFree, false, rs));
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields(QStringLiteral("id")).toLongLong(), cat.datum);
    EXPECT_EQ(rs->Fields(QStringLiteral("field_id")).toLongLong(), cat.datum);
    EXPECT_EQ(rs->Fields(QStringLiteral("table_id")).toLongLong(), cat.szamla);
    EXPECT_EQ(rs->Fields(QStringLiteral("table_name")).toString(), QStringLiteral("Számla"));
    EXPECT_EQ(rs->Fields(QStringLiteral("field_name")).toString(), QStringLiteral("dátum"));
}

TEST_F(FieldCatalogue, FreeSideHidesDeletedAndTemporaryCatalogueRowsAndRepeatsTwiceConnectedTables)
{
    c.exec(QStringLiteral("update vlq_list_wizard_table_field set del_status = 2 where id = %1").arg(cat.varos));
    c.exec(QStringLiteral("update vlq_list_wizard_table_field set temp_status = 1 where id = %1").arg(cat.datum));
    EXPECT_EQ(picker(eRFFTFieldGroupable, eRFFSTFieldFree, false), (QStringList{"Összeg", "Név"}));

    c.addConnection(cat.invoiceType, cat.partner, 3, QStringLiteral("FROM partner AS P"), 3);
    EXPECT_EQ(picker(eRFFTFieldGroupable, eRFFSTFieldFree, false), (QStringList{"Összeg", "Név", "Név"}));
}

TEST_F(FieldCatalogue, UsedSideListsLiveGroupsAndColumnsInSortOrder)
{
    const long list = c.addList(cat.invoiceType, QStringLiteral("l"), 1);
    c.addGroup(list, cat.varos, 2);
    c.addGroup(list, cat.nev, 1);
    const long deleted = c.addGroup(list, cat.datum, 3);
    c.exec(QStringLiteral("update vlq_list_report_group_field set del_status = -1 where id = %1").arg(deleted));
    c.addVisible(list, cat.osszeg, 2);
    c.addVisible(list, cat.aktiv, 1);

    EXPECT_EQ(picker(eRFFTFieldGroupable, eRFFSTFieldUsed, true, list), (QStringList{"Partner név", "Partner város"}));
    EXPECT_EQ(picker(eRFFTFieldGroupable, eRFFSTFieldUsed, true, list, QStringLiteral("id")),
              (QStringList{QString::number(cat.nev), QString::number(cat.varos)}));
    EXPECT_EQ(picker(eRFFTFieldVisibled, eRFFSTFieldUsed, false, list), (QStringList{"Aktív", "Összeg"}));
}

TEST_F(FieldCatalogue, AggregatablePickerGivesVisibleRowIdsOfAggregatableFieldsOnly)
{
    const long list = c.addList(cat.invoiceType, QStringLiteral("l"), 1);
    c.addVisible(list, cat.nev, 1);
    const long row = c.addVisible(list, cat.osszeg, 2);
    EXPECT_EQ(picker(eRFFTFieldAggregated, eRFFSTFieldUsed, true, list, QStringLiteral("id")),
              (QStringList{QString::number(row)}));
    EXPECT_EQ(picker(eRFFTFieldAggregated, eRFFSTFieldFree, false, list), (QStringList{"Összeg"}));
}

TEST_F(FieldCatalogue, PreFilterPickerStopsAtTheJoinDepth)
{
    EXPECT_EQ(picker(eRFFTFieldPreFiltered, eRFFSTFieldFree, false, 1), (QStringList{"Dátum", "Összeg"}));
    EXPECT_EQ(picker(eRFFTFieldPreFiltered, eRFFSTFieldUsed, false, 2).size(), 5);
}

TEST_F(FieldCatalogue, FieldNamesAndDataTypes)
{
    EXPECT_EQ(GetTableFieldVisibleName(cat.osszeg), QStringLiteral("Számla összeg"));
    EXPECT_EQ(GetTableFieldShortVisibleName(cat.osszeg), QStringLiteral("Összeg"));
    EXPECT_EQ(GetTableFieldDataType(cat.datum), 3);
    EXPECT_EQ(GetTableFieldDataType(999), -1);
    EXPECT_EQ(GetTableFieldVisibleName(999), QString());
    EXPECT_EQ(GetTableFieldShortVisibleName(999), QString());

    // A field whose table is gone keeps its own name; a deleted field is no
    // longer loadable for its data type.
    c.exec(QStringLiteral("delete * from vlq_list_wizard_table where id = %1").arg(cat.partner));
    EXPECT_EQ(GetTableFieldVisibleName(cat.nev), QStringLiteral("név"));
    c.exec(QStringLiteral("update vlq_list_wizard_table_field set del_status = 2 where id = %1").arg(cat.osszeg));
    EXPECT_EQ(GetTableFieldDataType(cat.osszeg), -1);
}

TEST(UpperFirst, WholeFirstCharacterOnly)
{
    EXPECT_EQ(upperFirst(QStringLiteral("átlag ár")), QStringLiteral("Átlag ár"));
    EXPECT_EQ(upperFirst(QStringLiteral("őrzött ÉRTÉK")), QStringLiteral("Őrzött ÉRTÉK"));
    EXPECT_EQ(upperFirst(QString()), QString());
    // A letter outside the basic plane: 𐐨 (U+10428) becomes 𐐀 (U+10400).
    EXPECT_EQ(upperFirst(QString::fromUcs4(U"\U00010428x")), QString::fromUcs4(U"\U00010400x"));
}

TEST(AggregateNames, SixNamesAndNothingElse)
{
    EXPECT_EQ(GetAggregateName(0), QStringLiteral("Ismeretlen"));
    EXPECT_EQ(GetAggregateName(1), QStringLiteral("Darab"));
    EXPECT_EQ(GetAggregateName(4), QStringLiteral("Összeg"));
    EXPECT_EQ(GetAggregateName(5), QStringLiteral("Átlag"));
    EXPECT_EQ(GetAggregateName(6), QString());
    EXPECT_EQ(GetAggregateName(-1), QString());
}

TEST_F(FieldCatalogue, FieldNameLineGroupsFirstWithoutCommas)
{
    c.exec(QStringLiteral("update vlq_list_wizard_table_field set visible_name = 'összeg, bruttó' where id = %1")
               .arg(cat.osszeg));
    const long list = c.addList(cat.invoiceType, QStringLiteral("l"), 1);
    c.addVisible(list, cat.osszeg, 1);
    c.addVisible(list, cat.datum, 2);
    c.addGroup(list, cat.nev, 1);

    QString text = QStringLiteral("old");
    ASSERT_TRUE(GenerateReportFieldNameList(list, false, text));
    EXPECT_EQ(text, QStringLiteral("Név,Összeg bruttó,Dátum"));
    ASSERT_TRUE(GenerateReportFieldNameList(list, true, text));
    EXPECT_EQ(text, QStringLiteral("Partner név,Számla összeg bruttó,Számla dátum"));

    EXPECT_FALSE(GenerateReportFieldNameList(999, true, text));
    EXPECT_EQ(text, QString());
}

TEST_F(FieldCatalogue, StatementTestRecordsTheDatabaseError)
{
    ctx().currentErrors().Clear();
    EXPECT_TRUE(TestSQLStatement(QStringLiteral("SELECT TOP 1 nev FROM partner")));
    EXPECT_EQ(ctx().currentErrors().Count(), 0);
    EXPECT_FALSE(TestSQLStatement(QStringLiteral("SELECT nincs FROM sehol")));
    ASSERT_EQ(ctx().currentErrors().Count(), 1);
    EXPECT_NE(ctx().currentErrors().Item(1)->Number(), 0);
    EXPECT_FALSE(ctx().currentErrors().Item(1)->description().isEmpty());
}

TEST_F(FieldCatalogue, FillsAListSinkFromAPicker)
{
    std::shared_ptr<dao::Recordset> rs;
    ASSERT_TRUE(LoadReportFieldToControl(cat.partnerType, 0, eRFFTFieldGroupable, eRFFSTFieldFree, false, rs));
    RecordingSink sink;
    EXPECT_EQ(FillListFromRecordset(*rs, sink), 2);
    EXPECT_EQ(sink.items, (QStringList{QStringLiteral("%1=Név").arg(cat.nev), QStringLiteral("%1=Város").arg(cat.varos)}));
}

TEST(FileUtils, FilesFoldersAndSeparators)
{
    const QString dir = lg::test::tempDir();
    QFile f(dir + QStringLiteral("/a.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QString back = dir;
    back.replace(QLatin1Char('/'), QLatin1Char('\\'));

    EXPECT_TRUE(FileExists(dir + QStringLiteral("/a.txt")));
    EXPECT_TRUE(FileExists(back + QStringLiteral("\\a.txt")));
    EXPECT_FALSE(FileExists(dir));
    EXPECT_FALSE(FileExists(dir + QStringLiteral("/b.txt")));
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_TRUE(FolderExists(dir));
    EXPECT_TRUE(FolderExists(dir + QLatin1Char('/')));
    EXPECT_TRUE(FolderExists(back + QLatin1Char('\\')));
    EXPECT_FALSE(FolderExists(dir + QStringLiteral("/a.txt")));

    EXPECT_EQ(joinPath(QStringLiteral("C:\\Rep"), QStringLiteral("R.XML")), QStringLiteral("C:\\Rep\\R.XML"));
    EXPECT_EQ(joinPath(QStringLiteral("C:\\Rep\\ "), QStringLiteral("R.XML")), QStringLiteral("C:\\Rep\\R.XML"));
    EXPECT_EQ(joinPath(QStringLiteral("/srv/rep"), QStringLiteral("R.XML")), QStringLiteral("/srv/rep/R.XML"));
    EXPECT_EQ(joinPath(QStringLiteral("/srv/rep/"), QStringLiteral("R.XML")), QStringLiteral("/srv/rep/R.XML"));
}

TEST(ShellOpen, FailsWithoutAHandlerAndUsesTheInstalledOne)
{
    SetShellOpenHandler({});
    EXPECT_LE(ShellOpen(QStringLiteral("/tmp/x.xlsx")), 32);
    QString opened;
    SetShellOpenHandler([&](const QString& p) {
        opened = p;
        return 42;
    });
    EXPECT_EQ(ShellOpen(QStringLiteral("/tmp/x.xlsx")), 42);
    EXPECT_EQ(opened, QStringLiteral("/tmp/x.xlsx"));
    SetShellOpenHandler({});
}
