#include "controls/aggregategridview.h"

#include "controls/aggregategrid.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QHeaderView>

using namespace Qt::StringLiterals;

namespace lg::controls {

AggregateGridView::AggregateGridView(QWidget* parent) : QTableWidget(parent)
{
    setObjectName(u"grd_aggregate"_s);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setItemDelegate(new AggregateCellDelegate(this));
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(80);
    setAlternatingRowColors(true);
    setWordWrap(false);
}

void AggregateGridView::showGrid(const AggregateGrid& grid)
{
    const int keepRow = currentRow();
    const int keepColumn = currentColumn();
    const bool wasEmpty = columnCount() == 0;
    const QStringList oldHeaders = [this] {
        QStringList h;
        for (int c = 0; c < columnCount(); ++c)
            h << (horizontalHeaderItem(c) ? horizontalHeaderItem(c)->text() : QString());
        return h;
    }();
    clear();
    setColumnCount(grid.columnCount());
    setRowCount(grid.rowCount() > 0 ? grid.rowCount() - 1 : 0);
    QStringList headers;
    for (int c = 0; c < grid.columnCount(); ++c)
        headers << grid.headerText(c);
    setHorizontalHeaderLabels(headers);
    for (int r = 1; r < grid.rowCount(); ++r) {
        const int vr = viewRow(r);
        for (int c = 0; c < grid.columnCount(); ++c) {
            const AggregateCell cell = grid.cell(r, c);
            auto* item = new QTableWidgetItem(cell.text);
            item->setData(CodeRole, QVariant::fromValue(qlonglong(cell.data)));
            if (c == 0) {
                item->setData(DataTypeRole, QVariant::fromValue(qlonglong(grid.rowDataType(r))));
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                QFont f = item->font();
                f.setBold(false);
                item->setFont(f);
            } else {
                Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
                if (grid.isEditable(r, c))
                    flags |= Qt::ItemIsEditable;
                else
                    item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
                item->setFlags(flags);
                item->setTextAlignment(Qt::AlignCenter);
            }
            setItem(vr, c, item);
        }
    }
    // Column widths only when the columns changed, so the user's widths stay.
    if (wasEmpty || oldHeaders != headers) {
        resizeColumnsToContents();
        if (columnCount() > 0)
            setColumnWidth(0, std::max(columnWidth(0) + 16, 180));
        for (int c = 1; c < columnCount(); ++c)
            setColumnWidth(c, std::max(columnWidth(c) + 12, 110));
    }
    if (keepRow >= 0 && keepRow < rowCount() && keepColumn >= 0 && keepColumn < columnCount())
        setCurrentCell(keepRow, keepColumn);
    else if (rowCount() > 0 && columnCount() > 1)
        setCurrentCell(0, 1);
    Q_EMIT gridShown();
}

QList<long> AggregateGridView::choicesForRow(int viewRow) const
{
    const QTableWidgetItem* first = item(viewRow, 0);
    if (!first)
        return {};
    return AggregateGrid::choiceCodes(long(first->data(DataTypeRole).toLongLong()));
}

AggregateCellDelegate::AggregateCellDelegate(AggregateGridView* view) : QStyledItemDelegate(view), m_view(view) {}

QWidget* AggregateCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const QList<long> codes = m_view->choicesForRow(index.row());
    if (index.column() == 0 || codes.isEmpty())
        return nullptr;
    auto* combo = new QComboBox(parent);
    combo->setObjectName(u"cbo_aggregate"_s);
    combo->addItem(QString(), QVariant::fromValue(qlonglong(-1)));
    for (long code : codes)
        combo->addItem(AggregateGrid::aggregateName(code), QVariant::fromValue(qlonglong(code)));
    // A choice ends the edit at once, as a drop-down cell does.
    connect(combo, &QComboBox::activated, this, [this, combo] {
        Q_EMIT const_cast<AggregateCellDelegate*>(this)->commitData(combo);
        Q_EMIT const_cast<AggregateCellDelegate*>(this)->closeEditor(combo);
    });
    return combo;
}

void AggregateCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo)
        return;
    const int at = combo->findData(QVariant::fromValue(qlonglong(index.data(AggregateGridView::CodeRole).toLongLong())));
    combo->setCurrentIndex(at < 0 ? 0 : at);
}

void AggregateCellDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const
{
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo)
        return;
    const long code = long(combo->currentData().toLongLong());
    // The view shows the model: the choice goes out, the model answers by
    // showing the grid again.
    const int row = AggregateGridView::gridRow(index.row());
    const int column = index.column();
    QMetaObject::invokeMethod(
        m_view, [view = m_view, row, column, code] { Q_EMIT view->aggregateChosen(row, column, code); },
        Qt::QueuedConnection);
}

}  // namespace lg::controls
