#pragma once

// The command bar of ListWizard: its command ids, their captions, and which
// of them are on. CommandState holds the on/off state and the assistant's
// caption and applies the rules of the wizard type and of the selected list;
// the widget only mirrors it into its tool bar.

#include <QtCore/QString>

#include <array>
#include <optional>

namespace lg::controls {

namespace cmd {
constexpr int Exit = 1400000;
constexpr int ReportNew = 1400001;
constexpr int Delete = 1400002;
constexpr int Print = 1400003;
constexpr int ExportToFile = 1400004;
constexpr int ExcelExport = 1400005;
constexpr int Assistant = 1400006;
constexpr int CatalogueEditor = 1400007;
// The two selectors of the bar (their control ids).
constexpr int OwnerSelector = -10001;
constexpr int ListTypeSelector = -11001;
}  // namespace cmd

// eWizardType
enum class WizardType { Viewer = 1, Editor = 2 };

// The eight commands, in bar order.
inline constexpr std::array<int, 8> kCommandIds = {cmd::Exit,         cmd::ReportNew,   cmd::Delete,    cmd::Print,
                                                   cmd::ExportToFile, cmd::ExcelExport, cmd::Assistant, cmd::CatalogueEditor};

// The caption of a command from the string table (the assistant's is the
// list type's and is not here: empty).
QString commandCaption(int id);

// What the information panel knows about the selected list when it sets the
// commands.
struct LoadedListFacts {
    long createUser = -1;
    QString assistantClass;    // com_assistant of the list's type
    QString assistantCaption;  // com_assistant_visible_name
};

class CommandState {
public:
    CommandState();

    bool isOn(int id) const;
    void set(int id, bool on);
    QString assistantCaption() const { return m_assistantCaption; }

    // The state for the wizard type: a viewer has no new-list and delete
    // commands; the exit command follows VisibleCancelButton.
    void applyWizardType(WizardType type, bool visibleCancelButton);
    // The editor command: on when a database is set and AuthenticEditor.
    void applyEditor(bool databaseSet, bool authenticEditor);

    // DisplayItem's rules. `beforeSelection` runs first on every DisplayItem
    // (new list by AuthenticWizard; without it no delete); `clearSelection`
    // when the panel is cleared; `applyLoadedList` for a list that loaded.
    void beforeSelection(bool authenticWizard);
    void clearSelection();
    void applyLoadedList(const LoadedListFacts& list, long userId, bool authenticWizard, bool authenticExport);

private:
    static std::optional<size_t> indexOf(int id);
    std::array<bool, kCommandIds.size()> m_on{};
    QString m_assistantCaption;
};

}  // namespace lg::controls
