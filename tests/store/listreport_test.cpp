#include "store/errors.h"
#include "storefixture.h"

namespace lg::test {
namespace {

class ListReportTest : public StoreTest {
protected:
    long children(const char* table, long listId, const char* extra = "")
    {
        return count(QStringLiteral("select count(*) from %1 where vlq_list_report_id=%2 %3")
                         .arg(QLatin1String(table))
                         .arg(listId)
                         .arg(QLatin1String(extra)));
    }
    void addDenial(long listId)
    {
        ListAuthUnit u;
        u.set_auth_type(1);
        u.set_user_group_id(4);
        u.set_list_type_id(3);
        u.set_list_report_id(listId);
        ASSERT_TRUE(u.SetFinal() && u.CoreUpdate());
    }
};

TEST_F(ListReportTest, ChildrenLoadInSortOrderKeyedById)
{
    auto list = makeList(QStringLiteral("L"), 0, 0, 0);
    // Written out of order; read back in sort order.
    for (int order : {3, 1, 2}) {
        ListReportGroupField g;
        g.set_vlq_list_report_id(list->ID());
        g.set_table_field_id(order * 10);
        g.set_sort_order(order);
        ASSERT_TRUE(g.SetFinal() && g.CoreUpdate());
    }
    const ListReport::Groups groups = list->ReportGroups();
    ASSERT_EQ(groups.Count(), 3);
    EXPECT_EQ(groups.Item(1)->table_field_id(), 10);
    EXPECT_EQ(groups.Item(2)->table_field_id(), 20);
    EXPECT_EQ(groups.Item(3)->table_field_id(), 30);
    EXPECT_EQ(groups.Keys(), (QStringList{QStringLiteral("R2"), QStringLiteral("R3"), QStringLiteral("R1")}));
    EXPECT_EQ(groups.Item(QStringLiteral("R2"))->sort_order(), 1);
    EXPECT_FALSE(groups.Item(4));
    EXPECT_FALSE(groups.Item(QStringLiteral("R9")));

    EXPECT_EQ(list->ReportFields().Count(), 0);
    EXPECT_EQ(list->ReportWheres().Count(), 0);
}

TEST_F(ListReportTest, ReadingStopsAtAnotherListOrADeletedRow)
{
    auto a = makeList(QStringLiteral("A"), 3, 2, 2);
    auto b = makeList(QStringLiteral("B"), 2, 0, 1);
    EXPECT_EQ(a->ReportGroups().Count(), 3) << "stops before the other list's rows";
    EXPECT_EQ(b->ReportGroups().Count(), 2);
    EXPECT_EQ(b->ReportWheres().Count(), 1);

    // A deleted row in the middle of the order ends the read.
    db->Execute(QStringLiteral("update vlq_list_report_group_field set del_status=-1 where vlq_list_report_id=%1 "
                               "and sort_order=2")
                    .arg(a->ID()));
    EXPECT_EQ(a->ReportGroups().Count(), 1);
    // Deleted conditions sort before the live ones and are never reached.
    db->Execute(QStringLiteral("update vlq_list_report_where_field set del_status=2 where vlq_list_report_id=%1 "
                               "and table_field_id=301")
                    .arg(a->ID()));
    const ListReport::Wheres wheres = a->ReportWheres();
    ASSERT_EQ(wheres.Count(), 1);
    EXPECT_EQ(wheres.Item(1)->table_field_id(), 302);
    EXPECT_EQ(wheres.Item(1)->text_from(), QStringLiteral("érték 2"));
    EXPECT_DOUBLE_EQ(wheres.Item(1)->number_from().toDouble(), 5.0);

    // A commit purges the rows marked deleted.
    ASSERT_TRUE(a->SetFinal());
    ASSERT_TRUE(a->CoreUpdate(true));
    EXPECT_EQ(children("vlq_list_report_group_field", a->ID()), 2);
    EXPECT_EQ(children("vlq_list_report_where_field", a->ID()), 1);
    EXPECT_EQ(children("vlq_list_report_group_field", b->ID()), 2);
}

TEST_F(ListReportTest, ModifyCopyReplacesTheSourceOnCommit)
{
    auto source = makeList(QStringLiteral("Forgalom"), 2, 3, 2);
    addDenial(source->ID());
    const long sourceId = source->ID();

    auto copy = source->DBClone(ectModify);
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->ID(), sourceId);
    EXPECT_EQ(copy->CloneSourceID(), sourceId);
    EXPECT_EQ(copy->temp_status(), 1);
    EXPECT_EQ(copy->ItemStatus(), isLoaded);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report")), 2);
    EXPECT_EQ(children("vlq_list_report_visible_field", copy->ID()), 3);
    EXPECT_EQ(children("vlq_list_report_visible_field", sourceId), 3) << "the source is untouched";
    EXPECT_EQ(db->transactionLevel(), 0);

