#include "filters/filtercontrolsetup.h"

#include "filters/checkboxfiltermodel.h"
#include "filters/listboxfiltermodel.h"
#include "filters/querycontainermodel.h"
#include "filters/textfiltermodel.h"
#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "store/context.h"

namespace lg::filters {

using catalogue::tFilterControlPropertys;

FilterControlView::~FilterControlView() = default;

namespace {

FilterControlView& viewOr(FilterControlView* view)
{
    static FilterControlView none;
    return view ? *view : none;
}

void setUpTextFilter(const tFilterControlPropertys& r, TextFilterModel& f, FilterControlView& view)
{
    const int type = inputTypeForControlType(r.tTFControlType);
    if (f.inputType() != type)
        f.setInputType(type);
    f.setQueryField(r.tTFQueryAliasField);
    f.setQueryFieldDescription(r.tTFQueryFieldVisible);
    view.setEnabled(true);
    if (!r.hasCondition())
        return;
    f.setQueryCheckValue(1);
    f.setNotPictureValue(r.tWFNotValue);
    switch (r.tTFControlType) {
    case catalogue::fctDate:
        f.setInput1Text(r.tWFDateFrom);
        f.setInput2Text(r.tWFDateTo);
        // A date input hides the relation list; a stored comparison ("<" a
        // day) needs it shown, or the condition would come back as "= day".
        if (r.tWFRelationType >= TextFilterModel::Equal)
            f.setRelationListVisible(true);
        break;
    case catalogue::fctText:
        f.setInput1Text(r.tWFTextFrom);
        f.setInput2Text(r.tWFTextTo);
        break;
    default:
        f.setInput1Text(r.tWFNumberFrom);
        f.setInput2Text(r.tWFNumberTo);
        break;
    }
    f.setRelationListItemData(r.tWFRelationType);
}

void setUpCheckBox(const tFilterControlPropertys& r, CheckBoxFilterModel& f, FilterControlView& view)
{
    f.setQueryField(r.tTFQueryAliasField);
    f.setQueryFieldDescription(r.tTFQueryFieldVisible);
    view.setEnabled(true);
    if (!r.hasCondition())
        return;
    f.setQueryCheckValue(1);
    f.setNotPictureValue(r.tWFBooleanValue);
}

bool setUpPickList(const tFilterControlPropertys& r, ListBoxFilterModel& f, FilterControlView& view)
{
    view.setListBoxVisible(false);
    if (!ctx().database) {
        view.setListBoxVisible(true);
        return false;
    }
    const bool byId = r.tTFControlType == catalogue::fctListBox;
    if (byId)
        f.setPrimaryKeyFiled(r.tTPrimaryKeyFiled);
    f.setQueryField(r.tTFQueryAliasField);
    f.setQueryFieldDescription(r.tTFQueryFieldVisible);

    std::shared_ptr<dao::Recordset> rs;
    if (!catalogue::LoadRecordSet(pickListStatement(r), rs)) {
        view.setListBoxVisible(true);
        view.showErrors();
        return false;
    }
    if (rs->Eof()) {
        view.setListBoxVisible(true);
        view.setEnabled(true);
        if (r.hasCondition())
            f.setQueryCheckValue(1);
        return true;
    }
    f.removeFilterItem();
    for (; !rs->Eof(); rs->MoveNext()) {
        try {
            if (byId) {
                bool ok = false;
                const qint32 id = rs->Fields(0).toInt(&ok);
                if (!ok)
                    continue;
                const dao::Value text = rs->Fields(1);
                f.addFilterItem(dao::isNull(text) ? QString() : text.toString(), id);
            } else {
                const dao::Value text = rs->Fields(0);
                f.addFilterItem(dao::isNull(text) ? QString() : text.toString(), -1);
            }
        } catch (const RuntimeError&) {
            continue;  // a row whose columns cannot be read is left out
        }
    }
    if (!r.tWFSelectedItems.trimmed().isEmpty()) {
        if (byId) {
            for (qint32 id : numericIdParts(r.tWFSelectedItems))
                f.selectItem(id);
        } else {
            const QStringList texts = storedTextSelection(r.tWFSelectedItems);
            for (const QString& text : texts) {
                for (int i = 0; i < f.count(); ++i) {
                    if (f.items().at(i).text == text) {
                        f.setSelected(i, true);
                        break;
                    }
                }
            }
        }
    }
    view.setListBoxVisible(true);
    // The first entry becomes the current one; the selection stays the stored one.
    f.setCurrentIndex(0);
    view.setEnabled(true);
    if (r.hasCondition())
        f.setQueryCheckValue(1);
    f.build();
    return true;
}

bool setUpContainer(const tFilterControlPropertys& r, QueryContainerModel& f, FilterControlView& view)
{
    view.setListBoxVisible(false);
    if (!ctx().database) {
        view.setListBoxVisible(true);
        return false;
    }
    f.setPrimaryKeyFiled(r.tTPrimaryKeyFiled);
    f.setQueryField1(r.tTFQueryAliasField);
    f.setQueryFieldVisible1(r.tTFQueryField);
    f.setQueryFieldDescription1(r.tTFQueryFieldVisible);
    f.setQueryField1ProgIDFilter(r.tTFQueryFieldProgIDFilter);
    f.setDatabase(ctx().database);
    f.initializeQuickPick(r.tTFQuickpickID, r.tTFQueryFieldProgIDFilter);  // a failure is ignored
    if (!r.tTFDefaultSearchField.trimmed().isEmpty())
        f.currentSearchField(r.tTFDefaultSearchField.trimmed());
    if (!r.tWFSelectedItems.trimmed().isEmpty()) {
        f.setQueryResultIDs(r.tWFSelectedItems);  // a failure is ignored
        f.selectFirstFilterItem();
    }
    view.setListBoxVisible(true);
    view.setEnabled(true);
    view.setVisible(true);
    if (r.hasCondition())
        f.setQueryCheckValue(1);
    f.build();
    return true;
}

}  // namespace

int inputTypeForControlType(int controlType)
{
    switch (controlType) {
    case catalogue::fctNumberLong:
    case catalogue::fctNumberDecimal:
        return TypedInput::NumberInput;
    case catalogue::fctDate:
        return TypedInput::DateInput;
    case catalogue::fctText:
        return TypedInput::TextInput;
    default:
        return 0;
    }
}

QString pickListStatement(const tFilterControlPropertys& r)
{
    const auto segment = [](const QString& s) { return s.leftJustified(32, u' '); };
    QString sql = segment(QStringLiteral("SELECT"));
    if (r.tTFControlType == catalogue::fctListBox)
        sql += r.tTPrimaryKeyFiled + u',';
    sql += segment(QStringLiteral("%visible_field%")) + segment(QStringLiteral("FROM %TABLE_NAME%"))
           + segment(QStringLiteral("WHERE %WHERE%"));
    sql.replace(QStringLiteral("%TABLE_NAME%"), r.tTFQueryFieldTable);
    sql.replace(QStringLiteral("%visible_field%"), r.tTFQueryField);
    const QString where =
        r.tTFQueryFieldProgIDFilter.trimmed().isEmpty() ? QStringLiteral(" (TRUE) ") : r.tTFQueryFieldProgIDFilter;
    sql.replace(QStringLiteral("%WHERE%"), where);
    return sql;
}

QStringList storedTextSelection(const QString& selectedItems)
{
    QStringList out;
    const QStringList parts = selectedItems.split(u',');
    for (const QString& part : parts) {
        const QString t = part.trimmed();
        if (t.size() < 3)
            continue;
        QString text = t.mid(1, t.size() - 2);
        text.replace(QStringLiteral("''"), QStringLiteral("'"));
        out.append(text);
    }
    return out;
}

bool SetFilterControlPropertys(const tFilterControlPropertys& r, QueryFilter& filter, FilterControlView* view)
{
    FilterControlView& v = viewOr(view);
    switch (r.tTFControlType) {
    case catalogue::fctNumberLong:
    case catalogue::fctNumberDecimal:
    case catalogue::fctDate:
    case catalogue::fctText:
        if (auto* f = qobject_cast<TextFilterModel*>(&filter)) {
            setUpTextFilter(r, *f, v);
            return true;
        }
        return false;
    case catalogue::fctCheckBox:
        if (auto* f = qobject_cast<CheckBoxFilterModel*>(&filter)) {
            setUpCheckBox(r, *f, v);
            return true;
        }
        return false;
    case catalogue::fctListBox:
    case catalogue::fctTextListBox: {
        auto* f = qobject_cast<ListBoxFilterModel*>(&filter);
        const auto keys =
            r.tTFControlType == catalogue::fctListBox ? ListBoxFilterModel::Keys::Numeric : ListBoxFilterModel::Keys::Text;
        return f && f->keys() == keys && setUpPickList(r, *f, v);
    }
    case catalogue::fctContainer:
        if (auto* f = qobject_cast<QueryContainerModel*>(&filter))
            return setUpContainer(r, *f, v);
        return false;
    default:
        return false;
    }
}

}  // namespace lg::filters
