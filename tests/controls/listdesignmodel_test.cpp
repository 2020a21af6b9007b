// The list wizard's model on the demo database: step 1 in its three modes,
// the page saves, the aggregate grid, conditions, the final save, and what
// cancelling, finishing and a killed process leave in the store.

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QLockFile>
#include <QtCore/QProcess>
#include <QtCore/QSet>

#include "controls/listdesignmodel.h"
#include "controlsfixture.h"
#include "filters/checkboxfiltermodel.h"
#include "filters/listboxfiltermodel.h"
#include "filters/querycontainermodel.h"
#include "filters/textfiltermodel.h"
#include "platform/strings.h"
#include "store/errors.h"
#include "store/listreport.h"

namespace lg::test {
namespace {

using controls::DesignMode;
using controls::FieldPage;
using controls::ListDesignModel;

// Demo catalogue field ids (table-field ids).
enum Field : long {
    PartnerName = 2,       // container (7)
    PartnerType = 3,       // text (4)
    PartnerCity = 6,       // text
    PartnerActive = 8,     // Boolean (5)
    PartnerCredit = 9,     // decimal (2)
    PartnerDays = 10,      // long (1)
    RegionName = 12,       // list box (6)
    RegionCode = 13,       // text; made a text list box (8) by the end-to-end test
    InvoiceNumber = 14,    // text
    InvoiceDate = 15,      // date (3)
    InvoicePaid = 17,      // Boolean
    InvoicePayMode = 19,   // text
    InvoiceNet = 20,
    InvoiceGross = 22,
};
constexpr long kInvoices = 2;  // list type "Számlák" (module 1)
constexpr long kAdminUser = 1;

class ListDesignModelTest : public DemoDatabase {
protected:
    std::unique_ptr<ListDesignModel> open(long userId, long currentItem = -1, long modul = 1)
    {
        auto model = std::make_unique<ListDesignModel>();
        model->setUserID(userId);
        model->setModulID(modul);
        model->setReportFolderPath(m_dir);
        model->setCurrentItemID(currentItem);
        model->setTableFieldNameCompletteOnUI(true);
        model->setTableFieldNameCompletteOnReport(true);
        model->setAuthenticAllReport(true);
        EXPECT_TRUE(model->Initialize());
        return model;
    }

    // Steps 1 to 3 of a new invoice list: name, groups, displayed fields.
    std::unique_ptr<ListDesignModel> newInvoiceList(const QList<long>& groups, const QList<long>& fields)
    {
        auto m = open(kAdminUser);
        m->setMode(DesignMode::New);
        m->chooseListType(kInvoices);
        m->setName(u"  Próbalista  "_s);
        m->setDetailInvisible(false);
        EXPECT_TRUE(moveOk(*m, 1));
        EXPECT_TRUE(m->setChosenFields(FieldPage::Group, groups)) << errorTexts().toStdString();
        EXPECT_TRUE(moveOk(*m, 1));
        EXPECT_TRUE(m->setChosenFields(FieldPage::Visible, fields)) << errorTexts().toStdString();
        return m;
    }

    bool moveOk(ListDesignModel& m, int direction)
    {
        const bool ok = m.move(direction);
        if (!ok)
            ADD_FAILURE() << "move " << direction << " on step " << m.currentStep() << ": "
                          << errorTexts().toStdString();
        return ok;
    }

    QString errorTexts()
    {
        QStringList texts;
        for (const auto& e : ctx().currentErrors())
            texts << e->description();
        ctx().currentErrors().Clear();
        return texts.join(u" | "_s);
    }

    // Every row of the list tables and the denials, all columns, in id order.
    QString dump()
    {
        QString out;
        for (const QString& table :
             {u"vlq_list_report"_s, u"vlq_list_report_group_field"_s, u"vlq_list_report_visible_field"_s,
              u"vlq_list_report_where_field"_s, u"vlq_list_auth_unit"_s}) {
            auto rs = db->OpenRecordset(u"SELECT * FROM "_s + table + u" ORDER BY id"_s, dao::RecordsetType::Snapshot);
            while (!rs->Eof()) {
                out += table + u':';
                for (int i = 0; i < rs->FieldCount(); ++i)
                    out += rs->Fields(i).toString() + u'|';
                out += u'\n';
                rs->MoveNext();
            }
        }
        return out;
    }

