// frmEditor and its two edit forms driven offscreen with QTest on the demo
// database: the lists by module, the details, the hidden unlock, F7 and
// double-click, locked and unlocked saves, validation, Ctrl+Enter.

#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

#include "admin/frmeditor.h"
#include "admin/frmlistwizardtable.h"
#include "admin/frmlistwizardtablefield.h"
#include "admin/unlockgate.h"
#include "adminfixture.h"
#include "store/records.h"
#include "ui/uitest.h"

using namespace Qt::StringLiterals;
using namespace lg;
using namespace lg::admin;

namespace {

const QByteArray kSalt = "editor-test-salt";
const QString kPassword = u"szerkesztő"_s;

class EditorForms : public test::AdminDatabase {
protected:
    void SetUp() override
    {
        AdminDatabase::SetUp();
        ASSERT_TRUE(setPasswordDigest(kSalt, passwordDigest(kSalt, kPassword)));
    }
    void TearDown() override
    {
        resetUnlock();
        restoreDefaultPassword();
        AdminDatabase::TearDown();
    }
    std::unique_ptr<frmEditor> makeEditor(int modul)
    {
        auto e = std::make_unique<frmEditor>();
        e->setModulID(modul);
        EXPECT_TRUE(e->Initialize());
        e->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(e.get()));
        return e;
    }
    static QStringList texts(const QListWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    static void gesture(frmEditor& e)
    {
        QTest::mouseClick(e.lbl_god_label(), Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    }
    void unlock()
    {
        frmEditor e;
        boxes().clickButton(0, kPassword);
        boxes().clickButton(0);
        e.unlockGesture();
        ASSERT_TRUE(isUnlocked());
        boxes().clearRequests();
    }
    QString column(const QString& table, long id, const QString& name)
    {
        auto rs = db->OpenRecordset(u"SELECT %1 FROM %2 WHERE id = %3"_s.arg(name, table).arg(id),
                                    dao::RecordsetType::Snapshot, dao::dbReadOnly);
        return rs->Eof() ? u"<none>"_s : rs->Fields(0).toString();
    }
};

TEST_F(EditorForms, ModuleZeroListsEveryType)
{
    auto all = makeEditor(0);
    ASSERT_EQ(all->cbo_list_type()->count(), 4);
    EXPECT_EQ(all->windowTitle(), u"Listagenerátor szerkesztő"_s);
    auto one = makeEditor(1);
    ASSERT_EQ(one->cbo_list_type()->count(), 2);
    EXPECT_EQ(one->cbo_list_type()->itemText(0), u"Számlák"_s);
    EXPECT_EQ(texts(one->lst_tables()), (QStringList{u"Partner"_s, u"Régió"_s, u"Számla"_s}));
    EXPECT_EQ(one->lst_tables()->currentRow(), 0);
    EXPECT_EQ(one->detail(u"table_name"_s)->text(), u"partner"_s);
    EXPECT_EQ(one->detail(u"table_alias"_s)->text(), u"P"_s);
    EXPECT_EQ(one->detail(u"quickpick_name"_s)->text(), u"Partnerek"_s);
}

TEST_F(EditorForms, FieldDetails)
{
    auto e = makeEditor(1);
    // Partner's fields; "név" is the quick-pick field searched by name.
    const QStringList fields = texts(e->lst_fields());
    e->lst_fields()->setCurrentRow(int(fields.indexOf(u"név"_s)));
    EXPECT_EQ(e->detail(u"field_type"_s)->text(), u"Szöveg"_s);
    EXPECT_EQ(e->detail(u"field_control_type"_s)->text(), u"Quickpick szűrő"_s);
    EXPECT_EQ(e->detail(u"default_search_field"_s)->text(), u"Név"_s);
    EXPECT_EQ(e->detail(u"filtered"_s)->text(), u"Igen"_s);
    e->lst_fields()->setCurrentRow(int(fields.indexOf(u"hitelkeret"_s)));
    EXPECT_EQ(e->detail(u"field_type"_s)->text(), u"Szám"_s);
    EXPECT_EQ(e->detail(u"field_control_type"_s)->text(), u"Szám szűrő"_s);
    EXPECT_EQ(e->detail(u"default_search_field"_s)->text(), QString());
}

TEST_F(EditorForms, GestureNeedsAllThreeModifiersAndTheRightButton)
{
    auto e = makeEditor(0);
    QTest::mouseClick(e->lbl_god_label(), Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier);
    QTest::mouseClick(e->lbl_god_label(), Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(e->unlockTries(), 0);
    EXPECT_TRUE(boxes().requests().isEmpty());
    // Three wrong answers, then nothing; a new editor asks again.
    for (int i = 0; i < 3; ++i) {
        boxes().clickButton(0, u"nem az"_s);
        boxes().clickButton(0);
        gesture(*e);
    }
    EXPECT_EQ(boxes().requests().last().subMessage, u"Nincs több lehetősége!"_s);
    const auto asked = boxes().requests().size();
    gesture(*e);
    EXPECT_EQ(boxes().requests().size(), asked);
    auto fresh = makeEditor(0);
    boxes().clickButton(0, kPassword);
    boxes().clickButton(0);
    gesture(*fresh);
    EXPECT_TRUE(isUnlocked());
    EXPECT_EQ(boxes().requests().last().message, u"A jelszó megfelelő!"_s);
}

TEST_F(EditorForms, LockedTableFormSavesTheVisibleNameOnly)
{
    ListWizardTable table;
    ASSERT_TRUE(table.CoreLoad(2));
    frmListWizardTable form;
    form.setOData(&table);
    form.Initialize();
    form.show();
    EXPECT_EQ(form.ReturnValue(), 1);
    EXPECT_FALSE(form.txt_table_alias()->isEnabled());
    EXPECT_FALSE(form.cbo_qpi()->isEnabled());
    EXPECT_EQ(form.cbo_qpi()->currentText(), u"<NINCSEN>"_s);
    EXPECT_TRUE(form.txt_visible_name()->isEnabled());
    form.txt_visible_name()->setText(u"Régiók"_s);
    form.txt_table_alias()->setText(u"X"_s);
    QTest::keyClick(form.txt_visible_name(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(form.ReturnValue(), 0);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(column(u"vlq_list_wizard_table"_s, 2, u"visible_name"_s), u"Régiók"_s);
    EXPECT_EQ(column(u"vlq_list_wizard_table"_s, 2, u"table_alias"_s), u"R"_s);
}

TEST_F(EditorForms, InvalidTableStaysOpenWithAllMessages)
{
    unlock();
    ListWizardTable table;
    ASSERT_TRUE(table.CoreLoad(2));
    frmListWizardTable form;
    form.setOData(&table);
    form.Initialize();
    form.show();
    EXPECT_TRUE(form.txt_table_alias()->isEnabled());
    form.txt_visible_name()->clear();
    form.txt_table_alias()->setText(u"  "_s);
    QTest::mouseClick(form.cmd_ok(), Qt::LeftButton);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.ReturnValue(), 1);
    ASSERT_EQ(boxes().requests().size(), 1);
    EXPECT_TRUE(boxes().requests()[0].message.contains(u"A táblanév megadása kötelező!"_s));
    EXPECT_TRUE(boxes().requests()[0].message.contains(u"Az alias megadása kötelező!"_s));
    EXPECT_EQ(table.visible_name(), u"Régió"_s);
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(form.ReturnValue(), 1);
    EXPECT_EQ(column(u"vlq_list_wizard_table"_s, 2, u"visible_name"_s), u"Régió"_s);
}

// The store refuses the write (a name longer than its column): the record and
// the row stay as they were and the form stays open.
TEST_F(EditorForms, FailedWriteKeepsTheRecordAndTheFormOpen)
{
    ListWizardTable table;
    ASSERT_TRUE(table.CoreLoad(2));
    frmListWizardTable form;
    form.setOData(&table);
    form.Initialize();
    form.show();
    form.txt_visible_name()->setText(QString(300, u'R'));
    QTest::mouseClick(form.cmd_ok(), Qt::LeftButton);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.ReturnValue(), 1);
    EXPECT_EQ(table.visible_name(), u"Régió"_s);
    EXPECT_EQ(column(u"vlq_list_wizard_table"_s, 2, u"visible_name"_s), u"Régió"_s);
    auto& dialog = dynamic_cast<ScriptedErrorDialog&>(ctx().errorDialogService());
    const bool reported = !dialog.shown().isEmpty() || !boxes().requests().isEmpty();
    EXPECT_TRUE(reported);
}

TEST_F(EditorForms, DecimalFieldIsShownAsNumberAndPreviewFollowsTheWidth)
{
    ListWizardTableField field;
    ASSERT_TRUE(field.CoreLoad(9));
    frmListWizardTableField form;
    form.setOData(&field);
    form.Initialize();
    form.show();
    EXPECT_EQ(form.cbo_field_type()->currentText(), u"Szám"_s);
    EXPECT_EQ(form.cbo_field_control_type()->currentText(), u"Szám szűrő"_s);
    EXPECT_FALSE(form.cbo_default_search_field()->isEnabled());
    EXPECT_FALSE(form.txt_field_name()->isEnabled());
    form.nb_field_width()->setValue(180);
    form.txt_visible_name()->setText(u"Keret"_s);
    EXPECT_EQ(form.lbl_width_preview()->width(), 180);
    EXPECT_EQ(form.lbl_width_preview()->text(), u"Keret "_s);
    QTest::mouseClick(form.cmd_ok(), Qt::LeftButton);
    EXPECT_EQ(form.ReturnValue(), 0);
    EXPECT_EQ(column(u"vlq_list_wizard_table_field"_s, 9, u"field_type"_s), u"1"_s);
    EXPECT_EQ(column(u"vlq_list_wizard_table_field"_s, 9, u"field_width"_s), u"180"_s);
}

TEST_F(EditorForms, ListFilterClearsTheDefaultSearchField)
{
    unlock();
    ListWizardTableField field;
    ASSERT_TRUE(field.CoreLoad(2));  // Partner.név, quick-pick filter, searched by "nev"
    frmListWizardTableField form;
    form.setOData(&field);
    form.Initialize();
    form.show();
    EXPECT_TRUE(form.cbo_default_search_field()->isEnabled());
    EXPECT_EQ(form.cbo_default_search_field()->currentText(), u"Név"_s);
    form.cbo_field_control_type()->setCurrentIndex(form.cbo_field_control_type()->findText(u"Lista szűrő"_s));
    EXPECT_FALSE(form.cbo_default_search_field()->isEnabled());
    EXPECT_EQ(form.cbo_default_search_field()->currentText(), u"<NINCSEN>"_s);
    QTest::mouseClick(form.cmd_ok(), Qt::LeftButton);
    EXPECT_EQ(form.ReturnValue(), 0);
    EXPECT_EQ(column(u"vlq_list_wizard_table_field"_s, 2, u"default_search_field"_s), QString());
    EXPECT_EQ(column(u"vlq_list_wizard_table_field"_s, 2, u"field_control_type"_s), u"6"_s);
}

TEST_F(EditorForms, F7OpensTheTableFormAndTheListFollows)
{
    auto e = makeEditor(1);
    e->lst_tables()->setCurrentRow(1);  // Régió
    QSignalSpy saved(e.get(), &frmEditor::tableSaved);
    test::whenModal([](QWidget* w) {
        auto* form = qobject_cast<frmListWizardTable*>(w);
        ASSERT_TRUE(form);
        form->txt_visible_name()->setText(u"Régiók"_s);
        QTest::mouseClick(form->cmd_ok(), Qt::LeftButton);
    });
    QTest::keyClick(e->lst_tables(), Qt::Key_F7);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(e->lst_tables()->item(1)->text(), u"Régiók"_s);
    EXPECT_EQ(e->detail(u"table_visible_name"_s)->text(), u"Régiók"_s);
    // Cancelled: nothing changes.
    test::whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    QTest::keyClick(e->lst_tables(), Qt::Key_F7);
    EXPECT_EQ(saved.size(), 1);
    QTest::keyClick(e.get(), Qt::Key_Escape);
    EXPECT_FALSE(e->isVisible());
}

TEST_F(EditorForms, DoubleClickOpensTheFieldForm)
{
    auto e = makeEditor(1);
    QSignalSpy saved(e.get(), &frmEditor::fieldSaved);
    test::whenModal([](QWidget* w) {
        auto* form = qobject_cast<frmListWizardTableField*>(w);
        ASSERT_TRUE(form);
        form->txt_visible_name()->setText(u"Első mező"_s);
        QTest::keyClick(form->txt_visible_name(), Qt::Key_Enter, Qt::ControlModifier);
    });
    QListWidget* fields = e->lst_fields();
    const QRect r = fields->visualItemRect(fields->item(0));
    QTest::mouseClick(fields->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(fields->viewport(), Qt::LeftButton, {}, r.center());
    ASSERT_EQ(saved.size(), 1) << shownMessages().join(u'\n').toStdString();
    EXPECT_EQ(fields->currentItem()->text(), u"Első mező"_s);
}

}  // namespace
