#include "controls/listdesignmodel.h"

#include "catalogue/dbhelpers.h"
#include "catalogue/fieldcatalogue.h"
#include "catalogue/permissions.h"
#include "filters/conditionharvest.h"
#include "filters/filtercontrolsetup.h"
#include "filters/queryfilter.h"
#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "platform/strings.h"
#include "report/statementgenerator.h"
#include "report/xmlsourcegenerator.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/listreport.h"
#include "store/records.h"

#include <QtCore/QDateTime>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QLockFile>
#include <QtCore/QMutex>
#include <QtCore/QSet>

using namespace Qt::StringLiterals;

namespace lg::controls {

namespace {

const QString kSource = u"vlqTabula2.frmWizard"_s;

QString text(int id) { return LoadResString(id); }

bool databaseOpen() { return bool(ctx().database); }

QString databaseName()
{
    return ctx().database ? ctx().database->Name() : QString();
}

// The temporary lists held by live models of this process, "<database>#<id>".
QMutex& holdMutex()
{
    static QMutex mutex;
    return mutex;
}
QSet<QString>& heldHere()
{
    static QSet<QString> set;
    return set;
}
QString holdKey(long listId) { return databaseName() + u'#' + QString::number(listId); }

bool fileDatabase(const QString& name)
{
    return !name.isEmpty() && name != u":memory:"_s && !name.startsWith(u"file::memory:"_s);
}

// A run-time error of a step becomes a collected error with the step's trace.
void recordRuntimeError(RuntimeError e, const QString& procedure)
{
    e.addFunctionTrace(kSource, procedure);
    AddError(e.number(), e.description());
}

template <class F> bool guarded(const QString& procedure, F&& body)
{
    try {
        return body();
    } catch (const RuntimeError& e) {
        recordRuntimeError(e, procedure);
    } catch (const std::exception& e) {
        recordRuntimeError(RuntimeError(errnum::Internal, kSource, QString::fromUtf8(e.what())), procedure);
    }
    return false;
}

QList<FreeFieldRow> readFreeRows(dao::Recordset& rs)
{
    QList<FreeFieldRow> rows;
    while (!rs.Eof()) {
        FreeFieldRow row;
        row.tableId = catalogue::longOf(rs, u"table_id"_s, -1);
        row.tableName = catalogue::textOf(rs, u"table_name"_s);
        row.fieldId = catalogue::longOf(rs, u"field_id"_s, -1);
        row.fieldName = catalogue::textOf(rs, u"field_name"_s);
        row.caption = catalogue::textOf(rs, u"name"_s);
        row.tableParentId = catalogue::longOf(rs, u"table_parent_id"_s, -1);
        rows.append(row);
        rs.MoveNext();
    }
    return rows;
}

QList<ChosenField> readChosenRows(dao::Recordset& rs)
{
    QList<ChosenField> rows;
    while (!rs.Eof()) {
        rows.append(ChosenField{catalogue::longOf(rs, u"id"_s, -1), catalogue::textOf(rs, u"name"_s)});
        rs.MoveNext();
    }
    return rows;
}

QList<DesignChoice> readChoices(dao::Recordset& rs)
{
    QList<DesignChoice> rows;
    while (!rs.Eof()) {
        rows.append(DesignChoice{catalogue::longOf(rs, u"id"_s, -1), catalogue::textOf(rs, u"name"_s)});
        rs.MoveNext();
    }
    return rows;
}

long selectOrFirst(const QList<DesignChoice>& choices, long id)
{
    for (const DesignChoice& c : choices) {
        if (c.id == id && id != -1)
            return id;
    }
    return choices.isEmpty() ? -1 : choices.first().id;
}

long flag(bool on) { return on ? -1 : 0; }

}  // namespace

// The mark that a temporary list is held by a live model: a lock file beside
// the database (QLockFile records the process and host, so a lock left by a
// killed process is recognised as stale) and an entry in this process's set.
class ListDesignModel::Hold {
public:
    explicit Hold(long listId) : m_key(holdKey(listId))
    {
        {
            QMutexLocker locker(&holdMutex());
            heldHere().insert(m_key);
        }
        const QString path = holdFilePath(listId);
        if (path.isEmpty())
            return;
        QDir().mkpath(QFileInfo(path).absolutePath());
        m_lock = std::make_unique<QLockFile>(path);
        m_lock->setStaleLockTime(0);  // only a dead holder makes it stale, never age
        if (!m_lock->tryLock(0))
            m_lock.reset();  // unwritable folder: the age rule of the clean-up applies
    }
    ~Hold()
    {
        if (m_lock)
            m_lock->unlock();
        QMutexLocker locker(&holdMutex());
        heldHere().remove(m_key);
    }

private:
    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
};

// --- the headless condition source -------------------------------------------------

FilterModelConditionSource::FilterModelConditionSource() = default;
FilterModelConditionSource::~FilterModelConditionSource() = default;

bool FilterModelConditionSource::harvest(catalogue::tFilterControlPropertys& record)
{
    if (!m_filter)
        return false;
    return filters::HarvestCondition(*m_filter, record).active;
}

void FilterModelConditionSource::release(const catalogue::tFilterControlPropertys&)
{
    if (m_filter)
        m_filter->setFilterDefault();
    m_filter.reset();
}

bool FilterModelConditionSource::setup(const catalogue::tFilterControlPropertys& record)
{
    m_filter = filters::createFilterForControlType(record.tTFControlType);
    if (!m_filter)
        return false;
    if (!filters::SetFilterControlPropertys(record, *m_filter)) {
        m_filter.reset();
        return false;
    }
    return true;
}

ListDesignModel::ListDesignModel(QObject* parent) : QObject(parent) {}

ListDesignModel::~ListDesignModel()
{
    try {
        discardTemporaryList();
    } catch (...) {
        // The model is going away; a failed discard leaves a temporary list
        // that the next clean-up removes.
    }
}

void ListDesignModel::setUserID(long id)
{
    m_userId = id;
    ctx().userId = id;
}

long ListDesignModel::CurrentItemID() const { return m_list ? m_list->ID() : m_currentItemId; }

long ListDesignModel::listReportId() const { return m_list ? m_list->ID() : -1; }

// --- start-up ------------------------------------------------------------------

bool ListDesignModel::Initialize()
{
    m_initializing = true;
    if (!databaseOpen()) {
        m_initializing = false;
        return false;
    }
    // Work copies of wizards whose process was killed go first.
    if (CleanupStaleTemporaryLists() < 0)
        ctx().currentErrors().Clear();  // not this wizard's business: it starts all the same
    const bool ok = guarded(u"Initialize"_s, [&] {
        for (bool& p : m_processed)
            p = false;
        m_current.reset();
        m_step = 1;
        m_returnValue = 1;
        m_pageChanged = false;
        m_gridStale = true;
        if (m_currentItemId == -1 || !LoadCurrentItem()) {
            m_selectedListType = -1;
            m_currentItemId = -1;
            LoadListWizardTypes(-1);
            LoadReports(-1);
            m_currentItemId = m_selectedReport;
            DisplayCurrentItem();
        }
        return true;
    });
    m_initializing = false;
    Q_EMIT stepChanged(m_step);
    return ok;
}

bool ListDesignModel::LoadCurrentItem()
{
    ListReport list;
    if (!list.CoreLoad(m_currentItemId))
        return false;
    m_selectedListType = list.list_type_id();
    LoadListWizardTypes(m_selectedListType);
    LoadReports(list.ID());
    // The list shown is the one the drop-down selects (another user's list
    // is not offered without AuthenticAllReport).
    m_currentItemId = m_selectedReport;
    DisplayCurrentItem();
    return true;
}

void ListDesignModel::LoadListWizardTypes(long listTypeId)
{
    std::shared_ptr<dao::Recordset> rs;
    m_listTypes.clear();
    if (catalogue::GetListWizardTypeEnableEdit(m_userId, m_modulId, rs) && rs)
        m_listTypes = readChoices(*rs);
    m_selectedListType = selectOrFirst(m_listTypes, listTypeId);
    Q_EMIT listTypesChanged();
}

void ListDesignModel::LoadReports(long listId)
{
    m_reports.clear();
    if (m_selectedListType != -1) {
        std::shared_ptr<dao::Recordset> rs;
        if (catalogue::GetListReportEnableEdit(m_userId, m_selectedListType, m_allReports ? 1 : 0, rs) && rs)
            m_reports = readChoices(*rs);
    }
    m_selectedReport = selectOrFirst(m_reports, listId);
    Q_EMIT reportsChanged();
}

void ListDesignModel::DisplayCurrentItem()
{
    ListReport list;
    if (databaseOpen() && m_currentItemId != -1 && list.CoreLoad(m_currentItemId)) {
        m_name = list.name();
        m_description = list.description();
        m_filterForm = list.filterform() == -1;
        m_detailInvisible = list.detail_invisible() == -1;
        m_private = list.private_report() == -1;
        m_editEnabled = list.create_user() == m_userId;
        if (!m_editEnabled)
            m_mode = DesignMode::New;
    } else {
        m_name.clear();
        m_description.clear();
        m_filterForm = false;
        m_private = false;
    }
    Q_EMIT currentItemChanged();
}

// --- step 1 ----------------------------------------------------------------------

void ListDesignModel::chooseListType(long listTypeId)
{
    if (m_initializing || m_processed[1] || listTypeId == m_selectedListType)
        return;
    m_selectedListType = listTypeId;
    Q_EMIT listTypesChanged();
    LoadReports(-1);
    if (m_selectedReport != -1) {
        m_currentItemId = m_selectedReport;
        DisplayCurrentItem();
    } else {
        m_currentItemId = -1;
    }
}

void ListDesignModel::chooseReport(long listId)
{
    if (m_initializing || m_processed[1])
        return;
    m_selectedReport = listId;
    m_currentItemId = listId;
    Q_EMIT reportsChanged();
    DisplayCurrentItem();
}

void ListDesignModel::setName(const QString& t)
{
    if (m_name != t) {
        m_name = t;
        Q_EMIT currentItemChanged();
    }
}
void ListDesignModel::setDescription(const QString& t)
{
    if (m_description != t) {
        m_description = t;
        Q_EMIT currentItemChanged();
    }
}
void ListDesignModel::setFilterForm(bool on)
{
    if (m_filterForm != on) {
        m_filterForm = on;
        Q_EMIT currentItemChanged();
    }
}
void ListDesignModel::setDetailInvisible(bool on)
{
    if (m_detailInvisible != on) {
        m_detailInvisible = on;
        Q_EMIT currentItemChanged();
    }
}
void ListDesignModel::setPrivateReport(bool on)
{
    if (m_private != on) {
        m_private = on;
        Q_EMIT currentItemChanged();
    }
}

bool ListDesignModel::setMode(DesignMode mode)
{
    if (m_processed[1])
        return mode == m_mode;
    if (mode == DesignMode::Edit && !m_editEnabled)
        return false;
    if (m_mode != mode) {
        m_mode = mode;
        Q_EMIT currentItemChanged();
    }
    return true;
}

// --- navigation ---------------------------------------------------------------------

QString ListDesignModel::nextCaption() const { return text(m_step == 5 ? 3003 : 3002); }

bool ListDesignModel::validateStep(int direction)
{
    bool ok = true;
    auto fail = [&](int id) {
        AddError(0, text(id));
        ok = false;
    };
    switch (m_step) {
    case 1:
        if (direction < 0) {
            fail(5011);
            break;
        }
        if (!databaseOpen()) {
            fail(5010);
            break;
        }
        if (m_name.trimmed().isEmpty())
            fail(5006);
        if (m_mode == DesignMode::New && m_selectedListType == -1)
            fail(5007);
        if (m_mode == DesignMode::Edit && m_selectedReport == -1)
            fail(5008);
        if (m_mode == DesignMode::Copy && m_selectedReport == -1)
            fail(5009);
        break;
    case 2:
        if (direction > 0 && m_detailInvisible && m_groupChosen.isEmpty())
            fail(30036);
        break;
    case 3:
        if (direction > 0 && m_visibleChosen.isEmpty())
            fail(5012);
        break;
    default:
        break;
    }
    return ok;
}

bool ListDesignModel::move(int direction)
{
    direction = direction < 0 ? -1 : 1;
    if (m_returnValue == 0)
        return false;  // finished: nothing more to do
    if (!validateStep(direction))
        return false;
    if (!guarded(u"ProcessCurrentStep"_s, [&] { return ProcessCurrentStep(direction); }))
        return false;
    if (direction > 0 && m_step == 5) {
        m_returnValue = 0;
        m_pageChanged = false;
        Q_EMIT done(0);
        return true;
    }
    m_step += direction;
    m_pageChanged = false;
    Q_EMIT pageChangedChanged(false);
    Q_EMIT stepChanged(m_step);
    return true;
}

bool ListDesignModel::ProcessCurrentStep(int direction)
{
    switch (m_step) {
    case 1:
        return ProcessStep1(direction);
    case 2:
        return ProcessStep2(direction);
    case 3:
        return ProcessStep3(direction);
    case 4:
        return ProcessStep4(direction);
    case 5:
        return ProcessStep5(direction);
    default:
        return false;
    }
}

bool ListDesignModel::ProcessStep1(int direction)
{
    if (direction < 0)
        return true;
    return guarded(u"ProcessStep1"_s, [&] {
        if (!m_processed[1]) {
            bool failed = false;
            std::shared_ptr<ListReport> list;
            if (m_mode == DesignMode::New) {
                list = std::make_shared<ListReport>();
                list->CoreDefault();
                list->set_list_type_id(m_selectedListType);
            } else {
                ListReport source;
                if (!source.CoreLoad(m_selectedReport)) {
                    failed = true;
                } else {
                    list = source.DBClone(m_mode == DesignMode::Edit ? ectModify : ectCopy);
                    failed = !list;
                }
            }
            if (!failed) {
                m_list = list;
                if (m_list->ID() > 0)  // a work copy exists from here on
                    m_hold = std::make_unique<Hold>(m_list->ID());
                m_list->set_name(m_name.trimmed());
                m_list->set_description(m_description.trimmed());
                m_list->set_filterform(flag(m_filterForm));
                m_list->set_detail_invisible(flag(m_detailInvisible));
                m_list->set_private_report(flag(m_private));
                if (m_mode == DesignMode::Copy)
                    m_list->set_create_user(m_userId);
                m_list->SetModified();
                m_list->SetFinal();
                m_list->set_temp_status(1);
                failed = !m_list->CoreUpdate(false);
                if (!failed && !m_hold)
                    m_hold = std::make_unique<Hold>(m_list->ID());
            }
            if (!failed) {
                m_type = std::make_shared<ListWizardType>();
                failed = !m_type->CoreLoad(m_list->list_type_id());
            }
            if (failed) {
                // Nothing half-made stays behind; the next move forward tries again.
                discardTemporaryList();
                m_type.reset();
                return false;
            }
            m_currentItemId = m_list->ID();
            m_processed[1] = true;
            Q_EMIT currentItemChanged();
        }
        if (!m_processed[2]) {
            if (!fillPage(2))
                return false;
            m_processed[2] = true;
        }
        return true;
    });
}

bool ListDesignModel::ProcessStep2(int direction)
{
    return guarded(u"ProcessStep2"_s, [&] {
        if (chosenDiffersFromStore(FieldPage::Group) && !saveChosen(FieldPage::Group))
            return false;
        if (direction > 0 && !m_processed[3]) {
            if (!fillPage(3))
                return false;
            m_processed[3] = true;
        }
        return true;
    });
}

bool ListDesignModel::ProcessStep3(int direction)
{
    return guarded(u"ProcessStep3"_s, [&] {
        if (chosenDiffersFromStore(FieldPage::Visible)) {
            if (!saveChosen(FieldPage::Visible))
                return false;
            m_gridStale = true;
        }
        if (direction > 0)
            return LoadAggregateFieldToGrid();
        return true;
    });
}

bool ListDesignModel::ProcessStep4(int direction)
{
    return guarded(u"ProcessStep4"_s, [&] {
        if (!saveAggregates())
            return false;
        if (direction > 0 && !m_processed[5]) {
            if (!fillPage(5))
                return false;
            m_processed[5] = true;
        }
        return true;
    });
}

bool ListDesignModel::ProcessStep5(int direction)
{
    if (direction < 0)
        return true;
    return guarded(u"ProcessStep5"_s, [&] {
        if (!m_list)
            return false;
        if (!InitCurrentFilterControl(kFinalSaveFieldId))
            return false;
        QString where = m_sqlWhere;
        QString stored, test;
        long depth = -1;
        if (!report::GenerateListStatement(m_list->ID(), m_list->list_type_id(), where, m_userId, stored, test, depth))
            return false;
        if (!catalogue::TestSQLStatement(test))
            return false;
        // Step 1's boxes may have been changed on a later visit of step 1.
        m_list->set_detail_invisible(flag(m_detailInvisible));
        m_list->set_private_report(flag(m_private));
        XMLSourceGenerator generator;
        generator.setListReportID(m_list->ID());
        generator.setDetailInvisible(m_detailInvisible);
        generator.setReportFields(m_list->ReportFields());
        generator.setReportGroups(m_list->ReportGroups());
        generator.setTableFieldNameCompletteOnReport(m_namesOnReport);
        generator.setTableFieldNameCompletteOnUI(m_namesOnUI);
        generator.setSQLDescription(m_sqlDescription);
        generator.setReportFolder(m_reportFolder);
        if (!generator.GenerateXMLSource())
            return false;
        m_list->set_report_file(generator.ReportName());
        m_list->set_sql_source(stored);
        m_list->set_filterform(flag(m_filterForm));
        m_list->set_sql_description(m_sqlDescription);
        m_list->set_name(m_name.trimmed());
        m_list->set_description(m_description.trimmed());
        m_list->set_table_priority(depth);
        m_list->SetModified();
        m_list->SetFinal();
        m_list->SetModified();
        if (!m_list->CoreUpdate(true)) {
            // The report file belongs to a list that stays temporary.
            QFile::remove(generator.ReportPath());
            return false;
        }
        m_committed = true;
        m_currentItemId = m_list->ID();
        m_hold.reset();
        return true;
    });
}

void ListDesignModel::Exit()
{
    m_returnValue = 1;
    guarded(u"Exit"_s, [&] {
        discardTemporaryList();
        return true;
    });
    Q_EMIT done(1);
}

void ListDesignModel::discardTemporaryList()
{
    if (m_list && !m_committed && m_list->ID() > 0 && databaseOpen()) {
        ListReport stored;
        if (stored.CoreLoad(m_list->ID()) ? stored.temp_status() > 0 : true)
            m_list->DeleteTempItem();
    }
    if (!m_committed)
        m_list.reset();
    m_hold.reset();
}

// --- pages -------------------------------------------------------------------------

bool ListDesignModel::fillPage(int step)
{
    if (!m_type || !m_list)
        return false;
    const long typeId = m_type->ID();
    const long listId = m_list->ID();
    std::shared_ptr<dao::Recordset> rs;
    switch (step) {
    case 2:
    case 3: {
        const FieldPage page = step == 2 ? FieldPage::Group : FieldPage::Visible;
        const eReportFieldFillType fill = step == 2 ? eRFFTFieldGroupable : eRFFTFieldVisibled;
        if (!catalogue::LoadReportFieldToControl(typeId, listId, fill, eRFFSTFieldFree, m_namesOnUI, rs) || !rs)
            return false;
        (step == 2 ? m_groupFree : m_visibleFree) = readFreeRows(*rs);
        if (!catalogue::LoadReportFieldToControl(typeId, listId, fill, eRFFSTFieldUsed, m_namesOnUI, rs) || !rs)
            return false;
        chosen(page) = readChosenRows(*rs);
        Q_EMIT freeFieldsChanged(step);
        Q_EMIT chosenFieldsChanged(step);
        return true;
    }
    case 5:
        if (!catalogue::LoadReportFieldToControl(typeId, listId, eRFFTFieldFiltered, eRFFSTFieldFree, m_namesOnUI, rs)
            || !rs)
            return false;
        m_whereFields = readFreeRows(*rs);
        GetReportSQLDescription();
        Q_EMIT freeFieldsChanged(5);
        return true;
    default:
        return false;
    }
}

QList<ChosenField>& ListDesignModel::chosen(FieldPage page)
{
    return page == FieldPage::Group ? m_groupChosen : m_visibleChosen;
}

const QList<FreeFieldRow>& ListDesignModel::freeFields(FieldPage page) const
{
    return page == FieldPage::Group ? m_groupFree : m_visibleFree;
}

const QList<ChosenField>& ListDesignModel::chosenFields(FieldPage page) const
{
    return page == FieldPage::Group ? m_groupChosen : m_visibleChosen;
}

bool ListDesignModel::addField(FieldPage page, long tableFieldId)
{
    QList<ChosenField>& list = chosen(page);
    if (page == FieldPage::Group && list.size() >= kMaxGroupFields)
        return false;
    for (const ChosenField& f : list) {
        if (f.tableFieldId == tableFieldId)
            return false;
    }
    for (const FreeFieldRow& row : freeFields(page)) {
        if (row.fieldId == tableFieldId) {
            list.append(ChosenField{tableFieldId, row.caption});
            setPageChanged();
            Q_EMIT chosenFieldsChanged(int(page));
            Q_EMIT pageChangedChanged(true);
            return true;
        }
    }
    return false;
}

int ListDesignModel::removeField(FieldPage page, int index)
{
    QList<ChosenField>& list = chosen(page);
    if (index < 0 || index >= list.size())
        return list.isEmpty() ? -1 : 0;
    list.removeAt(index);
    setPageChanged();
    Q_EMIT chosenFieldsChanged(int(page));
    Q_EMIT pageChangedChanged(true);
    if (list.isEmpty())
        return -1;
    return index > 0 ? index - 1 : 0;
}

int ListDesignModel::moveField(FieldPage page, int index, int delta)
{
    QList<ChosenField>& list = chosen(page);
    setPageChanged();  // every key press on a chosen list counts as a change
    Q_EMIT pageChangedChanged(true);
    const int target = index + (delta < 0 ? -1 : 1);
    if (index < 0 || index >= list.size() || target < 0 || target >= list.size())
        return index;
    list.swapItemsAt(index, target);
    Q_EMIT chosenFieldsChanged(int(page));
    return target;
}

bool ListDesignModel::setChosenFields(FieldPage page, const QList<long>& tableFieldIds)
{
    QList<ChosenField> result;
    for (long id : tableFieldIds) {
        if (page == FieldPage::Group && result.size() >= kMaxGroupFields) {
            AddError(0, LoadResString(32111).arg(kMaxGroupFields));
            return false;
        }
        const FreeFieldRow* found = nullptr;
        for (const FreeFieldRow& row : freeFields(page)) {
            if (row.fieldId == id)
                found = &row;
        }
        bool duplicate = false;
        for (const ChosenField& f : result)
            duplicate = duplicate || f.tableFieldId == id;
        if (!found || duplicate) {
            AddError(0, (duplicate ? LoadResString(32112)
                                   : page == FieldPage::Group ? LoadResString(32113)
                                                              : LoadResString(32114))
                            .arg(id));
            return false;
        }
        result.append(ChosenField{id, found->caption});
    }
    if (result != chosen(page)) {
        chosen(page) = result;
        setPageChanged();
        Q_EMIT chosenFieldsChanged(int(page));
        Q_EMIT pageChangedChanged(true);
    }
    return true;
}

bool ListDesignModel::chosenDiffersFromStore(FieldPage page)
{
    if (!m_list)
        return false;
    QList<long> stored;
    if (page == FieldPage::Group) {
        const auto groups = m_list->ReportGroups();
        for (const auto& g : groups)
            stored.append(g->table_field_id());
    } else {
        const auto fields = m_list->ReportFields();
        for (const auto& f : fields)
            stored.append(f->table_field_id());
    }
    QList<long> shown;
    for (const ChosenField& f : chosen(page))
        shown.append(f.tableFieldId);
    return stored != shown;
}

namespace {

// The Part-4.5 save of a chosen list onto the list's child records: surplus
// records are deleted from the front, the rest are rewritten in order, new
// ones are added.
template <class Child, class Collection, class Fetch, class Extra>
bool saveChildren(long listId, const QList<ChosenField>& chosenList, Fetch fetch, const QString& resetSortOrder,
                  Extra extra)
{
    Collection records = fetch();
    const qsizetype n = records.Count();
    const qsizetype l = chosenList.size();
    if (n > l) {
        qsizetype removed = 0;
        for (const auto& record : records) {
            if (removed == n - l)
                break;
            if (!record->Delete() || !record->SetFinal() || !record->CoreUpdate())
                return false;
            ++removed;
        }
        // Every record gets sort order 1 first, so the keyed read of the live
        // records (list, sort order 1, not deleted) finds all that remain.
        catalogue::activeDatabase().Execute(resetSortOrder + QString::number(listId));
        records = fetch();
    }
    qsizetype i = 0;
    for (const auto& record : records) {
        if (i >= l)
            break;
        record->set_vlq_list_report_id(listId);
        record->set_table_field_id(chosenList.at(i).tableFieldId);
        record->set_sort_order(long(i + 1));
        extra(*record);
        record->SetModified();
        if (!record->SetFinal() || !record->CoreUpdate())
            return false;
        ++i;
    }
    for (; i < l; ++i) {
        Child record;
        record.set_vlq_list_report_id(listId);
        record.set_table_field_id(chosenList.at(i).tableFieldId);
        record.set_sort_order(long(i + 1));
        extra(record);
        record.SetModified();
        if (!record.SetFinal() || !record.CoreUpdate())
            return false;
    }
    return true;
}

}  // namespace

bool ListDesignModel::saveChosen(FieldPage page)
{
    const long listId = m_list->ID();
    if (page == FieldPage::Group) {
        return saveChildren<ListReportGroupField, ListReport::Groups>(
            listId, m_groupChosen, [&] { return m_list->ReportGroups(); },
            u"update vlq_list_report_group_field set sort_order=1 where vlq_list_report_id="_s,
            [](ListReportGroupField&) {});
    }
    return saveChildren<ListReportVisibleField, ListReport::Fields>(
        listId, m_visibleChosen, [&] { return m_list->ReportFields(); },
        u"update vlq_list_report_visible_field set sort_order=1 where vlq_list_report_id="_s,
        [](ListReportVisibleField& f) {
            for (int level = 1; level <= 10; ++level)
                f.setGroupAggregate(level, eRFATUnknown);
            f.set_total_aggregate(eRFATUnknown);
        });
}

// --- step 4 -------------------------------------------------------------------------

bool ListDesignModel::LoadAggregateFieldToGrid()
{
    if (!m_gridStale)
        return true;
    if (!m_list || !m_type)
        return false;
    return guarded(u"LoadAggregateFieldToGrid"_s, [&] {
        const auto groups = m_list->ReportGroups();
        QStringList captions;
        for (const auto& g : groups)
            captions.append(catalogue::GetTableFieldName(g->table_field_id(), m_namesOnUI));
        const int levels = int(std::min<qsizetype>(captions.size(), 10));
        m_grid.reset(captions.mid(0, levels));
        std::shared_ptr<dao::Recordset> rs;
        if (!catalogue::LoadReportFieldToControl(m_type->ID(), m_list->ID(), eRFFTFieldAggregated, eRFFSTFieldUsed,
                                                 m_namesOnUI, rs)
            || !rs)
            return false;
        while (!rs->Eof()) {
            ListReportVisibleField field;
            if (!field.CoreLoad(catalogue::longOf(*rs, u"id"_s, -1)))
                return false;
            const int row = m_grid.addRow(field.ID(), catalogue::textOf(*rs, u"name"_s),
                                          catalogue::GetTableFieldDataType(field.table_field_id()));
            for (int k = 1; k <= levels; ++k)
                m_grid.setCellCode(row, k, field.groupAggregate(k));
            m_grid.setCellCode(row, m_grid.columnCount() - 1, field.total_aggregate());
            rs->MoveNext();
        }
        m_gridStale = false;
        Q_EMIT aggregateGridChanged();
        return true;
    });
}

bool ListDesignModel::saveAggregates()
{
    const int columns = m_grid.columnCount();
    for (int row = 1; row < m_grid.rowCount(); ++row) {
        ListReportVisibleField field;
        if (!field.CoreLoad(m_grid.rowFieldId(row)))
            return false;
        for (int k = 1; k <= 10; ++k)
            field.setGroupAggregate(k, columns >= k + 2 ? m_grid.cellData(row, k) : eRFATUnknown);
        field.set_total_aggregate(m_grid.cellData(row, columns - 1));
        field.SetModified();
        if (!field.SetFinal() || !field.CoreUpdate())
            return false;
    }
    return true;
}

bool ListDesignModel::chooseAggregate(int row, int column, long code)
{
    const bool changed = m_grid.chooseAggregate(row, column, code);
    if (changed) {
        m_pageChanged = true;
        Q_EMIT aggregateGridChanged();
        Q_EMIT pageChangedChanged(true);
    }
    return changed;
}

int ListDesignModel::AutomaticFillAgregate(long dataType, long code, bool allCells)
{
    const int changed = m_grid.AutomaticFillAgregate(dataType, code, allCells);
    if (changed > 0) {
        m_pageChanged = true;
        Q_EMIT aggregateGridChanged();
        Q_EMIT pageChangedChanged(true);
    }
    return changed;
}

bool ListDesignModel::runAutoFillCommand(int commandId)
{
    const AutoFillCommand* command = findAutoFillCommand(commandId);
    if (!command)
        return false;
    AutomaticFillAgregate(command->dataType, command->code, command->allCells);
    return true;
}

bool ListDesignModel::setFieldAggregates(long tableFieldId, const QList<long>& codes)
{
    if (!LoadAggregateFieldToGrid())
        return false;
    int row = -1;
    for (int r = 1; r < m_grid.rowCount() && row < 0; ++r) {
        ListReportVisibleField field;
        if (field.CoreLoad(m_grid.rowFieldId(r)) && field.table_field_id() == tableFieldId)
            row = r;
    }
    if (row < 0) {
        AddError(0, LoadResString(32115).arg(tableFieldId));
        return false;
    }
    if (codes.size() != m_grid.columnCount() - 1) {
        AddError(0, LoadResString(32116).arg(tableFieldId)
                        .arg(m_grid.columnCount() - 1));
        return false;
    }
    const QList<long> allowed = m_grid.choices(row);
    for (long code : codes) {
        if (code != eRFATUnknown && !allowed.contains(code)) {
            AddError(0, LoadResString(32117).arg(code).arg(tableFieldId));
            return false;
        }
    }
    for (int column = 1; column < m_grid.columnCount(); ++column)
        chooseAggregate(row, column, codes.at(column - 1));
    return true;
}

// --- step 5 -------------------------------------------------------------------------

bool ListDesignModel::InitCurrentFilterControl(long tableFieldId)
{
    if (tableFieldId == m_current.tTFID && tableFieldId != kFinalSaveFieldId)
        return true;
    return guarded(u"InitCurrentFilterControl"_s, [&] {
        if (m_current.tTFID != -1 && m_conditionSource) {
            if (m_conditionSource->harvest(m_current)) {
                if (!SaveWhereField(false))
                    return false;
            } else if (m_current.tWFID != -1) {
                if (!SaveWhereField(true))
                    return false;
            }
        }
        GetReportSQLDescription();
        if (tableFieldId == kFinalSaveFieldId)
            return true;
        if (m_current.tTFID != -1 && m_conditionSource)
            m_conditionSource->release(m_current);
        m_current.reset();
        if (tableFieldId == -1) {
            Q_EMIT currentFilterControlChanged();
            return true;
        }
        if (!catalogue::GetTableFieldFilterControlPropertys(tableFieldId, listReportId(), m_namesOnReport, m_current)) {
            m_current.reset();
            Q_EMIT currentFilterControlChanged();
            return false;
        }
        const bool ok = !m_conditionSource || m_conditionSource->setup(m_current);
        Q_EMIT currentFilterControlChanged();
        return ok;
    });
}

bool ListDesignModel::SaveWhereField(bool remove)
{
    if (!m_list)
        return false;
    return guarded(u"SaveWhereField"_s, [&] {
        ListReportWhereField where;
        if (m_current.tWFID != -1 && !where.CoreLoad(m_current.tWFID))
            return false;
        if (remove) {
            where.Delete();
            where.SetFinal();
        } else {
            where.set_vlq_list_report_id(m_list->ID());
            where.set_table_field_id(m_current.tTFID);
            where.set_sql_where(m_current.tWFSQLWhere);
            where.set_sql_description(m_current.tWFSQLDescription);
            switch (m_current.tTFControlType) {
            case eRFFCTQueryInputLongNumber:
            case eRFFCTQueryInputDecimalNumber:
                where.set_number_from(QVariant(m_current.tWFNumberFrom));
                where.set_number_to(QVariant(m_current.tWFNumberTo));
                where.set_not_value(m_current.tWFNotValue);
                where.set_relation_type(m_current.tWFRelationType);
                break;
            case eRFFCTQueryInputDate:
                where.set_date_from(m_current.tWFDateFrom);
                where.set_date_to(m_current.tWFDateTo);
                where.set_not_value(m_current.tWFNotValue);
                where.set_relation_type(m_current.tWFRelationType);
                break;
            case eRFFCTQueryInputString:
                where.set_text_from(m_current.tWFTextFrom);
                where.set_text_to(m_current.tWFTextTo);
                where.set_not_value(m_current.tWFNotValue);
                where.set_relation_type(m_current.tWFRelationType);
                break;
            case eRFFCTQueryCheckBox:
                where.set_boolean_value(m_current.tWFBooleanValue);
                break;
            default:
                where.set_selected_items(m_current.tWFSelectedItems);
                break;
            }
            where.SetModified();
            where.SetFinal();
        }
        if (!where.CoreUpdate())
            return false;
        // The record keeps describing what is stored, so a second save of
        // the same field rewrites its row instead of adding another.
        m_current.tWFID = remove ? -1 : qint32(where.ID());
        return true;
    });
}

bool ListDesignModel::storeCondition(const catalogue::tFilterControlPropertys& record)
{
    if (!m_list)
        return false;
    const catalogue::tFilterControlPropertys saved = m_current;
    m_current = record;
    long whereId = -1;
    catalogue::GetWhereFieldIDFromTableField(m_list->ID(), record.tTFID, whereId);
    m_current.tWFID = qint32(whereId);
    const bool ok = SaveWhereField(false);
    m_current = saved;
    if (m_current.tTFID == record.tTFID)
        m_current.tWFID = qint32(whereId == -1 ? m_current.tWFID : whereId);
    GetReportSQLDescription();
    return ok;
}

QString ListDesignModel::GetReportSQLDescription()
{
    QString description;
    QString where;
    if (m_list) {
        guarded(u"GetReportSQLDescription"_s, [&] {
            const auto wheres = m_list->ReportWheres();
            for (const auto& w : wheres) {
                if (description.trimmed().isEmpty()) {
                    description = w->sql_description();
                    where = w->sql_where();
                } else {
                    description += text(30002) + w->sql_description();
                    where += u" AND "_s + w->sql_where();
                }
            }
            return true;
        });
    }
    m_sqlWhere = where;
    if (m_sqlDescription != description) {
        m_sqlDescription = description;
        Q_EMIT sqlDescriptionChanged(description);
    }
    return description;
}

// --- clean-up of temporary lists left behind ----------------------------------------------

QString ListDesignModel::holdFilePath(long listId)
{
    const QString name = databaseName();
    if (!fileDatabase(name))
        return QString();
    const QFileInfo info(name);
    return info.absolutePath() + u'/' + info.fileName() + u".wizard/list"_s + QString::number(listId) + u".lock"_s;
}

int ListDesignModel::CleanupStaleTemporaryLists(long unlockedAgeSeconds)
{
    if (!databaseOpen())
        return -1;
    int removed = 0;
    const bool ok = guarded(u"CleanupStaleTemporaryLists"_s, [&] {
        dao::Database& db = *ctx().database;
        struct Candidate {
            long id;
            QDateTime written;
        };
        QList<Candidate> candidates;
        {
            auto rs = db.OpenRecordset(
                u"select id, last_action_date1 from vlq_list_report where temp_status>0 order by id"_s,
                dao::RecordsetType::Snapshot);
            while (!rs->Eof()) {
                candidates.append(Candidate{long(rs->Fields(u"id"_s).toLongLong()),
                                            rs->Fields(u"last_action_date1"_s).toDateTime()});
                rs->MoveNext();
            }
        }
        const QDateTime now = QDateTime::currentDateTime();
        for (const Candidate& c : candidates) {
            {
                QMutexLocker locker(&holdMutex());
                if (heldHere().contains(holdKey(c.id)))
                    continue;  // a live model of this process holds it
            }
            const QString path = holdFilePath(c.id);
            std::unique_ptr<QLockFile> lock;
            if (!path.isEmpty() && QFileInfo::exists(path)) {
                lock = std::make_unique<QLockFile>(path);
                lock->setStaleLockTime(0);
                if (!lock->tryLock(0))
                    continue;  // its holder is alive
            } else if (!c.written.isValid() || c.written.secsTo(now) < unlockedAgeSeconds) {
                continue;  // no holder known: only an old one is taken for left behind
            }
            // Removed only while still temporary, row and children together.
            dao::Transaction transaction(db);
            const QVariantList id{qlonglong(c.id)};
            db.Execute(u"delete * from vlq_list_report where id=? and temp_status>0"_s, id);
            if (db.RecordsAffected() == 1) {
                db.Execute(u"delete * from vlq_list_report_group_field where vlq_list_report_id=?"_s, id);
                db.Execute(u"delete * from vlq_list_report_where_field where vlq_list_report_id=?"_s, id);
                db.Execute(u"delete * from vlq_list_report_visible_field where vlq_list_report_id=?"_s, id);
                transaction.commit(dao::dbForceOSFlush);
                ++removed;
            }
            if (lock)
                lock->unlock();
        }
        db.Idle(dao::dbFreeLocks);
        return true;
    });
    return ok ? removed : -1;
}

}  // namespace lg::controls
