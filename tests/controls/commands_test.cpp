// The headless decisions of the controls: the command state, the report
// file's path, the engine's database path, the export's file name and the
// late-bound calls.

#include <QtCore/QObject>
#include <gtest/gtest.h>

#include "controls/aggregates.h"
#include "controls/commands.h"
#include "controls/reportrun.h"
#include "platform/runtimeerror.h"
#include "platform/strings.h"

using namespace Qt::StringLiterals;
using namespace lg::controls;

namespace {

struct WizardTypeCase {
    WizardType type;
    bool visibleCancel;
    bool newAndDelete;
};

TEST(CommandState, WizardTypeSetsNewDeleteAndExit)
{
    const WizardTypeCase cases[] = {
        {WizardType::Viewer, true, false},
        {WizardType::Viewer, false, false},
        {WizardType::Editor, true, true},
        {WizardType::Editor, false, true},
    };
    for (const auto& c : cases) {
        CommandState s;
        s.applyWizardType(c.type, c.visibleCancel);
        EXPECT_EQ(s.isOn(cmd::ReportNew), c.newAndDelete) << int(c.type);
        EXPECT_EQ(s.isOn(cmd::Delete), c.newAndDelete) << int(c.type);
        EXPECT_EQ(s.isOn(cmd::Exit), c.visibleCancel) << int(c.type);
        // No list is loaded yet: the list commands wait.
        for (int id : {cmd::Print, cmd::ExportToFile, cmd::ExcelExport, cmd::Assistant})
            EXPECT_FALSE(s.isOn(id)) << id;
    }
}

struct LoadedCase {
    const char* name;
    long createUser;
    long userId;
    bool authenticWizard;
    bool authenticExport;
    QString assistant;
    bool deleteOn, exportOn, assistantOn;
};

TEST(CommandState, LoadedListRules)
{
    const LoadedCase cases[] = {
        {"own list", 2, 2, true, true, {}, true, true, false},
        {"another user's list", 1, 2, true, true, {}, false, true, false},
        {"own list without wizard right", 2, 2, false, true, {}, false, true, false},
        {"no export right", 2, 2, true, false, {}, true, false, false},
        {"assistant", 2, 2, true, true, u"Nagyker.SzamlaAsszisztens"_s, true, true, true},
        {"blank assistant", 2, 2, true, true, u"   "_s, true, true, false},
    };
    for (const auto& c : cases) {
        CommandState s;
        s.beforeSelection(c.authenticWizard);
        s.clearSelection();
        s.applyLoadedList({c.createUser, c.assistant, u"Számla asszisztens"_s}, c.userId, c.authenticWizard,
                          c.authenticExport);
        EXPECT_TRUE(s.isOn(cmd::Print)) << c.name;  // print never depends on AuthenticPrint
        EXPECT_EQ(s.isOn(cmd::Delete), c.deleteOn) << c.name;
        EXPECT_EQ(s.isOn(cmd::ExportToFile), c.exportOn) << c.name;
        EXPECT_EQ(s.isOn(cmd::ExcelExport), c.exportOn) << c.name;
        EXPECT_EQ(s.isOn(cmd::Assistant), c.assistantOn) << c.name;
        EXPECT_EQ(s.assistantCaption(), c.assistantOn ? u"Számla asszisztens"_s : QString()) << c.name;
        EXPECT_EQ(s.isOn(cmd::ReportNew), c.authenticWizard) << c.name;
    }
}

TEST(CommandState, CaptionsComeFromTheStringTable)
{
    EXPECT_EQ(commandCaption(cmd::Exit), u"Kilépés"_s);
    EXPECT_EQ(commandCaption(cmd::ExcelExport), u"Lista exportálása Excel fájlba"_s);
    EXPECT_EQ(commandCaption(cmd::CatalogueEditor), u"Listagenerátor paraméterezés"_s);
    EXPECT_TRUE(commandCaption(cmd::Assistant).isEmpty());
}

TEST(ReportRun, ReportFilePathHasOneBackslash)
{
    const struct {
        QString folder, file, expected;
    } cases[] = {
        {u"C:\\Rep"_s, u"REPORT1.XML"_s, u"C:\\Rep\\REPORT1.XML"_s},
        {u"C:\\Rep\\"_s, u"REPORT1.XML"_s, u"C:\\Rep\\REPORT1.XML"_s},
        {u"  C:\\Rep\\  "_s, u"REPORT1.XML"_s, u"C:\\Rep\\REPORT1.XML"_s},
        {u"/srv/rep/"_s, u"REPORT2.XML"_s, u"/srv/rep/REPORT2.XML"_s},
        {u"/srv/rep"_s, u"REPORT2.XML"_s, u"/srv/rep\\REPORT2.XML"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reportFilePath(c.folder, c.file), c.expected) << c.folder.toStdString();
    // On disk either separator leads to the same file.
    EXPECT_EQ(reportFileDiskPath(u"/srv/rep"_s, u"REPORT2.XML"_s), reportFileDiskPath(u"/srv/rep/"_s, u"REPORT2.XML"_s));
}

TEST(ReportRun, EngineDatabasePathCarriesThePassword)
{
    EXPECT_EQ(engineDatabasePath(u"/d/a.db"_s, QString()), u"/d/a.db"_s);
    EXPECT_EQ(engineDatabasePath(u"/d/a.db"_s, u"titok"_s), u"/d/a.db;Jet OLEDB:Database Password=titok;"_s);
}

TEST(ReportRun, ExportFileNameCheck)
{
    QString message;
    for (const QString& blank : {QString(), u"   "_s}) {
        EXPECT_FALSE(checkExportFileName(blank, message));
        EXPECT_EQ(message, lg::LoadResString(506));
    }
    EXPECT_TRUE(checkExportFileName(u"x.xlsx"_s, message));
    EXPECT_TRUE(message.isEmpty());
    EXPECT_EQ(exportTargetPath(u" /tmp/forgalom "_s), u"/tmp/forgalom.xlsx"_s);
    EXPECT_EQ(exportTargetPath(u"/tmp/forgalom.xlsx"_s), u"/tmp/forgalom.xlsx"_s);
    EXPECT_EQ(exportTargetPath(u"/tmp/régi.xls"_s), u"/tmp/régi.xls"_s);
}

class Target : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Copies MEMBER copies)
public:
    int copies = 0;
    QStringList seen;
    Q_INVOKABLE bool Take(const QString& a, int b)
    {
        seen << a + QString::number(b);
        return b > 0;
    }
    Q_INVOKABLE void Ping() { seen << u"ping"_s; }
};

