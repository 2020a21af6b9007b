#include <gtest/gtest.h>

#include <QtWidgets/QComboBox>
#include <QtWidgets/QListWidget>

#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/recordsetutils.h"
#include "support/testsupport.h"
#include "ui/recordsetfill.h"

using namespace lg;

namespace {

class RecordsetFill : public ::testing::Test {
protected:
    void SetUp() override
    {
        Context::reset();
        db = dao::Database::open(test::tempPath(QStringLiteral("fill.db")));
        db->Execute(QStringLiteral("CREATE TABLE partner (id LONG, name TEXT(50), city TEXT(50))"));
        db->Execute(QStringLiteral("INSERT INTO partner (id, name, city) VALUES (7, 'Ábel Kft.', 'Győr')"));
        db->Execute(QStringLiteral("INSERT INTO partner (id, name, city) VALUES (9, 'Béla Bt.', 'Pécs')"));
        ctx().database = db;
    }
    void TearDown() override { Context::reset(); }

    std::shared_ptr<dao::Recordset> partners()
    {
        return db->OpenRecordset(QStringLiteral("SELECT id, name, city FROM partner ORDER BY id"),
                                 dao::RecordsetType::Snapshot);
    }

    std::shared_ptr<dao::Database> db;
};

}  // namespace

TEST_F(RecordsetFill, OneEntryPerRecordWithItsId)
{
    QListWidget list;
    list.addItem(QStringLiteral("left over"));
    FillListFromRecordset(&list, partners(), QStringLiteral("##name"));
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.item(0)->text(), QStringLiteral("Ábel Kft."));
    EXPECT_EQ(list.item(0)->data(Qt::UserRole).toLongLong(), 7);
    EXPECT_EQ(list.item(1)->text(), QStringLiteral("Béla Bt."));
    EXPECT_EQ(list.item(1)->data(Qt::UserRole).toLongLong(), 9);
}

TEST_F(RecordsetFill, PartsJoinWithoutSeparatorAndFirstEntryIsSelected)
{
    QComboBox combo;
    FillListFromRecordset(&combo, partners(), QStringLiteral("##name; (;##city;)"), QStringLiteral("< Mind >"), -1);
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_EQ(combo.itemText(0), QStringLiteral("< Mind >"));
    EXPECT_EQ(combo.itemData(0).toInt(), -1);
    EXPECT_EQ(combo.itemText(1), QStringLiteral("Ábel Kft. (Győr)"));

    QListWidget list;
    FillListFromRecordset(&list, partners(), QStringLiteral("##name;##city"));
    EXPECT_EQ(list.item(1)->text(), QStringLiteral("Béla Bt.Pécs"));
}

TEST_F(RecordsetFill, NothingHappensWithoutRecordsetOrSpec)
{
    QListWidget list;
    list.addItem(QStringLiteral("kept"));
    FillListFromRecordset(&list, nullptr, QStringLiteral("##name"));
    FillListFromRecordset(&list, partners(), QString());
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.item(0)->text(), QStringLiteral("kept"));
}

TEST_F(RecordsetFill, RecordsetHelpers)
{
    std::shared_ptr<dao::Recordset> rs;
    EXPECT_FALSE(HasRecords(rs));
    ASSERT_TRUE(OpenRecordsetChecked(rs, QStringLiteral("SELECT * FROM partner WHERE id = 9")));
    EXPECT_TRUE(HasRecords(rs));
    ASSERT_TRUE(OpenRecordsetChecked(rs, QStringLiteral("SELECT * FROM partner WHERE id = 1")));
    EXPECT_FALSE(HasRecords(rs));
    EXPECT_FALSE(OpenRecordsetChecked(rs, QStringLiteral("SELECT * FROM no_such_table")));
    EXPECT_EQ(rs, nullptr);
}