    // The rows of one list and its children.
    QString dumpList(long listId)
    {
        QString out;
        const QString id = QString::number(listId);
        for (const QString& sql :
             QStringList{u"SELECT * FROM vlq_list_report WHERE id="_s + id,
              u"SELECT * FROM vlq_list_report_group_field WHERE vlq_list_report_id="_s + id + u" ORDER BY id"_s,
              u"SELECT * FROM vlq_list_report_visible_field WHERE vlq_list_report_id="_s + id + u" ORDER BY id"_s,
              u"SELECT * FROM vlq_list_report_where_field WHERE vlq_list_report_id="_s + id + u" ORDER BY id"_s}) {
            auto rs = db->OpenRecordset(sql, dao::RecordsetType::Snapshot);
            for (; !rs->Eof(); rs->MoveNext()) {
                for (int i = 0; i < rs->FieldCount(); ++i)
                    out += rs->Fields(i).toString() + u'|';
                out += u'\n';
            }
        }
        return out;
    }

    long scalar(const QString& sql)
    {
        auto rs = db->OpenRecordset(sql, dao::RecordsetType::Snapshot);
        return rs->Eof() ? -1 : long(rs->Fields(0).toLongLong());
    }
    long temporaryLists() { return scalar(u"SELECT COUNT(*) FROM vlq_list_report WHERE temp_status<>0"_s); }
    long childRows(long listId)
    {
        return scalar(QStringLiteral("SELECT (SELECT COUNT(*) FROM vlq_list_report_group_field WHERE "
                                     "vlq_list_report_id=%1) + (SELECT COUNT(*) FROM vlq_list_report_visible_field "
                                     "WHERE vlq_list_report_id=%1) + (SELECT COUNT(*) FROM "
                                     "vlq_list_report_where_field WHERE vlq_list_report_id=%1)")
                          .arg(listId));
    }
    QList<long> storedGroups(long listId)
    {
        QList<long> out;
        ListReport list;
        if (list.CoreLoad(listId)) {
            for (const auto& g : list.ReportGroups())
                out << g->table_field_id();
        }
        return out;
    }
};

// --- step 1 -------------------------------------------------------------------------

TEST_F(ListDesignModelTest, OpensOnTheFirstTypeAndItsFirstList)
{
    auto m = open(kAdminUser);
    ASSERT_FALSE(m->listTypes().isEmpty());
    EXPECT_EQ(m->selectedListTypeId(), m->listTypes().first().id);
    ASSERT_FALSE(m->reports().isEmpty());
    EXPECT_EQ(m->CurrentItemID(), m->reports().first().id);
    ListReport list;
    ASSERT_TRUE(list.CoreLoad(m->CurrentItemID()));
    EXPECT_EQ(m->name(), list.name());
    EXPECT_EQ(m->filterForm(), list.filterform() == -1);
    EXPECT_EQ(m->currentStep(), 1);
    EXPECT_FALSE(m->backEnabled());
    EXPECT_EQ(m->nextCaption(), LoadResString(3002));
    EXPECT_EQ(m->ReturnValue(), 1);
}

TEST_F(ListDesignModelTest, AnotherUsersListCanOnlyBeCopied)
{
    auto m = open(kAdminUser, 3);  // list 3 belongs to user 2
    EXPECT_EQ(m->selectedListTypeId(), kInvoices);
    EXPECT_EQ(m->selectedReportId(), 3);
    EXPECT_FALSE(m->editModeEnabled());
    EXPECT_EQ(m->mode(), DesignMode::New);
    EXPECT_FALSE(m->setMode(DesignMode::Edit));
    EXPECT_TRUE(m->setMode(DesignMode::Copy));
}

TEST_F(ListDesignModelTest, StepOneChecksAreReportedTogether)
{
    struct Case {
        const char* name;
        DesignMode mode;
        bool withType;
        int direction;
        QList<int> messages;
    } cases[] = {
        {"", DesignMode::New, false, 1, {5006, 5007}},
        {"x", DesignMode::New, false, 1, {5007}},
        {"x", DesignMode::New, true, -1, {5011}},
        {"   ", DesignMode::Copy, true, 1, {5006}},
    };
    for (const Case& c : cases) {
        auto m = open(kAdminUser);
        m->setMode(c.mode);
        if (!c.withType)
            m->chooseListType(-1);
        m->setName(QString::fromUtf8(c.name));
        EXPECT_FALSE(m->move(c.direction)) << c.name;
        QStringList expected;
        for (int id : c.messages)
            expected << LoadResString(id);
        EXPECT_EQ(errorTexts(), expected.join(u" | "_s)) << c.name;
        EXPECT_EQ(m->currentStep(), 1);
        EXPECT_EQ(temporaryLists(), 0);
    }
}

TEST_F(ListDesignModelTest, AFailedStepOneLeavesNothingAndCanBeRetried)
{
    auto m = open(kAdminUser);
    m->setMode(DesignMode::New);
    m->chooseListType(4711);  // no such list type: the list is written, the type does not load
    m->setName(u"Újra"_s);
    EXPECT_FALSE(m->move(1));
    errorTexts();
    EXPECT_EQ(temporaryLists(), 0);
    EXPECT_FALSE(m->stepProcessed(1));
    EXPECT_TRUE(m->step1ChoicesEnabled());
    EXPECT_EQ(m->currentStep(), 1);

    m->chooseListType(kInvoices);
    ASSERT_TRUE(moveOk(*m, 1));
    EXPECT_EQ(m->currentStep(), 2);
    EXPECT_EQ(temporaryLists(), 1);
    EXPECT_FALSE(m->step1ChoicesEnabled());
    m->Exit();
    EXPECT_EQ(temporaryLists(), 0);
}

// --- steps 2 to 4 -------------------------------------------------------------------

TEST_F(ListDesignModelTest, TheGroupingListHoldsTenDistinctFields)
{
    auto m = newInvoiceList({}, {});
    moveOk(*m, -1);
    ASSERT_EQ(m->currentStep(), 2);
    ASSERT_GE(m->freeFields(FieldPage::Group).size(), 11);
    int added = 0;
    for (const auto& row : m->freeFields(FieldPage::Group)) {
        if (m->addField(FieldPage::Group, row.fieldId))
            ++added;
    }
    EXPECT_EQ(added, ListDesignModel::kMaxGroupFields);
    EXPECT_EQ(m->chosenFields(FieldPage::Group).size(), 10);
    const long first = m->chosenFields(FieldPage::Group).first().tableFieldId;
    m->removeField(FieldPage::Group, 9);
    EXPECT_FALSE(m->addField(FieldPage::Group, first)) << "already chosen";
    EXPECT_EQ(m->chosenFields(FieldPage::Group).size(), 9);

    // Removing selects the entry before; moving swaps with the neighbour.
    EXPECT_EQ(m->removeField(FieldPage::Group, 0), 0);
    const auto before = m->chosenFields(FieldPage::Group);
    EXPECT_EQ(m->moveField(FieldPage::Group, 0, -1), 0);
    EXPECT_EQ(m->moveField(FieldPage::Group, 0, +1), 1);
    EXPECT_EQ(m->chosenFields(FieldPage::Group).at(1), before.at(0));
    EXPECT_EQ(m->chosenFields(FieldPage::Group).at(0), before.at(1));
    EXPECT_TRUE(m->pageChanged());
}

TEST_F(ListDesignModelTest, ThreeGroupsReducedToOneRewriteTheLastRecord)
{
    auto m = newInvoiceList({PartnerCity, InvoicePayMode, InvoicePaid}, {InvoiceNumber});
    const long listId = m->listReportId();
    moveOk(*m, -1);  // back to step 2: the displayed field is saved on the way
    ASSERT_EQ(m->currentStep(), 2);
    EXPECT_EQ(storedGroups(listId), (QList<long>{PartnerCity, InvoicePayMode, InvoicePaid}));
    auto ids = [&] {
        QList<long> out;
        auto rs = db->OpenRecordset(
            QStringLiteral("SELECT id FROM vlq_list_report_group_field WHERE vlq_list_report_id=%1 ORDER BY id")
                .arg(listId),
            dao::RecordsetType::Snapshot);
        for (; !rs->Eof(); rs->MoveNext())
            out << long(rs->Fields(0).toLongLong());
        return out;
    };
    const QList<long> before = ids();
    ASSERT_EQ(before.size(), 3);
    ASSERT_TRUE(m->setChosenFields(FieldPage::Group, {RegionName}));
    moveOk(*m, 1);
    EXPECT_EQ(storedGroups(listId), QList<long>{RegionName});
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM vlq_list_report_group_field WHERE id IN (%1, %2) AND "
                                    "del_status<>0")
                         .arg(before[0])
                         .arg(before[1])),
              2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT sort_order FROM vlq_list_report_group_field WHERE id=%1").arg(before[2])),
              1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT table_field_id FROM vlq_list_report_group_field WHERE id=%1")
                         .arg(before[2])),
              RegionName);
}

