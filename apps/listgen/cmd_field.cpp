// listgen field: the filter-control properties of a catalogue field, and of
// the condition a list keeps for it, one "name=value" line per member in the
// record's order, so an administrator sees which filter control the wizard
// will show for the field and with which values.

#include <QtCore/QFileInfo>

#include "catalogue/filtercontrolproperties.h"
#include "command.h"
#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/records.h"
#include "store/listreport.h"

namespace lg::cli {

namespace {

QString valueText(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    // One line per member: line breaks inside a stored text are shown escaped.
    QString text = v.toString();
    text.replace(u'\\', QStringLiteral("\\\\")).replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
    return text;
}

bool exists(const QString& table, long id)
{
    auto rs = ctx().database->OpenRecordset(QStringLiteral("SELECT id FROM ") + table
                                                + QStringLiteral(" WHERE id = ? AND del_status = 0"),
                                            dao::Parameters(QVariantList{qlonglong(id)}));
    return !rs->Eof();
}

int runField(const Args& args)
{
    const QString path = args.required(QStringLiteral("db"));
    const auto field = args.number(QStringLiteral("field"));
    if (!field)
        throw UsageError{QStringLiteral("missing --field")};
    const long list = args.number(QStringLiteral("list")).value_or(-1);
    if (!dao::Database::exists(path))
        throw UsageError{QStringLiteral("no database file \"%1\"").arg(path)};
    ctx().database = dao::Database::open(path);

    if (!exists(QStringLiteral("vlq_list_wizard_table_field"), *field)) {
        printErr(QStringLiteral("listgen field: there is no catalogue field %1\n").arg(*field));
        return 1;
    }
    if (args.has(QStringLiteral("list")) && !exists(QStringLiteral("vlq_list_report"), list)) {
        printErr(QStringLiteral("listgen field: there is no list %1\n").arg(list));
        return 1;
    }
    catalogue::tFilterControlPropertys record;
    if (!catalogue::GetTableFieldFilterControlPropertys(*field, list, args.has(QStringLiteral("complete")), record)) {
        QString reason = QStringLiteral("listgen field: catalogue field %1 has no filter control").arg(*field);
        for (const auto& e : ctx().currentErrors())
            reason += QStringLiteral("\n") + e->description();
        printErr(reason + u'\n');
        return 1;
    }
    QString out;
    for (const auto& [name, value] : catalogue::members(record))
        out += name + u'=' + valueText(value) + u'\n';
    printOut(out);
    return 0;
}

RegisterCommand reg{{"field",
                     "--db FILE --field ID [--list ID] [--complete]",
                     "prints the filter-control properties of a catalogue field and the list's stored condition "
                     "for it, one name=value line per member; --complete: the caption with the table's name",
                     false,
                     &runField,
                     {QStringLiteral("complete")},
                     nullptr,
                     {QStringLiteral("db"), QStringLiteral("field"), QStringLiteral("list")}}};

}  // namespace

}  // namespace lg::cli
