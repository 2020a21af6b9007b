#pragma once

// Who may see, run and edit which lists. Permissions are denials only
// (vlq_list_auth_unit): whatever no group of the user is denied is allowed.
// Private lists are reserved to their creator, and a caller may restrict a
// user to his own lists unless its all-lists flag is 1.
//
// Each operation opens its selection of (id, name) rows, ordered by name,
// hands it back through `rs` and returns true; database failures travel up
// as RuntimeError with this module's trace line.

#include <QtCore/QString>

#include <memory>

namespace lg::dao {
class Recordset;
}

namespace lg::catalogue {

// List types in which the user may create and edit lists. A module id of 1
// or more keeps only that module's types.
bool GetListWizardTypeEnableEdit(long userId, long modulId, std::shared_ptr<dao::Recordset>& rs);
// List types whose lists the user may see and run.
bool GetListWizardTypeEnableShow(long userId, long modulId, std::shared_ptr<dao::Recordset>& rs);
// Lists of one type that the user may edit.
bool GetListReportEnableEdit(long userId, long listTypeId, long allLists, std::shared_ptr<dao::Recordset>& rs);
// Lists the user may see and run; a list type id of -1 means every type.
bool GetListReportEnableShow(long userId, long modulId, long listTypeId, long allLists,
                             std::shared_ptr<dao::Recordset>& rs);

// Whether the user exists: the host's user query (qry_vlq_list_wizard_user_table)
// has a row for the id. Every operation above treats an unknown user like a
// user in no group, so a caller that takes the id from outside checks first.
bool UserExists(long userId);

// The statements behind the operations above.
QString listWizardTypeEnableEditSql(long userId, long modulId);
QString listWizardTypeEnableShowSql(long userId, long modulId);
QString listReportEnableEditSql(long userId, long listTypeId, long allLists);
QString listReportEnableShowSql(long userId, long modulId, long listTypeId, long allLists);

}  // namespace lg::catalogue