TEST_F(ListDesignModelTest, GroupingChangedAndLeftBackwardsIsKept)
{
    auto m = newInvoiceList({PartnerCity}, {InvoiceNumber});
    const long listId = m->listReportId();
    moveOk(*m, -1);  // step 2
    ASSERT_TRUE(m->setChosenFields(FieldPage::Group, {PartnerCity, InvoicePayMode}));
    moveOk(*m, -1);  // step 1: the change is saved now
    EXPECT_EQ(storedGroups(listId), (QList<long>{PartnerCity, InvoicePayMode}));
    moveOk(*m, 1);   // step 2 again, no change flag: page and store agree
    EXPECT_FALSE(m->pageChanged());
    moveOk(*m, 1);
    EXPECT_EQ(storedGroups(listId), (QList<long>{PartnerCity, InvoicePayMode}));
    EXPECT_EQ(m->chosenFields(FieldPage::Group).size(), 2);
}

TEST_F(ListDesignModelTest, AggregateGridFollowsTheGroupsAndResetsAfterAFieldChange)
{
    auto m = newInvoiceList({PartnerCity, InvoicePayMode}, {InvoiceNumber, InvoiceNet, InvoicePaid});
    ASSERT_TRUE(moveOk(*m, 1));
    ASSERT_EQ(m->currentStep(), 4);
    const auto& grid = m->aggregateGrid();
    ASSERT_EQ(grid.columnCount(), 4);  // caption, two levels, grand total
    EXPECT_EQ(grid.headerText(0), u"Mező"_s);
    EXPECT_EQ(grid.headerText(3), u"Mindösszesen"_s);
    ASSERT_EQ(grid.rowCount(), 4);

    // Boolean rows: three choices and no automatic filling.
    int paidRow = -1, netRow = -1;
    for (int r = 1; r < grid.rowCount(); ++r) {
        if (grid.rowDataType(r) == eRFDTBoolean)
            paidRow = r;
        if (grid.rowDataType(r) == eRFDTDecimalNumber)
            netRow = r;
    }
    ASSERT_GT(paidRow, 0);
    ASSERT_GT(netRow, 0);
    EXPECT_EQ(grid.choices(paidRow), (QList<long>{1, 2, 3}));
    for (const auto& command : controls::autoFillCommands())
        m->runAutoFillCommand(command.commandId);
    for (int c = 1; c < grid.columnCount(); ++c)
        EXPECT_EQ(grid.cellData(paidRow, c), -1);
    EXPECT_EQ(grid.cellData(netRow, 1), eRFATAvg) << "the last command of the number menu fills Átlag";
    EXPECT_TRUE(m->chooseAggregate(paidRow, 3, eRFATCount));
    EXPECT_FALSE(m->chooseAggregate(paidRow, 3, eRFATsum)) << "not offered for Boolean";

    ASSERT_TRUE(moveOk(*m, 1));  // saves the grid
    ListReportVisibleField net;
    ASSERT_TRUE(net.CoreLoad(grid.rowFieldId(netRow)));
    EXPECT_EQ(net.group1_aggregate(), grid.cellData(netRow, 1));
    EXPECT_EQ(net.total_aggregate(), grid.cellData(netRow, 3));
    for (int k = 3; k <= 10; ++k)
        EXPECT_EQ(net.groupAggregate(k), -1) << k;

    // Back to step 3, change the displayed fields: every aggregate is reset.
    moveOk(*m, -1);
    moveOk(*m, -1);
    ASSERT_TRUE(m->setChosenFields(FieldPage::Visible, {InvoiceNet, InvoiceNumber, InvoicePaid}));
    ASSERT_TRUE(moveOk(*m, 1));
    for (int r = 1; r < grid.rowCount(); ++r)
        for (int c = 1; c < grid.columnCount(); ++c)
            EXPECT_EQ(grid.cellData(r, c), -1) << r << "," << c;
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM vlq_list_report_visible_field WHERE vlq_list_report_id=%1 "
                                    "AND del_status=0 AND (total_aggregate<>-1 OR group1_aggregate<>-1)")
                         .arg(m->listReportId())),
              0);
}

