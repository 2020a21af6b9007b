#pragma once

#include <QtCore/QString>

namespace lg::test {

// A fresh, empty folder for one test; removed again at process exit.
QString tempDir();

// Path of a file in a fresh temporary folder.
QString tempPath(const QString& fileName);

// Runs a program and returns its exit code; stdout/stderr are captured.
struct ProcessResult {
    int exitCode = -1;
    QString out;
    QString err;
};
ProcessResult runProgram(const QString& program, const QStringList& args, int timeoutMs = 120000);

}  // namespace lg::test
