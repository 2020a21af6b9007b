#pragma once

// Reads a written workbook back before it is handed over.
//
// The workbook library writes every part of a workbook (the sheets' XML
// first of all) into temporary files and zips them at the end, and it never
// looks at what its writes to those temporary files returned: on a full
// disk, or past the process's file-size limit, a sheet is cut short
// silently, and the zip made of it is well formed and looks written. So the
// finished file is read back: every part inflates to the size and checksum
// its directory entry gives, and every XML part ends with the closing tag of
// its root element.

#include <QtCore/QString>

namespace lg::xlsx {

// True when the workbook at `path` is complete; otherwise false, with what is
// wrong (the part's name) in `reason`.
bool workbookComplete(const QString& path, QString& reason);

}  // namespace lg::xlsx
