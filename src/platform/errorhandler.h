#pragma once

// The last stop of an unexpected run-time error: the user-facing procedure
// that catches it names itself in the error's source and lets the user decide,
// through the error dialog, whether to retry, continue or give up.

#include "runtimeerror.h"

#include <QtCore/QList>
#include <QtCore/QString>

#include <deque>
#include <functional>
#include <memory>
#include <type_traits>

namespace lg {

// The two answers of the error dialog. Both false: give up.
struct ErrorDialogAnswer {
    bool retry = false;          // run the failing step again
    bool continueAfter = false;  // carry on after the failing step
};

class ErrorDialogService {
public:
    virtual ~ErrorDialogService() = default;
    // Shows the message text, the title and the error (number, source and
    // the whole call trace) and reports the user's choice.
    virtual ErrorDialogAnswer show(const QString& message, const QString& title, const RuntimeError& error) = 0;
};

// Answers from a script; records what it was asked to show. With the script
// used up it gives up.
class ScriptedErrorDialog : public ErrorDialogService {
public:
    struct Shown {
        QString message;
        QString title;
        RuntimeError error;
    };

    ErrorDialogAnswer show(const QString& message, const QString& title, const RuntimeError& error) override;

    void enqueue(ErrorDialogAnswer answer) { m_script.push_back(answer); }
    void answerRetry() { enqueue({true, false}); }
    void answerContinue() { enqueue({false, true}); }
    void answerGiveUp() { enqueue({false, false}); }

    const QList<Shown>& shown() const { return m_shown; }

private:
    std::deque<ErrorDialogAnswer> m_script;
    QList<Shown> m_shown;
};

// The dialog new library contexts get. The user interface installs its own
// factory at start-up; without one a ScriptedErrorDialog is used.
using ErrorDialogFactory = std::function<std::shared_ptr<ErrorDialogService>()>;
void setErrorDialogFactory(ErrorDialogFactory factory);
std::shared_ptr<ErrorDialogService> createErrorDialog();

// Where the user-facing handler finds the current dialog. The library context
// installs itself here; until then a dialog made by createErrorDialog() is
// kept for the process.
using ErrorDialogLocator = std::function<ErrorDialogService&()>;
void setErrorDialogLocator(ErrorDialogLocator locator);
ErrorDialogService& activeErrorDialog();

enum class ErrorOutcome { Retry, Continue, GiveUp };

// Handles a run-time error in a user-facing procedure: the error's source
// becomes `source` + `procedure` (no separator); an error with a number other
// than 0 goes to the dialog with the texts 200 and 201. An error numbered 0
// is not shown and counts as giving up.
ErrorOutcome handleUserFacingError(ErrorDialogService& dialog, RuntimeError& error, const QString& source,
                                   const QString& procedure);
ErrorOutcome handleUserFacingError(RuntimeError& error, const QString& source, const QString& procedure);

// Converts whatever is being handled (call only inside a catch block) into a
// RuntimeError, the way the trace helpers do.
RuntimeError currentRuntimeError(const QString& source);

// Runs `body` as a user-facing procedure. A run-time error leaving it goes to
// the dialog: Retry runs the body again, Continue returns true, giving up
// returns false. Without an error the result is the body's own (true for a
// body that returns nothing).
template <class F>
bool runUserFacing(ErrorDialogService& dialog, const QString& source, const QString& procedure, F&& body)
{
    for (;;) {
        RuntimeError error;
        try {
            if constexpr (std::is_void_v<decltype(body())>) {
                body();
                return true;
            } else {
                return static_cast<bool>(body());
            }
        } catch (...) {
            error = currentRuntimeError(source);
        }
        switch (handleUserFacingError(dialog, error, source, procedure)) {
        case ErrorOutcome::Retry:
            continue;
        case ErrorOutcome::Continue:
            return true;
        case ErrorOutcome::GiveUp:
            return false;
        }
    }
}

template <class F> bool runUserFacing(const QString& source, const QString& procedure, F&& body)
{
    return runUserFacing(activeErrorDialog(), source, procedure, std::forward<F>(body));
}

}  // namespace lg
