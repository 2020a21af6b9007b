// frmPreFilter driven with QTest on the demo database: its tree, its keys,
// the conditions it hands back, and a pre-filtered run of both controls
// through the real dialog.

#include <QtCore/QTimer>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

#include <functional>

#include "controls/frmprefilter.h"
#include "controls/listbrowser.h"
#include "controls/listwizard.h"
#include "controls/prefiltermodel.h"
#include "controls/smalllistwizard.h"
#include "controlsfixture.h"
#include "filters/checkboxfiltermodel.h"
#include "filters/textfiltermodel.h"
#include "filters/widgets/conditionpanel.h"
#include "filters/widgets/queryfiltercontrol.h"
#include "scriptedservices.h"
#include "ui/fieldtree.h"

using namespace lg;
using namespace lg::controls;
using namespace Qt::StringLiterals;
using test::RecordingEngine;

namespace {

// Runs `action` on the pre-filter dialog as soon as it is open modally.
void whenPreFilterOpens(std::function<void(frmPreFilter*)> action, int attempts = 400)
{
    QTimer::singleShot(5, [action = std::move(action), attempts]() mutable {
        if (auto* dialog = qobject_cast<frmPreFilter*>(QApplication::activeModalWidget())) {
            action(dialog);
            return;
        }
        if (attempts > 0)
            whenPreFilterOpens(std::move(action), attempts - 1);
    });
}

class PreFilterDialog : public test::DemoDatabase {
protected:
    long fieldId(const QString& table, const QString& field)
    {
        auto rs = db->OpenRecordset(u"SELECT TF.id FROM vlq_list_wizard_table_field AS TF INNER JOIN "
                                    "vlq_list_wizard_table AS T ON T.id = TF.table_id "
                                    "WHERE T.table_name = '%1' AND TF.field_name = '%2'"_s.arg(table, field));
        return rs->Eof() ? -1 : long(rs->Fields(0).toLongLong());
    }

    std::unique_ptr<frmPreFilter> open(long priority = 2, const QString& original = u"Fizetetlen, lejárt"_s)
    {
        auto d = std::make_unique<frmPreFilter>();
        d->setListWizardType(2);
        d->setTablePriority(int(priority));
        d->set_original_sql_description(original);
        d->setReportName(u"Lejárt, kifizetetlen számlák"_s);
        d->setUserID(1);
        EXPECT_TRUE(d->Initialize());
        d->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(d.get()));
        return d;
    }

    static void clickNode(frmPreFilter& d, const QString& key)
    {
        ui::FieldTree* tree = d.tree_where_fields();
        QTreeWidgetItem* item = tree->itemForKey(key);
        ASSERT_TRUE(item) << key.toStdString();
        for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
            p->setExpanded(true);
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    }
    void clickField(frmPreFilter& d, long field) { clickNode(d, ui::fieldNodeKey(field)); }

    // Ticks the text filter of the field in use and types `text` into its box.
    static filters::TextFilterModel* typeText(frmPreFilter& d, const QString& text)
    {
        filters::QueryFilterControl* c = d.conditions()->currentControl();
        EXPECT_TRUE(c);
        if (!c)
            return nullptr;
        auto* f = qobject_cast<filters::TextFilterModel*>(c->filter());
        EXPECT_TRUE(f);
        f->setQueryCheckValue(1);
        f->setInput1Text(text);
        return f;
    }
};

TEST_F(PreFilterDialog, ShowsTheOfferedFieldsAndTheListsDescription)
{
    auto d = open(0);
    EXPECT_EQ(d->windowTitle(), u"Lejárt, kifizetetlen számlák"_s);
    EXPECT_EQ(d->ReturnValue(), 1);
    EXPECT_EQ(d->txt_sql_description()->toPlainText(), u"Fizetetlen, lejárt"_s);
    EXPECT_EQ(d->tree_where_fields()->fieldCount(), d->model().fieldRows().size());
    EXPECT_TRUE(d->tree_where_fields()->hasField(fieldId(u"szamla"_s, u"kelt"_s)));
    EXPECT_FALSE(d->tree_where_fields()->hasField(fieldId(u"partner"_s, u"kod"_s))) << "beyond the table priority";
    EXPECT_EQ(d->tree_where_fields()->currentKey(), u"TBL_3"_s) << "the first table, selected";
    EXPECT_EQ(d->conditions()->currentControlType(), -1);
    EXPECT_EQ(d->findChild<QLabel*>(u"lbl_where_fields"_s)->text(), u"Mezők:"_s);
    EXPECT_EQ(d->findChild<QLabel*>(u"lbl_sql_description"_s)->text(), u"Szűrési feltételek:"_s);

    auto wide = open(2);
    EXPECT_TRUE(wide->tree_where_fields()->hasField(fieldId(u"partner"_s, u"kod"_s)));
    EXPECT_EQ(wide->tree_where_fields()->itemForKey(u"TBL_3"_s)->parent(), nullptr)
        << "the invoices head the tree";
    EXPECT_EQ(wide->tree_where_fields()->topLevelItem(0), wide->tree_where_fields()->itemForKey(u"TBL_3"_s));
}

