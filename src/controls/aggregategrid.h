#pragma once

// The aggregate grid of the list wizard's fourth step, without a window: one
// row per aggregatable displayed field, one column per grouping level and a
// last column for the grand total. Every aggregate cell carries an aggregate
// code (eReportFieldAggregateType, -1 for none) and shows its name; the
// row's data type decides which codes a cell may take.
//
// Rows and columns are numbered as the grid shows them: row 0 is the header
// row, rows 1 to rowCount()-1 are the fields; column 0 holds the field's
// caption (its cell data is the ListReportVisibleField id), columns 1 to
// columnCount()-2 the grouping levels in grouping order, the last column the
// grand total.

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

namespace lg::controls {

struct AggregateCell {
    QString text;
    long data = -1;
};

// One command of the automatic-filling menus: the menu ("Szám összesítések",
// "Szöveg összesítések", "Dátum"), its sub-menu ("Csak a kitöltetlen mezők
// beállítása" or "Minden mező beállítása"), the item's text (the aggregate's
// name), and what it fills.
struct AutoFillCommand {
    int commandId = 0;
    QString menu;
    QString subMenu;
    QString item;
    long dataType = 0;  // 1 (number, decimals too), 4 text, 3 date
    long code = -1;     // the aggregate written
    bool allCells = false;
};

class AggregateGrid {
public:
    // Empties the grid and sets up the header row for the given grouping
    // captions: "Mező", one column per caption, "Mindösszesen".
    void reset(const QStringList& groupCaptions);
    // No rows, no columns.
    void clear();

    // Rows including the header row; columns including the caption column
    // and the grand total (0 before reset).
    int rowCount() const { return int(m_rows.size()) + 1; }
    int columnCount() const { return int(m_headers.size()); }
    // Grouping levels shown (columnCount() - 2, at least 0).
    int groupLevelCount() const { return columnCount() >= 2 ? columnCount() - 2 : 0; }

    // Header texts (row 0).
    QString headerText(int column) const;

    // Appends a field row: caption and the visible field's id in column 0,
    // every aggregate cell -1 and empty. Returns its row number.
    int addRow(long visibleFieldId, const QString& caption, long dataType);

    // Row data: the field's data type (eReportFieldDataType); 0 for a bad row.
    long rowDataType(int row) const;
    // Column-0 cell data: the ListReportVisibleField id; -1 for a bad row.
    long rowFieldId(int row) const;
    // The cell as shown; an empty cell for positions outside the grid.
    AggregateCell cell(int row, int column) const;
    QString cellText(int row, int column) const { return cell(row, column).text; }
    long cellData(int row, int column) const { return cell(row, column).data; }

    // Puts an aggregate code into an aggregate cell (text: its name, empty
    // for -1). Refused (false) outside the aggregate cells.
    bool setCellCode(int row, int column, long code);

    // Whether the cell can be edited: an aggregate cell of a row whose data
    // type has a choice list.
    bool isEditable(int row, int column) const;
    // The codes a cell of the row may take, in menu order (empty when none).
    QList<long> choices(int row) const { return choiceCodes(rowDataType(row)); }

    // The user's choice in a cell editor: a code (or -1 when nothing was
    // chosen). A code not in the row's choice list is refused. Returns true
    // when the cell now holds a different aggregate (the page changed).
    bool chooseAggregate(int row, int column, long code);

    // Fills, for every row of the data type (1 and 2 count as equal), every
    // aggregate cell that is empty or -1, or every cell when `allCells`.
    // Returns the number of cells changed.
    int AutomaticFillAgregate(long dataType, long code, bool allCells);

    // Choice lists by data type: 1, 2 → 1..5; 3, 4, 5 → 1..3; others none.
    static QList<long> choiceCodes(long dataType);
    // The aggregate's name ("Darab", …), "" for -1 and unknown codes.
    static QString aggregateName(long code);

private:
    struct Row {
        long fieldId = -1;
        QString caption;
        long dataType = 0;
        QList<AggregateCell> cells;  // columns 1 .. last
    };
    bool isAggregateCell(int row, int column) const;

    QStringList m_headers;
    QList<Row> m_rows;
};

// The automatic-filling commands of the wizard's command bar, in menu order:
// ids 2-6 and 12-16 (numbers), 22-24 and 32-34 (texts), 42-44 and 52-54
// (dates).
const QList<AutoFillCommand>& autoFillCommands();
// The command with that id; nullptr for an unknown id.
const AutoFillCommand* findAutoFillCommand(int commandId);

}  // namespace lg::controls
