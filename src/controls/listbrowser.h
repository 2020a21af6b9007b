#pragma once

// What ListWizard shows and decides, without a window: the list-type and
// owner selectors, the lists the user may run, the information panel of
// the selected list, the command state, and deleting a list. The widget
// mirrors this state and forwards the user's choices to it; tests drive it
// directly.

#include "controls/commands.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

namespace lg {
class ListReport;
}

namespace lg::controls {

struct BrowserEntry {
    long id = -1;
    QString name;
};

// The information panel.
struct ListInfo {
    QString listType;
    QString createUser;
    QString description;
    QString sqlDescription;
    QStringList groups;
    QStringList fields;
};

class ListBrowser {
public:
    ListBrowser();
    ~ListBrowser();

    // --- settings (the control's properties) ---------------------------------
    long userId = -1;
    long modulId = -1;
    WizardType wizardType = WizardType::Editor;
    bool visibleCancelButton = true;
    bool authenticWizard = true;
    bool authenticEditor = true;
    bool authenticExport = true;
    bool authenticAllReport = true;
    bool tableFieldNameCompletteOnUI = true;

    // --- state ---------------------------------------------------------------
    const QList<BrowserEntry>& types() const { return m_types; }
    int typeIndex() const { return m_typeIndex; }
    // 0 own lists, 1 all lists.
    int ownerChoice() const { return m_ownerChoice; }
    bool ownerEnabled() const { return authenticAllReport; }
    const QList<BrowserEntry>& lists() const { return m_lists; }
    int listIndex() const { return m_listIndex; }
    long selectedListId() const;
    // Bumped whenever the lists are refilled (not when only the selection moves).
    int listsRevision() const { return m_listsRevision; }
    const ListInfo& info() const { return m_info; }
    const CommandState& commands() const { return m_commands; }
    QString assistantClass() const { return m_assistantClass; }
    long currentListId() const { return m_currentListId; }
    // The loaded list (null before the first DisplayItem).
    ListReport* currentList() const { return m_current.get(); }
    bool loading() const { return m_loading; }

    // --- operations ----------------------------------------------------------
    // Applies the wizard type and the exit command.
    void applyCommandState();
    // Owner selector: "Saját listák" and fixed when AuthenticAllReport is off.
    void applyAuthenticAllReport();

    bool ControlInitialize();
    bool LoadListWizardTypes(long typeId);
    bool FillListReport(long listId);
    void DisplayItem(bool force);
    // Deletes the selected list of the user after `confirm` said yes. Only
    // the user's own list is ever deleted: the row is read again from the
    // store and its owner checked before anything is written.
    bool ReportDelete();

    // The user's choices; ignored while loading.
    void selectType(int index);
    void selectOwner(int choice);
    void selectList(int index);

private:
    void clearInfo();

    QList<BrowserEntry> m_types;
    int m_typeIndex = -1;
    int m_ownerChoice = 0;
    QList<BrowserEntry> m_lists;
    int m_listIndex = -1;
    int m_listsRevision = 0;
    ListInfo m_info;
    CommandState m_commands;
    QString m_assistantClass;
    long m_currentListId = -1;
    std::unique_ptr<ListReport> m_current;
    bool m_loading = false;
};

}  // namespace lg::controls
