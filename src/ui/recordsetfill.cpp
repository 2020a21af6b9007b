#include "recordsetfill.h"

#include <QtCore/QMetaObject>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QListWidget>

#include "platform/dao/dao.h"

namespace lg {

namespace {

struct SpecPart {
    QString text;     // a literal part
    bool isField = false;
    int field = -1;   // the field's index; -1 when the recordset has no such field
};

bool isFilterList(const QWidget* w)
{
    return QLatin1String(w->metaObject()->className()).endsWith(QLatin1String("QueryListBoxFilter"));
}

void addEntry(QWidget* list, const QString& text, const QVariant& data, bool filterList)
{
    if (filterList) {
        QMetaObject::invokeMethod(list, "AddFilterItem", Q_ARG(QString, text), Q_ARG(QVariant, data));
    } else if (auto* lw = qobject_cast<QListWidget*>(list)) {
        auto* item = new QListWidgetItem(text, lw);
        item->setData(Qt::UserRole, data);
    } else if (auto* cb = qobject_cast<QComboBox*>(list)) {
        cb->addItem(text, data);
    }
}

void clearList(QWidget* list, bool filterList)
{
    if (filterList)
        QMetaObject::invokeMethod(list, "Clear");
    else if (auto* lw = qobject_cast<QListWidget*>(list))
        lw->clear();
    else if (auto* cb = qobject_cast<QComboBox*>(list))
        cb->clear();
}

void selectFirst(QWidget* list)
{
    if (auto* lw = qobject_cast<QListWidget*>(list))
        lw->setCurrentRow(0);
    else if (auto* cb = qobject_cast<QComboBox*>(list))
        cb->setCurrentIndex(0);
}

}  // namespace

void FillListFromRecordset(QWidget* list, const std::shared_ptr<dao::Recordset>& rs, const QString& spec,
                           const QString& firstText, const QVariant& firstData)
{
    if (!list || !rs || !rs->isOpen() || spec.isEmpty())
        return;

    std::vector<SpecPart> parts;
    for (const QString& p : spec.split(QLatin1Char(';'))) {
        if (p.startsWith(QLatin1String("##")))
            parts.push_back({QString(), true, rs->FieldIndex(p.mid(2))});
        else
            parts.push_back({p, false, -1});
    }
    const int idField = rs->FieldIndex(QStringLiteral("id"));
    const bool filterList = isFilterList(list);

    const bool wasVisible = list->isVisible();
    if (wasVisible)
        list->hide();
    clearList(list, filterList);
    if (!firstText.isEmpty()) {
        addEntry(list, firstText, firstData, filterList);
        selectFirst(list);
    }
    if (!rs->Bof() || !rs->Eof()) {
        rs->MoveFirst();
        while (!rs->Eof()) {
            QString text;
            for (const SpecPart& part : parts) {
                if (!part.isField)
                    text += part.text;
                else if (part.field >= 0)
                    text += rs->Fields(part.field).toString();
            }
            addEntry(list, text, idField >= 0 ? rs->Fields(idField) : QVariant(), filterList);
            rs->MoveNext();
        }
    }
    if (wasVisible)
        list->show();
}

}  // namespace lg