TEST_F(ListDesignModelTest, StepTwoAndThreeChecks)
{
    auto m = newInvoiceList({}, {});
    moveOk(*m, -1);
    ASSERT_EQ(m->currentStep(), 2);
    m->setDetailInvisible(true);
    EXPECT_FALSE(m->move(1));
    EXPECT_EQ(errorTexts(), LoadResString(30036));
    EXPECT_TRUE(moveOk(*m, -1)) << "back passes unchecked";
    m->setDetailInvisible(false);
    moveOk(*m, 1);
    moveOk(*m, 1);
    ASSERT_EQ(m->currentStep(), 3);
    EXPECT_FALSE(m->move(1));
    EXPECT_EQ(errorTexts(), LoadResString(5012));
}

// --- conditions ------------------------------------------------------------------------

TEST_F(ListDesignModelTest, ConditionsAreStoredSwitchedAndDeleted)
{
    auto m = newInvoiceList({}, {InvoiceNumber, InvoiceNet});
    controls::FilterModelConditionSource source;
    m->setConditionSource(&source);
    moveOk(*m, 1);
    moveOk(*m, 1);
    ASSERT_EQ(m->currentStep(), 5);
    ASSERT_TRUE(m->InitCurrentFilterControl(InvoicePayMode));
    auto* text = dynamic_cast<filters::TextFilterModel*>(source.filter());
    ASSERT_NE(text, nullptr);
    text->setActive(true);
    text->input1()->setText(u"átutalás"_s);
    text->input1()->leave();
    ASSERT_TRUE(m->InitCurrentFilterControl(InvoicePaid));
    auto* check = dynamic_cast<filters::CheckBoxFilterModel*>(source.filter());
    ASSERT_NE(check, nullptr);
    check->setActive(true);
    ASSERT_TRUE(m->InitCurrentFilterControl(-1));
    const long listId = m->listReportId();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM vlq_list_report_where_field WHERE vlq_list_report_id=%1 AND "
                                    "del_status=0")
                         .arg(listId)),
              2);
    // Two conditions: "A ÉS B" and "a AND b", in the order they were stored.
    ListReport list;
    ASSERT_TRUE(list.CoreLoad(listId));
    const auto wheres = list.ReportWheres();
    ASSERT_EQ(wheres.Count(), 2);
    EXPECT_EQ(m->sqlDescription(),
              wheres.Item(1)->sql_description() + LoadResString(30002) + wheres.Item(2)->sql_description());
    EXPECT_EQ(m->sqlWhere(), wheres.Item(1)->sql_where() + u" AND "_s + wheres.Item(2)->sql_where());
    EXPECT_TRUE(wheres.Item(1)->sql_where().contains(u"átutalás"_s));
    EXPECT_EQ(wheres.Item(1)->text_from(), u"átutalás"_s);

    // Untick the first field's condition and switch away: it is deleted.
    ASSERT_TRUE(m->InitCurrentFilterControl(InvoicePayMode));
    text = dynamic_cast<filters::TextFilterModel*>(source.filter());
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isActive()) << "set up from the stored condition";
    text->setActive(false);
    ASSERT_TRUE(m->InitCurrentFilterControl(InvoicePaid));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM vlq_list_report_where_field WHERE vlq_list_report_id=%1 AND "
                                    "del_status=0")
                         .arg(listId)),
              1);
    EXPECT_FALSE(m->sqlDescription().contains(LoadResString(30002)));

    // Finishing twice after a failure never stores a field twice.
    ASSERT_TRUE(m->InitCurrentFilterControl(ListDesignModel::kFinalSaveFieldId));
    ASSERT_TRUE(m->InitCurrentFilterControl(ListDesignModel::kFinalSaveFieldId));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM vlq_list_report_where_field WHERE vlq_list_report_id=%1 AND "
                                    "del_status=0")
                         .arg(listId)),
              1);
}

