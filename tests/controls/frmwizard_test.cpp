// The list wizard dialog driven offscreen with QTest on the demo database:
// step 1 and its checks, the pages' input reaching the design model, the
// aggregate cell editor, leaving without a trace, and a whole list designed
// through the dialog, saved, and run to a PDF whose totals are those of an
// independent query.

#include <QtCore/QDir>
#include <QtCore/QRegularExpression>
#include <QtGui/QKeyEvent>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QStackedWidget>

#include <cmath>

#include "controls/aggregatefillmenu.h"
#include "controls/aggregategrid.h"
#include "controls/aggregategridview.h"
#include "controls/chosenfieldlist.h"
#include "controls/frmwizard.h"
#include "controls/listdesignmodel.h"
#include "controls/listbrowser.h"
#include "controls/listwizard.h"
#include "store/errors.h"
#include "controls/vw_stepheader.h"
#include "controls/wizarddesigner.h"
#include "controlsfixture.h"
#include "filters/checkboxfiltermodel.h"
#include "filters/listboxfiltermodel.h"
#include "filters/querycontainermodel.h"
#include "filters/textfiltermodel.h"
#include "filters/widgets/conditionpanel.h"
#include "filters/widgets/queryfiltercontrol.h"
#include "platform/strings.h"
#include "scriptedservices.h"
#include "ui/fieldtree.h"

using namespace Qt::StringLiterals;
using namespace lg;
using namespace lg::controls;

namespace {

// Demo catalogue, list type "Számlák" (2).
constexpr long kInvoices = 2;
constexpr long kRegionName = 12, kPaymentMethod = 19, kPartnerName = 2;       // grouping
constexpr long kInvoiceNumber = 14, kNet = 20, kGross = 22, kPaid = 17;       // displayed
constexpr long kSeller = 23, kIssued = 15;                                     // conditions only

class WizardDialog : public test::DemoDatabase {
protected:
    void SetUp() override
    {
        DemoDatabase::SetUp();
        m_ownReports = m_dir + u"/reports"_s;
        QDir().mkpath(m_ownReports);
    }

    std::unique_ptr<frmWizard> open(long user, long listId = -1)
    {
        auto w = std::make_unique<frmWizard>();
        w->setUserID(int(user));
        w->setReportFolderPath(m_ownReports);
        w->setAuthenticAllReport(true);
        w->setCurrentItemID(int(listId));
        EXPECT_TRUE(w->Initialize());
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        return w;
    }

    static void chooseListType(frmWizard& w, long typeId)
    {
        QComboBox* c = w.cbo_list_type();
        c->setFocus();
        QTest::keyClick(c, Qt::Key_Home);
        for (int i = 0; i < c->count() && c->currentData().toLongLong() != typeId; ++i)
            QTest::keyClick(c, Qt::Key_Down);
        ASSERT_EQ(c->currentData().toLongLong(), typeId);
    }

    // Typed key by key; QTest's own helper knows only ASCII.
    static void typeText(QWidget* box, const QString& text)
    {
        box->setFocus();
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &release);
        }
    }

    static void typeName(frmWizard& w, const QString& name)
    {
        w.txt_report_name()->selectAll();
        QTest::keyClick(w.txt_report_name(), Qt::Key_Delete);
        typeText(w.txt_report_name(), name);
    }

    // On the button's caption: the button is wider than its text.
    static void clickOption(QRadioButton* option)
    {
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
    }

    static void clickNext(frmWizard& w) { QTest::mouseClick(w.cmd_next(), Qt::LeftButton); }
    static void clickBack(frmWizard& w) { QTest::mouseClick(w.cmd_back(), Qt::LeftButton); }

    // Enter on a field of a page's tree: the field is chosen.
    static void chooseField(ui::FieldTree* tree, long fieldId)
    {
        ASSERT_TRUE(tree->setCurrentFieldId(int(fieldId))) << fieldId;
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Return);
    }

    // A click on a field of the condition tree.
    static void clickField(ui::FieldTree* tree, long fieldId)
    {
        ASSERT_TRUE(tree->setCurrentFieldId(int(fieldId))) << fieldId;
        QTreeWidgetItem* item = tree->itemForKey(u"FLD_%1"_s.arg(fieldId));
        ASSERT_TRUE(item);
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    }

    QString scalar(const QString& sql)
    {
        auto rs = db->OpenRecordset(sql, dao::RecordsetType::Snapshot, dao::dbReadOnly);
        return rs->Eof() ? QString() : rs->Fields(0).toString();
    }
    long count(const QString& sql) { return scalar(sql).toLong(); }

    QString m_ownReports;
};

