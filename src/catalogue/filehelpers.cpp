#include "catalogue/filehelpers.h"

#include <QtCore/QFileInfo>

namespace lg::catalogue {

namespace {
ShellOpenHandler& shellHandler()
{
    static ShellOpenHandler handler;
    return handler;
}
}  // namespace

QString normalizedPath(const QString& path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

bool FileExists(const QString& path)
{
    const QString p = normalizedPath(path.trimmed());
    if (p.isEmpty())
        return false;
    return QFileInfo(p).isFile();
}

bool FolderExists(const QString& path)
{
    const QString p = normalizedPath(path.trimmed());
    if (p.isEmpty())
        return false;
    return QFileInfo(p).isDir();
}

QString joinPath(const QString& folder, const QString& fileName)
{
    const QString trimmed = folder.trimmed();
    if (trimmed.endsWith(QLatin1Char('\\')) || trimmed.endsWith(QLatin1Char('/')))
        return trimmed + fileName;
    if (trimmed.isEmpty())
        return fileName;
    const QChar separator = trimmed.contains(QLatin1Char('\\')) && !trimmed.contains(QLatin1Char('/'))
                                ? QLatin1Char('\\')
                                : QLatin1Char('/');
    return trimmed + separator + fileName;
}

void SetShellOpenHandler(ShellOpenHandler handler)
{
    shellHandler() = std::move(handler);
}

int ShellOpen(const QString& path)
{
    const ShellOpenHandler& handler = shellHandler();
    if (!handler)
        return kShellNoHandler;
    return handler(path);
}

}  // namespace lg::catalogue
