#pragma once

// FieldTree: the catalogue fields of a list type as a tree of tables and
// their fields (the wizard's pages, the pre-filter dialog). Table nodes are
// bold; after a fill the first table is expanded and current. A click on a
// table node toggles it; labels cannot be edited. The nodes come from
// buildFieldTreeLayout (fieldtreenodes.h), so what goes where is decided
// without a window.

#include <QtWidgets/QTreeWidget>

#include <memory>

#include "ui/fieldtreenodes.h"

namespace lg::ui {

class FieldTree : public QTreeWidget {
    Q_OBJECT
    // The table-field id of the current node; -1 for a table node or none.
    Q_PROPERTY(int currentFieldId READ currentFieldId WRITE setCurrentFieldId NOTIFY currentFieldIdChanged)
    // The key of the current node ("TBL_…", "FLD_…"); empty for none.
    Q_PROPERTY(QString currentKey READ currentKey NOTIFY currentKeyChanged)

public:
    explicit FieldTree(QWidget* parent = nullptr);
    ~FieldTree() override;

    // Clears the tree and adds the nodes of `rows`. No signal is sent while
    // the nodes are added; afterwards the first table is current.
    void fill(const QList<FieldTreeRow>& rows);
    void fill(const FieldTreeLayout& layout);

    int currentFieldId() const;
    // Makes the field's node current (its table expanded); false when the
    // tree has no such field.
    bool setCurrentFieldId(int fieldId);
    QString currentKey() const;

    // The node of a key; nullptr when there is none.
    QTreeWidgetItem* itemForKey(const QString& key) const;
    static QString keyOf(const QTreeWidgetItem* item);
    // -1 for a table node or no node.
    static long fieldIdAt(const QTreeWidgetItem* item);
    // The text of the field's node; empty when there is none.
    QString fieldText(long fieldId) const;
    bool hasField(long fieldId) const;
    int fieldCount() const;

Q_SIGNALS:
    void currentFieldIdChanged(int fieldId);
    void currentKeyChanged(const QString& key);
    // A node was clicked (after a table node toggled): its field id, -1 for
    // a table node.
    void nodeClicked(int fieldId);
    // A field node was double-clicked (or Enter was pressed on it).
    void fieldActivated(int fieldId, const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::ui
