#include "catalogue/dbhelpers.h"

#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "store/context.h"

namespace lg::catalogue {

dao::Database& activeDatabase()
{
    auto& database = ctx().database;
    if (!database)
        throw RuntimeError(errnum::Database, QStringLiteral("vlqTabul2/modWizardUtils/"),
                           QStringLiteral("Not exists database"));
    return *database;
}

std::shared_ptr<dao::Recordset> openSelection(const QString& jetSql)
{
    dao::Database& db = activeDatabase();
    auto rs = db.OpenRecordset(jetSql);
    db.Idle(dao::dbFreeLocks);
    return rs;
}

QString textOf(const dao::Recordset& rs, const QString& column)
{
    const dao::Value v = rs.Fields(column);
    return dao::isNull(v) ? QString() : v.toString();
}

long longOf(const dao::Recordset& rs, const QString& column, long fallback)
{
    const dao::Value v = rs.Fields(column);
    if (dao::isNull(v))
        return fallback;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? static_cast<long>(d) : fallback;
}

}  // namespace lg::catalogue
