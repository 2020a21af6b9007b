#include "ui/browseview.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QScrollBar>

#include "ui/browsemodel.h"

namespace lg::ui {

struct BrowseView::Private {
    BrowseModel* model = nullptr;
    int currentId = -1;
    int rows = 0;
};

BrowseView::BrowseView(QWidget* parent) : QTableView(parent), d(std::make_unique<Private>())
{
    d->model = new BrowseModel(this);
    setModel(d->model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    // Every row has the same height: the view never asks the rows it does
    // not show for their size.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);

    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            Q_EMIT chosen(d->model->idAt(index.row()));
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
        const int id = current.isValid() ? d->model->idAt(current.row()) : -1;
        if (id != d->currentId) {
            d->currentId = id;
            Q_EMIT currentIdChanged(id);
        }
    });
    connect(d->model, &QAbstractItemModel::modelReset, this, [this] {
        if (d->rows != d->model->rowCount()) {
            d->rows = d->model->rowCount();
            Q_EMIT rowTotalChanged(d->rows);
        }
        if (d->currentId != -1) {
            d->currentId = -1;
            Q_EMIT currentIdChanged(-1);
        }
    });
}

BrowseView::~BrowseView() = default;

BrowseModel* BrowseView::browseModel() const
{
    return d->model;
}

bool BrowseView::open(std::shared_ptr<dao::Database> db, const BrowseDefinition& definition, const QString& filter)
{
    const bool ok = d->model->open(std::move(db), definition, filter);
    const QList<BrowseColumn>& columns = d->model->columns();
    for (int c = 0; c < columns.size(); ++c)
        setColumnWidth(c, columns[c].width > 0 ? columns[c].width : 120);
    if (ok && d->model->rowCount() > 0)
        setCurrentIndex(d->model->index(0, 0));
    return ok;
}

bool BrowseView::reload(int id)
{
    const bool ok = d->model->reload();
    if (!ok)
        return false;
    if (id > 0 && setCurrentId(id))
        return true;
    if (d->model->rowCount() > 0)
        setCurrentIndex(d->model->index(0, 0));
    return true;
}

QString BrowseView::lastError() const
{
    return d->model->lastError();
}

int BrowseView::currentId() const
{
    return d->currentId;
}

bool BrowseView::setCurrentId(int id)
{
    const int row = d->model->rowOfId(id);
    if (row < 0)
        return false;
    const QModelIndex index = d->model->index(row, std::max(0, currentIndex().column()));
    setCurrentIndex(index);
    scrollTo(index, QAbstractItemView::PositionAtCenter);
    return true;
}

int BrowseView::rowTotal() const
{
    return d->rows;
}

int BrowseView::heightForRows(int rows) const
{
    return horizontalHeader()->sizeHint().height() + rows * verticalHeader()->defaultSectionSize() +
           2 * frameWidth() + (horizontalScrollBar()->isVisible() ? horizontalScrollBar()->height() : 0);
}

void BrowseView::showEvent(QShowEvent* event)
{
    QTableView::showEvent(event);
    // A row made current before the view had its size is brought into the middle now.
    if (currentIndex().isValid())
        scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
}

void BrowseView::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (currentIndex().isValid()) {
                Q_EMIT chosen(d->model->idAt(currentIndex().row()));
                event->accept();
                return;
            }
            break;
        case Qt::Key_Escape:
            Q_EMIT cancelled();
            event->accept();
            return;
        default:
            break;
        }
    }
    QTableView::keyPressEvent(event);
}

}  // namespace lg::ui
