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

// A procedure of three steps whose middle step fails `failures` times; counts
// how often each step ran.
struct ThreeSteps {
    int failures = 1;
    int first = 0, second = 0, third = 0;

    bool run(ErrorDialogService& dialog)
    {
        return runUserFacing(
            dialog, kControl, QStringLiteral("ShowReport"), [&] { ++first; },
            [&] {
                if (++second <= failures)
                    failingQuery();
                return true;
            },
            [&] { ++third; });
    }
};

TEST(UserFacingHandler, RetryRunsOnlyTheFailingStepAgain)
{
    ScriptedErrorDialog dialog;
    dialog.answerRetry();
    dialog.answerRetry();
    ThreeSteps steps{2};
    EXPECT_TRUE(steps.run(dialog));
    EXPECT_EQ(steps.first, 1) << "the step that had already succeeded ran again";
    EXPECT_EQ(steps.second, 3);
    EXPECT_EQ(steps.third, 1);
    EXPECT_EQ(dialog.shown().size(), 2);
}

TEST(UserFacingHandler, ContinueSkipsTheStepButReportsFailure)
{
    ScriptedErrorDialog dialog;
    dialog.answerContinue();
    ThreeSteps steps;
    EXPECT_FALSE(steps.run(dialog)) << "unfinished work was reported as success";
    EXPECT_EQ(steps.first, 1);
    EXPECT_EQ(steps.second, 1);
    EXPECT_EQ(steps.third, 1) << "continue carries on after the failing step";

    // A single body: continue is failure as well.
    ScriptedErrorDialog single;
    single.answerContinue();
    EXPECT_FALSE(runUserFacing(single, kControl, QStringLiteral("P"), [] { failingQuery(); }));
}

TEST(UserFacingHandler, GivingUpOrAFalseStepEndsTheProcedure)
{
    ScriptedErrorDialog dialog;
    dialog.answerRetry();
    dialog.answerGiveUp();
    ThreeSteps steps{5};
    EXPECT_FALSE(steps.run(dialog));
    EXPECT_EQ(steps.second, 2);
    EXPECT_EQ(steps.third, 0);

    // A business failure ends the procedure without a dialog.
    ScriptedErrorDialog quiet;
    int later = 0;
    EXPECT_FALSE(runUserFacing(
        quiet, kControl, QStringLiteral("P"), [] { return false; }, [&] { ++later; }));
    EXPECT_EQ(later, 0);
    EXPECT_TRUE(quiet.shown().isEmpty());

    // An error numbered 0 is not shown and gives up.
    ScriptedErrorDialog zero;
    zero.answerRetry();
    EXPECT_FALSE(runUserFacing(
        zero, kControl, QStringLiteral("P"), [] { throw RuntimeError(0, QStringLiteral("x"), QStringLiteral("d")); },
        [&] { ++later; }));
    EXPECT_EQ(later, 0);
    EXPECT_TRUE(zero.shown().isEmpty());
}

TEST(UserFacingHandler, StepsCanBeRunOneByOne)
{
    ScriptedErrorDialog dialog;
    dialog.answerContinue();
    UserFacingProcedure run(dialog, kControl, QStringLiteral("ExcelExport"));
    EXPECT_TRUE(run.step([] { return true; }));
    EXPECT_FALSE(run.step([] { failingQuery(); }));
    EXPECT_FALSE(run.ended()) << "after continue the next step still runs";
    int ran = 0;
    EXPECT_TRUE(run.step([&] { ++ran; }));
    EXPECT_EQ(ran, 1);
    EXPECT_FALSE(run.ok());
    ASSERT_EQ(dialog.shown().size(), 1);
    EXPECT_EQ(dialog.shown().first().error.source(), kControl + QStringLiteral("ExcelExport"));

    // Once ended, nothing more runs.
    EXPECT_FALSE(run.step([] { return false; }));
    EXPECT_TRUE(run.ended());
    EXPECT_FALSE(run.step([&] { ++ran; }));
    EXPECT_EQ(ran, 1);
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
    EXPECT_FALSE(runUserFacing(kControl, QStringLiteral("P"), [] { failingQuery(); }));
    EXPECT_EQ(dialog->shown().size(), 1);
    setErrorDialogLocator({});

    setErrorDialogFactory([] { return std::make_shared<ScriptedErrorDialog>(); });
    EXPECT_NE(dynamic_cast<ScriptedErrorDialog*>(createErrorDialog().get()), nullptr);
    setErrorDialogFactory({});
}
