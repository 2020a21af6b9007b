#include "controls/prefiltermodel.h"

#include "catalogue/fieldcatalogue.h"
#include "filters/conditionharvest.h"
#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "platform/strings.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/records.h"

#include <QtCore/QSet>

using namespace Qt::StringLiterals;

namespace lg::controls {

using catalogue::tFilterControlPropertys;

const QString PreFilterModel::kSource = u"vlqTabula2.frmPreFilter"_s;

namespace {

QString storeKey(long tableFieldId) { return u"WF"_s + QString::number(tableFieldId); }

// Records a failure with the dialog's source and the operation's name.
template <class F> bool guarded(const QString& procedure, F&& body)
{
    try {
        return body();
    } catch (const RuntimeError& e) {
        AddError(e.number(), e.description() + u"\r\n"_s + PreFilterModel::kSource + u" in Function "_s + procedure);
    } catch (const std::exception& e) {
        AddError(errnum::Internal,
                 QString::fromUtf8(e.what()) + u"\r\n"_s + PreFilterModel::kSource + u" in Function "_s + procedure);
    }
    return false;
}

}  // namespace

struct PreFilterModel::Private {
    PreFilterRequest request;
    bool initialized = false;
    QList<ui::FieldTreeRow> rows;
    QSet<long> offered;
    tFilterControlPropertys current;
    QList<QPair<QString, tFilterControlPropertys>> store;
    QString where;
    QString description;

