#pragma once

// The one way the library writes a file that a person may already have:
// reports (PDF, HTML), workbooks, report sources, the command line's --out
// and generated databases.
//
// The content goes into a temporary file beside the target; `commit` syncs
// it to disk and renames it over the target in one step, then syncs the
// folder. Until then the target is untouched, so an earlier file survives
// every failure: a full disk, a killed process, a failed rename. An
// uncommitted temporary file is removed when the object goes away.
//
// Some targets are refused before anything is written:
//   - a folder, or a file in a folder that does not exist;
//   - a symbolic link (writing would go to wherever it points);
//   - anything that is not a plain file: a device, a FIFO, a socket;
//   - a file the caller is reading from (`refuse`): the database of the run,
//     the report source in use. Compared by device and inode, so any
//     spelling of the same file is caught.
//
// Usage:
//   SafeFile out(path);
//   out.refuse(db.Name());
//   if (!out.begin()) return fail(out.errorString());
//   writer.write(out.tempPath());          // or out.device()->write(...)
//   if (!out.commit()) return fail(out.errorString());

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

class QFile;

namespace lg {

class SafeFile {
public:
    explicit SafeFile(QString target);
    ~SafeFile();
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    // A file the target must not be. Paths that do not exist are ignored.
    void refuse(const QString& path);

    // Checks the target and creates the (empty) temporary file beside it.
    bool begin();

    const QString& target() const { return m_target; }
    // The temporary file, for writers that open a path themselves.
    const QString& tempPath() const { return m_temp; }
    // The temporary file opened for writing, for writers that stream. Opened
    // on first use; closed by commit.
    QFile* device();

    // Syncs the temporary file and renames it over the target. False (with
    // the reason in errorString) leaves the target as it was.
    bool commit();
    // Drops the temporary file; the target stays as it was.
    void cancel();

    bool committed() const { return m_committed; }
    // Why the last call failed, in the user's language.
    const QString& errorString() const { return m_error; }

    // Checks a target without writing anything (the same rules as begin).
    static bool checkTarget(const QString& target, const QStringList& refused, QString* error);

private:
    bool fail(const QString& error);

    QString m_target;
    QString m_temp;
    QStringList m_refused;
    std::unique_ptr<QFile> m_device;
    QString m_error;
    bool m_begun = false;
    bool m_committed = false;
};

namespace detail {
// The rename SafeFile::commit uses; tests replace it to make it fail.
using RenameFunction = int (*)(const char* from, const char* to);
void setSafeFileRename(RenameFunction rename);  // nullptr restores ::rename
}  // namespace detail

}  // namespace lg
