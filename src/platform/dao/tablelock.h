#pragma once

// The cross-process write lock of one table: an advisory lock on the file
// "<database file>.<table>.lock" beside the database. Taking it never waits;
// when another process holds it, acquire() throws lg::RuntimeError 3262.
// Within one process the lock is shared and counted: it is released when the
// last holder lets go (or the process ends, which the OS takes care of).

#include <QtCore/QString>

#include <memory>

namespace lg::dao {

class TableLock {
public:
    static std::shared_ptr<TableLock> acquire(const QString& databasePath, const QString& table);
    ~TableLock();
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;

    const QString& path() const { return m_path; }

    // The lock file's path for a table (table names compare case-insensitively).
    static QString lockPath(const QString& databasePath, const QString& table);

private:
    TableLock(QString path, int fd, long pid) : m_path(std::move(path)), m_fd(fd), m_pid(pid) {}
    QString m_path;
    int m_fd = -1;
    long m_pid = 0;  // a child made by fork() inherits the registry, not the right to the lock
};

}  // namespace lg::dao
