#pragma once

// The final statement of a list run: the stored statement of the list
// (sql_source) with its placeholders filled in.
//
//   "%WHERE%"            the run-time condition: the pre-filter's condition
//                        and/or the host's condition, " (TRUE) " when there
//                        is none;
//   "%PAR1%" ... "%PAR5%" the host's run parameters, each a whole SQL
//                        condition: a blank + the parameter + a blank, or
//                        " (TRUE) " when the parameter is blank;
//   "%RUNUSERID%"        the id of the user who runs the list. A catalogue
//                        condition that must follow whoever runs a shared
//                        list uses it; "%USERID%" instead is resolved when the
//                        list is saved, to its author's id.
//
// Replacements are case-sensitive and cover every occurrence. They are made
// in one pass over the stored statement: a condition or parameter that itself
// contains a placeholder text (say a text literal '%PAR2%' typed into a
// filter) is inserted as it stands and never rescanned.

#include <QtCore/QString>

#include <array>

namespace lg::report {

// The condition that selects everything.
QString trueCondition();

// Parameter1 ... Parameter5 of the controls.
using RunParameters = std::array<QString, 5>;

// What "%WHERE%" receives, from the pre-filter's condition and the host's
// condition (the sFilter of SmallListWizard), both trimmed: either alone,
// both joined with " AND " (pre-filter first), " (TRUE) " when both are blank.
QString runCondition(const QString& preFilterCondition, const QString& hostCondition = {});

// Checks a condition before it is inserted for "%WHERE%" or "%PARn%": it must
// be blank or exactly one complete Jet condition, without parameter markers.
// Anything else (an unmatched bracket that would close the statement's own
// and let an "OR" bypass every stored condition, a second statement, an
// ORDER BY) throws lg::RuntimeError with errnum::SyntaxError; `what` names
// the condition in the message ("--where", "Parameter2"). Every run path
// checks every inserted condition.
void checkRunCondition(const QString& condition, const QString& what);

// What "%PARn%" receives for one parameter.
QString parameterReplacement(const QString& parameter);

// The placeholder of the running user's id.
QString runUserPlaceholder();

// The statement to run: `sqlSource` with "%WHERE%" replaced by `condition`
// (" (TRUE) " when it is blank; otherwise as given), "%PAR1%" ... "%PAR5%"
// by the parameters and "%RUNUSERID%" by `runUserId`.
QString buildRunStatement(const QString& sqlSource, const QString& condition, const RunParameters& parameters,
                          long runUserId);

}  // namespace lg::report
