#pragma once

// PreFilterModel: everything the pre-filter dialog (frmPreFilter) does
// except showing it. It offers the pre-filterable fields of the list's type
// up to the list's table priority, keeps the extra conditions the user
// enters while the dialog is open (nothing is written to the definition
// store) and builds the two outputs: the SQL condition of the extra
// conditions alone (`sql_field_where`) and the description of the list's
// own conditions and the extra ones (`sql_description`).
//
// The store holds one entry per field, keyed "WF"+table-field id, each a
// full copy of the field's filter-control property record with its
// condition; entries keep the order in which their field first got a
// condition, also when the condition is changed later.

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

#include "catalogue/filtercontrolproperties.h"
#include "controls/services.h"
#include "ui/fieldtreenodes.h"

namespace lg::filters {
class QueryFilter;
}

namespace lg::controls {

class PreFilterModel {
public:
    // The list id the dialog reads field properties with: no stored list
    // has it, so no stored condition is ever loaded.
    static constexpr long kListId = -1000;
    // The id InitCurrentFilterControl is given when the dialog is confirmed.
    static constexpr long kConfirm = -1000;
    static const QString kSource;  // "vlqTabula2.frmPreFilter"

    explicit PreFilterModel(const PreFilterRequest& request = {});
    ~PreFilterModel();

    const PreFilterRequest& request() const;

    // Loads the list type and the pre-filterable fields; the outputs start
    // as the list's own description and no condition. False (with the
    // reason in Errors) without an open database, for an unknown list type
    // or when the fields cannot be read.
    bool Initialize();
    bool isInitialized() const;

    // The rows of the field tree.
    const QList<ui::FieldTreeRow>& fieldRows() const;
    bool offersField(long tableFieldId) const;

    // The record of the field being edited (tTFID -1: none).
    const catalogue::tFilterControlPropertys& current() const;
    long currentFieldId() const { return current().tTFID; }

    // Switches to another field (-1: none; kConfirm: store the condition
    // being edited and stay). Nothing happens for the current field. First
    // the condition of the current field is read from `currentFilter`, the
    // filter holding it (nullptr: nothing to read), and stored, or its
    // entry removed when the filter holds no condition; then the outputs
    // are rebuilt; then the record of the new field is read, with its
    // stored extra condition if any. False when the new field's record
    // cannot be read (the reason in Errors); the current field is then none.
    bool InitCurrentFilterControl(long tableFieldId, filters::QueryFilter* currentFilter);

    // Stores a copy of the current record under "WF"+tTFID (replacing an
    // entry of that key in place), or removes that entry when `deleteFlag`
    // is set. Always true.
    bool SaveWhereField(bool deleteFlag);
    // Rebuilds both outputs from the store and returns the description.
    QString GetReportSQLDescription();

    // The store's keys in order, and one entry.
    QStringList keys() const;
    const catalogue::tFilterControlPropertys* entry(const QString& key) const;

    QString sqlFieldWhere() const;
    QString sqlDescription() const;

    // The answer the dialog gives its caller.
    PreFilterAnswer answer(int returnValue) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::controls
