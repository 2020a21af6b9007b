#include "controls/services.h"

#include "admin/frmeditor.h"
#include "controls/frmexportoptions.h"
#include "controls/frmprefilter.h"
#include "controls/wizarddesigner.h"
#include "platform/message.h"
#include "store/context.h"

namespace lg::controls {

bool CatalogueEditorDialog::edit(QWidget* parent, long, long modulId)
{
    if (!ctx().database)
        return false;
    admin::frmEditor editor(parent);
    editor.setModulID(int(modulId));
    if (!editor.Initialize())
        return false;
    editor.exec();
    return true;
}

ExportOptions ExportOptionsDialogPrompt::ask(QWidget* parent)
{
    frmExportOptions dialog(parent);
    dialog.exec();
    ExportOptions o;
    o.returnValue = dialog.ReturnValue();
    if (o.returnValue == 0) {
        o.filePath = dialog.FilePath();
        o.openAfterExport = dialog.ExportFileOpen();
    }
    return o;
}

namespace {
ControlServices& installed()
{
    static ControlServices s;
    return s;
}
}  // namespace

ControlServices defaultControlServices()
{
    ControlServices s = installed();
    if (!s.designer)
        s.designer = std::make_shared<WizardDesigner>();
    if (!s.preFilter)
        s.preFilter = std::make_shared<PreFilterDialogPrompt>();
    if (!s.catalogueEditor)
        s.catalogueEditor = std::make_shared<CatalogueEditorDialog>();
    if (!s.exportOptions)
        s.exportOptions = std::make_shared<ExportOptionsDialogPrompt>();
    return s;
}

ControlServices completedControlServices(ControlServices services)
{
    const ControlServices defaults = defaultControlServices();
    if (!services.designer)
        services.designer = defaults.designer;
    if (!services.preFilter)
        services.preFilter = defaults.preFilter;
    if (!services.catalogueEditor)
        services.catalogueEditor = defaults.catalogueEditor;
    if (!services.exportOptions)
        services.exportOptions = defaults.exportOptions;
    return services;
}

void setDefaultControlServices(const ControlServices& services) { installed() = services; }

}  // namespace lg::controls
