#include "recordsetutils.h"

#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "store/context.h"

namespace lg {

bool HasRecords(const std::shared_ptr<dao::Recordset>& rs)
{
    return rs && rs->isOpen() && !rs->Bof() && !rs->Eof();
}

bool OpenRecordsetChecked(std::shared_ptr<dao::Recordset>& rs, const QString& sql)
{
    rs.reset();
    const auto& db = ctx().database;
    if (!db)
        return false;
    try {
        rs = db->OpenRecordset(sql, dao::RecordsetType::Snapshot);
        return true;
    } catch (const RuntimeError&) {
        rs.reset();
        return false;
    }
}

}  // namespace lg
