#pragma once

#include <QtCore/QString>
#include <QtCore/QVariant>

#include <memory>

class QWidget;

namespace lg {

namespace dao {
class Recordset;
}

// Fills a list (QListWidget, QComboBox, or a query list-box filter) from a
// recordset. `spec` is a ";"-separated list of parts: a part "##name" stands
// for the value of field `name`, any other part for itself; the parts are
// joined without separator into the entry's text, and the record's field "id"
// becomes the entry's item data. A non-empty `firstText` is added first with
// `firstData` and selected. A list-box filter (class QueryListBoxFilter)
// receives its entries through its invokable AddFilterItem(QString, QVariant).
void FillListFromRecordset(QWidget* list, const std::shared_ptr<dao::Recordset>& rs, const QString& spec,
                           const QString& firstText = {}, const QVariant& firstData = {});

}  // namespace lg
