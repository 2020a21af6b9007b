// ListWizard driven offscreen with QTest on the demo database: commands by
// click, the double-click, the selectors, what the report engine received
// and what the store holds afterwards.

#include <QtCore/QFile>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QToolButton>

#include "catalogue/filehelpers.h"
#include "controls/assistants.h"
#include "controls/listbrowser.h"
#include "controls/listwizard.h"
#include "controls/wizarddesigner.h"
#include "controlsfixture.h"
#include "scriptedservices.h"
#include "platform/propertybag.h"
#include "platform/strings.h"
#include "ui/captions.h"
#include "reportengine/filedialogservice.h"

using namespace Qt::StringLiterals;
using namespace lg;
using namespace lg::controls;
using test::RecordingEngine;
using test::ScriptedExportOptions;
using test::ScriptedPreFilter;

namespace {

struct ScriptedDesigner : ListDesigner {
    long answer = -1;
    QList<ListDesignRequest> asked;
    bool design(QWidget*, const ListDesignRequest& r, long& saved) override
    {
        asked << r;
        saved = answer;
        return true;
    }
};

class Wizard : public test::DemoDatabase {
protected:
    void SetUp() override
    {
        DemoDatabase::SetUp();
        preFilter = std::make_shared<ScriptedPreFilter>();
        exportOptions = std::make_shared<ScriptedExportOptions>();
    }

    std::unique_ptr<ListWizard> makeWizard(long user, bool show = true)
    {
        auto w = std::make_unique<ListWizard>();
        w->setServices({{}, preFilter, {}, exportOptions});
        w->InitProperties();
        w->setDatabase(db);
        w->setUserID(int(user));
        w->setReportFolderPath(m_reports);
        w->resize(1000, 600);
        if (show) {
            w->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        }
        EXPECT_TRUE(w->ControlInitialize());
        return w;
    }

