#pragma once

// The dialogs and services the list controls reach through small
// interfaces, so that a host or a test can put its own in their place:
//
//   ListDesigner        the list wizard (ReportNew)
//   PreFilterPrompt     the pre-filter dialog asked before a run
//   CatalogueEditor     the catalogue editor
//   ExportOptionsPrompt the export options dialog (file name, open after)
//
// The file dialog is reportengine::FileDialogService and the shell-open
// handler catalogue::ShellOpen; the report engine is created by its class
// name through lg::ObjectFactory.
//
// The defaults are the library's own dialogs: the list wizard
// (WizardDesigner, wizarddesigner.h), frmPreFilter (PreFilterDialogPrompt,
// frmprefilter.h), frmEditor on the control's module and frmExportOptions.
// ConfirmedPreFilter answers as a pre-filter confirmed without a condition.

#include <QtCore/QString>

#include <memory>

class QWidget;

namespace lg::controls {

/// What the pre-filter dialog is given.
struct PreFilterRequest {
    long listTypeId = -1;
    QString originalSqlDescription;
    bool tableFieldNameCompletteOnReport = true;
    bool tableFieldNameCompletteOnUI = true;
    long tablePriority = -1;
    long userId = -1;
    QString reportName;
};

/// What it answers.
struct PreFilterAnswer {
    bool initialized = true;  // false: Initialize failed, the dialog was not shown
    int returnValue = 0;      // 0 confirmed, anything else cancelled
    QString sqlFieldWhere;    // the extra condition (may be blank)
    QString sqlDescription;   // the combined description
};

class PreFilterPrompt {
public:
    virtual ~PreFilterPrompt() = default;
    virtual PreFilterAnswer ask(QWidget* parent, const PreFilterRequest& request) = 0;
};

/// What the list wizard is opened on.
struct ListDesignRequest {
    long selectedListId = -1;
    long userId = -1;
    long modulId = -1;
    QString reportFolderPath;
    bool tableFieldNameCompletteOnUI = true;
    bool tableFieldNameCompletteOnReport = true;
    bool authenticAllReport = false;  // any list of a type may be the base, not only the user's own
};

class ListDesigner {
public:
    virtual ~ListDesigner() = default;
    /// Runs the wizard. True when it finished; `savedListId` is the list it
    /// saved (-1 for none).
    virtual bool design(QWidget* parent, const ListDesignRequest& request, long& savedListId) = 0;
};

class CatalogueEditor {
public:
    virtual ~CatalogueEditor() = default;
    /// Opens the editor on the list types of `modulId` (all below 1); true
    /// when it ran.
    virtual bool edit(QWidget* parent, long userId, long modulId) = 0;
};

struct ExportOptions {
    int returnValue = 1;  // 0 OK, 1 cancelled
    QString filePath;
    bool openAfterExport = false;
};

class ExportOptionsPrompt {
public:
    virtual ~ExportOptionsPrompt() = default;
    virtual ExportOptions ask(QWidget* parent) = 0;
};

/// Defaults.
class ConfirmedPreFilter : public PreFilterPrompt {
public:
    PreFilterAnswer ask(QWidget*, const PreFilterRequest&) override { return {}; }
};
/// frmEditor, modal.
class CatalogueEditorDialog : public CatalogueEditor {
public:
    bool edit(QWidget* parent, long userId, long modulId) override;
};
/// frmExportOptions, modal.
class ExportOptionsDialogPrompt : public ExportOptionsPrompt {
public:
    ExportOptions ask(QWidget* parent) override;
};

/// The services a control uses: the process-wide set unless the control was
/// given its own (ListWizard::setServices).
struct ControlServices {
    std::shared_ptr<ListDesigner> designer;
    std::shared_ptr<PreFilterPrompt> preFilter;
    std::shared_ptr<CatalogueEditor> catalogueEditor;
    std::shared_ptr<ExportOptionsPrompt> exportOptions;
};

/// The process-wide set; every member missing from `services` keeps its
/// default.
ControlServices defaultControlServices();
void setDefaultControlServices(const ControlServices& services);
/// `services` with every missing member taken from the process-wide set.
ControlServices completedControlServices(ControlServices services);

}  // namespace lg::controls