TEST(ReportRun, MembersAreReachedByName)
{
    Target t;
    setMember(&t, "Copies", 3);
    EXPECT_EQ(t.copies, 3);
    EXPECT_EQ(callMember(&t, "Take", {u"a"_s, 2}), QVariant(true));
    EXPECT_EQ(callMember(&t, "Take", {u"b"_s, 0}), QVariant(false));
    EXPECT_FALSE(callMember(&t, "Ping").isValid());
    EXPECT_EQ(t.seen, (QStringList{u"a2"_s, u"b0"_s, u"ping"_s}));
    for (auto bad : {+[](Target& x) { setMember(&x, "Nope", 1); }, +[](Target& x) { callMember(&x, "Nope"); },
                     +[](Target& x) { callMember(&x, "Take", {1}); }}) {
        try {
            bad(t);
            ADD_FAILURE() << "no error";
        } catch (const lg::RuntimeError& e) {
            EXPECT_EQ(e.number(), 438);
        }
    }
}

TEST(Aggregates, NamesAndChoiceLists)
{
    const AggregateNames& a = LoadAggregateNames();
    EXPECT_EQ(a.names[0], u"Ismeretlen"_s);
    EXPECT_EQ(a.names[4], u"Összeg"_s);
    EXPECT_EQ(a.fullChoiceList, u"|#1;Darab|#2;Legnagyobb|#3;Legkisebb|#4;Összeg|#5;Átlag"_s);
    EXPECT_EQ(a.shortChoiceList, u"|#1;Darab|#2;Legnagyobb|#3;Legkisebb"_s);
    EXPECT_EQ(&aggregateNames(), &a);
}

}  // namespace

#include "commands_test.moc"
