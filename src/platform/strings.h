#pragma once

// The string table of the user-interface texts (resources/strings.txt, compiled
// into the library as a resource). Every caption, message and fixed text piece
// that the library shows is looked up here by its numeric id.

#include <QtCore/QHash>
#include <QtCore/QString>

namespace lg {

// The text of `id`; an empty string for an id the table does not hold.
// The table is read once, on first use.
QString LoadResString(int id);

// The library's own title, used for the about box and input boxes that carry
// no title of their own.
QString LibraryTitle();

namespace strings {

// Parses the string-table format: one `id "text"` entry per line, # comments,
// backslash escapes inside the quotes. Malformed lines are skipped and
// described in `problems` (line number and reason) when it is given.
QHash<int, QString> parseTable(const QString& source, QStringList* problems = nullptr);

}  // namespace strings
}  // namespace lg
