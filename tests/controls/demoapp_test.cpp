// The desktop demo as a program: it loads, grabs its window and ends; it
// refuses a bad command line.

#include <QtCore/QFile>
#include <QtGui/QImage>

#include "controlsfixture.h"

using namespace Qt::StringLiterals;

namespace {

class DemoApp : public lg::test::DemoDatabase {};

TEST_F(DemoApp, ScreenshotOfTheLoadedWindow)
{
    const QString png = m_dir + u"/demo.png"_s;
    const auto r = lg::test::runProgram(QStringLiteral(LISTGEN_DEMO),
                                        {u"--db"_s, m_dbPath, u"--user"_s, u"2"_s, u"--reports"_s, m_reports,
                                         u"--list"_s, u"3"_s, u"--screenshot"_s, png});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage image(png);
    EXPECT_GE(image.width(), 800);
    EXPECT_GE(image.height(), 500);
}

TEST_F(DemoApp, BadCommandLines)
{
    const struct {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{}, 2},
        {{u"--db"_s, m_dbPath, u"--user"_s, u"anna"_s}, 2},
        {{u"--db"_s, m_dbPath, u"stray"_s}, 2},
        {{u"--db"_s, m_dir + u"/nincs.db"_s}, 1},
    };
    for (const auto& c : cases) {
        const auto r = lg::test::runProgram(QStringLiteral(LISTGEN_DEMO), c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
}

}  // namespace