TEST_F(WizardDialog, OpensOnTheFirstTypeAndList)
{
    auto w = open(2);
    EXPECT_EQ(w->windowTitle(), LoadResString(2000));
    EXPECT_EQ(w->hdr_step()->CurrentStep(), 1);
    EXPECT_EQ(w->ReturnValue(), 1);
    EXPECT_GT(w->cbo_list_type()->count(), 0);
    EXPECT_EQ(w->cbo_list_type()->currentIndex(), 0);
    EXPECT_EQ(w->cbo_report()->currentIndex(), 0);
    EXPECT_EQ(w->txt_report_name()->text(), w->cbo_report()->currentText());
    EXPECT_FALSE(w->cmd_back()->isVisible());
    EXPECT_EQ(w->cmd_next()->text(), LoadResString(3002));
    EXPECT_EQ(w->cmd_exit()->text(), LoadResString(3000));
    EXPECT_EQ(w->opt_process_type(1)->text(), LoadResString(3005));
    EXPECT_EQ(w->chk_private()->text(), LoadResString(30080));
}

TEST_F(WizardDialog, AnotherUsersListCanOnlyBeCopied)
{
    // List 5 belongs to the administrator; Kovács Anna may copy it.
    auto w = open(2, 5);
    EXPECT_EQ(w->cbo_report()->currentData().toLongLong(), 5);
    EXPECT_FALSE(w->opt_process_type(1)->isEnabled());
    EXPECT_TRUE(w->opt_process_type(0)->isChecked());
    clickOption(w->opt_process_type(1));
    EXPECT_TRUE(w->opt_process_type(0)->isChecked());
    EXPECT_EQ(w->model()->mode(), DesignMode::New);
    // her own list 3 may be edited
    auto own = open(2, 3);
    EXPECT_TRUE(own->opt_process_type(1)->isEnabled());
}

TEST_F(WizardDialog, StepOneMessagesComeInOneBox)
{
    auto w = open(2);
    typeName(*w, u"   "_s);
    clickOption(w->opt_process_type(0));
    clickNext(*w);
    EXPECT_EQ(w->CurrentStep(), 1);
    ASSERT_EQ(boxes().requests().size(), 1);
    EXPECT_TRUE(boxes().requests().first().message.contains(LoadResString(5006)));
    EXPECT_EQ(ctx().currentErrors().Count(), 0) << "shown and emptied";
    // Back on step 1 is refused with its own message.
    boxes().clearRequests();
    EXPECT_FALSE(w->Move(-1));
    ASSERT_EQ(boxes().requests().size(), 1);
    EXPECT_TRUE(boxes().requests().first().message.contains(LoadResString(5011)));
    // The detail can be hidden only when grouped.
    boxes().clearRequests();
    typeName(*w, u"Próba"_s);
    if (w->chk_invisible_detail()->isChecked())  // the preselected list's flag
        QTest::mouseClick(w->chk_invisible_detail(), Qt::LeftButton);
    EXPECT_FALSE(w->model()->detailInvisible());
    QTest::mouseClick(w->chk_invisible_detail(), Qt::LeftButton);
    EXPECT_TRUE(w->chk_invisible_detail()->isChecked());
    EXPECT_TRUE(w->model()->detailInvisible());
    QSignalSpy steps(w.get(), &frmWizard::CurrentStepChanged);
    clickNext(*w);
    ASSERT_EQ(w->CurrentStep(), 2);
    ASSERT_EQ(steps.count(), 1);
    EXPECT_EQ(steps.at(0).at(0).toInt(), 2);
    EXPECT_EQ(w->hdr_step()->CurrentStep(), 2);
    EXPECT_EQ(w->windowTitle(), LoadResString(2002));
    EXPECT_EQ(w->pages()->currentIndex(), 1);
    EXPECT_TRUE(w->cmd_back()->isVisible());
    clickNext(*w);
    EXPECT_EQ(w->CurrentStep(), 2);
    ASSERT_EQ(boxes().requests().size(), 1);
    EXPECT_TRUE(boxes().requests().first().message.contains(LoadResString(30036)));
}