    // Edit the copy: drop a group, change a field.
    auto groups = copy->ReportGroups();
    ASSERT_EQ(groups.Count(), 2);
    auto second = groups.Item(2);
    ASSERT_TRUE(second->Delete() && second->CoreUpdate());
    auto fields = copy->ReportFields();
    ASSERT_EQ(fields.Count(), 3);
    EXPECT_EQ(fields.Item(1)->total_aggregate(), eRFATsum);
    fields.Item(2)->setGroupAggregate(1, eRFATCount);
    ASSERT_TRUE(fields.Item(2)->SetFinal() && fields.Item(2)->CoreUpdate());

    copy->set_name(QStringLiteral("Forgalom (új)"));
    ASSERT_TRUE(copy->SetFinal());
    ASSERT_TRUE(copy->CoreUpdate(true));
    EXPECT_EQ(copy->temp_status(), 0);

    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report")), 1);
    EXPECT_EQ(count(QStringLiteral("select id from vlq_list_report")), copy->ID());
    EXPECT_EQ(count(QStringLiteral("select temp_status from vlq_list_report")), 0);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report_group_field")), 1) << "deleted one purged";
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report_visible_field")), 3);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report_where_field")), 2);
    EXPECT_EQ(children("vlq_list_report_where_field", copy->ID()), 2);
    EXPECT_EQ(count(QStringLiteral("select list_report_id from vlq_list_auth_unit")), copy->ID());

    ListReport reloaded;
    ASSERT_TRUE(reloaded.CoreLoad(copy->ID()));
    EXPECT_EQ(reloaded.name(), QStringLiteral("Forgalom (új)"));
    EXPECT_EQ(reloaded.ReportFields().Item(2)->groupAggregate(1), eRFATCount);
    const ListReport::Groups kept = reloaded.ReportGroups();
    ASSERT_EQ(kept.Count(), 1);
    EXPECT_EQ(kept.Item(1)->table_field_id(), 101);
}

TEST_F(ListReportTest, PlainCopyKeepsBothLists)
{
    auto source = makeList(QStringLiteral("Eredeti"), 1, 2, 1);
    addDenial(source->ID());
    auto copy = source->DBClone(ectCopy);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->CloneSourceID(), -1);
    ASSERT_TRUE(copy->SetFinal() && copy->CoreUpdate(true));
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report where temp_status=0")), 2);
    EXPECT_EQ(children("vlq_list_report_visible_field", source->ID()), 2);
    EXPECT_EQ(children("vlq_list_report_visible_field", copy->ID()), 2);
    EXPECT_EQ(count(QStringLiteral("select list_report_id from vlq_list_auth_unit")), source->ID());
}

TEST_F(ListReportTest, DeleteTempItemRemovesEveryRow)
{
    auto source = makeList(QStringLiteral("X"), 2, 2, 2);
    auto copy = source->DBClone(ectModify);
    ASSERT_TRUE(copy);
    auto wheres = copy->ReportWheres();
    ASSERT_TRUE(wheres.Item(1)->Delete() && wheres.Item(1)->CoreUpdate());
    EXPECT_TRUE(copy->DeleteTempItem());
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report where id=%1").arg(copy->ID())), 0);
    for (const char* t :
         {"vlq_list_report_group_field", "vlq_list_report_visible_field", "vlq_list_report_where_field"})
        EXPECT_EQ(children(t, copy->ID()), 0) << t;
    EXPECT_EQ(children("vlq_list_report_group_field", source->ID()), 2);
}

