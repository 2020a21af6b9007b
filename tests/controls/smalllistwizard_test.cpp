// SmallListWizard: lists by id, the host condition combined with the
// pre-filter, properties; and the export options dialog.

#include <QtCore/QFile>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include "controls/frmexportoptions.h"
#include "controls/smalllistwizard.h"
#include "controlsfixture.h"
#include "scriptedservices.h"
#include "platform/propertybag.h"
#include "platform/strings.h"
#include "reportengine/filedialogservice.h"

using namespace Qt::StringLiterals;
using namespace lg;
using namespace lg::controls;
using test::RecordingEngine;
using test::ScriptedExportOptions;
using test::ScriptedPreFilter;

namespace {

class Small : public test::DemoDatabase {
protected:
    std::unique_ptr<SmallListWizard> make()
    {
        auto w = std::make_unique<SmallListWizard>();
        w->InitProperties();
        w->setServices({{}, preFilter, {}, exportOptions});
        w->setDatabase(db);
        w->setUserID(1);
        w->setReportFolderPath(m_reports);
        return w;
    }
    // What "%WHERE%" became: the text between the statement's "AND  (" and
    // its ") ORDER BY".
    static QString whereOf(const QString& statement)
    {
        const qsizetype from = statement.lastIndexOf(u"AND  ("_s);
        const qsizetype to = statement.lastIndexOf(u") ORDER BY"_s);
        return from < 0 || to < from ? QString() : statement.mid(from + 6, to - from - 6);
    }