// --- what the store keeps ----------------------------------------------------------------

TEST_F(ListDesignModelTest, CancellingAnEditLeavesTheStoreAsItWas)
{
    const QString before = dump();
    {
        auto m = open(kAdminUser, 1, 2);  // "Partnerek régiónként", the admin's own
        ASSERT_TRUE(m->setMode(DesignMode::Edit));
        m->setName(u"Átnevezve"_s);
        ASSERT_TRUE(moveOk(*m, 1));
        ASSERT_TRUE(m->setChosenFields(FieldPage::Group, {}));
        moveOk(*m, 1);
        moveOk(*m, 1);
        moveOk(*m, 1);
        EXPECT_EQ(temporaryLists(), 1);
        m->Exit();
        EXPECT_EQ(m->ReturnValue(), 1);
    }
    EXPECT_EQ(dump(), before);
    {
        auto m = open(kAdminUser, 1, 2);
        ASSERT_TRUE(m->setMode(DesignMode::Edit));
        ASSERT_TRUE(moveOk(*m, 1));
        // destroyed without Exit (the window closed)
    }
    EXPECT_EQ(dump(), before);
}

TEST_F(ListDesignModelTest, FinishingAnEditReplacesTheListUnderANewId)
{
    const long denialsBefore = scalar(u"SELECT COUNT(*) FROM vlq_list_auth_unit WHERE list_report_id=2"_s);
    auto m = open(kAdminUser, 2, 2);  // "Vevők hitelkerete": conditions, no groups
    ASSERT_TRUE(m->setMode(DesignMode::Edit));
    m->setName(u"Vevők hitelkerete (új)"_s);
    ASSERT_TRUE(moveOk(*m, 1));
    ASSERT_TRUE(m->setChosenFields(FieldPage::Group, {PartnerCity}));
    moveOk(*m, 1);
    moveOk(*m, 1);
    moveOk(*m, 1);
    ASSERT_TRUE(moveOk(*m, 1));
    EXPECT_EQ(m->ReturnValue(), 0);
    const long newId = m->CurrentItemID();
    EXPECT_NE(newId, 2);
    m.reset();
    EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM vlq_list_report WHERE id=2"_s), 0);
    EXPECT_EQ(childRows(2), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM vlq_list_auth_unit WHERE list_report_id=%1").arg(newId)),
              denialsBefore);
    ListReport saved;
    ASSERT_TRUE(saved.CoreLoad(newId));
    EXPECT_EQ(saved.temp_status(), 0);
    EXPECT_EQ(saved.name(), u"Vevők hitelkerete (új)"_s);
    EXPECT_EQ(storedGroups(newId), QList<long>{PartnerCity});
    EXPECT_EQ(saved.ReportWheres().Count(), 2) << "the stored conditions came along";
    EXPECT_TRUE(saved.sql_source().contains(u"%WHERE%"_s));
    EXPECT_TRUE(QFile::exists(m_dir + u"/"_s + saved.report_file()));
    EXPECT_EQ(temporaryLists(), 0);
}

