#include "safefile.h"

#include "platform/strings.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lg {

using namespace Qt::StringLiterals;

namespace {

detail::RenameFunction g_rename = nullptr;

int doRename(const char* from, const char* to)
{
    return g_rename ? g_rename(from, to) : std::rename(from, to);
}

QString systemError(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

// Syncs a file or folder to disk; false when the system refuses.
bool syncPath(const QByteArray& path, bool folder)
{
    const int fd = ::open(path.constData(), (folder ? O_RDONLY | O_DIRECTORY : O_WRONLY) | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool sameFile(const struct stat& a, const QString& other)
{
    struct stat b {};
    if (::stat(QFile::encodeName(other).constData(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

void detail::setSafeFileRename(RenameFunction rename) { g_rename = rename; }

SafeFile::SafeFile(QString target) : m_target(std::move(target)) {}

SafeFile::~SafeFile()
{
    if (!m_committed)
        cancel();
}

void SafeFile::refuse(const QString& path)
{
    if (!path.isEmpty())
        m_refused.append(path);
}

bool SafeFile::checkTarget(const QString& target, const QStringList& refused, QString* error)
{
    auto refuse = [&](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (target.isEmpty())
        return refuse(LoadResString(7200));
    const QFileInfo fi(target);
    if (!fi.absoluteDir().exists())
        return refuse(LoadResString(7201).arg(fi.absolutePath()));

    struct stat st {};
    if (::lstat(QFile::encodeName(fi.absoluteFilePath()).constData(), &st) != 0) {
        if (errno == ENOENT)
            return true;  // a new file
        return refuse(LoadResString(7202).arg(target, systemError(errno)));
    }
    if (S_ISLNK(st.st_mode))
        return refuse(LoadResString(7203).arg(target));
    if (S_ISDIR(st.st_mode))
        return refuse(LoadResString(7204).arg(target));
    if (!S_ISREG(st.st_mode))
        return refuse(LoadResString(7205).arg(target));
    for (const QString& r : refused) {
        if (sameFile(st, r))
            return refuse(LoadResString(7206).arg(target));
    }
    return true;
}

bool SafeFile::fail(const QString& error)
{
    m_error = error;
    return false;
}

bool SafeFile::begin()
{
    cancel();
    m_error.clear();
    m_committed = false;
    if (!checkTarget(m_target, m_refused, &m_error))
        return false;

    const QFileInfo fi(m_target);
    // The temporary name starts with a dot and ends in ".tmp", so a folder
    // listing and a glob for the target's kind pass over it.
    struct stat existing {};
    const bool hadTarget = ::stat(QFile::encodeName(fi.absoluteFilePath()).constData(), &existing) == 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString temp = fi.absoluteDir().filePath(
            u".%1.%2.tmp"_s.arg(fi.fileName())
                .arg(static_cast<qulonglong>(QRandomGenerator::global()->generate()), 8, 16, QChar(u'0')));
        const int fd = ::open(QFile::encodeName(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return fail(LoadResString(7207).arg(m_target, systemError(errno)));
        }
        // A replaced file keeps its permissions.
        if (hadTarget)
            (void)::fchmod(fd, existing.st_mode & 07777);
        ::close(fd);
        m_temp = temp;
        m_begun = true;
        return true;
    }
    return fail(LoadResString(7208).arg(m_target));
}

QFile* SafeFile::device()
{
    if (!m_begun)
        return nullptr;
    if (!m_device) {
        m_device = std::make_unique<QFile>(m_temp);
        if (!m_device->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            m_error = LoadResString(7207).arg(m_target, m_device->errorString());
            m_device.reset();
            return nullptr;
        }
    }
    return m_device.get();
}

bool SafeFile::commit()
{
    if (m_committed)
        return true;
    if (!m_begun)
        return fail(m_error.isEmpty() ? LoadResString(7208).arg(m_target) : m_error);
    if (m_device) {
        const bool flushed = m_device->flush();
        const QString reason = m_device->errorString();
        m_device->close();
        const bool ok = flushed && m_device->error() == QFileDevice::NoError;
        m_device.reset();
        if (!ok) {
            cancel();
            return fail(LoadResString(7207).arg(m_target, reason));
        }
    }
    const QByteArray temp = QFile::encodeName(m_temp);
    const QByteArray target = QFile::encodeName(QFileInfo(m_target).absoluteFilePath());
    if (!syncPath(temp, false)) {
        const int err = errno;
        cancel();
        return fail(LoadResString(7207).arg(m_target, systemError(err)));
    }
    // The target may have changed kind since begin (a link put in its place).
    QString why;
    if (!checkTarget(m_target, m_refused, &why)) {
        cancel();
        return fail(why);
    }
    if (doRename(temp.constData(), target.constData()) != 0) {
        const int err = errno;
        cancel();
        return fail(LoadResString(7209).arg(m_target, systemError(err)));
    }
    m_begun = false;
    m_committed = true;
    // The rename itself becomes durable with the folder.
    (void)syncPath(QFile::encodeName(QFileInfo(m_target).absolutePath()), true);
    return true;
}

void SafeFile::cancel()
{
    m_device.reset();
    if (m_begun && !m_temp.isEmpty())
        QFile::remove(m_temp);
    m_begun = false;
}

}  // namespace lg
