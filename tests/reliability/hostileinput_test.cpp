// The same hostile texts pushed through every way text enters the library:
// list names and descriptions, catalogue captions, filter inputs, quick-pick
// searches, report folders and the command line. Each one gives a clear
// error or a correct result; none crashes, hangs, or turns into SQL or XML
// that means something else.

#include "support/testsupport.h"

#include "catalogue/fieldcatalogue.h"
#include "demodata.h"
#include "filters/quickpick.h"
#include "filters/textfiltermodel.h"
#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "report/statementgenerator.h"
#include "report/xmlsourcegenerator.h"
#include "reportengine/reportsource.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/listreport.h"
#include "store/tables.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>

namespace lg::test {
namespace {

struct Hostile {
    const char* name;
    QString text;
};

QList<Hostile> hostileTexts()
{
    return {
        {"quote", QStringLiteral("O'Neil ''")},
        {"closing quote and OR", QStringLiteral("x' OR 'a'='a")},
        {"statement after", QStringLiteral("x'; DROP TABLE vlq_list_report; --")},
        {"double quotes", QStringLiteral("\"idézet\" \"")},
        {"brackets", QStringLiteral("[nev]] ] [ [")},
        {"placeholders", QStringLiteral("%WHERE% %SEARCH% %PAR1%")},
        {"wildcards", QStringLiteral("*?#[!a-z]%_")},
        {"markup", QStringLiteral("<a>&amp;</a> ]]> <?x?>")},
        {"NUL", QStringLiteral("a") + QChar(0) + QStringLiteral("b")},
        {"control characters", QStringLiteral("\x01\x02\t\r\n\x1b" "end")},
        {"right to left", QStringLiteral("\u202Eabc\u202C \u05E2\u05D1\u05E8\u05D9\u05EA")},
        {"combining marks", QStringLiteral("e\u0301 a\u0308\u0308 O\u0338")},
        {"beyond the basic plane", QString::fromUcs4(U"\U0001F600 \U0001D11E")},
        {"unpaired surrogate", QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b")},
        {"invalid UTF-8 from a file", QString::fromUtf8("\xff\xfe\xc3(\xa0")},
        {"1 MB", QString(1 << 20, u'x')},
        {"empty", QString()},
        {"blanks", QStringLiteral("   ")},
    };
}

// A text as UTF-8 can carry it: an unpaired surrogate is no character and
// comes back as a replacement.
QString asStored(const QString& s) { return QString::fromUtf8(s.toUtf8()); }

// What a text looks like after the library drops what it never stores.
QString withoutControls(const QString& s)
{
    QString out;
    for (QChar c : s)
        if (c.unicode() >= 0x20)
            out += c;
    return out;
}

class HostileInput : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = new QString(tempDir());
        demoPath = new QString(*folder + QStringLiteral("/demo.db"));
        demo::DemoOptions options;
        options.reportsDir = *folder + QStringLiteral("/reports");
        demo::buildDemoDatabase(*demoPath, options, [](const QString&) {});
        Context::reset();
    }
    void SetUp() override
    {
        modTables::Reset();
        Context::reset();
        db = dao::Database::open(*demoPath);
        ctx().database = db;
        ctx().userId = 1;
        ASSERT_TRUE(modTables::Initialize());
    }
    void TearDown() override
    {
        modTables::Reset();
        Context::reset();
    }
    QStringList errors()
    {
        QStringList texts;
        for (const auto& e : ctx().currentErrors())
            texts << e->description();
        ctx().currentErrors().Clear();
        return texts;
    }