TEST_F(WizardDialog, ChosenListsFollowTheModel)
{
    auto w = open(2);
    chooseListType(*w, kInvoices);
    typeName(*w, u"Csoportok"_s);
    clickOption(w->opt_process_type(0));
    clickNext(*w);
    ASSERT_EQ(w->CurrentStep(), 2);
    ASSERT_GT(w->tree_group_fields()->fieldCount(), 10);
    // The twelfth and the repeated field are not added.
    QList<long> all;
    for (long id : {1, 2, 3, 4, 5, 6, 8, 12, 13, 14, 15, 19})
        chooseField(w->tree_group_fields(), id), all << id;
    chooseField(w->tree_group_fields(), 2);
    EXPECT_EQ(w->lst_group_fields()->fieldIds(), all.mid(0, 10));
    EXPECT_EQ(w->model()->chosenFields(FieldPage::Group).size(), 10);
    // Shift+Up on the last entry swaps it with the one above.
    ChosenFieldList* list = w->lst_group_fields();
    list->setFocus();
    list->setCurrentRow(9);
    QTest::keyClick(list, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(list->fieldIds().mid(8), (QList<long>{14, 13}));
    EXPECT_EQ(list->currentRow(), 8);
    // A double-click removes the entry; the one before becomes current.
    const QPoint at = list->visualItemRect(list->item(8)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(list->fieldIds().size(), 9);
    EXPECT_EQ(list->currentRow(), 7);
    EXPECT_FALSE(list->containsField(14));
    QList<long> modelIds;
    for (const ChosenField& f : w->model()->chosenFields(FieldPage::Group))
        modelIds << f.tableFieldId;
    EXPECT_EQ(modelIds, list->fieldIds());
    // Back and forth keeps the selection.
    clickBack(*w);
    ASSERT_EQ(w->CurrentStep(), 1);
    EXPECT_FALSE(w->opt_process_type(0)->isEnabled()) << "the mode is fixed once the list exists";
    EXPECT_FALSE(w->cbo_list_type()->isEnabled());
    clickNext(*w);
    ASSERT_EQ(w->CurrentStep(), 2);
    EXPECT_EQ(w->lst_group_fields()->fieldIds(), modelIds);
}

TEST_F(WizardDialog, AggregateCellEditorOffersTheRowsChoices)
{
    auto w = open(2);
    chooseListType(*w, kInvoices);
    typeName(*w, u"Összesítések"_s);
    clickOption(w->opt_process_type(0));
    clickNext(*w);
    chooseField(w->tree_group_fields(), kRegionName);
    chooseField(w->tree_group_fields(), kPaymentMethod);
    clickNext(*w);
    for (long id : {kInvoiceNumber, kNet, kPaid})
        chooseField(w->tree_visible_fields(), id);
    clickNext(*w);
    ASSERT_EQ(w->CurrentStep(), 4);
    AggregateGridView* grid = w->grd_aggregate();
    ASSERT_EQ(grid->columnCount(), 4);  // field, two groups, grand total
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), LoadResString(30033));
    EXPECT_EQ(grid->horizontalHeaderItem(3)->text(), LoadResString(30031));
    const QStringList few{u""_s, u"Darab"_s, u"Legnagyobb"_s, u"Legkisebb"_s};
    const QStringList all = few + QStringList{u"Összeg"_s, u"Átlag"_s};
    int numberRow = -1, booleanRow = -1;
    for (int row = 0; row < grid->rowCount(); ++row) {
        const long type = grid->item(row, 0)->data(AggregateGridView::DataTypeRole).toLongLong();
        if (type == 2)
            numberRow = row;
        if (type == 5)
            booleanRow = row;
    }
    ASSERT_GE(numberRow, 0);
    ASSERT_GE(booleanRow, 0);
    const struct {
        int row;
        QStringList choices;
    } rows[] = {{numberRow, all}, {booleanRow, few}};
    for (const auto& r : rows) {
        grid->setCurrentCell(r.row, 2);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_F2);
        auto* editor = grid->findChild<QComboBox*>(u"cbo_aggregate"_s);
        ASSERT_TRUE(editor) << r.row;
        QStringList shown;
        for (int i = 0; i < editor->count(); ++i)
            shown << editor->itemText(i);
        EXPECT_EQ(shown, r.choices) << r.row;
        // The last choice is taken; the model stores it and the grid shows it.
        QTest::keyClick(editor, Qt::Key_End);
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(w->model()->aggregateGrid().cellText(AggregateGridView::gridRow(r.row), 2), r.choices.last());
        EXPECT_EQ(grid->item(r.row, 2)->text(), r.choices.last());
    }
    EXPECT_TRUE(w->model()->pageChanged());
    // The number menu fills the empty cells of the number row only; the
    // Boolean row is never touched by a menu.
    w->mnu_aggregate_fill()->commandAction(5)->trigger();  // empty cells: Összeg
    EXPECT_EQ(grid->item(numberRow, 1)->text(), u"Összeg"_s);
    EXPECT_EQ(grid->item(numberRow, 2)->text(), u"Átlag"_s);
    EXPECT_EQ(grid->item(booleanRow, 1)->text(), QString());
    w->mnu_aggregate_fill()->commandAction(12)->trigger();  // numbers, every cell: Darab
    EXPECT_EQ(grid->item(numberRow, 2)->text(), u"Darab"_s);
    EXPECT_EQ(grid->item(booleanRow, 3)->text(), QString());
}

