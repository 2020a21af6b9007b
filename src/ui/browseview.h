#pragma once

// BrowseView: a table of the rows of a browse statement (BrowseModel), for
// picking one record. Rows are read only as they are shown, so a large table
// opens at once. A double-click or Enter on a row reports its id (`chosen`),
// Escape reports that nothing was chosen (`cancelled`). The view holds no
// logic of its own beyond forwarding these keys to its model's rows.

#include <QtWidgets/QTableView>

#include <memory>

#include "ui/browsestatement.h"

namespace lg::dao {
class Database;
}

namespace lg::ui {

class BrowseModel;

class BrowseView : public QTableView {
    Q_OBJECT
    // The id of the current row; -1 when no row is current.
    Q_PROPERTY(int currentId READ currentId WRITE setCurrentId NOTIFY currentIdChanged)
    // The number of rows of the browse.
    Q_PROPERTY(int rowTotal READ rowTotal NOTIFY rowTotalChanged)

public:
    explicit BrowseView(QWidget* parent = nullptr);
    ~BrowseView() override;

    BrowseModel* browseModel() const;

    // Opens the browse and sizes the columns by the definition; the first row
    // becomes current. False with the model's lastError() when refused.
    bool open(std::shared_ptr<dao::Database> db, const BrowseDefinition& definition, const QString& filter = {});
    // Reads the rows again and positions on `id` (the first row when it is
    // not among them or not above 0).
    bool reload(int id = -1);
    QString lastError() const;

    int currentId() const;
    // Makes the row of `id` current and scrolls it into the middle; false
    // (and the current row unchanged) when `id` is not among the rows.
    bool setCurrentId(int id);
    int rowTotal() const;

    // The height that shows `rows` rows with the header.
    int heightForRows(int rows) const;

Q_SIGNALS:
    void currentIdChanged(int id);
    void rowTotalChanged(int rows);
    // A row was picked by double-click or Enter.
    void chosen(int id);
    // Escape.
    void cancelled();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::ui
