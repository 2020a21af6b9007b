#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QStringDecoder>

#include "catalogue/catalogue_fixture.h"
#include "platform/safefile.h"
#include "report/xmlsourcegenerator.h"
#include "store/errors.h"

using namespace lg;
using lg::test::CatalogueDb;
using lg::test::InvoiceCatalogue;

namespace {

class XmlSource : public ::testing::Test {
protected:
    void SetUp() override
    {
        list = c.addList(cat.invoiceType, QStringLiteral("Forgalom"), 1);
        group = c.addGroup(list, cat.nev, 1);
        c.addVisible(list, cat.nev, 1);
        sum = c.addVisible(list, cat.osszeg, 2, {4, -1, -1, -1, -1, -1, -1, -1, -1, -1, 5});
        ListReport report;
        ASSERT_TRUE(report.CoreLoad(list));
        gen.setListReportID(list);
        gen.setReportFields(report.ReportFields());
        gen.setReportGroups(report.ReportGroups());
        gen.setReportFolder(folder);
        ctx().currentErrors().Clear();
    }

    QString read(const QString& path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        QStringDecoder decoder("windows-1250");
        return decoder(f.readAll());
    }

    CatalogueDb c;
    InvoiceCatalogue cat{c};
    long list = 0, group = 0, sum = 0;
    QString folder = lg::test::tempDir();
    XMLSourceGenerator gen;
};

}  // namespace

TEST_F(XmlSource, WritesTheListsFileFromItsCollections)
{
    gen.setTableFieldNameCompletteOnReport(true);
    ASSERT_TRUE(gen.GenerateXMLSource());
    EXPECT_EQ(gen.ReportName(), QStringLiteral("REPORT%1.XML").arg(list));
    EXPECT_EQ(gen.ReportPath(), folder + QStringLiteral("/REPORT%1.XML").arg(list));
    const QString text = read(gen.ReportPath());
    EXPECT_TRUE(text.contains(QStringLiteral("<GroupBy>RGF%1</GroupBy>").arg(group)));
    EXPECT_TRUE(text.contains(QStringLiteral("<Text>Partner név</Text>")));
    EXPECT_TRUE(text.contains(QStringLiteral("<Text>SUM(RF%1)</Text>").arg(sum)));
    EXPECT_TRUE(text.contains(QStringLiteral("<Text>AVG(RF%1)</Text>").arg(sum)));
    EXPECT_TRUE(text.contains(QStringLiteral("<Format>#,##0.00</Format>")));

    gen.setTableFieldNameCompletteOnReport(false);
    ASSERT_TRUE(gen.GenerateXMLSource());
    EXPECT_TRUE(read(gen.ReportPath()).contains(QStringLiteral("<Text>Név</Text>")));
    EXPECT_FALSE(gen.CreateGroupXMLSource(0).isEmpty());
    EXPECT_TRUE(gen.CreateGroupXMLSource(1).isEmpty());
}

TEST_F(XmlSource, FolderWithOrWithoutSeparatorGivesTheSamePath)
{
    QString back = folder;
    back.replace(QLatin1Char('/'), QLatin1Char('\\'));
    QStringList paths;
    for (const QString& f : QStringList{folder, folder + QLatin1Char('/'), back, back + QLatin1Char('\\')}) {
        gen.setReportFolder(f);
        ASSERT_TRUE(gen.GenerateXMLSource()) << f.toStdString();
        paths << gen.ReportPath();
    }
    EXPECT_EQ(paths.count(paths.first()), 4) << paths.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 1);
}

TEST_F(XmlSource, EveryFailedCheckIsRecordedAndNothingIsWritten)
{
    XMLSourceGenerator bare;
    bare.setReportFolder(folder + QStringLiteral("/nincs"));
    EXPECT_FALSE(bare.GenerateXMLSource());
    ASSERT_EQ(ctx().currentErrors().Count(), 3);
    EXPECT_EQ(ctx().currentErrors().Item(1)->description(),
              QStringLiteral("A riportkönyvtár nem található a megadott helye! (%1/nincs)").arg(folder));
    EXPECT_EQ(ctx().currentErrors().Item(2)->description(), QStringLiteral("A riportcsoportok nem meghatározhatók!"));
    EXPECT_EQ(ctx().currentErrors().Item(3)->description(), QStringLiteral("A riportmezők nem meghatározhatók!"));

    ctx().currentErrors().Clear();
    gen.setReportFields({});
    EXPECT_FALSE(gen.GenerateXMLSource());
    ASSERT_EQ(ctx().currentErrors().Count(), 1);
    EXPECT_EQ(ctx().currentErrors().Item(1)->description(), QStringLiteral("Nincs meghatározva riportmező!"));
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
}

TEST_F(XmlSource, AFileThatCannotBeWrittenIsAnError)
{
    // A folder in the file's place cannot be replaced by the file.
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("REPORT%1.XML").arg(list)));
    EXPECT_FALSE(gen.GenerateXMLSource());
    ASSERT_EQ(ctx().currentErrors().Count(), 1);
    EXPECT_TRUE(ctx().currentErrors().Item(1)->description().startsWith(QStringLiteral("A riportfájl nem írható: ")));
    EXPECT_TRUE(QFileInfo(gen.ReportPath()).isDir());
}

TEST_F(XmlSource, AFailedReplaceKeepsThePreviousFile)
{
    ASSERT_TRUE(gen.GenerateXMLSource());
    const QString before = read(gen.ReportPath());
    gen.setTableFieldNameCompletteOnReport(!gen.TableFieldNameCompletteOnReport());
    lg::detail::setSafeFileRename([](const char*, const char*) {
        errno = EIO;
        return -1;
    });
    const bool ok = gen.GenerateXMLSource();
    lg::detail::setSafeFileRename(nullptr);
    EXPECT_FALSE(ok);
    ASSERT_EQ(ctx().currentErrors().Count(), 1);
    EXPECT_TRUE(ctx().currentErrors().Item(1)->description().startsWith(QStringLiteral("A riportfájl nem írható: ")));
    EXPECT_EQ(read(gen.ReportPath()), before);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);  // no temporary file left
}