TEST_F(WizardDialog, EditingAndLeavingLeavesTheListAsItWas)
{
    const auto snapshot = [&]() -> QString {
        return scalar(u"SELECT name & '|' & sql_source & '|' & report_file & '|' & temp_status FROM vlq_list_report WHERE id=3"_s) +
               scalar(u"SELECT COUNT(*) FROM vlq_list_report_group_field WHERE vlq_list_report_id=3"_s) +
               scalar(u"SELECT COUNT(*) FROM vlq_list_report WHERE temp_status<>0"_s);
    };
    const QString before = snapshot();
    const long lists = count(u"SELECT COUNT(*) FROM vlq_list_report"_s);
    {
        auto w = open(2, 3);
        clickOption(w->opt_process_type(1));
        ASSERT_EQ(w->model()->mode(), DesignMode::Edit);
        clickNext(*w);
        ASSERT_EQ(w->CurrentStep(), 2);
        EXPECT_NE(w->CurrentItemID(), 3) << "the wizard works on a copy";
        EXPECT_GT(w->model()->chosenFields(FieldPage::Group).size(), 0) << "the copy has the list's groups";
        EXPECT_GT(w->lst_group_fields()->count(), 0) << "the list's groups are shown";
        chooseField(w->tree_group_fields(), kSeller);
        clickNext(*w);
        QSignalSpy returned(w.get(), &frmWizard::ReturnValueChanged);
        QTest::keyClick(w.get(), Qt::Key_Escape);
        EXPECT_EQ(w->ReturnValue(), 1);
        EXPECT_FALSE(w->isVisible());
    }
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM vlq_list_report WHERE temp_status<>0 AND del_status=0"_s), 0);
    EXPECT_LE(count(u"SELECT COUNT(*) FROM vlq_list_report"_s), lists + 1);
}

