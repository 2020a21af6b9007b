#include "controls/listbrowser.h"

#include "catalogue/fieldcatalogue.h"
#include "catalogue/permissions.h"
#include "platform/dao/dao.h"
#include "platform/message.h"
#include "platform/strings.h"
#include "store/context.h"
#include "store/listreport.h"
#include "store/records.h"
#include "store/tables.h"

using namespace Qt::StringLiterals;

namespace lg::controls {

namespace {

QList<BrowserEntry> entriesOf(dao::Recordset& rs)
{
    QList<BrowserEntry> out;
    for (; !rs.Eof(); rs.MoveNext()) {
        const QVariant id = rs.Fields(u"id"_s);
        const QVariant name = rs.Fields(u"name"_s);
        out.append({dao::isNull(id) ? 0 : long(id.toLongLong()), dao::isNull(name) ? QString() : name.toString()});
    }
    return out;
}

}  // namespace

ListBrowser::ListBrowser() { applyCommandState(); }
ListBrowser::~ListBrowser() = default;

long ListBrowser::selectedListId() const
{
    return m_listIndex >= 0 && m_listIndex < m_lists.size() ? m_lists.at(m_listIndex).id : -1;
}

void ListBrowser::applyCommandState() { m_commands.applyWizardType(wizardType, visibleCancelButton); }

void ListBrowser::applyAuthenticAllReport()
{
    if (!authenticAllReport)
        m_ownerChoice = 0;
}

bool ListBrowser::ControlInitialize()
{
    m_assistantClass.clear();
    if (!ctx().database)
        return false;
    struct Loading {
        bool& flag;
        explicit Loading(bool& f) : flag(f) { flag = true; }
        ~Loading() { flag = false; }
    } loading(m_loading);
    modTables::Initialize();
    applyAuthenticAllReport();
    m_commands.applyEditor(true, authenticEditor);
    LoadListWizardTypes(-1);
    const bool result = FillListReport(-1);
    DisplayItem(false);
    return result;
}

bool ListBrowser::LoadListWizardTypes(long typeId)
{
    if (!ctx().database)
        return false;
    std::shared_ptr<dao::Recordset> rs;
    if (!catalogue::GetListWizardTypeEnableShow(userId, modulId, rs) || !rs)
        return false;
    m_types.clear();
    m_types.append({-1, LoadResString(30030)});
    m_types.append(entriesOf(*rs));
    m_typeIndex = 0;
    for (int i = 0; i < m_types.size(); ++i)
        if (m_types.at(i).id == typeId) {
            m_typeIndex = i;
            break;
        }
    return true;
}

bool ListBrowser::FillListReport(long listId)
{
    if (!ctx().database)
        return false;
    const long typeId = m_typeIndex >= 0 && m_typeIndex < m_types.size() ? m_types.at(m_typeIndex).id : -1;
    std::shared_ptr<dao::Recordset> rs;
    m_lists.clear();
    if (catalogue::GetListReportEnableShow(userId, modulId, typeId, m_ownerChoice, rs) && rs)
        m_lists = entriesOf(*rs);
    ++m_listsRevision;
    m_listIndex = -1;
    if (listId != -1)
        for (int i = 0; i < m_lists.size(); ++i)
            if (m_lists.at(i).id == listId) {
                m_listIndex = i;
                break;
            }
    if (m_listIndex < 0 && !m_lists.isEmpty())
        m_listIndex = 0;
    return true;
}

void ListBrowser::clearInfo()
{
    m_assistantClass.clear();
    m_info = ListInfo();
    m_commands.clearSelection();
}

void ListBrowser::DisplayItem(bool force)
{
    if (!ctx().database)
        return;
    if (!m_current)
        m_current = std::make_unique<ListReport>();
    m_commands.beforeSelection(authenticWizard);
    const long selected = selectedListId();
    if (selected == m_currentListId && !force)
        return;
    clearInfo();
    m_currentListId = selected;
    if (selected == -1)
        return;

    ListReport& list = *m_current;
    if (!list.CoreLoad(selected)) {
        // Gone since the box was filled (deleted elsewhere): nothing to show.
        m_currentListId = -1;
        return;
    }
    ListWizardType type;
    LoadedListFacts facts;
    facts.createUser = list.create_user();
    if (type.CoreLoad(list.list_type_id())) {
        m_info.listType = type.name();
        facts.assistantClass = type.com_assistant().trimmed();
        facts.assistantCaption = type.com_assistant_visible_name();
    }
    m_commands.applyLoadedList(facts, userId, authenticWizard, authenticExport);
    m_assistantClass = facts.assistantClass;
    const QVariant owner =
        modTables::LookupFieldValue(u"qry_vlq_list_wizard_user_table"_s, list.create_user(), u"display_name"_s);
    m_info.createUser = dao::isNull(owner) ? QString() : owner.toString();
    m_info.description = list.description();
    m_info.sqlDescription = list.sql_description();
    auto caption = [this](long fieldId) {
        return tableFieldNameCompletteOnUI ? catalogue::GetTableFieldVisibleName(fieldId)
                                           : catalogue::GetTableFieldShortVisibleName(fieldId);
    };
    for (const auto& g : list.ReportGroups())
        m_info.groups << caption(g->table_field_id());
    for (const auto& f : list.ReportFields())
        m_info.fields << caption(f->table_field_id());
}

bool ListBrowser::ReportDelete()
{
    if (m_lists.isEmpty() || !ctx().database || !m_current || m_currentListId == -1)
        return false;
    const long id = m_current->ID();
    // The loaded list must be the selected entry and the user's own.
    if (id == -1 || m_current->create_user() != userId || m_listIndex < 0 || selectedListId() != id)
        return false;
    if (ctx().messageService().MsgQuestionYesNo(LoadResString(30034)) == msg::No)
        return false;

    // Read again: the list may have changed hands or gone since it was shown.
    ListReport list;
    if (!list.CoreLoad(id) || list.create_user() != userId)
        return false;
    if (!list.Delete() || !list.SetFinal() || !list.CoreUpdate(true))
        return false;

    m_lists.removeAt(m_listIndex);
    ++m_listsRevision;
    if (m_lists.isEmpty())
        m_listIndex = -1;
    else
        m_listIndex = m_listIndex > 0 ? m_listIndex - 1 : 0;
    DisplayItem(true);
    return true;
}

void ListBrowser::selectType(int index)
{
    if (m_loading || index < 0 || index >= m_types.size())
        return;
    m_typeIndex = index;
    FillListReport(-1);
    DisplayItem(false);  // the first entry is selected: the panel follows it
}

void ListBrowser::selectOwner(int choice)
{
    if (m_loading || !ctx().database)
        return;
    m_ownerChoice = authenticAllReport && choice == 1 ? 1 : 0;
    FillListReport(-1);
    DisplayItem(false);
}

void ListBrowser::selectList(int index)
{
    if (m_loading || index < -1 || index >= m_lists.size())
        return;
    m_listIndex = index;
    DisplayItem(false);
}

}  // namespace lg::controls
