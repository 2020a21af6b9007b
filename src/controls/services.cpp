#include "controls/services.h"

#include "controls/frmexportoptions.h"
#include "controls/wizarddesigner.h"
#include "platform/message.h"
#include "store/context.h"

namespace lg::controls {

QString notAvailableMessage()
{
    return QStringLiteral("Ez a funkció ebben a változatban még nem érhető el.");
}

bool UnavailableListDesigner::design(QWidget*, const ListDesignRequest&, long& savedListId)
{
    savedListId = -1;
    ctx().messageService().MsgInfo(notAvailableMessage(), QStringLiteral("Listagenerátor"));
    return false;
}

bool UnavailableCatalogueEditor::edit(QWidget*, long)
{
    ctx().messageService().MsgInfo(notAvailableMessage(), QStringLiteral("Listagenerátor paraméterezés"));
    return false;
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
        s.preFilter = std::make_shared<ConfirmedPreFilter>();
    if (!s.catalogueEditor)
        s.catalogueEditor = std::make_shared<UnavailableCatalogueEditor>();
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
