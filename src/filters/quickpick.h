#pragma once

// The quick pick without a window: the definition read from vlq_quickpick /
// vlq_quickpick_field, the seek on the current search field's index while the
// user types, the acceptance test, exact mode and the lookup by key. The
// vQuickPick widget and `listgen quickpick` drive it.
//
// A search seeks the index with ">=" and the key values of the index
// structure ("%SEARCH%" = the typed text, any other entry a constant), each
// converted to its index column's type. The record there is accepted when
// every constant key column equals its value and the searched column starts
// with the typed text (upper case on both sides; in exact mode the whole
// value must equal it).
//
// When the record at the seek position is not accepted, the first accepted
// record in index order can only lie after it (every accepted key is at or
// above the seek keys), so the search goes on from there, but only while a
// record can still be accepted:
//   - text search column: while the searched value, folded (upper case,
//     accents dropped), starts with the folded typed text. The Hungarian
//     order puts accented letters with their base letter, so "Ára" may stand
//     between "Ar" and "Arb"; the folded range covers those few records. When
//     the typed text ends in a letter that starts a doubled Hungarian letter
//     (c, d, g, l, n, s, t, z: "ssz" sorts as "sz"+"sz"), such a record
//     sorts among the records of the shorter prefix, so the range is the one
//     of the text without those trailing letters (all of the table when
//     nothing is left): this is where a longer walk remains. In exact mode
//     only the records that collate equal to the text (its case variants,
//     side by side in the index) are read;
//   - other search columns (numbers, dates): their order is not the order of
//     their text ("2" is below "12"), so the walk covers the whole table from
//     its first record, as the index order gives no bound.
// Constant key columns before the search column bound the walk too: it stops
// at the first record that leaves them.

#include <QtCore/QList>
#include <QtCore/QString>

#include <memory>

namespace lg::dao {
class Database;
class Recordset;
}  // namespace lg::dao

namespace lg::filters {

struct QuickPickField {
    QString searchField;      // search_field
    QString searchFieldName;  // search_field_name
    QString visibleField;     // visible_field
    QString indexName;        // index_name
    QString indexStructure;   // index_stucture
};

struct QuickPickDefinition {
    int id = 0;
    bool found = false;  // a vlq_quickpick row exists
    QString name;
    QString tableName;
    int browseId = -1;
    QString browseWhereClause;
    bool useWhereInBrowse = false;
    QString primaryKeyIndexName = QStringLiteral("PrimaryKey");
    QString primaryKeyFieldName = QStringLiteral("id");
    int searchStartLength = 0;  // 0: the control's own
    int browseRowCount = 0;
    QList<QuickPickField> fields;
};

// Reads the definition by id through table-type recordsets. Throws
// lg::RuntimeError when the tables cannot be read; an id without a row gives
// a definition with found == false and no fields.
QuickPickDefinition readQuickPickDefinition(dao::Database& db, int id);

// What a search or a lookup found.
struct QuickPickHit {
    bool found = false;
    int id = -1;
    QString text;    // the searched column's value (the completed text)
    QString result;  // the visible field's value
};

class QuickPickSearch {
public:
    QuickPickSearch();
    ~QuickPickSearch();

    // Reads definition `id` and opens its table on `db`. False (and no
    // definition) when reading failed; `error()` tells why. True for an id
    // without definition: there are no search fields then.
    bool initialize(std::shared_ptr<dao::Database> db, int id);
    bool isInitialized() const;
    QString error() const;

    const QuickPickDefinition& definition() const;
    int fieldCount() const;
    int currentField() const;  // 0-based; -1 without fields
    void setCurrentField(int index);
    // Makes the search field named `field` current; false when the
    // definition has none of that name (case-insensitive).
    bool setSearchField(const QString& field);
    // The current search field (an empty record without fields).
    QuickPickField field() const;
    // F5: the next search field, after the last one the first.
    void nextField();

    int searchStartLength() const;  // default 3
    void setSearchStartLength(int length);

    // Whether a search of `text` is exact: shorter than the start length,
    // or forced (the last key was Backspace or Delete).
    bool isExact(const QString& text, bool forced) const;
    // One keystroke: the text as it stands in the box. No definition, no
    // table or a failed seek count as not found.
    QuickPickHit search(const QString& text, bool exact);
    // The record whose key column equals `id` (through the key index).
    QuickPickHit find(int id);

    // How many records the last search read past the seek position (0 when
    // the seek position decided), for tests and the benchmark.
    long lastWalk() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::filters