TEST_F(PreFilterDialog, Keys)
{
    struct Case {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool inTextBox;
        bool closes;
        int returnValue;
    } cases[] = {
        {"Esc on the tree cancels", Qt::Key_Escape, Qt::NoModifier, false, true, 1},
        {"Esc in a text box cancels", Qt::Key_Escape, Qt::NoModifier, true, true, 1},
        {"Shift+Esc does nothing", Qt::Key_Escape, Qt::ShiftModifier, false, false, 1},
        {"Ctrl+Enter on the tree confirms", Qt::Key_Return, Qt::ControlModifier, false, true, 0},
        {"Ctrl+Enter in a text box confirms", Qt::Key_Return, Qt::ControlModifier, true, true, 0},
        {"Ctrl+Enter on the keypad confirms", Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier, true, true, 0},
        {"Enter on the tree does nothing special", Qt::Key_Return, Qt::NoModifier, false, false, 1},
        {"Enter in a text box does nothing special", Qt::Key_Return, Qt::NoModifier, true, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto d = open();
        clickField(*d, fieldId(u"szamla"_s, u"szamlaszam"_s));
        typeText(*d, u"SZ-2024"_s);
        QWidget* target = d->tree_where_fields();
        if (c.inTextBox) {
            target = d->conditions()->findChild<QWidget*>(u"qtf_text"_s)->findChild<QLineEdit*>();
            ASSERT_TRUE(target);
        }
        target->setFocus();
        QTest::keyClick(target, c.key, c.modifiers);
        EXPECT_EQ(d->isVisible(), !c.closes);
        EXPECT_EQ(d->ReturnValue(), c.returnValue);
        if (c.returnValue == 0)
            EXPECT_FALSE(d->sql_field_where().isEmpty()) << "the condition being edited is stored";
    }
}

TEST_F(PreFilterDialog, ClicksSwitchFieldsAndTheOutputsFollow)
{
    auto d = open(2, QString());
    const long number = fieldId(u"szamla"_s, u"szamlaszam"_s);
    const long paid = fieldId(u"szamla"_s, u"fizetve"_s);
    QSignalSpy results(d.get(), &frmPreFilter::resultChanged);

    clickField(*d, number);
    EXPECT_EQ(d->conditions()->currentControlType(), 4);
    filters::TextFilterModel* f = typeText(*d, u"SZ-2024"_s);
    const QString where = f->queryResultSQL();
    const QString description = f->queryResultDescription();

    clickField(*d, paid);
    EXPECT_EQ(d->conditions()->currentControlType(), 5);
    EXPECT_EQ(d->txt_sql_description()->toPlainText(), description) << "shown as soon as it is stored";
    EXPECT_GT(results.count(), 0);

    // A click on a table stores nothing new and leaves no control in use.
    clickNode(*d, u"TBL_3"_s);
    EXPECT_EQ(d->conditions()->currentControlType(), -1);

    // Back to the number: ticked with what was typed; untick, move on: gone.
    clickField(*d, number);
    filters::QueryFilterControl* c = d->conditions()->currentControl();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->filter()->queryCheckValue(), 1);
    EXPECT_EQ(c->filter()->queryResultSQL(), where);
    c->filter()->setQueryCheckValue(0);
    clickField(*d, paid);
    EXPECT_TRUE(d->model().keys().isEmpty());
    EXPECT_TRUE(d->txt_sql_description()->toPlainText().isEmpty());

    QTest::mouseClick(d->cmd_ok(), Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->ReturnValue(), 0);
    EXPECT_TRUE(d->sql_field_where().isEmpty());
}

TEST_F(PreFilterDialog, CancelButtonAndFailedInitialize)
{
    auto d = open();
    clickField(*d, fieldId(u"szamla"_s, u"szamlaszam"_s));
    typeText(*d, u"SZ"_s);
    QTest::mouseClick(d->cmd_cancel(), Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->ReturnValue(), 1);
    EXPECT_EQ(d->model().answer(d->ReturnValue()).sqlFieldWhere, QString()) << "a cancelled dialog hands back nothing";

    // The prompt does not show a dialog it cannot prepare: it shows the
    // errors and answers so, and the run is not made.
    PreFilterRequest r;
    r.listTypeId = 99;
    PreFilterDialogPrompt prompt;
    const PreFilterAnswer a = prompt.ask(nullptr, r);
    EXPECT_FALSE(a.initialized);
    EXPECT_NE(a.returnValue, 0);
    ASSERT_FALSE(boxes().requests().isEmpty());
    EXPECT_TRUE(boxes().requests().last().message.contains(u"99"_s));
}

// --- a pre-filtered run through the real dialog -------------------------------

// What "%WHERE%" became in a run statement: the text between the last
// "AND  (" and ") ORDER BY".
QString whereOf(const QString& statement)
{
    const qsizetype from = statement.lastIndexOf(u"AND  ("_s);
    const qsizetype to = statement.lastIndexOf(u") ORDER BY"_s);
    return from < 0 || to < from ? QString() : statement.mid(from + 6, to - from - 6);
}

