#include "tablelock.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QHash>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "dao_internal.h"

namespace lg::dao {

namespace {
// Locks held by this process, by lock file path. flock() locks belong to the
// open file, so a second open() of the same file in this process would
// conflict with our own lock: every holder in the process shares one.
QHash<QString, std::weak_ptr<TableLock>>& heldLocks()
{
    static QHash<QString, std::weak_ptr<TableLock>> locks;
    return locks;
}
}  // namespace

QString TableLock::lockPath(const QString& databasePath, const QString& table)
{
    QFileInfo info(databasePath);
    const QString base = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    return base + QLatin1Char('.') + table.toLower() + QStringLiteral(".lock");
}

std::shared_ptr<TableLock> TableLock::acquire(const QString& databasePath, const QString& table)
{
    const QString path = lockPath(databasePath, table);
    auto& held = heldLocks();
    if (auto existing = held.value(path).lock(); existing && existing->m_pid == long(::getpid()))
        return existing;

    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        fail(kRecordsetSource, daoerr::TableLocked,
             QStringLiteral("Couldn't lock table '%1'; cannot open the lock file %2: %3.")
                 .arg(table, path, QString::fromLocal8Bit(std::strerror(errno))));
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            fail(kRecordsetSource, daoerr::TableLocked,
                 QStringLiteral("Couldn't lock table '%1'; currently in use by another person or process.").arg(table));
        fail(kRecordsetSource, daoerr::TableLocked,
             QStringLiteral("Couldn't lock table '%1': %2.").arg(table, QString::fromLocal8Bit(std::strerror(err))));
    }
    std::shared_ptr<TableLock> lock(new TableLock(path, fd, long(::getpid())));
    held.insert(path, lock);
    return lock;
}

TableLock::~TableLock()
{
    // The file stays: removing it would let a waiting process lock a file
    // that a third one has just re-created under the same name.
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
    auto& held = heldLocks();
    auto it = held.find(m_path);
    if (it != held.end() && it->expired())
        held.erase(it);
}

}  // namespace lg::dao