    static inline QString* folder = nullptr;
    static inline QString* demoPath = nullptr;
    std::shared_ptr<dao::Database> db;
};

TEST_F(HostileInput, ListNamesAndDescriptionsAreStoredAsTypedOrRefused)
{
    for (const Hostile& h : hostileTexts()) {
        SCOPED_TRACE(h.name);
        ListReport list;
        list.set_name(h.text);
        list.set_description(h.text);
        list.set_list_type_id(1);
        bool saved = false;
        QString refusal;
        try {
            saved = list.SetFinal() && list.CoreUpdate(true);
            if (!saved)
                refusal = errors().join(u'\n');
        } catch (const RuntimeError& e) {
            refusal = e.description();  // too long for the column
        }
        if (!saved) {
            EXPECT_FALSE(refusal.isEmpty()) << "refused without a reason";
            continue;
        }
        ListReport back;
        ASSERT_TRUE(back.CoreLoad(list.ID()));
        EXPECT_EQ(back.name(), asStored(h.text));
        EXPECT_EQ(back.description(), asStored(h.text));
        ASSERT_TRUE(back.SetFinal());
        back.Delete();
        ASSERT_TRUE(back.SetFinal() && back.CoreUpdate(true));
    }
}

TEST_F(HostileInput, CataloguedCaptionsGiveARunnableStatementAndAReadableReportSource)
{
    // The first list's displayed fields get the hostile caption.
    ListReport list;
    ASSERT_TRUE(list.CoreLoad(1L));
    const auto fields = list.ReportFields();
    ASSERT_GT(fields.Count(), 0);
    const long fieldId = fields.Item(1)->table_field_id();
    const QString reports = *folder + QStringLiteral("/hostile-reports");
    QDir().mkpath(reports);

    for (const Hostile& h : hostileTexts()) {
        SCOPED_TRACE(h.name);
        try {
            db->Execute(QStringLiteral("UPDATE vlq_list_wizard_table_field SET visible_name = ? WHERE id = ?"),
                        dao::Parameters(QVariantList{h.text, qlonglong(fieldId)}));
        } catch (const RuntimeError& e) {
            EXPECT_FALSE(e.description().isEmpty());  // too long for the column: refused, with a reason
            continue;
        }
        QString condition;
        report::ListStatement st;
        ASSERT_TRUE(report::GenerateListStatement(list.ID(), list.list_type_id(), condition, 1, st)) << errors().join(u'\n').toStdString();
        EXPECT_TRUE(catalogue::TestSQLStatement(st.test)) << errors().join(u'\n').toStdString();

        XMLSourceGenerator g;
        g.setTableFieldNameCompletteOnReport(false);
        g.setReportFields(list.ReportFields());
        g.setReportGroups(list.ReportGroups());
        g.setListReportID(list.ID());
        g.setSQLDescription(h.text);
        g.setReportFolder(reports);
        ASSERT_TRUE(g.GenerateXMLSource()) << errors().join(u'\n').toStdString();
        reportengine::ReportSource source;
        QString error;
        ASSERT_TRUE(reportengine::loadReportSource(reports + u'/' + g.ReportName(), source, error)) << error.toStdString();
        bool found = false;
        // The caption starts with a capital letter on the report.
        const QString shown = withoutControls(asStored(h.text)).trimmed().left(200);
        for (const auto& f : source.fields)
            found = found ||
                    (f.name.startsWith(u"DESCRIPTION_") && withoutControls(f.text).contains(shown, Qt::CaseInsensitive));
        EXPECT_TRUE(found || shown.isEmpty()) << "the caption is not on the report";
    }
}

TEST_F(HostileInput, TextFilterInputsOnlyEverNarrowTheirField)
{
    // Every partner, read without SQL.
    QList<QPair<int, QString>> partners;
    auto rs = db->OpenRecordset(QStringLiteral("SELECT id, nev FROM partner"), dao::RecordsetType::Snapshot);
    for (; !rs->Eof(); rs->MoveNext())
        partners.append({rs->Fields(0).toInt(), rs->Fields(1).toString()});
    ASSERT_GT(partners.size(), 10);

    for (const Hostile& h : hostileTexts()) {
        for (int type : {filters::TypedInput::TextInput, filters::TypedInput::NumberInput, filters::TypedInput::DateInput}) {
            for (bool keywords : {false, true}) {
                SCOPED_TRACE(testing::Message() << h.name << ", input type " << type << (keywords ? ", keywords" : ""));
                filters::TextFilterModel f;
                f.setInputType(type);
                f.setActive(true);
                f.setQueryField(type == filters::TypedInput::TextInput ? QStringLiteral("[nev]")
                                                                       : QStringLiteral("[hitelkeret]"));
                f.setQueryFieldDescription(h.text);
                f.setKeyWordsFind(keywords);
                f.setRelationListVisible(false);
                f.setInput2Visible(false);
                f.input1()->setText(h.text);
                filters::WhereCollection collected;
                filters::CollectWhereAndFilter({&f}, collected);
                const QString where = collected.where.trimmed();
                if (where.isEmpty())
                    continue;  // nothing usable was typed: no condition
                QList<int> ids;
                try {
                    auto r = db->OpenRecordset(QStringLiteral("SELECT id, nev FROM partner WHERE ") + where,
                                               dao::RecordsetType::Snapshot);
                    for (; !r->Eof(); r->MoveNext())
                        ids << r->Fields(0).toInt();
                } catch (const RuntimeError& e) {
                    ADD_FAILURE() << "the condition does not run: " << where.toStdString() << "\n"
                                  << e.description().toStdString();
                    continue;
                }
                if (type != filters::TypedInput::TextInput || keywords)
                    continue;
                // A prefix test: exactly the partners whose name starts with the text.
                const QString typed = withoutControls(h.text).toUpper();
                QList<int> expected;
                for (const auto& [id, name] : partners)
                    if (name.toUpper().startsWith(typed))
                        expected << id;
                std::sort(ids.begin(), ids.end());
                std::sort(expected.begin(), expected.end());
                EXPECT_EQ(ids, expected) << where.toStdString();
            }
        }
    }
}

TEST_F(HostileInput, QuickPickSearchesFindOnlyWhatStartsWithTheText)
{
    filters::QuickPickSearch search;
    ASSERT_TRUE(search.initialize(db, 1));
    for (const Hostile& h : hostileTexts()) {
        SCOPED_TRACE(h.name);
        for (bool exact : {false, true}) {
            filters::QuickPickHit hit;
            try {
                hit = search.search(h.text, exact);
            } catch (const RuntimeError& e) {
                ADD_FAILURE() << e.description().toStdString();
                continue;
            }
            if (hit.found && !h.text.isEmpty())
                EXPECT_TRUE(exact ? hit.text.toUpper() == h.text.toUpper() : hit.text.toUpper().startsWith(h.text.toUpper()))
                    << hit.text.toStdString();
        }
    }
}

TEST_F(HostileInput, ReportFoldersThatAreNoFolderAreRefused)
{
    ListReport list;
    ASSERT_TRUE(list.CoreLoad(1L));
    const QString cwd = QDir::currentPath();
    const QStringList before = QDir(cwd).entryList(QDir::Files);
    for (const Hostile& h : hostileTexts()) {
        SCOPED_TRACE(h.name);
        XMLSourceGenerator g;
        g.setReportFields(list.ReportFields());
        g.setReportGroups(list.ReportGroups());
        g.setListReportID(list.ID());
        g.setReportFolder(h.text);
        EXPECT_FALSE(g.GenerateXMLSource());
        EXPECT_FALSE(errors().isEmpty());
    }
    EXPECT_EQ(QDir(cwd).entryList(QDir::Files), before) << "a report file was written somewhere else";
}

TEST_F(HostileInput, CommandLineFlagsGiveAClearErrorOrAResult)
{
    for (const Hostile& h : hostileTexts()) {
        if (h.text.contains(QChar(0)) || h.text.size() > 100000)
            continue;  // a command line cannot carry these
        SCOPED_TRACE(h.name);
        const ProcessResult bad = runProgram(QStringLiteral(LISTGEN_CLI), {QStringLiteral("lists"), QStringLiteral("--db"),
                                                                           h.text, QStringLiteral("--user"), QStringLiteral("1")});
        EXPECT_GE(bad.exitCode, 1) << "a database that is none";
        EXPECT_LE(bad.exitCode, 2) << "crashed: " << bad.err.toStdString();
        EXPECT_FALSE(bad.err.trimmed().isEmpty());

        const ProcessResult user = runProgram(QStringLiteral(LISTGEN_CLI), {QStringLiteral("lists"), QStringLiteral("--db"),
                                                                            *demoPath, QStringLiteral("--user"), h.text});
        EXPECT_GE(user.exitCode, 1) << "a user id that is none";
        EXPECT_LE(user.exitCode, 2) << user.err.toStdString();

        const ProcessResult pick = runProgram(QStringLiteral(LISTGEN_CLI), {QStringLiteral("quickpick"), QStringLiteral("--db"),
                                                                            *demoPath, QStringLiteral("--id"), QStringLiteral("1"), h.text});
        EXPECT_GE(pick.exitCode, 0);
        EXPECT_LE(pick.exitCode, 2) << "crashed: " << pick.err.toStdString();
    }
}

}  // namespace
}  // namespace lg::test
