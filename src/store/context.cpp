#include "context.h"

#include "errors.h"
#include "platform/errorhandler.h"
#include "platform/message.h"
#include "platform/strings.h"

namespace lg {

Context& Context::instance()
{
    static Context context;
    // The user-facing error handler finds the dialog through the context.
    static const bool located = [] {
        setErrorDialogLocator([]() -> ErrorDialogService& { return ctx().errorDialogService(); });
        return true;
    }();
    Q_UNUSED(located);
    return context;
}

void Context::reset()
{
    instance() = Context();
    setUiLanguage(UiLanguage::Hungarian);
}

void Context::newErrors()
{
    errors = std::make_shared<Errors>();
}

Errors& Context::currentErrors()
{
    if (!errors)
        newErrors();
    return *errors;
}

cMessage2& Context::messageService()
{
    if (!messages)
        messages = std::make_shared<cMessage2>(createMessagePresenter());
    return *messages;
}

ErrorDialogService& Context::errorDialogService()
{
    if (!errorDialog)
        errorDialog = createErrorDialog();
    return *errorDialog;
}

}  // namespace lg