TEST_F(ListReportTest, FailedCloneWritesNothing)
{
    auto source = makeList(QStringLiteral("S"), 2, 2, 2);
    refuse(QStringLiteral("vlq_list_report_where_field"), QStringLiteral("INSERT"),
           QStringLiteral("NEW.vlq_list_report_id <> 1"));
    try {
        source->DBClone(ectModify);
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("ListReport in Function LoadReportWheres")));
        EXPECT_TRUE(e.description().endsWith(QStringLiteral("ListReport in Function DBClone ")));
    }
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report")), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report_group_field")), 2);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report_visible_field")), 2);
    EXPECT_EQ(db->transactionLevel(), 0);
    const modTables::Counts c = modTables::counts();
    EXPECT_EQ(c.transactions + c.lockUses, 0);
    EXPECT_FALSE(c.lockHeld);

    // A clone of a list that is gone is no object.
    ListReport missing;
    EXPECT_FALSE(missing.DBClone(ectCopy));
    EXPECT_EQ(db->transactionLevel(), 0);
}

TEST_F(ListReportTest, FailedCommitLeavesTheSourceAndTheCopy)
{
    auto source = makeList(QStringLiteral("S"), 2, 2, 2);
    addDenial(source->ID());
    auto copy = source->DBClone(ectModify);
    ASSERT_TRUE(copy);
    refuse(QStringLiteral("vlq_list_report_visible_field"), QStringLiteral("DELETE"));
    ASSERT_TRUE(copy->SetFinal());
    EXPECT_THROW(copy->CoreUpdate(true), RuntimeError);
    EXPECT_EQ(copy->temp_status(), 1);
    EXPECT_EQ(count(QStringLiteral("select temp_status from vlq_list_report where id=%1").arg(copy->ID())), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report where id=%1").arg(source->ID())), 1);
    EXPECT_EQ(children("vlq_list_report_group_field", source->ID()), 2);
    EXPECT_EQ(count(QStringLiteral("select list_report_id from vlq_list_auth_unit")), source->ID());
    EXPECT_EQ(db->transactionLevel(), 0);

    allow();
    EXPECT_TRUE(copy->CoreUpdate(true));
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report")), 1);
}

TEST_F(ListReportTest, UnchangedWorkCopyStillBecomesFinal)
{
    auto source = makeList(QStringLiteral("U"), 1, 1, 1);
    auto copy = source->DBClone(ectModify);
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->ItemStatus(), isLoaded);
    ASSERT_TRUE(copy->SetFinal() && copy->CoreUpdate(true));
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report")), 1);
    EXPECT_EQ(count(QStringLiteral("select temp_status from vlq_list_report where id=%1").arg(copy->ID())), 0)
        << "the list would vanish if the copy stayed temporary";
}

TEST_F(ListReportTest, TemporaryListIsRefusedAndDeletedListHidesItsChildren)
{
    auto list = makeList(QStringLiteral("D"), 1, 1, 0);
    ListReport loaded;
    ASSERT_TRUE(loaded.CoreLoad(list->ID()));
    EXPECT_FALSE(loaded.CoreUpdate(true));
    EXPECT_FALSE(loaded.DBClone(ectCopy) == nullptr);  // cloning needs no finalising
    ASSERT_TRUE(loaded.Delete());
    ASSERT_TRUE(loaded.CoreUpdate());
    EXPECT_EQ(count(QStringLiteral("select del_status from vlq_list_report where id=%1").arg(list->ID())), -1);
    EXPECT_EQ(children("vlq_list_report_group_field", list->ID()), 1) << "children stay";
    ListReport again;
    EXPECT_FALSE(again.CoreLoad(list->ID()));
}

// --- a work copy's object must never remove an unrelated saved list -------------------

