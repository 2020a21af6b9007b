#pragma once

// Permission administration without a window: the statements of the
// administration control's choices, the describing sentences, and the three
// operations (deny, lift one denial, lift in bulk) that both
// ListWizardAuthUnit and `listgen deny|lift|denials` use.
//
// A denial (vlq_list_auth_unit) is kind 0 (edit a list type) or 1 (run a
// list type, or one list of it); -1 stands for "not chosen" in every choice.

#include <QtCore/QList>
#include <QtCore/QString>

#include "ui/browsestatement.h"

namespace lg::admin {

inline constexpr long kEditDenial = 0;
inline constexpr long kRunDenial = 1;
inline constexpr long kNotChosen = -1;

// What the administrator has chosen, with the shown names.
struct AuthChoice {
    long kind = kEditDenial;
    long groupId = kNotChosen;
    long typeId = kNotChosen;
    long listId = kNotChosen;  // counts only for run denials
    QString group, type, list;
};

// A sentence and its colour (Windows encoding, see lg::colorFromWin).
struct Sentence {
    QString text;
    quint32 colour = 0;
    bool operator==(const Sentence&) const = default;
};

// What the deny command would record.
Sentence denySentence(const AuthChoice& choice);
// What the bulk lift would remove.
QString bulkLiftSentence(const AuthChoice& choice);
// Whether the deny command may run: a group and a type are chosen.
bool canDeny(const AuthChoice& choice);

// The statements of the choices.
QString userGroupsSql();
QString listTypesSql(long modulId);
QString listsOfTypeSql(long typeId);

// The live denials with their group, type and list names, for the browse grid
// (filter "auth_type=<kind>"): columns id, auth_type, group_name,
// list_type_name, list_report_name.
ui::BrowseDefinition denialsBrowse(bool withList);
QString denialsFilter(long kind);

// One live denial as listed.
struct Denial {
    long id = -1;
    long kind = 0;
    long groupId = -1, typeId = -1, listId = -1;
    QString group, type, list;
};
// The live denials, of one kind or (kind -1) of both, by kind, group, type, list.
QList<Denial> liveDenials(long kind = -1);

// Names by id; empty when there is no such live row.
QString userGroupName(long id);
QString listTypeName(long id);
QString listName(long id);
// The type of a live list; -1 when there is none.
long listTypeOfList(long listId);

enum class DenyOutcome {
    Refused,   // no group or type chosen, or a choice that does not exist (Errors)
    Existing,  // such a live denial exists already; nothing was written
    Written,   // the denial was recorded
    Failed     // the write failed (Errors)
};

// Records the denial of `choice` (the list only for run denials). `id`
// receives the existing or new denial's id. Group, type and list are checked
// against the store: an unknown one is refused with a message in Errors.
DenyOutcome deny(const AuthChoice& choice, long& id);
// Lifts one live denial; false with a message in Errors when there is none.
bool lift(long denialId);
// Lifts in bulk (ListAuthUnit::DeleteAuthUnitWithGroup); for edit denials the
// list is ignored.
bool liftInBulk(const AuthChoice& choice, long modulId);

}  // namespace lg::admin