TEST_F(ListDesignModelTest, CopyingAnotherUsersListGivesAnIndependentList)
{
    const QString before = dump();
    const QString sourceBefore = dumpList(3);
    auto m = open(kAdminUser, 3, 1);  // user 2's list
    ASSERT_TRUE(m->setMode(DesignMode::Copy));
    m->setName(u"Saját másolat"_s);
    ASSERT_TRUE(moveOk(*m, 1));
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(moveOk(*m, 1));
    const long copyId = m->CurrentItemID();
    m.reset();
    ListReport copy, source;
    ASSERT_TRUE(copy.CoreLoad(copyId));
    ASSERT_TRUE(source.CoreLoad(3));
    EXPECT_EQ(copy.create_user(), kAdminUser);
    EXPECT_EQ(source.create_user(), 2);
    EXPECT_EQ(copy.ReportFields().Count(), source.ReportFields().Count());

    // Editing the copy later touches nothing of the source.
    auto e = open(kAdminUser, copyId, 1);
    ASSERT_TRUE(e->editModeEnabled());
    ASSERT_TRUE(e->setMode(DesignMode::Edit));
    ASSERT_TRUE(moveOk(*e, 1));
    ASSERT_TRUE(e->setChosenFields(FieldPage::Group, {}));
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(moveOk(*e, 1));
    e.reset();
    ASSERT_TRUE(source.CoreLoad(3));
    EXPECT_EQ(source.ReportGroups().Count(), 1);
    EXPECT_EQ(dumpList(3), sourceBefore);
}

