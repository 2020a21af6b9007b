#pragma once

// The list wizard as the controls' list designer: ReportNew opens frmWizard
// modally on the selected list and gets back the list it saved.

#include "controls/services.h"

#include <functional>

namespace lg::controls {

class frmWizard;

class WizardDesigner : public ListDesigner {
public:
    // How the wizard is shown; exec() by default. Tests put a script here
    // that drives the dialog instead of a person.
    using Runner = std::function<void(frmWizard&)>;

    WizardDesigner() = default;
    explicit WizardDesigner(Runner runner) : m_runner(std::move(runner)) {}

    // True when the wizard was finished; `savedListId` is then the list it
    // saved, -1 otherwise. False too when the wizard could not start.
    bool design(QWidget* parent, const ListDesignRequest& request, long& savedListId) override;

private:
    Runner m_runner;
};

}  // namespace lg::controls
