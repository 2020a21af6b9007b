#include "catalogue/permissions.h"

#include "catalogue/dbhelpers.h"
#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"

namespace lg::catalogue {

namespace {
const QString kSource = QStringLiteral("vlqTabul2/modWizardUtils/");
}

QString listWizardTypeEnableEditSql(long userId, long modulId)
{
    QString sql = QStringLiteral("select id,name  from vlq_list_wizard_type ")
                  % QStringLiteral("where id not in((select list_type_id from vlq_list_auth_unit  as au inner join "
                                   "qry_vlq_list_wizard_user_table as u on (u.user_group_id = au.user_group_id and "
                                   "u.id = ")
                  % num(userId) % QStringLiteral(") ")
                  % QStringLiteral("where au.auth_type=0 and au.list_report_id=-1  and au.del_status=0)) ")
                  % QStringLiteral("and del_status=0 and temp_status=0 ");
    if (modulId >= 1)
        sql += QStringLiteral("and iif(modul_id=") % num(modulId) % QStringLiteral(",1,0)=1 ");
    sql += QStringLiteral("order by name ");
    return sql;
}

QString listWizardTypeEnableShowSql(long userId, long modulId)
{
    QString sql = QStringLiteral("select id,name from vlq_list_wizard_type where ")
                  % QStringLiteral("id not in((select list_type_id from vlq_list_auth_unit  as au ")
                  % QStringLiteral("inner join qry_vlq_list_wizard_user_table as u on (u.user_group_id = "
                                   "au.user_group_id and u.id = ")
                  % num(userId) % QStringLiteral(") ")
                  % QStringLiteral("where au.auth_type=1 and au.list_report_id=-1  and au.del_status=0)) ");
    if (modulId >= 1)
        sql += QStringLiteral("and iif(modul_id=") % num(modulId) % QStringLiteral(",1,0)=1 ");
    sql += QStringLiteral(" and del_status=0 and temp_status=0 order by name ");
    return sql;
}

QString listReportEnableEditSql(long userId, long listTypeId, long allLists)
{
    QString sql = QStringLiteral("select id,name ") % QStringLiteral("from vlq_list_report ")
                  % QStringLiteral("where list_type_id =") % num(listTypeId) % QStringLiteral(" ");
    if (allLists != 1)
        sql += QStringLiteral("and iif(create_user=") % num(userId) % QStringLiteral(",1,0)=1 ");
    sql += QStringLiteral("and iif(private=-1,iif(create_user=") % num(userId) % QStringLiteral(",1,0),1)=1 ");
    sql += QStringLiteral("and del_status=0 and temp_status=0 order by name");
    return sql;
}

QString listReportEnableShowSql(long userId, long modulId, long listTypeId, long allLists)
{
    QString sql =
        QStringLiteral("select vlq_list_report.id as id, vlq_list_report.name as name ")
        % QStringLiteral("from vlq_list_report inner join vlq_list_wizard_type on (vlq_list_report.list_type_id = "
                         "vlq_list_wizard_type.id) ")
        % QStringLiteral("where vlq_list_report.id not in((select list_report_id ")
        % QStringLiteral("from vlq_list_auth_unit  as au inner join qry_vlq_list_wizard_user_table as u on "
                         "(u.user_group_id = au.user_group_id and u.id=")
        % num(userId) % QStringLiteral(") ")
        % QStringLiteral("where au.auth_type=1 and au.list_report_id<>-1 and au.del_status=0)) ")
        % QStringLiteral("and list_type_id not in (select id from vlq_list_wizard_type where id in((select "
                         "list_type_id from vlq_list_auth_unit  as au ")
        % QStringLiteral("inner join qry_vlq_list_wizard_user_table as u on (u.user_group_id = au.user_group_id "
                         "and u.id =")
        % num(userId) % QStringLiteral(") ")
        % QStringLiteral("where au.auth_type=1 and au.list_report_id=-1  and au.del_status=0)) ");
    if (modulId > 0)
        sql += QStringLiteral(" and iif(modul_id=") % num(modulId) % QStringLiteral(",1,0)=1");
    sql += QStringLiteral(" and del_status=0 and temp_status=0) ");
    if (listTypeId != -1)
        sql += QStringLiteral(" and iif(list_type_id=") % num(listTypeId) % QStringLiteral(",1,0)=1 ");
    if (allLists != 1)
        sql += QStringLiteral(" and iif(vlq_list_report.create_user=") % num(userId) % QStringLiteral(",1,0)=1 ");
    sql += QStringLiteral(" and iif(private = -1,iif(vlq_list_report.create_user=") % num(userId)
           % QStringLiteral(",1,0),1)=1 ");
    if (modulId > 0)
        sql += QStringLiteral(" and iif(vlq_list_wizard_type.modul_id=") % num(modulId) % QStringLiteral(",1,0)=1 ");
    sql += QStringLiteral(" and vlq_list_report.del_status=0 and vlq_list_report.temp_status=0 order by "
                          "vlq_list_report.name");
    return sql;
}

bool GetListWizardTypeEnableEdit(long userId, long modulId, std::shared_ptr<dao::Recordset>& rs)
{
    return traced(kSource, TraceKind::Function, QStringLiteral("GetListWizardTypeEnableEdit"), [&] {
        rs = openSelection(listWizardTypeEnableEditSql(userId, modulId));
        return true;
    });
}

bool GetListWizardTypeEnableShow(long userId, long modulId, std::shared_ptr<dao::Recordset>& rs)
{
    return traced(kSource, TraceKind::Function, QStringLiteral("GetListWizardTypeEnableShow"), [&] {
        rs = openSelection(listWizardTypeEnableShowSql(userId, modulId));
        return true;
    });
}

bool GetListReportEnableEdit(long userId, long listTypeId, long allLists, std::shared_ptr<dao::Recordset>& rs)
{
    return traced(kSource, TraceKind::Function, QStringLiteral("GetListReportEnableEdit"), [&] {
        rs = openSelection(listReportEnableEditSql(userId, listTypeId, allLists));
        return true;
    });
}

bool GetListReportEnableShow(long userId, long modulId, long listTypeId, long allLists,
                             std::shared_ptr<dao::Recordset>& rs)
{
    return traced(kSource, TraceKind::Function, QStringLiteral("GetListReportEnableShow"), [&] {
        rs = openSelection(listReportEnableShowSql(userId, modulId, listTypeId, allLists));
        return true;
    });
}

bool UserExists(long userId)
{
    return traced(kSource, TraceKind::Function, QStringLiteral("UserExists"), [&] {
        auto rs = openSelection(QStringLiteral("select count(*) as n from qry_vlq_list_wizard_user_table where id=") %
                                num(userId));
        return !rs->Eof() && longOf(*rs, QStringLiteral("n")) > 0;
    });
}

}  // namespace lg::catalogue
