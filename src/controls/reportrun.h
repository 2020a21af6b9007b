#pragma once

// Running and exporting a saved list as the list controls do it, without a
// window: the report file's path, the report engine created by its class
// name and driven by its members' names, the statement with the run-time
// condition and the host's parameters, and the Excel export. ListWizard and
// SmallListWizard differ only in how they pick the list and in the host's
// condition (SmallListWizard's sFilter).
//
// Business failures (a missing report file, an engine that cannot be
// created) are collected in Errors and shown with ShowErrors here, as the
// controls' user-facing procedures do; run-time errors leave as
// lg::RuntimeError for the caller's error dialog.

#include "controls/services.h"
#include "report/runstatement.h"

#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtCore/QVariant>

#include <functional>
#include <memory>

class QWidget;

namespace lg {
class ListReport;
}

namespace lg::controls {

// What a run takes from the control.
struct RunSettings {
    QString reportFolderPath;
    report::RunParameters parameters;
    bool authenticExport = true;
    bool authenticPrint = true;
    bool tableFieldNameCompletteOnUI = true;
    bool tableFieldNameCompletteOnReport = true;
    long userId = -1;
};

// The report file of a list: the folder, one "\" unless the trimmed folder
// already ends with one, and the file name. Either separator is accepted in
// the folder; ReportFileDiskPath gives the same path in the platform's form.
QString reportFilePath(const QString& folder, const QString& reportFile);
QString reportFileDiskPath(const QString& folder, const QString& reportFile);

// The engine's DataBasePath: the database file, with the password part when
// a password is set.
QString engineDatabasePath(const QString& databaseFile, const QString& password);

// The statement of one run and the description of its conditions.
struct ListStatement {
    bool cancelled = false;  // the pre-filter was cancelled: no run
    QString statement;
    QString description;
};

// Builds the statement: the pre-filter (when the list asks for one) and the
// host's condition go into "%WHERE%", combined by report::runCondition; the
// parameters into "%PAR1%" ... "%PAR5%". Every inserted condition is checked
// first (report::checkRunCondition): one that would break out of its place
// throws lg::RuntimeError and nothing runs.
ListStatement buildListStatement(ListReport& list, const RunSettings& settings, PreFilterPrompt& preFilter,
                                 QWidget* parent, const QString& hostCondition = {});

// Sets and calls members of an object by name, as the engine and the
// assistants are driven. A member the object does not have throws
// lg::RuntimeError 438.
void setMember(QObject* object, const char* name, const QVariant& value);
// Calls a method with up to two arguments; the result when the method has
// one (an invalid QVariant otherwise).
QVariant callMember(QObject* object, const char* name, const QVariantList& arguments = {});

// The report run (ShowReport) for the list with `listId`. True once the
// engine object was created for a loaded list, also when the pre-filter was
// cancelled.
bool runReport(long listId, bool renderToFile, const RunSettings& settings, const ControlServices& services,
               QWidget* parent, const QString& hostCondition = {});

// The export's file-name check: false with the warning 506 for a blank name.
bool checkExportFileName(const QString& name, QString& message);
// The name the workbook is written under: trimmed, ".xlsx" added when the
// name has no extension.
QString exportTargetPath(const QString& name);

// Progress of long work: called with the rows done so far; returning false
// cancels the work. Set by the controls (a progress dialog), absent headless.
using ProgressCallback = std::function<bool(long rowsDone)>;

// The export of the list's rows into `filePath`: column captions, the
// statement as for the run, the workbook, then the file is opened when
// `openAfter`. False when nothing was exported (the pre-filter cancelled,
// captions or statement failing, the workbook not written: text 200).
bool exportList(long listId, const QString& filePath, bool openAfter, const RunSettings& settings,
                const ControlServices& services, QWidget* parent, const QString& hostCondition = {},
                const ProgressCallback& progress = {});

}  // namespace lg::controls
