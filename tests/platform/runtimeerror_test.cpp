#include <gtest/gtest.h>

#include "platform/runtimeerror.h"

using namespace lg;

namespace {
const QString kTables = QStringLiteral("modTables");
const QString kReport = QStringLiteral("ListReport");
const QString kUtils = QStringLiteral("vlqTabul2/modWizardUtils/");

void openTable() { throw RuntimeError(3078, QStringLiteral("DAO.Database"), QStringLiteral("no such table")); }

bool loadTable()
{
    return traced(kTables, TraceKind::Function, QStringLiteral("OpenTable"), [] {
        openTable();
        return true;
    });
}

bool coreLoad()
{
    return traced(kReport, TraceKind::Function, QStringLiteral("CoreLoad"), [] { return loadTable(); });
}

void deleteTemp()
{
    traced(kUtils, TraceKind::Sub, QStringLiteral("DeleteTempItem"), [] { coreLoad(); });
}
}  // namespace

TEST(RuntimeError, ThreeLevelsDownArrivesWithFourLines)
{
    try {
        deleteTemp();
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 3078);
        EXPECT_EQ(e.source(), kUtils);
        const QStringList lines = e.description().split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 4);
        EXPECT_EQ(lines[0], QStringLiteral("no such table"));
        EXPECT_EQ(lines[1], QStringLiteral("modTables in Function OpenTable "));
        EXPECT_EQ(lines[2], QStringLiteral("ListReport in Function CoreLoad "));
        EXPECT_EQ(lines[3], QStringLiteral("vlqTabul2/modWizardUtils/ in Sub DeleteTempItem"));
    }
}

TEST(RuntimeError, ForeignExceptionsBecomeRuntimeErrors)
{
    try {
        traced(kTables, TraceKind::Function, QStringLiteral("GetNextID"),
               []() -> int { throw std::runtime_error("disk I/O error"); });
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), errnum::Internal);
        EXPECT_EQ(e.description(), QStringLiteral("disk I/O error\r\nmodTables in Function GetNextID "));
        EXPECT_STREQ(e.what(), "disk I/O error\r\nmodTables in Function GetNextID ");
    }
}

