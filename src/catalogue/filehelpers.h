#pragma once

// File-system look-ups of the wizard utilities and the seam through which
// the user interface opens documents with the desktop's default program.
//
// Paths may use "\" as well as "/" as separator.

#include <QtCore/QString>

#include <functional>

namespace lg::catalogue {

// The path with every "\" turned into "/".
QString normalizedPath(const QString& path);

// True when the path names an existing file (not a folder).
bool FileExists(const QString& path);
// True when the path names an existing folder; a trailing separator is allowed.
bool FolderExists(const QString& path);

// `folder` + separator + `fileName`, with exactly one separator between them
// whether or not the folder ends with one; the folder's own separator style
// is kept ("C:\Rep" and "C:\Rep\" both give "C:\Rep\REPORT1.XML").
QString joinPath(const QString& folder, const QString& fileName);

// Opens `path` with the program the desktop associates with it and returns a
// shell result code: greater than 32 on success. The user interface installs
// the real handler; without one the call fails with kShellNoHandler.
using ShellOpenHandler = std::function<int(const QString& path)>;
inline constexpr int kShellNoHandler = 31;
void SetShellOpenHandler(ShellOpenHandler handler);
int ShellOpen(const QString& path);

}  // namespace lg::catalogue
