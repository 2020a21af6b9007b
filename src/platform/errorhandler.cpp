#include "errorhandler.h"

#include "strings.h"

#include <new>

namespace lg {

namespace {

ErrorDialogFactory& dialogFactory()
{
    static ErrorDialogFactory factory;
    return factory;
}

ErrorDialogLocator& dialogLocator()
{
    static ErrorDialogLocator locator;
    return locator;
}

}  // namespace

ErrorDialogAnswer ScriptedErrorDialog::show(const QString& message, const QString& title, const RuntimeError& error)
{
    m_shown.append({message, title, error});
    if (m_script.empty())
        return {};
    const ErrorDialogAnswer answer = m_script.front();
    m_script.pop_front();
    return answer;
}

void setErrorDialogFactory(ErrorDialogFactory factory)
{
    dialogFactory() = std::move(factory);
}

std::shared_ptr<ErrorDialogService> createErrorDialog()
{
    if (dialogFactory()) {
        if (auto dialog = dialogFactory()())
            return dialog;
    }
    return std::make_shared<ScriptedErrorDialog>();
}

void setErrorDialogLocator(ErrorDialogLocator locator)
{
    dialogLocator() = std::move(locator);
}

ErrorDialogService& activeErrorDialog()
{
    if (dialogLocator())
        return dialogLocator()();
    static std::shared_ptr<ErrorDialogService> fallback = createErrorDialog();
    return *fallback;
}

ErrorOutcome handleUserFacingError(ErrorDialogService& dialog, RuntimeError& error, const QString& source,
                                   const QString& procedure)
{
    error.setSource(source + procedure);
    if (error.number() == 0)
        return ErrorOutcome::GiveUp;
    const ErrorDialogAnswer answer = dialog.show(LoadResString(200), LoadResString(201), error);
    if (answer.retry)
        return ErrorOutcome::Retry;
    if (answer.continueAfter)
        return ErrorOutcome::Continue;
    return ErrorOutcome::GiveUp;
}

ErrorOutcome handleUserFacingError(RuntimeError& error, const QString& source, const QString& procedure)
{
    return handleUserFacingError(activeErrorDialog(), error, source, procedure);
}

RuntimeError currentRuntimeError(const QString& source)
{
    try {
        throw;
    } catch (const RuntimeError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return RuntimeError(7, source, QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        return RuntimeError(errnum::Internal, source, QString::fromUtf8(e.what()));
    } catch (...) {
        return RuntimeError(errnum::Internal, source, QStringLiteral("Unknown error"));
    }
}

}  // namespace lg