    static void clickCommand(ListWizard& w, int id)
    {
        QWidget* button = w.cmd_main()->widgetForAction(w.commandAction(id));
        ASSERT_TRUE(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    static void clickList(ListWizard& w, long listId)
    {
        QListWidget* l = w.lst_reports();
        for (int i = 0; i < l->count(); ++i)
            if (l->item(i)->data(Qt::UserRole).toLongLong() == listId) {
                const QRect r = l->visualItemRect(l->item(i));
                QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, r.center());
                ASSERT_EQ(w.browser().currentListId(), listId);
                return;
            }
        FAIL() << "list " << listId << " is not in the box";
    }

    static void selectCombo(QComboBox* c, long data)
    {
        c->setCurrentIndex(c->findData(qlonglong(data)));
    }

    std::shared_ptr<ScriptedPreFilter> preFilter;
    std::shared_ptr<ScriptedExportOptions> exportOptions;
};

TEST_F(Wizard, PropertiesHaveTheirDefaultsAndPersist)
{
    ListWizard w;
    w.InitProperties();
    for (const PersistedProperty& p : ListWizard::persistedProperties())
        EXPECT_EQ(w.property(p.property), p.defaultValue) << p.property;
    EXPECT_EQ(w.WizardType(), 2);
    EXPECT_EQ(w.ModulID(), -1);
    EXPECT_EQ(w.UserID(), -1);

    QSignalSpy changed(&w, &ListWizard::PropertyChanged);
    QSignalSpy exportChanged(&w, &ListWizard::AuthenticExportChanged);
    w.setAuthenticExport(false);
    w.setReportFolderPath(u"/rep"_s);
    w.setUserID(4);
    EXPECT_EQ(exportChanged.count(), 1);
    QStringList names;
    for (const auto& args : changed)
        names << args.at(0).toString();
    EXPECT_EQ(names, (QStringList{u"AuthenticExport"_s, u"ReportFolderPath"_s, u"UserID"_s}));

    MemoryPropertyBag bag;
    w.WriteProperties(bag);
    // Only what differs from the defaults is stored.
    EXPECT_EQ(bag.values().keys(), (QStringList{u"AuthenticExport"_s, u"ReportFolderPath"_s, u"UserID"_s}));
    ListWizard again;
    again.ReadProperties(bag);
    EXPECT_FALSE(again.AuthenticExport());
    EXPECT_EQ(again.ReportFolderPath(), u"/rep"_s);
    EXPECT_EQ(again.UserID(), 4);
    EXPECT_EQ(ctx().userId, 4);  // the library-wide user follows
}

TEST_F(Wizard, CaptionsOfCommandsAndPanel)
{
    auto w = makeWizard(2);
    EXPECT_EQ(w->commandAction(cmd::Print)->text(), u"Lista nyomtatása"_s);
    EXPECT_EQ(w->commandAction(cmd::Delete)->text(), u"Lista törlése"_s);
    EXPECT_EQ(w->findChild<QLabel*>(u"lbl_create_user_caption"_s)->text(), u"Tulajdonos:"_s);
    EXPECT_EQ(w->findChild<QLabel*>(u"lbl_sql_description_caption"_s)->text(), u"Szűrési feltételek"_s);
    EXPECT_EQ(w->ownerSelector()->itemText(0), u"Saját listák"_s);
    EXPECT_EQ(w->ownerSelector()->itemText(1), u"Minden lista"_s);
    EXPECT_EQ(w->listTypeSelector()->itemText(0), u" < Minden típus > "_s);
}

TEST_F(Wizard, PrintClickDrivesTheEngineInOrder)
{
    auto w = makeWizard(2);
    w->setParameter1(u"[SZ].[fizmod]='készpénz'"_s);
    w->setAuthenticPrint(false);
    clickList(*w, 3);
    ASSERT_TRUE(w->isCommandEnabled(cmd::Print));  // AuthenticPrint does not matter here
    clickCommand(*w, cmd::Print);

    const auto& log = RecordingEngine::log();
    EXPECT_EQ(log.created, 1);
    EXPECT_EQ(log.calls, test::engineCallOrder(u"ShowReport(False)"_s));
    EXPECT_EQ(log.values.value(u"ConnectionProvider"_s), u"1"_s);
    EXPECT_EQ(log.values.value(u"DataBasePath"_s), db->Name());
    EXPECT_EQ(log.values.value(u"PrintButtonEnable"_s), u"False"_s);
    EXPECT_EQ(log.values.value(u"ExportButtonEnable"_s), u"True"_s);
    EXPECT_EQ(log.values.value(u"PrintCopies"_s), u"1"_s);
    EXPECT_TRUE(QFile::exists(log.values.value(u"ReportFilePath"_s)));
    EXPECT_TRUE(log.values.value(u"ReportFilePath"_s).endsWith(u"REPORT3.XML"_s));
    EXPECT_EQ(log.params.value(u"report_name"_s), u"Számlák partnerenként 2024"_s);
    EXPECT_EQ(log.params.value(u"sub_report_name"_s), u"Számlák partnerenként 2024"_s);
    EXPECT_EQ(log.params.value(u"filter_string"_s), w->txt_sql_description()->text());
    // The placeholders are filled: the run's user, the parameter, no condition.
    EXPECT_FALSE(log.statement.contains(u'%'));
    EXPECT_TRUE(log.statement.contains(u"AND  [SZ].[fizmod]='készpénz' )"_s)) << log.statement.toStdString();
    EXPECT_TRUE(log.statement.contains(u"( (TRUE) )"_s)) << log.statement.toStdString();
    EXPECT_TRUE(log.statement.contains(u"[P].[felelos_id]=2"_s));
    EXPECT_TRUE(errorDialog().shown().isEmpty());
}

TEST_F(Wizard, DoubleClickRunsThePreview)
{
    auto w = makeWizard(2);
    QListWidget* l = w->lst_reports();
    const QPoint at = l->visualItemRect(l->item(1)).center();
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(RecordingEngine::log().calls.value(RecordingEngine::log().calls.size() - 1), u"ShowReport(False)"_s);
    EXPECT_EQ(RecordingEngine::log().params.value(u"report_name"_s), l->item(1)->text());
}

TEST_F(Wizard, ExportToFileNeedsTheExportRight)
{
    auto w = makeWizard(2);
    clickCommand(*w, cmd::ExportToFile);
    EXPECT_EQ(RecordingEngine::log().calls.value(RecordingEngine::log().calls.size() - 1), u"RiportRenderToFile"_s);

    RecordingEngine::log() = {};
    w->setAuthenticExport(false);
    w->ControlInitialize();
    EXPECT_FALSE(w->isCommandEnabled(cmd::ExportToFile));
    EXPECT_FALSE(w->isCommandEnabled(cmd::ExcelExport));
    EXPECT_FALSE(w->ShowReport(true));
    EXPECT_FALSE(w->ExcelExport());
    EXPECT_EQ(RecordingEngine::log().created, 0);
    EXPECT_EQ(exportOptions->asked, 0);
    EXPECT_TRUE(w->ShowReport(false));  // printing stays allowed
}

TEST_F(Wizard, MissingReportFileAndMissingEngineAreReported)
{
    auto w = makeWizard(2);
    w->setReportFolderPath(m_dir + u"\\nincs"_s);
    EXPECT_FALSE(w->ShowReport(false));
    ASSERT_EQ(shownMessages().size(), 1);
    EXPECT_EQ(shownMessages().first(),
              LoadResString(5005) + u" ("_s + m_dir + u"\\nincs\\REPORT8.XML)"_s + u"\r\n"_s);
    EXPECT_EQ(RecordingEngine::log().created, 0);

    boxes().clearRequests();
    w->setReportFolderPath(m_reports);
    ObjectFactory::unregisterClass(reportengine::ReportEngine::kClassName);
    EXPECT_FALSE(w->ShowReport(false));
    ASSERT_EQ(shownMessages().size(), 1);
    EXPECT_EQ(shownMessages().first(), LoadResString(5004) + u"\r\n"_s);
}

TEST_F(Wizard, EngineThatCannotPrepareShowsNothing)
{
    auto w = makeWizard(2);
    RecordingEngine::log().initResult = false;
    EXPECT_TRUE(w->ShowReport(false));
    EXPECT_EQ(RecordingEngine::log().calls.last(), u"InitReportEngine"_s);
    EXPECT_TRUE(shownMessages().isEmpty());
}

TEST_F(Wizard, PreFilterConditionAndCancel)
{
    auto w = makeWizard(1);
    selectCombo(w->ownerSelector(), 1);
    clickList(*w, 4);  // asks for a pre-filter

    preFilter->answer = {true, 0, u"  [P].[nev] LIKE 'A*'  "_s, u"Partner neve A-val kezdődik"_s};
    EXPECT_TRUE(w->ShowReport(false));
    ASSERT_EQ(preFilter->asked.size(), 1);
    const PreFilterRequest& r = preFilter->asked.first();
    EXPECT_EQ(r.listTypeId, 2);
    EXPECT_EQ(r.reportName, u"Lejárt, kifizetetlen számlák"_s);
    EXPECT_EQ(r.userId, 1);
    EXPECT_EQ(r.originalSqlDescription, w->txt_sql_description()->text());
    const auto& log = RecordingEngine::log();
    EXPECT_TRUE(log.statement.contains(u"([P].[nev] LIKE 'A*')"_s)) << log.statement.toStdString();
    EXPECT_EQ(log.params.value(u"filter_string"_s), u"Partner neve A-val kezdődik"_s);

    // Confirmed without a condition: the stored description, everything.
    RecordingEngine::log() = {};
    preFilter->answer = {true, 0, u"   "_s, u"ignored"_s};
    EXPECT_TRUE(w->ShowReport(false));
    EXPECT_TRUE(RecordingEngine::log().statement.contains(u"( (TRUE) )"_s));
    EXPECT_EQ(RecordingEngine::log().params.value(u"filter_string"_s), w->txt_sql_description()->text());

    // Cancelled: the engine was created, nothing was run, no error.
    RecordingEngine::log() = {};
    preFilter->answer = {true, 1, {}, {}};
    EXPECT_TRUE(w->ShowReport(false));
    EXPECT_EQ(RecordingEngine::log().created, 1);
    EXPECT_TRUE(RecordingEngine::log().calls.isEmpty());
    EXPECT_TRUE(shownMessages().isEmpty());
}

TEST_F(Wizard, ConditionThatBreaksOutIsRefused)
{
    auto w = makeWizard(2);
    w->setParameter2(u"1=1) OR (1=1"_s);
    clickList(*w, 3);
    EXPECT_FALSE(w->ShowReport(false));
    EXPECT_TRUE(RecordingEngine::log().calls.isEmpty());
    ASSERT_EQ(errorDialog().shown().size(), 1);
    EXPECT_TRUE(errorDialog().shown().first().error.source().startsWith(u"vlqTabula2.ListWizardShowReport"_s));
}

TEST_F(Wizard, ExitRaisesTheSignalWithOrWithoutSelection)
{
    auto w = makeWizard(5);
    QSignalSpy exit(w.get(), &ListWizard::ExitWizard);
    clickCommand(*w, cmd::Exit);
    EXPECT_EQ(exit.count(), 1);
    w->lst_reports()->clear();
    w->execute(cmd::Exit);
    EXPECT_EQ(exit.count(), 2);
    w->setVisibleCancelButton(false);
    EXPECT_FALSE(w->isCommandEnabled(cmd::Exit));
}

TEST_F(Wizard, SelectorsRefillTheListBox)
{
    auto w = makeWizard(2);
    EXPECT_EQ(w->lst_reports()->count(), 2);
    selectCombo(w->ownerSelector(), 1);
    EXPECT_EQ(w->lst_reports()->count(), 10);
    selectCombo(w->listTypeSelector(), 4);
    ASSERT_EQ(w->lst_reports()->count(), 1);
    EXPECT_EQ(w->lst_reports()->item(0)->text(), u"Kávé, tea és csokoládé"_s);
    EXPECT_EQ(w->txt_list_type()->text(), u"Termékek"_s);
    selectCombo(w->listTypeSelector(), -1);
    EXPECT_EQ(w->lst_reports()->count(), 10);

    w->setAuthenticAllReport(false);
    EXPECT_FALSE(w->ownerSelector()->isEnabled());
    EXPECT_EQ(w->ownerSelector()->currentIndex(), 0);
}

TEST_F(Wizard, DeleteByClickLeavesOtherListsAlone)
{
    auto w = makeWizard(2);
    selectCombo(w->ownerSelector(), 1);
    clickList(*w, 5);  // the administrator's
    EXPECT_FALSE(w->isCommandEnabled(cmd::Delete));
    boxes().clickButton(0);
    EXPECT_FALSE(w->ReportDelete());
    EXPECT_EQ(deleteStatus(5), 0);

    clickList(*w, 3);
    ASSERT_TRUE(w->isCommandEnabled(cmd::Delete));
    clickCommand(*w, cmd::Delete);
    EXPECT_NE(deleteStatus(3), 0);
    EXPECT_EQ(w->lst_reports()->count(), 9);
    for (long other : {1, 2, 4, 5, 6, 7, 8, 9, 10})
        EXPECT_EQ(deleteStatus(other), 0) << other;
    // The previous entry is shown.
    EXPECT_EQ(w->browser().currentListId(), w->browser().selectedListId());
    EXPECT_EQ(w->lst_reports()->currentItem()->data(Qt::UserRole).toLongLong(), w->browser().selectedListId());
}

TEST_F(Wizard, VanishedListDisappearsWhenRun)
{
    auto w = makeWizard(2);
    clickList(*w, 3);
    db->Execute(u"UPDATE vlq_list_report SET del_status=1 WHERE id=3"_s);
    modTables::Reset();
    EXPECT_FALSE(w->ShowReport(false));
    EXPECT_EQ(RecordingEngine::log().created, 0);
    EXPECT_EQ(w->lst_reports()->count(), 1);
    EXPECT_EQ(w->browser().selectedListId(), 8);
}

TEST_F(Wizard, DefaultDialogsAreTheLibrarys)
{
    auto w = std::make_unique<ListWizard>();
    w->setDatabase(db);
    w->setUserID(2);
    ASSERT_TRUE(w->ControlInitialize());
    // the list designer is the wizard itself, the editor frmEditor
    EXPECT_TRUE(dynamic_cast<WizardDesigner*>(w->services().designer.get()));
    EXPECT_TRUE(dynamic_cast<CatalogueEditorDialog*>(w->services().catalogueEditor.get()));
}

TEST_F(Wizard, EditorCommandOpensTheEditorOnTheModule)
{
    auto editor = std::make_shared<test::ScriptedCatalogueEditor>();
    auto w = makeWizard(2);
    w->setModulID(1);
    w->setServices({{}, preFilter, editor, exportOptions});
    ASSERT_TRUE(w->ControlInitialize());
    clickCommand(*w, cmd::CatalogueEditor);
    ASSERT_EQ(editor->asked.size(), 1);
    EXPECT_EQ(editor->asked[0].userId, 2);
    EXPECT_EQ(editor->asked[0].modulId, 1);
}

TEST_F(Wizard, ListDesignerResultIsSelected)
{
    auto designer = std::make_shared<ScriptedDesigner>();
    designer->answer = 8;
    auto w = makeWizard(2);
    w->setServices({designer, preFilter, {}, exportOptions});
    clickList(*w, 3);
    clickCommand(*w, cmd::ReportNew);
    ASSERT_EQ(designer->asked.size(), 1);
    EXPECT_EQ(designer->asked.first().selectedListId, 3);
    EXPECT_TRUE(designer->asked.first().authenticAllReport);  // the control's default
    EXPECT_EQ(w->browser().currentListId(), 8);
    w->setAuthenticAllReport(false);
    clickCommand(*w, cmd::ReportNew);
    ASSERT_EQ(designer->asked.size(), 2);
    EXPECT_FALSE(designer->asked.last().authenticAllReport);
    // without the right to design the wizard does not open
    w->setAuthenticWizard(false);
    EXPECT_FALSE(w->ReportNew());
    EXPECT_EQ(designer->asked.size(), 2);
}

TEST_F(Wizard, EditorCommandFollowsTheRight)
{
    auto w = makeWizard(2);
    EXPECT_TRUE(w->isCommandEnabled(cmd::CatalogueEditor));
    w->setAuthenticEditor(false);
    w->ControlInitialize();
    EXPECT_FALSE(w->isCommandEnabled(cmd::CatalogueEditor));
}

class RecordingAssistant : public Assistant {
public:
    static QStringList& calls()
    {
        static QStringList c;
        return c;
    }
    void setDatabase(std::shared_ptr<dao::Database> d) override { calls() << (d ? u"Database"_s : u"no database"_s); }
    void setUserID(long id) override { calls() << u"UserID=%1"_s.arg(id); }
    void Execute() override { calls() << u"Execute"_s; }
};

TEST_F(Wizard, AssistantGetsDatabaseUserAndExecute)
{
    RecordingAssistant::calls().clear();
    AssistantRegistry::registerClass(u"nagyker.szamlaasszisztens"_s, [] { return std::make_unique<RecordingAssistant>(); });
    auto w = makeWizard(2);
    clickList(*w, 3);
    EXPECT_EQ(w->commandAction(cmd::Assistant)->text(), u"Számla asszisztens"_s);
    clickCommand(*w, cmd::Assistant);
    EXPECT_EQ(RecordingAssistant::calls(), (QStringList{u"Database"_s, u"UserID=2"_s, u"Execute"_s}));

    AssistantRegistry::unregisterClass(u"Nagyker.SzamlaAsszisztens"_s);
    EXPECT_FALSE(w->ExecuteAssistent());
    EXPECT_EQ(shownMessages(), (QStringList{LoadResString(5013) + u" (Nagyker.SzamlaAsszisztens)\r\n"_s}));

    // A type without assistant: the command is off and nothing is created.
    clickList(*w, 8);
    EXPECT_FALSE(w->isCommandEnabled(cmd::Assistant));
    EXPECT_FALSE(w->ExecuteAssistent());
}

TEST_F(Wizard, FocusColourAndItemTooltips)
{
    auto w = makeWizard(2);
    QListWidget* l = w->lst_reports();
    l->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(l->palette().color(QPalette::Base), colorFromWin(wincolor::SysInfoBackground));
    w->lst_fields()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(l->palette().color(QPalette::Base), QColor(Qt::white));

    const QPoint at = l->visualItemRect(l->item(1)).center();
    QTest::mouseMove(l->viewport(), at);
    QMouseEvent move(QEvent::MouseMove, QPointF(at), l->viewport()->mapToGlobal(QPointF(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(l->viewport(), &move);
    EXPECT_EQ(l->toolTip(), l->item(1)->text());

    // A click on a displayed field shows its whole name.
    QListWidget* fields = w->lst_fields();
    ASSERT_GT(fields->count(), 2);
    QTest::mouseClick(fields->viewport(), Qt::LeftButton, {}, fields->visualItemRect(fields->item(2)).center());
    EXPECT_EQ(fields->toolTip(), fields->item(2)->text());
}

TEST_F(Wizard, EndToEndPdfAndWorkbook)
{
    // The real engine this time, with the file dialog answered by a script.
    ObjectFactory::registerClass(reportengine::ReportEngine::kClassName,
                                 [] { return std::make_unique<reportengine::ReportEngine>(); });
    auto files = std::make_shared<reportengine::ScriptedFileDialog>();
    const QString pdf = m_dir + u"/szamlak.pdf"_s;
    files->answers << pdf;
    reportengine::setDefaultFileDialogService(files);
    QStringList opened;
    catalogue::SetShellOpenHandler([&](const QString& p) {
        opened << p;
        return 42;
    });

    auto w = makeWizard(2);
    clickList(*w, 3);
    clickCommand(*w, cmd::ExportToFile);
    QFile out(pdf);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.read(5), QByteArray("%PDF-"));

    const QString xlsx = m_dir + u"/szamlak"_s;
    exportOptions->answer = {0, xlsx, true};
    clickCommand(*w, cmd::ExcelExport);
    EXPECT_EQ(exportOptions->asked, 1);
    QFile book(xlsx + u".xlsx"_s);
    ASSERT_TRUE(book.open(QIODevice::ReadOnly));
    EXPECT_EQ(book.read(2), QByteArray("PK"));
    EXPECT_EQ(opened, (QStringList{xlsx + u".xlsx"_s}));

    // Cancelled options: nothing is written, nothing opened.
    exportOptions->answer = {1, m_dir + u"/masik.xlsx"_s, true};
    EXPECT_FALSE(w->ExcelExport());
    EXPECT_FALSE(QFile::exists(m_dir + u"/masik.xlsx"_s));
    EXPECT_EQ(opened.size(), 1);

    // A target that cannot be written: text 200 with the reason.
    exportOptions->answer = {0, m_dir + u"/nincs/ilyen/mappa.xlsx"_s, false};
    EXPECT_FALSE(w->ExcelExport());
    ASSERT_FALSE(boxes().requests().isEmpty());
    EXPECT_EQ(boxes().requests().last().message, LoadResString(200));
    EXPECT_FALSE(boxes().requests().last().subMessage.isEmpty());

    reportengine::setDefaultFileDialogService(nullptr);
    catalogue::SetShellOpenHandler(nullptr);
}

}  // namespace