TEST_F(ListReportTest, DeleteTempItemRefusesAFinalList)
{
    auto saved = makeList(QStringLiteral("Mentett"), 1, 2, 1);
    EXPECT_FALSE(saved->DeleteTempItem());
    ASSERT_EQ(ctx().currentErrors().Count(), 1);
    EXPECT_EQ(ctx().currentErrors().Item(1)->Number(), errnum::ListNotTemporary);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report where id=%1").arg(saved->ID())), 1);
    EXPECT_EQ(children("vlq_list_report_visible_field", saved->ID()), 2);

    // A work copy's object reused for a saved list: the stored row decides.
    auto copy = saved->DBClone(ectModify);
    ASSERT_TRUE(copy);
    ASSERT_TRUE(copy->CoreLoad(saved->ID()));
    ctx().currentErrors().Clear();
    EXPECT_FALSE(copy->DeleteTempItem());
    EXPECT_EQ(ctx().currentErrors().Count(), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report where id=%1").arg(saved->ID())), 1);
    EXPECT_EQ(db->transactionLevel(), 0);
}

TEST_F(ListReportTest, ObjectReusedThroughCoreDefaultReplacesNothing)
{
    auto source = makeList(QStringLiteral("Forrás"), 1, 1, 1);
    auto copy = source->DBClone(ectModify);
    ASSERT_TRUE(copy);
    ASSERT_TRUE(copy->DeleteTempItem());

    copy->CoreDefault();
    EXPECT_EQ(copy->CloneSourceID(), 0);
    copy->set_name(QStringLiteral("Új lista"));
    ASSERT_TRUE(copy->SetFinal() && copy->CoreUpdate(true));
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report where id=%1").arg(source->ID())), 1);
    EXPECT_EQ(children("vlq_list_report_group_field", source->ID()), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report")), 2);
}

TEST_F(ListReportTest, ObjectReusedThroughCoreLoadReplacesNothing)
{
    auto first = makeList(QStringLiteral("Első"), 1, 1, 1);
    auto second = makeList(QStringLiteral("Második"), 2, 1, 0);
    auto copy = first->DBClone(ectModify);
    ASSERT_TRUE(copy);

    // The same object now edits another list that is final already.
    ASSERT_TRUE(copy->CoreLoad(second->ID()));
    EXPECT_EQ(copy->CloneSourceID(), 0);
    copy->set_name(QStringLiteral("Második (átnevezve)"));
    ASSERT_TRUE(copy->SetFinal() && copy->CoreUpdate(true));
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report where id=%1").arg(first->ID())), 1)
        << "the list the object was once copied from survives";
    EXPECT_EQ(children("vlq_list_report_visible_field", first->ID()), 1);

    // Loading another work copy keeps nothing of the first copy's source either.
    auto otherCopy = second->DBClone(ectCopy);
    ASSERT_TRUE(otherCopy);
    auto reused = first->DBClone(ectModify);
    ASSERT_TRUE(reused);
    ASSERT_TRUE(reused->CoreLoad(otherCopy->ID()));
    ASSERT_TRUE(reused->SetFinal() && reused->CoreUpdate(true));
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report where id=%1").arg(first->ID())), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report where id=%1").arg(second->ID())), 1);
}

TEST_F(ListReportTest, DeletedWorkCopyReplacesNothing)
{
    auto source = makeList(QStringLiteral("Forrás"), 1, 1, 1);
    addDenial(source->ID());
    auto copy = source->DBClone(ectModify);
    ASSERT_TRUE(copy);
    ASSERT_TRUE(copy->Delete());
    ASSERT_TRUE(copy->CoreUpdate(true));
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report where id=%1").arg(source->ID())), 1);
    EXPECT_EQ(children("vlq_list_report_where_field", source->ID()), 1);
    EXPECT_EQ(count(QStringLiteral("select list_report_id from vlq_list_auth_unit")), source->ID())
        << "the denials stay with the source";
}

TEST_F(ListReportTest, RecommittingAFinalListReplacesNothing)
{
    auto source = makeList(QStringLiteral("Forrás"), 1, 1, 1);
    auto copy = source->DBClone(ectModify);
    ASSERT_TRUE(copy);
    ASSERT_TRUE(copy->SetFinal() && copy->CoreUpdate(true));
    ASSERT_EQ(count(QStringLiteral("select count(*) from vlq_list_report")), 1);

    // Another list now holds the id of the replaced source.
    db->Execute(QStringLiteral("insert into vlq_list_report (id, name, temp_status) values (%1, 'Idegen', 0)")
                    .arg(source->ID()));
    copy->set_name(QStringLiteral("Átnevezve"));
    ASSERT_TRUE(copy->SetFinal() && copy->CoreUpdate(true));
    EXPECT_EQ(count(QStringLiteral("select count(*) from vlq_list_report where id=%1").arg(source->ID())), 1);
}

}  // namespace
}  // namespace lg::test
