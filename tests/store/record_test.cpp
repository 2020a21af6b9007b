#include "storefixture.h"

#include "store/errors.h"

namespace lg::test {
namespace {

using modTables::LookupFieldValue;

class RecordTest : public StoreTest {
protected:
    // A written catalogue field, loaded back fresh.
    long writeField(const QString& name)
    {
        ListWizardTableField f;
        f.set_table_id(4);
        f.set_field_name(name);
        f.set_visible_name(QStringLiteral("Név"));
        EXPECT_TRUE(f.SetFinal());
        EXPECT_TRUE(f.CoreUpdate());
        return f.ID();
    }
};

TEST_F(RecordTest, NewObjectsHoldTheNewRecordValues)
{
    ListReportWhereField w;
    EXPECT_EQ(w.ItemStatus(), isNew);
    EXPECT_TRUE(w.IsTemp());
    EXPECT_EQ(w.ID(), -1);
    EXPECT_EQ(w.vlq_list_report_id(), -1);
    EXPECT_EQ(w.relation_type(), 1);
    EXPECT_EQ(w.number_from(), QVariant(0));
    EXPECT_EQ(w.date_from(), QDateTime(QDate::currentDate(), QTime(0, 0)));
    EXPECT_EQ(w.create_user(), -1);
    EXPECT_EQ(w.CloneSourceID(), 0);
    EXPECT_EQ(w.objectKind(), oListReportWhereField);

    ListWizardTableField f;
    EXPECT_EQ(f.visibled(), -1);
    EXPECT_EQ(f.field_width(), 100);
    EXPECT_EQ(f.field_type(), eRFDTLongNumber);
    ListReport r;
    EXPECT_EQ(r.table_priority(), -1);
    EXPECT_EQ(r.private_report(), 0);
    EXPECT_EQ(r.temp_status(), 0);
    ListReportVisibleField v;
    for (int level = 1; level <= 10; ++level)
        EXPECT_EQ(v.groupAggregate(level), -1);
    EXPECT_EQ(v.total_aggregate(), -1);
}

TEST_F(RecordTest, FirstWriteAssignsTheNextIdAndTheAuditColumns)
{
    db->Execute(QStringLiteral("insert into vlq_list_wizard_table_field (id, field_name) values (41, 'old')"));
    ListWizardTableField f;
    f.set_field_name(QStringLiteral("partner_name"));
    f.set_field_format(QStringLiteral("#,##0"));
    ASSERT_TRUE(f.SetFinal());
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    ASSERT_TRUE(f.CoreUpdate());
    EXPECT_EQ(f.ID(), 42);
    EXPECT_EQ(f.ItemStatus(), isLoaded);
    EXPECT_EQ(f.create_user(), 7);
    EXPECT_EQ(f.last_action_user_id1(), 7);
    EXPECT_EQ(f.last_action_user_id2(), -1);
    EXPECT_GE(f.create_date(), before);

    ListWizardTableField loaded;
    ASSERT_TRUE(loaded.CoreLoad(42));
    EXPECT_EQ(loaded.field_name(), QStringLiteral("partner_name"));
    EXPECT_EQ(loaded.field_format(), QStringLiteral("#,##0"));
    EXPECT_EQ(loaded.groupable(), -1);
    EXPECT_EQ(loaded.create_user(), 7);
    EXPECT_EQ(loaded.ItemStatus(), isLoaded);
    EXPECT_TRUE(loaded.IsTemp()) << "loading does not finalise";
}

TEST_F(RecordTest, SettingAValueMarksModifiedOnlyWhenItDiffers)
{
    const long id = writeField(QStringLiteral("name"));
    ListWizardTableField f;
    ASSERT_TRUE(f.CoreLoad(id));
    f.set_field_name(QStringLiteral("name"));
    f.set_table_id(4);
    EXPECT_EQ(f.ItemStatus(), isLoaded) << "equal values change nothing";
    f.set_field_name(QStringLiteral("NAME"));
    EXPECT_EQ(f.ItemStatus(), isModified) << "case counts";

    ListReportWhereField w;
    w.set_number_from(0);  // a new object stays new
    EXPECT_EQ(w.ItemStatus(), isNew);
    ASSERT_TRUE(w.SetFinal() && w.CoreUpdate());
    ASSERT_TRUE(w.CoreLoad(w.ID()));
    w.set_date_to(w.date_to());
    w.set_number_from(QVariant(0));
    EXPECT_EQ(w.ItemStatus(), isLoaded);
    w.set_number_from(QVariant(0.5));
    EXPECT_EQ(w.ItemStatus(), isModified);
}

TEST_F(RecordTest, TemporaryObjectsAreNotWritten)
{
    const long id = writeField(QStringLiteral("a"));
    ListWizardTableField f;
    ASSERT_TRUE(f.CoreLoad(id));
    f.set_field_name(QStringLiteral("b"));
    EXPECT_FALSE(f.CoreUpdate());
    ASSERT_EQ(ctx().currentErrors().Count(), 1);
    EXPECT_EQ(ctx().currentErrors().Item(1L)->Number(), errnum::ElementIsTemporary);
    EXPECT_EQ(ctx().currentErrors().Item(1L)->description(), QStringLiteral("This element is temporary"));
    EXPECT_EQ(f.ItemStatus(), isModified);
    EXPECT_EQ(LookupFieldValue(QStringLiteral("vlq_list_wizard_table_field"), id, QStringLiteral("field_name")),
              QVariant(QStringLiteral("a")));

    // The next write clears the collection first.
    ASSERT_TRUE(f.SetFinal());
    EXPECT_TRUE(f.CoreUpdate());
    EXPECT_EQ(ctx().currentErrors().Count(), 0);
    EXPECT_EQ(LookupFieldValue(QStringLiteral("vlq_list_wizard_table_field"), id, QStringLiteral("field_name")),
              QVariant(QStringLiteral("b")));
}

TEST_F(RecordTest, UnchangedFinalObjectWritesNothingButCommits)
{
    const long id = writeField(QStringLiteral("a"));
    const QVariant stamp =
        LookupFieldValue(QStringLiteral("vlq_list_wizard_table_field"), id, QStringLiteral("last_action_date1"));
    ListWizardTableField f;
    ASSERT_TRUE(f.CoreLoad(id));
    ASSERT_TRUE(f.SetFinal());
    EXPECT_TRUE(f.CoreUpdate());
    EXPECT_EQ(f.ItemStatus(), isLoaded);
    EXPECT_EQ(
        LookupFieldValue(QStringLiteral("vlq_list_wizard_table_field"), id, QStringLiteral("last_action_user_id2")),
        QVariant(qlonglong(-1)));
    EXPECT_EQ(LookupFieldValue(QStringLiteral("vlq_list_wizard_table_field"), id, QStringLiteral("last_action_date1")),
              stamp);
    EXPECT_EQ(db->transactionLevel(), 0);
    EXPECT_EQ(modTables::counts().lockUses, 0);
}

TEST_F(RecordTest, ModifyShiftsTheAuditColumns)
{
    const long id = writeField(QStringLiteral("a"));
    ctx().userId = 9;
    ListWizardTableField f;
    ASSERT_TRUE(f.CoreLoad(id));
    f.set_visible_name(QStringLiteral("Vevő neve"));
    ASSERT_TRUE(f.SetFinal() && f.CoreUpdate());
    ListWizardTableField g;
    ASSERT_TRUE(g.CoreLoad(id));
    EXPECT_EQ(g.visible_name(), QStringLiteral("Vevő neve"));
    EXPECT_EQ(g.create_user(), 7);
    EXPECT_EQ(g.last_action_user_id2(), 7);
    EXPECT_EQ(g.last_action_user_id1(), 9);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_wizard_table_field")), 1);
}

TEST_F(RecordTest, DeleteWritesOnlyTheDeletionAndTheAudit)
{
    const long id = writeField(QStringLiteral("keep"));
    ctx().userId = 9;
    ListWizardTableField f;
    ASSERT_TRUE(f.CoreLoad(id));
    f.set_field_name(QStringLiteral("changed in memory"));
    ASSERT_TRUE(f.Delete());
    EXPECT_EQ(f.ItemStatus(), isDeleted);
    EXPECT_FALSE(f.IsTemp());
    ASSERT_TRUE(f.CoreUpdate());
    EXPECT_EQ(f.ItemStatus(), isDeleted);

    auto rs = db->OpenRecordset(QStringLiteral("select * from vlq_list_wizard_table_field where id=%1").arg(id));
    ASSERT_FALSE(rs->Eof());
    EXPECT_NE(rs->Fields(QStringLiteral("del_status")).toLongLong(), 0);
    EXPECT_EQ(rs->Fields(QStringLiteral("field_name")).toString(), QStringLiteral("keep"));
    EXPECT_EQ(rs->Fields(QStringLiteral("last_action_user_id1")).toLongLong(), 9);
    EXPECT_EQ(rs->Fields(QStringLiteral("last_action_user_id2")).toLongLong(), 7);

    ListWizardTableField again;
    EXPECT_FALSE(again.CoreLoad(id));
    EXPECT_EQ(again.ItemStatus(), isNew);
    EXPECT_EQ(again.field_name(), QString());
}

TEST_F(RecordTest, AnyNonZeroDeletionMarkHidesTheRow)
{
    const long id = writeField(QStringLiteral("x"));
    db->Execute(QStringLiteral("update vlq_list_wizard_table_field set del_status=2 where id=%1").arg(id));
    ListWizardTableField f;
    EXPECT_FALSE(f.CoreLoad(id));
    EXPECT_FALSE(f.CoreLoad(999));
    EXPECT_FALSE(f.CoreLoad(QStringLiteral("not a number")));
    EXPECT_FALSE(f.CoreLoad(QVariant()));
    EXPECT_EQ(f.ID(), -1);
}

TEST_F(RecordTest, NullColumnsLoadAsEmptyValues)
{
    db->Execute(QStringLiteral("insert into vlq_list_wizard_type (id) values (3)"));
    db->Execute(QStringLiteral("update vlq_list_wizard_type set name=Null, modul_id=Null where id=3"));
    ListWizardType t;
    ASSERT_TRUE(t.CoreLoad(3));
    EXPECT_EQ(t.name(), QString());
    EXPECT_EQ(t.modul_id(), 0);
    EXPECT_EQ(t.required_table(), -1) << "store default";
}

TEST_F(RecordTest, CloneWritesANewRowAndLeavesTheSource)
{
    ListWizardType t;
    t.set_name(QStringLiteral("Partnerek"));
    t.set_required_where(QStringLiteral("p.user=%USERID%"));
    t.set_modul_id(2);
    ASSERT_TRUE(t.SetFinal() && t.CoreUpdate());
    ctx().userId = 8;
    t.set_modul_id(3);
    ASSERT_TRUE(t.CoreUpdate());
    ctx().userId = 11;
    auto copy = t.Clone();
    EXPECT_EQ(copy->ID(), -1);
    EXPECT_EQ(copy->ItemStatus(), isNew);
    EXPECT_TRUE(copy->IsTemp());
    EXPECT_EQ(copy->CloneSourceID(), t.ID());
    EXPECT_EQ(copy->name(), t.name());
    EXPECT_EQ(copy->last_action_user_id1(), 8) << "audit columns are copied";
    copy->set_name(QStringLiteral("Partnerek 2"));
    ASSERT_TRUE(copy->SetFinal() && copy->CoreUpdate());
    EXPECT_EQ(copy->ID(), t.ID() + 1);
    EXPECT_EQ(copy->create_user(), 11);
    EXPECT_EQ(copy->last_action_user_id1(), 11);
    EXPECT_EQ(copy->last_action_user_id2(), 7) << "the source's value stays in the second slot";

    ListWizardType source;
    ASSERT_TRUE(source.CoreLoad(t.ID()));
    EXPECT_EQ(source.name(), QStringLiteral("Partnerek"));
    EXPECT_EQ(source.required_where(), QStringLiteral("p.user=%USERID%"));
}

TEST_F(RecordTest, FailedWriteLeavesObjectAndStoreUnchanged)
{
    refuse(QStringLiteral("vlq_list_wizard_type"), QStringLiteral("INSERT"), QStringLiteral("NEW.name = 'bad'"));
    ListWizardType t;
    t.set_name(QStringLiteral("bad"));
    ASSERT_TRUE(t.SetFinal());
    try {
        t.CoreUpdate();
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.source(), QStringLiteral("ListWizardType"));
        EXPECT_TRUE(e.description().contains(QStringLiteral("refused by test")));
        EXPECT_TRUE(e.description().contains(QStringLiteral("ListWizardType in Function UpdateNative ")));
        EXPECT_TRUE(e.description().endsWith(QStringLiteral("ListWizardType in Function CoreUpdate ")));
    }
    EXPECT_EQ(t.ItemStatus(), isNew);
    EXPECT_EQ(t.ID(), -1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_wizard_type")), 0);
    EXPECT_EQ(db->transactionLevel(), 0);
    const modTables::Counts c = modTables::counts();
    EXPECT_EQ(c.transactions + c.lockUses + c.exclusiveUses[tListWizardType], 0);
    EXPECT_FALSE(c.lockHeld);

    // The same object can be written once the cause is gone.
    t.set_name(QStringLiteral("good"));
    EXPECT_TRUE(t.CoreUpdate());
    EXPECT_EQ(t.ID(), 1);
}

TEST_F(RecordTest, WritesNestedInAnOpenTransactionGroupCommitTogether)
{
    ASSERT_TRUE(modTables::BeginTrs(0));
    ListAuthUnit a;
    a.set_auth_type(1);
    ASSERT_TRUE(a.SetFinal() && a.CoreUpdate());
    ListAuthUnit b;
    ASSERT_TRUE(b.SetFinal() && b.CoreUpdate());
    EXPECT_EQ(b.ID(), 2) << "ids see the uncommitted rows";
    EXPECT_EQ(db->transactionLevel(), 1);
    ASSERT_TRUE(modTables::RollbackTrs(0));
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_auth_unit")), 0);
}

TEST_F(RecordTest, DeleteAuthUnitWithGroupMarksMatchingDenials)
{
    db->Execute(QStringLiteral("insert into vlq_list_wizard_type (id, name, modul_id) values (1, 'a', 5)"));
    db->Execute(QStringLiteral("insert into vlq_list_wizard_type (id, name, modul_id) values (2, 'b', 6)"));
    struct Row {
        int auth, group, type, report;
    };
    const Row rows[] = {{0, 10, 1, 77}, {0, 11, 1, -1}, {0, 10, 2, -1}, {1, 10, 1, -1}, {1, 10, 1, 55}, {1, 10, 1, 56}};
    for (const Row& r : rows) {
        ListAuthUnit u;
        u.set_auth_type(r.auth);
        u.set_user_group_id(r.group);
        u.set_list_type_id(r.type);
        u.set_list_report_id(r.report);
        ASSERT_TRUE(u.SetFinal() && u.CoreUpdate());
    }
    // Auth type 0 ignores the list id; the module limits to type 1.
    ASSERT_TRUE(ListAuthUnit::DeleteAuthUnitWithGroup(0, 10, -1, 12345, 5));
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_auth_unit where del_status=2")), 1);
    EXPECT_EQ(count(QStringLiteral("select id from vlq_list_auth_unit where del_status<>0")), 1);
    ListAuthUnit lifted;
    EXPECT_FALSE(lifted.CoreLoad(1));

    // Auth type 1 with a list id lifts only that list's denial.
    ASSERT_TRUE(ListAuthUnit::DeleteAuthUnitWithGroup(1, 10, 1, 55, 0));
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_auth_unit where del_status<>0")), 2);
    // And with -1 everything of the type for that group.
    ASSERT_TRUE(ListAuthUnit::DeleteAuthUnitWithGroup(1, 10, 1, -1, 0));
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_auth_unit where del_status=0")), 2);
    EXPECT_EQ(db->transactionLevel(), 0);
}

}  // namespace
}  // namespace lg::test
