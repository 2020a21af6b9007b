#pragma once

// Small helpers for list boxes and drop-down lists. An entry's item data is
// kept in Qt::UserRole; "the selected entry" is the current one.

#include <QtCore/QVariant>

#include <optional>

class QComboBox;
class QListWidget;
class QWidget;

namespace lg {

// The item data of the selected entry; `defaultValue` when nothing is selected.
QVariant GetSelectedItemData(const QListWidget* list, const QVariant& defaultValue = {});
QVariant GetSelectedItemData(const QComboBox* combo, const QVariant& defaultValue = {});

// Selects the first entry whose item data equals `data`; when there is none
// and `fallback` is given, the first entry whose item data equals that.
// Returns whether an entry was selected; otherwise the selection is unchanged.
bool SelectListItemByData(QListWidget* list, const QVariant& data, const std::optional<QVariant>& fallback = {});
bool SelectListItemByData(QComboBox* combo, const QVariant& data, const std::optional<QVariant>& fallback = {});

// Selects the first entry of a list that is not empty; returns whether it did.
bool SelectFirstListItem(QListWidget* list);
bool SelectFirstListItem(QComboBox* combo);

// Whether some entry carries `data`.
bool ListContainsItemData(const QListWidget* list, const QVariant& data);
bool ListContainsItemData(const QComboBox* combo, const QVariant& data);

// Removes the selected entry and selects the one before it (the first one when
// the removed entry was the first). Returns whether an entry was removed.
bool RemoveSelectedListItem(QListWidget* list);
bool RemoveSelectedListItem(QComboBox* combo);

// Swaps text and item data of the selected entry with its neighbour above
// (`up`) or below and keeps the moved entry selected. Nothing happens at the
// ends or without a selection; returns whether the entry moved.
bool MoveListItem(bool up, QListWidget* list);
bool MoveListItem(bool up, QComboBox* combo);

// Sets the list's tooltip to the text of the entry under the point (x, y in
// twips, relative to the list's client area), or to an empty text when there
// is no entry there.
void ShowItemTipAtPoint(QListWidget* list, double xTwips, double yTwips);

// Focused inputs get the system info-background colour, unfocused ones white.
void SetFocusColor(QWidget* control, bool focused);

// Item data comparison used by the helpers: numbers compare by value whatever
// their type, everything else by QVariant equality.
bool sameItemData(const QVariant& a, const QVariant& b);

}  // namespace lg
