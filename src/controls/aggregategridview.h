#pragma once

// AggregateGridView: the aggregate grid of the list wizard's fourth step, a
// view of the wizard model's AggregateGrid. The grid's header row is the
// view's horizontal header ("Mező", the grouping fields, "Mindösszesen");
// every further row is one displayed field with its caption in the first
// column and one aggregate per grouping level and for the grand total.
//
// An aggregate cell is edited with a drop-down of the codes the row's data
// type allows (and an empty entry for none); the choice is not written into
// the view but sent as aggregateChosen, so the model decides and the
// dialog shows the model again. Cells of a row without choices cannot be
// edited.

#include <QtWidgets/QStyledItemDelegate>
#include <QtWidgets/QTableWidget>

namespace lg::controls {

class AggregateGrid;

class AggregateGridView : public QTableWidget {
    Q_OBJECT
    // The number of field rows shown (the grid's rows less its header row).
    Q_PROPERTY(int FieldRowCount READ FieldRowCount NOTIFY gridShown)

public:
    // Item roles: the cell's aggregate code, the row's data type (column 0)
    // and the visible-field id (column 0).
    static constexpr int CodeRole = Qt::UserRole;
    static constexpr int DataTypeRole = Qt::UserRole + 1;

    explicit AggregateGridView(QWidget* parent = nullptr);

    // Shows the grid (replacing what was shown); keeps the current cell when
    // it still exists.
    void showGrid(const AggregateGrid& grid);
    int FieldRowCount() const { return rowCount(); }

    // The grid's row of a view row and back (the grid counts its header).
    static int gridRow(int viewRow) { return viewRow + 1; }
    static int viewRow(int gridRow) { return gridRow - 1; }

    // The codes offered for a view row, from the row's data type.
    QList<long> choicesForRow(int viewRow) const;

Q_SIGNALS:
    // The editor of a cell was closed with a choice: -1 for the empty entry.
    // `gridRow` counts the header row as the grid does.
    void aggregateChosen(int gridRow, int column, long code);
    void gridShown();
};

// The drop-down editor of an aggregate cell.
class AggregateCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit AggregateCellDelegate(AggregateGridView* view);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    AggregateGridView* m_view;
};

}  // namespace lg::controls