    int indexOf(const QString& key) const
    {
        for (int i = 0; i < store.size(); ++i) {
            if (store[i].first == key)
                return i;
        }
        return -1;
    }
};

PreFilterModel::PreFilterModel(const PreFilterRequest& request) : d(std::make_unique<Private>())
{
    d->request = request;
    d->description = request.originalSqlDescription;
}

PreFilterModel::~PreFilterModel() = default;

const PreFilterRequest& PreFilterModel::request() const { return d->request; }

bool PreFilterModel::Initialize()
{
    d->initialized = false;
    d->rows.clear();
    d->offered.clear();
    d->store.clear();
    d->current.reset();
    if (!ctx().database) {
        AddError(errnum::Database, LoadResString(32118) + u"\r\n"_s + kSource + u" in Function Initialize"_s);
        return false;
    }
    const bool loaded = guarded(u"Initialize"_s, [&] {
        ListWizardType type;
        if (!type.CoreLoad(d->request.listTypeId)) {
            AddError(errnum::Internal, LoadResString(32119).arg(d->request.listTypeId)
                                           + u"\r\n"_s + kSource + u" in Function Initialize"_s);
            return false;
        }
        return true;
    });
    if (!loaded)
        return false;
    const bool filled = guarded(u"FillFilteredField"_s, [&] {
        std::shared_ptr<dao::Recordset> rs;
        if (!catalogue::LoadReportFieldToControl(d->request.listTypeId, d->request.tablePriority,
                                                 eRFFTFieldPreFiltered, eRFFSTFieldFree,
                                                 d->request.tableFieldNameCompletteOnUI, rs)
            || !rs)
            return false;
        d->rows = ui::readFieldTreeRows(*rs);
        for (const ui::FieldTreeRow& row : d->rows)
            d->offered.insert(row.fieldId);
        return true;
    });
    if (!filled)
        return false;
    GetReportSQLDescription();
    d->initialized = true;
    return true;
}

bool PreFilterModel::isInitialized() const { return d->initialized; }

const QList<ui::FieldTreeRow>& PreFilterModel::fieldRows() const { return d->rows; }

bool PreFilterModel::offersField(long tableFieldId) const { return d->offered.contains(tableFieldId); }

const tFilterControlPropertys& PreFilterModel::current() const { return d->current; }

bool PreFilterModel::InitCurrentFilterControl(long tableFieldId, filters::QueryFilter* currentFilter)
{
    if (tableFieldId == d->current.tTFID)
        return true;
    if (d->current.tTFID != -1) {
        const filters::HarvestedCondition condition =
            currentFilter ? filters::HarvestCondition(*currentFilter, d->current) : filters::HarvestedCondition{};
        if (condition.active)
            SaveWhereField(false);
        else if (d->current.hasCondition())
            SaveWhereField(true);
    }
    GetReportSQLDescription();
    if (tableFieldId == kConfirm)
        return true;

    d->current.reset();
    if (tableFieldId == -1)
        return true;
    if (!offersField(tableFieldId)) {
        AddError(errnum::Internal, LoadResString(32120).arg(tableFieldId) + u"\r\n"_s
                                       + kSource + u" in Function InitCurrentFilterControl"_s);
        return false;
    }
    tFilterControlPropertys record;
    if (!catalogue::GetTableFieldFilterControlPropertys(tableFieldId, kListId,
                                                        d->request.tableFieldNameCompletteOnReport, record)) {
        AddError(errnum::Internal, LoadResString(32121).arg(tableFieldId)
                                       + u"\r\n"_s + kSource + u" in Function InitCurrentFilterControl"_s);
        return false;
    }
    // The field's extra condition, if it has one, comes back from the store.
    if (const tFilterControlPropertys* stored = entry(storeKey(tableFieldId))) {
        record.tWFNotValue = stored->tWFNotValue;
        record.tWFRelationType = stored->tWFRelationType;
        record.tWFDateFrom = stored->tWFDateFrom;
        record.tWFDateTo = stored->tWFDateTo;
        record.tWFNumberFrom = stored->tWFNumberFrom;
        record.tWFNumberTo = stored->tWFNumberTo;
        record.tWFTextFrom = stored->tWFTextFrom;
        record.tWFTextTo = stored->tWFTextTo;
        record.tWFBooleanValue = stored->tWFBooleanValue;
        record.tWFSelectedItems = stored->tWFSelectedItems;
        record.tWFSQLDescription = stored->tWFSQLDescription;
        record.tWFSQLWhere = stored->tWFSQLWhere;
        record.tWFID = 1;
    }
    d->current = record;
    return true;
}

bool PreFilterModel::SaveWhereField(bool deleteFlag)
{
    if (d->current.tTFID == -1)
        return true;
    const QString key = storeKey(d->current.tTFID);
    const int at = d->indexOf(key);
    if (deleteFlag) {
        if (at >= 0)
            d->store.removeAt(at);
        d->current.tWFID = -1;
        return true;
    }
    tFilterControlPropertys copy = d->current;
    copy.tWFID = 1;
    if (at >= 0)
        d->store[at].second = copy;
    else
        d->store.append({key, copy});
    d->current.tWFID = 1;
    return true;
}

QString PreFilterModel::GetReportSQLDescription()
{
    // Where clauses and descriptions are joined each on its own, so a
    // condition without a description still keeps its clause.
    QStringList wheres;
    QStringList descriptions;
    for (const auto& [key, record] : d->store) {
        if (!record.tWFSQLWhere.trimmed().isEmpty())
            wheres << record.tWFSQLWhere;
        if (!record.tWFSQLDescription.trimmed().isEmpty())
            descriptions << record.tWFSQLDescription;
    }
    const QString joiner = LoadResString(30002);
    QString description = descriptions.join(joiner);
    const QString& original = d->request.originalSqlDescription;
    if (description.trimmed().isEmpty())
        description = original;
    else if (!original.trimmed().isEmpty())
        description = original + joiner + description;
    d->where = wheres.join(u" AND "_s);
    d->description = description;
    return description;
}

QStringList PreFilterModel::keys() const
{
    QStringList out;
    for (const auto& entry : d->store)
        out << entry.first;
    return out;
}

const tFilterControlPropertys* PreFilterModel::entry(const QString& key) const
{
    const int at = d->indexOf(key);
    return at < 0 ? nullptr : &d->store[at].second;
}

QString PreFilterModel::sqlFieldWhere() const { return d->where; }

QString PreFilterModel::sqlDescription() const { return d->description; }

PreFilterAnswer PreFilterModel::answer(int returnValue) const
{
    PreFilterAnswer a;
    a.initialized = d->initialized;
    a.returnValue = returnValue;
    if (returnValue == 0) {
        a.sqlFieldWhere = d->where;
        a.sqlDescription = d->description;
    }
    return a;
}

}  // namespace lg::controls
