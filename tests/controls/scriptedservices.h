#pragma once

// Stand-ins for the dialogs a control opens through its services: each
// answers what the test set and remembers what it was asked.

#include "controls/services.h"

#include <QtCore/QList>

namespace lg::test {

struct ScriptedPreFilter : controls::PreFilterPrompt {
    controls::PreFilterAnswer answer;
    QList<controls::PreFilterRequest> asked;
    controls::PreFilterAnswer ask(QWidget*, const controls::PreFilterRequest& r) override
    {
        asked << r;
        return answer;
    }
};

struct ScriptedExportOptions : controls::ExportOptionsPrompt {
    controls::ExportOptions answer;
    int asked = 0;
    controls::ExportOptions ask(QWidget*) override
    {
        ++asked;
        return answer;
    }
};

struct ScriptedCatalogueEditor : controls::CatalogueEditor {
    struct Request {
        long userId;
        long modulId;
    };
    QList<Request> asked;
    bool edit(QWidget*, long userId, long modulId) override
    {
        asked << Request{userId, modulId};
        return true;
    }
};

}  // namespace lg::test
