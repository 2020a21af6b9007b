#include "filters/conditionharvest.h"

#include "filters/checkboxfiltermodel.h"
#include "filters/listboxfiltermodel.h"
#include "filters/querycontainermodel.h"
#include "filters/textfiltermodel.h"
#include "filters/filtercontrolsetup.h"

namespace lg::filters {

using catalogue::tFilterControlPropertys;

namespace {

QDateTime asDateTime(const QVariant& value, const QDateTime& otherwise)
{
    if (value.typeId() == QMetaType::QDateTime && value.toDateTime().isValid())
        return value.toDateTime();
    if (value.typeId() == QMetaType::QDate && value.toDate().isValid())
        return value.toDate().startOfDay();
    return otherwise;
}

}  // namespace

bool filterFitsControlType(const QueryFilter& filter, int controlType)
{
    switch (controlType) {
    case catalogue::fctNumberLong:
    case catalogue::fctNumberDecimal:
    case catalogue::fctDate:
    case catalogue::fctText:
        return filter.kind() == QueryFilter::Kind::Text;
    case catalogue::fctCheckBox:
        return filter.kind() == QueryFilter::Kind::CheckBox;
    case catalogue::fctListBox:
        return filter.kind() == QueryFilter::Kind::ListBox;
    case catalogue::fctContainer:
        return filter.kind() == QueryFilter::Kind::Container;
    case catalogue::fctTextListBox:
        return filter.kind() == QueryFilter::Kind::TextListBox;
    default:
        return false;
    }
}

std::unique_ptr<QueryFilter> createFilterForControlType(int controlType, QObject* parent)
{
    switch (controlType) {
    case catalogue::fctNumberLong:
    case catalogue::fctNumberDecimal:
    case catalogue::fctDate:
    case catalogue::fctText: {
        auto f = std::make_unique<TextFilterModel>(parent);
        f->setInputType(inputTypeForControlType(controlType));
        return f;
    }
    case catalogue::fctCheckBox:
        return std::make_unique<CheckBoxFilterModel>(parent);
    case catalogue::fctListBox:
        return std::make_unique<ListBoxFilterModel>(ListBoxFilterModel::Keys::Numeric, parent);
    case catalogue::fctContainer:
        return std::make_unique<QueryContainerModel>(parent);
    case catalogue::fctTextListBox:
        return std::make_unique<ListBoxFilterModel>(ListBoxFilterModel::Keys::Text, parent);
    default:
        return nullptr;
    }
}

HarvestedCondition HarvestCondition(QueryFilter& filter, tFilterControlPropertys& record)
{
    HarvestedCondition out;
    const int type = record.tTFControlType;
    if (!filterFitsControlType(filter, type) || filter.queryCheckValue() != 1)
        return out;

    WhereCollection collection;
    CollectWhereAndFilter({&filter}, collection);
    if (collection.where.trimmed().isEmpty())
        return out;
    if ((type == catalogue::fctListBox || type == catalogue::fctTextListBox || type == catalogue::fctContainer)
        && filter.queryResultIDs().trimmed().isEmpty())
        return out;

    switch (type) {
    case catalogue::fctNumberLong:
    case catalogue::fctNumberDecimal: {
        auto& f = static_cast<TextFilterModel&>(filter);
        record.tWFNumberFrom = catalogue::storedNumberToInt(f.input1Text());
        record.tWFNumberTo = catalogue::storedNumberToInt(f.input2Text());
        record.tWFNotValue = f.notPictureValue();
        record.tWFRelationType = f.relationListItemData();
        break;
    }
    case catalogue::fctDate: {
        auto& f = static_cast<TextFilterModel&>(filter);
        record.tWFDateFrom = asDateTime(f.input1Text(), record.tWFDateFrom);
        record.tWFDateTo = asDateTime(f.input2Text(), record.tWFDateTo);
        record.tWFNotValue = f.notPictureValue();
        record.tWFRelationType = f.relationListItemData();
        break;
    }
    case catalogue::fctText: {
        auto& f = static_cast<TextFilterModel&>(filter);
        record.tWFTextFrom = f.input1Text().toString();
        record.tWFTextTo = f.input2Text().toString();
        record.tWFNotValue = f.notPictureValue();
        record.tWFRelationType = f.relationListItemData();
        break;
    }
    case catalogue::fctCheckBox:
        record.tWFBooleanValue = static_cast<CheckBoxFilterModel&>(filter).notPictureValue();
        break;
    default:
        record.tWFSelectedItems = filter.queryResultIDs();
        break;
    }
    record.tWFSQLWhere = collection.where;
    record.tWFSQLDescription = collection.description;
    out.active = true;
    out.where = collection.where;
    out.description = collection.description;
    return out;
}

}  // namespace lg::filters
