#include "testsupport.h"

#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>

#include <memory>
#include <vector>

namespace lg::test {

namespace {
std::vector<std::unique_ptr<QTemporaryDir>>& dirs()
{
    static std::vector<std::unique_ptr<QTemporaryDir>> d;
    return d;
}
}  // namespace

QString tempDir()
{
    QString base = qEnvironmentVariable("LISTGEN_TEST_TMP");
    if (base.isEmpty())
        base = QDir::tempPath();
    QDir().mkpath(base);
    auto dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/lgtest-XXXXXX"));
    QString path = dir->path();
    dirs().push_back(std::move(dir));
    return path;
}

QString tempPath(const QString& fileName) { return tempDir() + QLatin1Char('/') + fileName; }

ProcessResult runProgram(const QString& program, const QStringList& args, int timeoutMs)
{
    QProcess p;
    p.start(program, args);
    ProcessResult r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("timed out");
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

}  // namespace lg::test
