#include <gtest/gtest.h>

#include "platform/errorhandler.h"

#include <stdexcept>

using namespace lg;

namespace {

const QString kControl = QStringLiteral("vlqTabula2.ListWizard");

void failingQuery()
{
    throw RuntimeError(3078, QStringLiteral("DAO.Database"), QStringLiteral("no such table"));
}

bool openTable()
{
    return traced(QStringLiteral("modTables"), TraceKind::Function, QStringLiteral("OpenTable"), [] {
        failingQuery();
        return true;
    });
}

bool coreLoad()
{
    return traced(QStringLiteral("ListReport"), TraceKind::Function, QStringLiteral("CoreLoad"),
                  [] { return openTable(); });
}

bool deleteList()
{
    return traced(QStringLiteral("vlqTabul2/modWizardUtils/"), TraceKind::Function, QStringLiteral("DeleteList"),
                  [] { return coreLoad(); });
}

}  // namespace

TEST(UserFacingHandler, ShowsTheWholeTraceUnderTheProcedureName)
{
    ScriptedErrorDialog dialog;
    const bool ok = runUserFacing(dialog, kControl, QStringLiteral("ReportDelete"), [] { return deleteList(); });
    EXPECT_FALSE(ok);  // nothing scripted: the user gives up

    ASSERT_EQ(dialog.shown().size(), 1);
    const auto& shown = dialog.shown().first();
    EXPECT_EQ(shown.message, QStringLiteral("Váratlan hiba történt."));
    EXPECT_EQ(shown.title, QStringLiteral("Hibakezelő"));
    EXPECT_EQ(shown.error.number(), 3078);
    EXPECT_EQ(shown.error.source(), QStringLiteral("vlqTabula2.ListWizardReportDelete"));
    const QStringList lines = shown.error.description().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("no such table"));
    EXPECT_EQ(lines[3], QStringLiteral("vlqTabul2/modWizardUtils/ in Function DeleteList "));
}

TEST(UserFacingHandler, RetryContinueAndGiveUp)
{
    // Retry runs the body again; here it succeeds the second time.
    {
        ScriptedErrorDialog dialog;
        dialog.answerRetry();
        int runs = 0;
        const bool ok = runUserFacing(dialog, kControl, QStringLiteral("ShowReport"), [&] {
            if (++runs == 1)
                failingQuery();
            return true;
        });
        EXPECT_TRUE(ok);
        EXPECT_EQ(runs, 2);
        EXPECT_EQ(dialog.shown().size(), 1);
    }
    // Continue goes on after the failing step and counts as success.
    {
        ScriptedErrorDialog dialog;
        dialog.answerContinue();
        int runs = 0;
        EXPECT_TRUE(runUserFacing(dialog, kControl, QStringLiteral("ShowReport"), [&] {
            ++runs;
            failingQuery();
        }));
        EXPECT_EQ(runs, 1);
    }
    // Giving up ends the procedure with false, even after retries.
    {
        ScriptedErrorDialog dialog;
        dialog.answerRetry();
        dialog.answerGiveUp();
        int runs = 0;
        EXPECT_FALSE(runUserFacing(dialog, kControl, QStringLiteral("ShowReport"), [&] {
            ++runs;
            failingQuery();
        }));
        EXPECT_EQ(runs, 2);
        EXPECT_EQ(dialog.shown().size(), 2);
    }
}

TEST(UserFacingHandler, OutcomesOfTheSingleStepHandler)
{
    ScriptedErrorDialog dialog;
    dialog.enqueue({true, true});  // retry wins over continue
    dialog.answerContinue();
    RuntimeError error(5, QStringLiteral("x"), QStringLiteral("d"));
    EXPECT_EQ(handleUserFacingError(dialog, error, kControl, QStringLiteral("A")), ErrorOutcome::Retry);
    EXPECT_EQ(error.source(), kControl + QStringLiteral("A"));
    EXPECT_EQ(handleUserFacingError(dialog, error, kControl, QStringLiteral("B")), ErrorOutcome::Continue);
    EXPECT_EQ(handleUserFacingError(dialog, error, kControl, QStringLiteral("C")), ErrorOutcome::GiveUp);
    EXPECT_EQ(dialog.shown().size(), 3);
}

TEST(UserFacingHandler, ErrorNumberZeroIsNotShown)
{
    ScriptedErrorDialog dialog;
    dialog.answerContinue();
    RuntimeError error(0, QStringLiteral("x"), QStringLiteral("d"));
    EXPECT_EQ(handleUserFacingError(dialog, error, kControl, QStringLiteral("P")), ErrorOutcome::GiveUp);
    EXPECT_EQ(error.source(), kControl + QStringLiteral("P"));
    EXPECT_TRUE(dialog.shown().isEmpty());
}

TEST(UserFacingHandler, ForeignExceptionsAndFalseResults)
{
    ScriptedErrorDialog dialog;
    EXPECT_FALSE(
        runUserFacing(dialog, kControl, QStringLiteral("P"), []() -> bool { throw std::runtime_error("disk full"); }));
    ASSERT_EQ(dialog.shown().size(), 1);
    EXPECT_EQ(dialog.shown().first().error.number(), errnum::Internal);
    EXPECT_EQ(dialog.shown().first().error.description(), QStringLiteral("disk full"));

    // A body that fails the ordinary way is not an error.
    EXPECT_FALSE(runUserFacing(dialog, kControl, QStringLiteral("P"), [] { return false; }));
    EXPECT_EQ(dialog.shown().size(), 1);
}

TEST(UserFacingHandler, InstalledDialogIsFoundWithoutBeingPassed)
{
    auto dialog = std::make_shared<ScriptedErrorDialog>();
    setErrorDialogLocator([dialog]() -> ErrorDialogService& { return *dialog; });
    dialog->answerContinue();
    EXPECT_TRUE(runUserFacing(kControl, QStringLiteral("P"), [] { failingQuery(); }));
    EXPECT_EQ(dialog->shown().size(), 1);
    setErrorDialogLocator({});

    setErrorDialogFactory([] { return std::make_shared<ScriptedErrorDialog>(); });
    EXPECT_NE(dynamic_cast<ScriptedErrorDialog*>(createErrorDialog().get()), nullptr);
    setErrorDialogFactory({});
}
