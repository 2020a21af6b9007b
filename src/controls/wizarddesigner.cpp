#include "controls/wizarddesigner.h"

#include "controls/frmwizard.h"

namespace lg::controls {

bool WizardDesigner::design(QWidget* parent, const ListDesignRequest& request, long& savedListId)
{
    savedListId = -1;
    frmWizard wizard(parent);
    wizard.setCurrentItemID(int(request.selectedListId));
    wizard.setUserID(int(request.userId));
    wizard.setReportFolderPath(request.reportFolderPath);
    wizard.setAuthenticAllReport(request.authenticAllReport);
    wizard.setTableFieldNameCompletteOnReport(request.tableFieldNameCompletteOnReport);
    wizard.setTableFieldNameCompletteOnUI(request.tableFieldNameCompletteOnUI);
    wizard.setModulID(int(request.modulId));
    if (!wizard.Initialize())
        return false;
    if (m_runner)
        m_runner(wizard);
    else
        wizard.exec();
    if (wizard.ReturnValue() != 0)
        return false;
    savedListId = wizard.CurrentItemID();
    return true;
}

}  // namespace lg::controls
