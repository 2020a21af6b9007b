#pragma once

// The string table of the user-interface texts, compiled into the library as
// resources: resources/strings.txt (Hungarian, the default) and
// resources/strings.en.txt (English). Every caption, message and fixed text
// piece that the library shows is looked up here by its numeric id.
//
// A host chooses the language once, before it creates the controls:
//
//     lg::setUiLanguage(lg::UiLanguage::English);
//
// Captions are read when a control or dialog is built, so controls that
// already exist keep their texts. An id the English table lacks shows its
// Hungarian text.

#include <QtCore/QHash>
#include <QtCore/QString>

namespace lg {

enum class UiLanguage { Hungarian, English };

/// The language of the texts; Hungarian unless the host chose another.
void setUiLanguage(UiLanguage language);
UiLanguage uiLanguage();

/// The text of `id` in the chosen language (the Hungarian text when that
/// language lacks it); an empty string for an id no table holds. The tables
/// are read once, on first use.
QString LoadResString(int id);

/// The library's own title, used for the about box and input boxes that carry
/// no title of their own.
QString LibraryTitle();

namespace strings {

/// Parses the string-table format: one `id "text"` entry per line, # comments,
/// backslash escapes inside the quotes. Malformed lines are skipped and
/// described in `problems` (line number and reason) when it is given.
QHash<int, QString> parseTable(const QString& source, QStringList* problems = nullptr);

/// The whole table of one language, as compiled into the library.
const QHash<int, QString>& table(UiLanguage language);

}  // namespace strings
}  // namespace lg
