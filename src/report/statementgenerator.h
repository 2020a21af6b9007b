#pragma once

// The SELECT statement of a saved list, generated from its groups, displayed
// fields and conditions and from the catalogue of its list type.
//
// The statement selects one column per group (alias RG<row id>), per group
// with a separate grouping field (RGF<row id>) and per displayed field
// (RF<row id>); it joins the type's tables up to the list's join depth and
// keeps the placeholders "%WHERE%" (conditions given when the list runs) and
// "%PAR1%" to "%PAR5%" (the host's run parameters). "%USERID%" in the
// catalogue's conditions is replaced by the user who saves the list;
// "%RUNUSERID%" stays for the run to fill in with the running user (see
// runstatement.h).

#include <QtCore/QString>

namespace lg::report {

struct ListStatement {
    QString stored;  // kept in the list's sql_source
    QString test;    // TOP 1, placeholders neutralised: for a trial run before saving
    long joinDepth = 0;  // the list's table_priority
};

// Builds the statements of list `listReportId` of type `listTypeId`.
// `condition` is the list's own condition (its where fields' sql_where joined
// with " AND "); a blank one becomes " (TRUE) " and is handed back so.
// False, with the reason in the shared Errors collection, when the catalogue
// cannot give a statement (no displayed field, no join text for the depth).
// Database failures travel up as RuntimeError.
bool GenerateListStatement(long listReportId, long listTypeId, QString& condition, long userId,
                           ListStatement& result);

// The same with the out-arguments of the wizard.
bool GenerateListStatement(long listReportId, long listTypeId, QString& condition, long userId, QString& stored,
                           QString& test, long& joinDepth);

// Replaces each "%PAR1%" ... "%PAR5%" by " (TRUE) ".
QString neutraliseParameters(const QString& condition);

}  // namespace lg::report
