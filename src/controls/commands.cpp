#include "controls/commands.h"

#include "platform/strings.h"

namespace lg::controls {

QString commandCaption(int id)
{
    switch (id) {
    case cmd::Exit: return LoadResString(107);
    case cmd::ReportNew: return LoadResString(104);
    case cmd::Delete: return LoadResString(101);
    case cmd::Print: return LoadResString(102);
    case cmd::ExportToFile: return LoadResString(103);
    case cmd::ExcelExport: return LoadResString(130);
    case cmd::CatalogueEditor: return LoadResString(30360);
    default: return QString();
    }
}

CommandState::CommandState()
{
    // Before anything is known only exit and the list wizard are offered;
    // the list commands wait for a loaded list.
    set(cmd::Exit, true);
    set(cmd::ReportNew, true);
    set(cmd::Delete, true);
}

std::optional<size_t> CommandState::indexOf(int id)
{
    for (size_t i = 0; i < kCommandIds.size(); ++i)
        if (kCommandIds[i] == id)
            return i;
    return std::nullopt;
}

bool CommandState::isOn(int id) const
{
    const auto i = indexOf(id);
    return i && m_on[*i];
}

void CommandState::set(int id, bool on)
{
    if (const auto i = indexOf(id))
        m_on[*i] = on;
}

void CommandState::applyWizardType(WizardType type, bool visibleCancelButton)
{
    const bool editor = type != WizardType::Viewer;
    set(cmd::ReportNew, editor);
    set(cmd::Delete, editor);
    set(cmd::Exit, visibleCancelButton);
}

void CommandState::applyEditor(bool databaseSet, bool authenticEditor)
{
    set(cmd::CatalogueEditor, databaseSet && authenticEditor);
}

void CommandState::beforeSelection(bool authenticWizard)
{
    set(cmd::ReportNew, authenticWizard);
    if (!authenticWizard)
        set(cmd::Delete, false);
}

void CommandState::clearSelection()
{
    for (int id : {cmd::ExportToFile, cmd::ExcelExport, cmd::Print, cmd::Delete, cmd::Assistant})
        set(id, false);
    m_assistantCaption.clear();
}

void CommandState::applyLoadedList(const LoadedListFacts& list, long userId, bool authenticWizard,
                                   bool authenticExport)
{
    set(cmd::ExportToFile, authenticExport);
    set(cmd::ExcelExport, authenticExport);
    set(cmd::Print, true);
    set(cmd::Delete, list.createUser == userId && authenticWizard);
    const bool assistant = !list.assistantClass.trimmed().isEmpty();
    set(cmd::Assistant, assistant);
    m_assistantCaption = assistant ? list.assistantCaption : QString();
}

}  // namespace lg::controls