TEST_F(PreFilterDialog, SmallListWizardRunsWithTheDialogsCondition)
{
    SmallListWizard w;
    w.InitProperties();
    auto exportOptions = std::make_shared<test::ScriptedExportOptions>();
    w.setServices({{}, std::make_shared<PreFilterDialogPrompt>(), {}, exportOptions});
    w.setDatabase(db);
    w.setUserID(1);
    w.setReportFolderPath(m_reports);
    const long number = fieldId(u"szamla"_s, u"szamlaszam"_s);

    struct Case {
        const char* what;
        QString sFilter;
        QString typed;  // empty: confirmed without a condition
        bool cancel;
    } cases[] = {
        {"condition alone", {}, u"SZ-2024"_s, false},
        {"condition and host condition", u"[SZ].[fizetve]=0"_s, u"SZ-2024"_s, false},
        {"confirmed without a condition", u"[SZ].[fizetve]=0"_s, {}, false},
        {"cancelled", {}, u"SZ-2024"_s, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingEngine::log() = {};
        QString where, description;
        bool seen = false;
        whenPreFilterOpens([&](frmPreFilter* d) {
            seen = true;
            EXPECT_EQ(d->windowTitle(), u"Lejárt, kifizetetlen számlák"_s);
            clickField(*d, number);
            if (!c.typed.isEmpty()) {
                filters::TextFilterModel* f = typeText(*d, c.typed);
                where = f->queryResultSQL();
                description = f->queryResultDescription();
            }
            QWidget* focus = d->tree_where_fields();
            QTest::keyClick(focus, c.cancel ? Qt::Key_Escape : Qt::Key_Return,
                            c.cancel ? Qt::NoModifier : Qt::ControlModifier);
        });
        EXPECT_TRUE(w.ShowReport(4, false, c.sFilter));
        EXPECT_TRUE(seen);
        if (c.cancel) {
            EXPECT_TRUE(RecordingEngine::log().calls.isEmpty());
            continue;
        }
        QString expected = where.isEmpty() ? c.sFilter : where;
        if (!where.isEmpty() && !c.sFilter.isEmpty())
            expected = where + u" AND "_s + c.sFilter;
        EXPECT_EQ(whereOf(RecordingEngine::log().statement), expected);
        if (!description.isEmpty())
            EXPECT_TRUE(RecordingEngine::log().params.value(u"filter_string"_s).endsWith(description));
    }

    // The export asks too, and exports the narrowed rows.
    const QString all = m_dir + u"/all.xlsx"_s;
    const QString narrowed = m_dir + u"/narrowed.xlsx"_s;
    exportOptions->answer = {0, all, false};
    whenPreFilterOpens([&](frmPreFilter* d) { QTest::keyClick(d->tree_where_fields(), Qt::Key_Return, Qt::ControlModifier); });
    ASSERT_TRUE(w.ExcelExport(4));
    exportOptions->answer = {0, narrowed, false};
    whenPreFilterOpens([&](frmPreFilter* d) {
        clickField(*d, fieldId(u"szamla"_s, u"szamlaszam"_s));
        typeText(*d, u"NINCS-ILYEN"_s);
        QTest::keyClick(d->tree_where_fields(), Qt::Key_Return, Qt::ControlModifier);
    });
    ASSERT_TRUE(w.ExcelExport(4));
    EXPECT_GT(QFile(all).size(), QFile(narrowed).size());
}

TEST_F(PreFilterDialog, ListWizardRunsWithTheDialogsCondition)
{
    ListWizard w;
    w.setServices({{}, std::make_shared<PreFilterDialogPrompt>(), {}, std::make_shared<test::ScriptedExportOptions>()});
    w.InitProperties();
    w.setDatabase(db);
    w.setUserID(1);
    w.setReportFolderPath(m_reports);
    w.resize(1000, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(w.ControlInitialize());
    QComboBox* owners = w.ownerSelector();
    owners->setCurrentIndex(owners->findData(qlonglong(1)));
    QListWidget* l = w.lst_reports();
    for (int i = 0; i < l->count(); ++i)
        if (l->item(i)->data(Qt::UserRole).toLongLong() == 4)
            QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(i)).center());
    ASSERT_EQ(w.browser().currentListId(), 4);

    QString where, description;
    whenPreFilterOpens([&](frmPreFilter* d) {
        EXPECT_EQ(d->original_sql_description(), w.txt_sql_description()->text());
        clickField(*d, fieldId(u"partner"_s, u"kod"_s));
        filters::TextFilterModel* f = typeText(*d, u"P0"_s);
        where = f->queryResultSQL();
        description = f->queryResultDescription();
        QTest::keyClick(d->tree_where_fields(), Qt::Key_Return, Qt::ControlModifier);
    });
    EXPECT_TRUE(w.ShowReport(false));
    ASSERT_FALSE(where.isEmpty());
    EXPECT_EQ(whereOf(RecordingEngine::log().statement), where);
    EXPECT_EQ(RecordingEngine::log().params.value(u"filter_string"_s),
              w.txt_sql_description()->text() + u" ÉS "_s + description);
}

}  // namespace