// --- temporary lists left behind ------------------------------------------------------------

TEST_F(ListDesignModelTest, CleanupRemovesOnlyTemporaryListsWithoutALiveHolder)
{
    const QString before = dump();
    // A live wizard of this process.
    auto live = newInvoiceList({}, {});
    const long liveId = live->listReportId();
    // A wizard whose process was killed: its work copy and a lock file
    // naming a process that is gone.
    ListReport source;
    ASSERT_TRUE(source.CoreLoad(1));
    const auto orphan = source.DBClone(ectModify);
    ASSERT_TRUE(orphan);
    const long deadId = orphan->ID();
    ASSERT_GT(childRows(deadId), 0);
    QProcess gone;
    gone.start(u"true"_s, {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    const QString deadLock = ListDesignModel::holdFilePath(deadId);
    ASSERT_FALSE(deadLock.isEmpty());
    QDir().mkpath(QFileInfo(deadLock).absolutePath());
    {
        QFile f(deadLock);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::number(deadPid) + "\n" + QCoreApplication::applicationName().toUtf8() + "\n"
                + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    // A young temporary list without a lock file (a wizard just starting).
    db->Execute(QStringLiteral("INSERT INTO vlq_list_report (id, list_type_id, name, temp_status, del_status, "
                               "last_action_date1) VALUES (9001, 2, 'fiatal', 1, 0, Now())"));
    db->Execute(QStringLiteral("INSERT INTO vlq_list_report (id, list_type_id, name, temp_status, del_status, "
                               "last_action_date1) VALUES (9002, 2, 'régi', 1, 0, #01/01/2020#)"));
    ASSERT_EQ(temporaryLists(), 4);

    EXPECT_EQ(ListDesignModel::CleanupStaleTemporaryLists(), 2) << errorTexts().toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM vlq_list_report WHERE id=%1").arg(liveId)), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM vlq_list_report WHERE id=%1").arg(deadId)), 0);
    EXPECT_EQ(childRows(deadId), 0);
    EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM vlq_list_report WHERE id=9001"_s), 1);
    EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM vlq_list_report WHERE id=9002"_s), 0);
    EXPECT_FALSE(QFileInfo::exists(deadLock));

    // Another process sees the live wizard's lock as held.
    const QString liveLock = ListDesignModel::holdFilePath(liveId);
    EXPECT_TRUE(QFileInfo::exists(liveLock));
    QLockFile probe(liveLock);
    probe.setStaleLockTime(0);
    EXPECT_FALSE(probe.tryLock(0));

    live->Exit();
    db->Execute(u"DELETE FROM vlq_list_report WHERE id=9001"_s);
    EXPECT_EQ(dump(), before) << "saved lists are never touched";
}

}  // namespace
}  // namespace lg::test
