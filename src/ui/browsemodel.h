#pragma once

// BrowseModel: the rows of a browse statement as a table model that reads
// them only when they are shown.
//
// Opening counts the rows and reads nothing else; a page of rows is read when
// the view first asks for one of them, and only a few pages are kept, so a
// table of a million rows opens at once and memory stays the same however far
// the user scrolls. Pages are found by key (BrowseStatements): the model
// remembers where each page it has passed begins (its first sort key and how
// many rows of that key come before it) and starts the next read at the
// nearest such place. Positioning on an id counts the rows before its key
// through the sort field's index.
//
// The sort field must be a field of the statement. Rows of one key keep the
// order the database gives them; with an index on the sort field that is the
// same on every read. The model works without a window (Qt Core only).

#include <QtCore/QAbstractTableModel>

#include <memory>

#include "ui/browsestatement.h"

namespace lg::dao {
class Database;
}

namespace lg::ui {

class BrowseModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit BrowseModel(QObject* parent = nullptr);
    ~BrowseModel() override;

    // Opens the browse: the statement narrowed by `filter` (a Jet condition,
    // blank for none) on `db`. False with lastError() when the definition or
    // the statement is refused; the model is then empty.
    bool open(std::shared_ptr<dao::Database> db, const BrowseDefinition& definition, const QString& filter = {});
    // Reads everything again (the rows may have changed), keeping the definition.
    bool reload();
    void close();
    bool isOpen() const;

    QString lastError() const;
    const BrowseDefinition& definition() const;
    // The shown columns (the statement's fields when the definition names none).
    const QList<BrowseColumn>& columns() const;

    // The id of a row; -1 for a row out of range or without id.
    int idAt(int row) const;
    // The row of an id among the browse's rows; -1 when it is not one of them.
    int rowOfId(int id);

    // Rows per page and pages kept (at least 1 and 2).
    int pageSize() const;
    void setPageSize(int rows);
    int maxCachedPages() const;
    void setMaxCachedPages(int pages);
    int cachedPages() const;
    // Statements run to read pages since open (for the tests and the benchmark).
    long pageReads() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // A read failed while rows were shown (the rows stay empty).
    void errorOccurred(const QString& message);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::ui