// A footer line as pdftotext lays it out, split at runs of blanks: its
// label, then the aggregates. The last line that starts with `label`.
QStringList footerLine(const QString& pdf, const QString& label)
{
    const auto r = test::runProgram(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    QString text = r.out;
    text.replace(QChar(0x00A0), u' ').replace(QChar(0x202F), u' ');
    const QStringList lines = text.split(u'\n');
    for (auto it = lines.crbegin(); it != lines.crend(); ++it)
        if (it->trimmed().startsWith(label))
            return it->trimmed().split(QRegularExpression(u"\\s{2,}"_s), Qt::SkipEmptyParts);
    ADD_FAILURE() << "no line " << label.toStdString() << " in " << pdf.toStdString();
    return {};
}
QStringList grandTotalLine(const QString& pdf) { return footerLine(pdf, u"Mindösszesen"_s); }

QString grouped(double value)
{
    QString digits = QString::number(std::llround(std::fabs(value)));
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u' ');
    return value < -0.5 ? u"-"_s + digits : digits;
}

TEST_F(WizardDialog, ADesignedListRunsWithTheRightTotals)
{
    auto w = open(2);
    chooseListType(*w, kInvoices);
    clickOption(w->opt_process_type(0));
    typeName(*w, u"Régió, fizetési mód, partner"_s);
    typeText(w->txt_report_description(), u"Tesztlista"_s);
    clickNext(*w);
    ASSERT_EQ(w->CurrentStep(), 2);
    for (long id : {kRegionName, kPaymentMethod, kPartnerName})
        chooseField(w->tree_group_fields(), id);
    clickNext(*w);
    ASSERT_EQ(w->CurrentStep(), 3);
    for (long id : {kInvoiceNumber, kNet, kGross})
        chooseField(w->tree_visible_fields(), id);
    clickNext(*w);
    ASSERT_EQ(w->CurrentStep(), 4);
    ASSERT_EQ(w->grd_aggregate()->columnCount(), 5);
    w->mnu_aggregate_fill()->commandAction(15)->trigger();  // numbers, every cell: Összeg
    w->mnu_aggregate_fill()->commandAction(32)->trigger();  // texts, every cell: Darab
    for (int row = 0; row < 3; ++row)
        for (int column = 1; column < 5; ++column)
            EXPECT_FALSE(w->grd_aggregate()->item(row, column)->text().isEmpty()) << row << "," << column;
    clickNext(*w);
    ASSERT_EQ(w->CurrentStep(), 5);

    // One condition of every kind of filter this list type has.
    filters::ConditionPanel* panel = w->pnl_conditions();
    const auto textModel = [&](int type) { return dynamic_cast<filters::TextFilterModel*>(panel->control(type)->filter()); };
    clickField(w->tree_where_fields(), kSeller);  // 1: whole number
    ASSERT_EQ(panel->currentControlType(), 1);
    textModel(1)->setQueryCheckValue(1);
    textModel(1)->setInput1Text(2);
    textModel(1)->setInput2Text(5);
    clickField(w->tree_where_fields(), kNet);  // 2: decimal number
    ASSERT_EQ(panel->currentControlType(), 2);
    textModel(2)->setQueryCheckValue(1);
    textModel(2)->setInput1Text(100000);
    textModel(2)->setInput2Text(900000);
    clickField(w->tree_where_fields(), kIssued);  // 3: date
    ASSERT_EQ(panel->currentControlType(), 3);
    textModel(3)->setQueryCheckValue(1);
    textModel(3)->setRelationListItemData(filters::TextFilterModel::Between);
    textModel(3)->setInput1Text(QDate(2024, 1, 1));
    textModel(3)->setInput2Text(QDate(2024, 12, 31));
    clickField(w->tree_where_fields(), kInvoiceNumber);  // 4: text
    ASSERT_EQ(panel->currentControlType(), 4);
    textModel(4)->setQueryCheckValue(1);
    textModel(4)->setRelationListItemData(filters::TextFilterModel::Like);
    textModel(4)->setInput1Text(u"sz-2024"_s);
    clickField(w->tree_where_fields(), kPaid);  // 5: check box
    ASSERT_EQ(panel->currentControlType(), 5);
    dynamic_cast<filters::CheckBoxFilterModel*>(panel->control(5)->filter())->setQueryCheckValue(1);
    clickField(w->tree_where_fields(), kRegionName);  // 6: list box
    ASSERT_EQ(panel->currentControlType(), 6);
    auto* regions = dynamic_cast<filters::ListBoxFilterModel*>(panel->control(6)->filter());
    ASSERT_GE(regions->count(), 3);
    regions->setQueryCheckValue(1);
    const qint32 regionA = regions->items().at(0).id, regionB = regions->items().at(2).id;
    regions->selectItem(regionA);
    regions->selectItem(regionB);
    regions->build();
    clickField(w->tree_where_fields(), kPartnerName);  // 7: container
    ASSERT_EQ(panel->currentControlType(), 7);
    auto* partners = dynamic_cast<filters::QueryContainerModel*>(panel->control(7)->filter());
    auto rs = db->OpenRecordset(u"SELECT id, nev FROM partner WHERE regio_id IN (%1, %2) ORDER BY id"_s.arg(regionA).arg(regionB),
                                dao::RecordsetType::Snapshot, dao::dbReadOnly);
    QList<qint32> chosenPartners;
    for (int i = 0; !rs->Eof() && i < 40; rs->MoveNext(), ++i) {
        if (i % 2)
            continue;
        partners->addFilterItem(rs->Fields(1).toString(), rs->Fields(0).toInt());
        chosenPartners << rs->Fields(0).toInt();
    }
    ASSERT_GT(chosenPartners.size(), 3);
    partners->setCurrentIndex(0);
    partners->setQueryCheckValue(1);
    partners->build();

    QSignalSpy finished(w.get(), &frmWizard::ReturnValueChanged);
    clickNext(*w);
    ASSERT_EQ(w->ReturnValue(), 0) << shownMessages().join(u" | "_s).toStdString();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(w->isVisible());
    const long id = w->CurrentItemID();
    ASSERT_GT(id, 10);
    w.reset();  // the finished list survives the dialog

    EXPECT_EQ(count(u"SELECT temp_status FROM vlq_list_report WHERE id=%1"_s.arg(id)), 0);
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM vlq_list_report_group_field WHERE del_status=0 AND vlq_list_report_id=%1"_s.arg(id)), 3);
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM vlq_list_report_visible_field WHERE del_status=0 AND vlq_list_report_id=%1"_s.arg(id)), 3);
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM vlq_list_report_where_field WHERE del_status=0 AND vlq_list_report_id=%1"_s.arg(id)), 7);
    const QString reportFile = scalar(u"SELECT report_file FROM vlq_list_report WHERE id=%1"_s.arg(id));
    ASSERT_TRUE(QFileInfo::exists(QDir(m_ownReports).filePath(reportFile))) << reportFile.toStdString();
    EXPECT_TRUE(scalar(u"SELECT sql_source FROM vlq_list_report WHERE id=%1"_s.arg(id)).contains(u"%WHERE%"_s));

    // The list runs to a PDF through the command-line run path.
    db.reset();
    ctx().database.reset();
    const QString pdf = m_dir + u"/designed.pdf"_s;
    const auto run = test::runProgram(QStringLiteral(LISTGEN_CLI),
                                      {u"run"_s, u"--db"_s, m_dbPath, u"--list"_s, QString::number(id), u"--user"_s,
                                       u"2"_s, u"--reports"_s, m_ownReports, u"--format"_s, u"pdf"_s, u"--out"_s, pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    db = dao::Database::open(m_dbPath);

    // The same rows, counted independently.
    QStringList partnerList;
    for (qint32 p : chosenPartners)
        partnerList << QString::number(p);
    const QString rows =
        u"FROM (szamla AS s INNER JOIN partner AS p ON p.id = s.partner_id) INNER JOIN regio AS r ON r.id = p.regio_id "
        "WHERE s.sztornozott = 0 AND (p.bizalmas = 0 OR p.felelos_id = 2) AND s.ertekesito_id BETWEEN 2 AND 5 "
        "AND s.netto BETWEEN 100000 AND 900000 AND s.kelt >= #01/01/2024# AND s.kelt < #01/01/2025# "
        "AND s.szamlaszam LIKE 'SZ-2024*' AND s.fizetve <> 0 "
        "AND r.id IN (%1, %2) AND p.id IN (%3)"_s.arg(regionA).arg(regionB).arg(partnerList.join(u", "_s));
    const long invoices = count(u"SELECT COUNT(*) "_s + rows);
    ASSERT_GT(invoices, 0);
    const double net = scalar(u"SELECT SUM(s.netto) "_s + rows).toDouble();
    const double gross = scalar(u"SELECT SUM(s.brutto) "_s + rows).toDouble();
    const QStringList totals = grandTotalLine(pdf);
    ASSERT_GE(totals.size(), 4) << totals.join(u" | "_s).toStdString();
    EXPECT_EQ(totals.at(totals.size() - 3), QString::number(invoices)) << totals.join(u" | "_s).toStdString();
    EXPECT_EQ(totals.at(totals.size() - 2), grouped(net));
    EXPECT_EQ(totals.at(totals.size() - 1), grouped(gross));
    // The first grouping level's footers: every region's own totals.
    for (qint32 region : {regionA, regionB}) {
        const QString where = rows + u" AND r.id = %1"_s.arg(region);
        const QString name = scalar(u"SELECT nev FROM regio WHERE id = %1"_s.arg(region));
        const QStringList line = footerLine(pdf, name + u" összesen:"_s);
        ASSERT_GE(line.size(), 4) << name.toStdString();
        EXPECT_EQ(line.at(line.size() - 3), scalar(u"SELECT COUNT(*) "_s + where)) << name.toStdString();
        EXPECT_EQ(line.at(line.size() - 2), grouped(scalar(u"SELECT SUM(s.netto) "_s + where).toDouble()));
        EXPECT_EQ(line.at(line.size() - 1), grouped(scalar(u"SELECT SUM(s.brutto) "_s + where).toDouble()));
    }
}

TEST_F(WizardDialog, ATextListConditionIsStoredAndRuns)
{
    // List type "Termékek" (4): products grouped by their group, narrowed
    // to two groups picked in the text list box.
    constexpr long kProducts = 4, kGroupName = 36, kItemNumber = 30, kListPrice = 33;
    auto w = open(2);
    chooseListType(*w, kProducts);
    clickOption(w->opt_process_type(0));
    typeName(*w, u"Két termékcsoport"_s);
    if (w->chk_invisible_detail()->isChecked())
        QTest::mouseClick(w->chk_invisible_detail(), Qt::LeftButton);
    clickNext(*w);
    ASSERT_EQ(w->CurrentStep(), 2);
    chooseField(w->tree_group_fields(), kGroupName);
    clickNext(*w);
    chooseField(w->tree_visible_fields(), kItemNumber);
    chooseField(w->tree_visible_fields(), kListPrice);
    clickNext(*w);
    ASSERT_EQ(w->CurrentStep(), 4);
    w->mnu_aggregate_fill()->commandAction(32)->trigger();  // texts: Darab
    w->mnu_aggregate_fill()->commandAction(15)->trigger();  // numbers: Összeg
    clickNext(*w);
    ASSERT_EQ(w->CurrentStep(), 5);
    clickField(w->tree_where_fields(), kGroupName);
    filters::ConditionPanel* panel = w->pnl_conditions();
    ASSERT_EQ(panel->currentControlType(), 8);
    auto* groups = dynamic_cast<filters::ListBoxFilterModel*>(panel->control(8)->filter());
    ASSERT_TRUE(groups);
    ASSERT_GE(groups->count(), 2);
    groups->setQueryCheckValue(1);
    QStringList names;
    for (int i : {0, 1}) {
        groups->setSelected(i, true);
        names << u"'"_s + groups->items().at(i).text + u"'"_s;
    }
    groups->build();
    // Another field clicked: the text list's condition is stored on the way.
    clickField(w->tree_where_fields(), kItemNumber);
    EXPECT_FALSE(w->txt_sql_description()->toPlainText().isEmpty());
    clickNext(*w);
    ASSERT_EQ(w->ReturnValue(), 0) << shownMessages().join(u" | "_s).toStdString();
    const long id = w->CurrentItemID();
    w.reset();
    EXPECT_EQ(count(u"SELECT COUNT(*) FROM vlq_list_report_where_field WHERE del_status=0 AND vlq_list_report_id=%1 "
                    "AND table_field_id=%2 AND selected_items<>''"_s.arg(id).arg(kGroupName)),
              1);

    db.reset();
    ctx().database.reset();
    const QString pdf = m_dir + u"/products.pdf"_s;
    const auto run = test::runProgram(QStringLiteral(LISTGEN_CLI),
                                      {u"run"_s, u"--db"_s, m_dbPath, u"--list"_s, QString::number(id), u"--user"_s,
                                       u"2"_s, u"--reports"_s, m_ownReports, u"--format"_s, u"pdf"_s, u"--out"_s, pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    db = dao::Database::open(m_dbPath);
    const QString rows = u"FROM termek AS t INNER JOIN termekcsoport AS g ON g.id = t.termekcsoport_id WHERE g.nev IN (%1)"_s
                             .arg(names.join(u", "_s));
    const long products = count(u"SELECT COUNT(*) "_s + rows);
    ASSERT_GT(products, 0);
    const QStringList totals = grandTotalLine(pdf);
    ASSERT_GE(totals.size(), 3) << totals.join(u" | "_s).toStdString();
    EXPECT_EQ(totals.at(totals.size() - 2), QString::number(products)) << totals.join(u" | "_s).toStdString();
    EXPECT_EQ(totals.at(totals.size() - 1), grouped(scalar(u"SELECT SUM(t.egysegar) "_s + rows).toDouble()));
}

TEST_F(WizardDialog, ReportNewOpensTheWizardAndSelectsTheSavedList)
{
    QString seenName;
    auto designer = std::make_shared<WizardDesigner>([&](frmWizard& w) {
        w.show();
        seenName = w.txt_report_name()->text();
        // a copy of the selected list under another name
        clickOption(w.opt_process_type(2));
        typeName(w, u"Másolat"_s);
        for (int step = 1; step <= 5 && w.ReturnValue() != 0; ++step)
            w.Move(1);
    });
    auto lw = std::make_unique<ListWizard>();
    lw->setServices({designer, std::make_shared<test::ScriptedPreFilter>(), {}, {}});
    lw->InitProperties();
    lw->setDatabase(db);
    lw->setUserID(2);
    lw->setReportFolderPath(m_ownReports);
    ASSERT_TRUE(lw->ControlInitialize());
    lw->ownerSelector()->setCurrentIndex(1);
    QListWidget* l = lw->lst_reports();
    for (int i = 0; i < l->count(); ++i)
        if (l->item(i)->data(Qt::UserRole).toLongLong() == 5)
            l->setCurrentRow(i);
    ASSERT_EQ(lw->browser().selectedListId(), 5);
    ASSERT_TRUE(lw->ReportNew()) << shownMessages().join(u" | "_s).toStdString();
    const long copy = lw->browser().selectedListId();
    EXPECT_GT(copy, 10);
    EXPECT_FALSE(seenName.isEmpty());
    EXPECT_EQ(scalar(u"SELECT name FROM vlq_list_report WHERE id=%1"_s.arg(copy)), u"Másolat"_s);
    EXPECT_EQ(count(u"SELECT create_user FROM vlq_list_report WHERE id=%1"_s.arg(copy)), 2);
    EXPECT_EQ(count(u"SELECT create_user FROM vlq_list_report WHERE id=5"_s), 1) << "the source stays the administrator's";
}

}  // namespace
