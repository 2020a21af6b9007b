#pragma once

// ChosenFieldList: the list of the fields chosen on the grouping and the
// displayed-field pages of the list wizard. Every entry carries the
// catalogue table-field id as item data and the field caption as text.
//
//  - a double-click on an entry asks for its removal (removeRequested);
//  - Shift+Up or Shift+keypad 8 asks for moving the current entry one place
//    up, Shift+Down or Shift+keypad 2 one place down (moveRequested).
//
// The list does not change itself: the wizard model decides (which entry
// goes, what happens at the ends, how many fields the list may hold) and the
// dialog shows the model's list again with setFields. Every key press emits
// `edited`, which the wizard turns into its page changed flag.

#include <QtCore/QList>
#include <QtCore/QVariantList>
#include <QtWidgets/QListWidget>

#include <memory>

namespace lg::controls {

class ChosenFieldList : public QListWidget {
    Q_OBJECT
    Q_PROPERTY(QVariantList FieldIds READ FieldIds NOTIFY FieldIdsChanged)

public:
    struct Field {
        long id = -1;
        QString caption;
    };

    explicit ChosenFieldList(QWidget* parent = nullptr);
    ~ChosenFieldList() override;

    // The ids in list order.
    QList<long> fieldIds() const;
    QVariantList FieldIds() const;
    QList<Field> fields() const;
    bool containsField(long id) const;

    // Replaces the entries; `current` becomes the current entry (the first
    // when it is out of range).
    void setFields(const QList<Field>& fields, int current = 0);

Q_SIGNALS:
    void FieldIdsChanged(const QVariantList& ids);
    void removeRequested(int row);
    void moveRequested(int row, int delta);
    void edited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// Whether a key press asks for moving the current entry: -1 up, +1 down, 0 no.
int chosenListMoveDirection(int key, Qt::KeyboardModifiers modifiers);

}  // namespace lg::controls