    std::shared_ptr<ScriptedPreFilter> preFilter = std::make_shared<ScriptedPreFilter>();
    std::shared_ptr<ScriptedExportOptions> exportOptions = std::make_shared<ScriptedExportOptions>();
};

TEST_F(Small, HostConditionAndPreFilterCombine)
{
    const QString host = u"[SZ].[fizetve]=0"_s;
    const QString pre = u"[P].[nev] LIKE 'A*'"_s;
    const struct {
        const char* name;
        long list;  // 3 has no pre-filter, 4 asks for one
        PreFilterAnswer answer;
        QString sFilter;
        bool runs;
        QString where;
    } cases[] = {
        {"no pre-filter, no host condition", 3, {}, {}, true, u" (TRUE) "_s},
        {"no pre-filter, blank host condition", 3, {}, u"   "_s, true, u" (TRUE) "_s},
        {"no pre-filter, host condition", 3, {}, host, true, host},
        {"confirmed empty pre-filter, host condition", 4, {true, 0, u" "_s, {}}, host, true, host},
        {"pre-filter alone", 4, {true, 0, pre, u"A"_s}, {}, true, pre},
        {"pre-filter and host condition", 4, {true, 0, u" "_s + pre + u" "_s, u"A"_s}, u" "_s + host, true,
         pre + u" AND "_s + host},
        {"pre-filter cancelled", 4, {true, 1, pre, {}}, host, false, {}},
    };
    auto w = make();
    for (const auto& c : cases) {
        RecordingEngine::log() = {};
        preFilter->answer = c.answer;
        EXPECT_TRUE(w->ShowReport(c.list, false, c.sFilter)) << c.name;
        EXPECT_EQ(RecordingEngine::log().created, 1) << c.name;
        if (!c.runs) {
            EXPECT_TRUE(RecordingEngine::log().calls.isEmpty()) << c.name;
            continue;
        }
        EXPECT_EQ(RecordingEngine::log().calls, test::engineCallOrder(u"ShowReport(False)"_s)) << c.name;
        EXPECT_EQ(whereOf(RecordingEngine::log().statement), c.where) << c.name;
    }
    EXPECT_TRUE(errorDialog().shown().isEmpty());
}

TEST_F(Small, MissingListAndExportRight)
{
    auto w = make();
    EXPECT_FALSE(w->ShowReport(999, false));
    EXPECT_EQ(RecordingEngine::log().created, 0);
    EXPECT_FALSE(w->ExcelExport(999));
    EXPECT_EQ(exportOptions->asked, 0);
    EXPECT_TRUE(boxes().requests().isEmpty());  // nothing shown

    w->setAuthenticExport(false);
    EXPECT_FALSE(w->ShowReport(3, true));
    EXPECT_FALSE(w->ExcelExport(3));
    EXPECT_EQ(RecordingEngine::log().created, 0);
    EXPECT_EQ(exportOptions->asked, 0);
    EXPECT_TRUE(w->ShowReport(3, false));
    EXPECT_EQ(RecordingEngine::log().values.value(u"ExportButtonEnable"_s), u"False"_s);
}

TEST_F(Small, HostConditionThatBreaksOutRunsNothing)
{
    auto w = make();
    EXPECT_FALSE(w->ShowReport(3, false, u"1=1) OR (1=1"_s));
    EXPECT_TRUE(RecordingEngine::log().calls.isEmpty());
    ASSERT_EQ(errorDialog().shown().size(), 1);
    EXPECT_TRUE(errorDialog().shown().first().error.source().startsWith(u"vlqTabula2.SmallListWizardShowReport"_s));
}

TEST_F(Small, ExcelExportWritesTheNarrowedRows)
{
    auto w = make();
    const QString all = m_dir + u"/mind.xlsx"_s;
    const QString unpaid = m_dir + u"/fizetetlen.xlsx"_s;
    exportOptions->answer = {0, all, false};
    ASSERT_TRUE(w->ExcelExport(3));
    exportOptions->answer = {0, unpaid, false};
    ASSERT_TRUE(w->ExcelExport(3, u"[SZ].[fizetve]=0"_s));
    // Both are workbooks; the narrowed one is smaller.
    EXPECT_GT(QFile(all).size(), QFile(unpaid).size());
    EXPECT_GT(QFile(unpaid).size(), 0);
}

TEST_F(Small, PropertiesPersist)
{
    SmallListWizard w;
    w.InitProperties();
    for (const PersistedProperty& p : SmallListWizard::persistedProperties())
        EXPECT_EQ(w.property(p.property), p.defaultValue) << p.property;
    QSignalSpy changed(&w, &SmallListWizard::PropertyChanged);
    w.setAuthenticPrint(false);
    w.setUserID(7);
    EXPECT_EQ(changed.count(), 2);
    MemoryPropertyBag bag;
    w.WriteProperties(bag);
    EXPECT_EQ(bag.values().keys(), (QStringList{u"AuthenticPrint"_s, u"UserID"_s}));
    SmallListWizard again;
    again.ReadProperties(bag);
    EXPECT_FALSE(again.AuthenticPrint());
    EXPECT_EQ(again.UserID(), 7);
    EXPECT_EQ(ctx().userId, 7);
}

TEST(ExportOptionsDialog, BlankNameWarnsAndStaysOpen)
{
    Context::reset();
    frmExportOptions d;
    EXPECT_EQ(d.windowTitle(), LoadResString(500));
    EXPECT_EQ(d.chkShowExportedFile->text(), LoadResString(503));
    d.show();
    QSignalSpy returned(&d, &frmExportOptions::ReturnValueChanged);
    d.txtFileName->setText(u"   "_s);
    QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    auto& boxes = dynamic_cast<ScriptedMessagePresenter&>(ctx().messageService().presenter());
    ASSERT_EQ(boxes.requests().size(), 1);
    EXPECT_EQ(boxes.requests().first().message, LoadResString(506));
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.ReturnValue(), 1);
    EXPECT_EQ(returned.count(), 0);

    // The file button fills the box from the file dialog.
    auto files = std::make_shared<reportengine::ScriptedFileDialog>();
    files->answers << u"/tmp/kimutatas"_s;
    reportengine::setDefaultFileDialogService(files);
    QTest::mouseClick(d.cmdBrowse, Qt::LeftButton);
    reportengine::setDefaultFileDialogService(nullptr);
    EXPECT_EQ(files->filtersAsked, (QStringList{frmExportOptions::fileFilter()}));
    EXPECT_EQ(d.FilePath(), u"/tmp/kimutatas.xlsx"_s);

    QTest::keyClick(d.chkShowExportedFile, Qt::Key_Space);
    EXPECT_TRUE(d.ExportFileOpen());
    QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.ReturnValue(), 0);
    EXPECT_EQ(returned.count(), 1);
    Context::reset();
}

TEST(ExportOptionsDialog, EscapeCancels)
{
    frmExportOptions d;
    d.setReturnValue(0);
    d.show();
    d.setFilePath(u"/tmp/x.xlsx"_s);
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_EQ(d.ReturnValue(), 1);
    EXPECT_EQ(d.result(), QDialog::Rejected);
}

}  // namespace
