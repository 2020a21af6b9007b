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
#include <utility>

namespace lg {

// The two answers of the error dialog. Both false: give up.
struct ErrorDialogAnswer {
    bool retry = false;          // run the failing step again
    bool continueAfter = false;  // skip the failing step and carry on; the procedure has failed
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

// A user-facing procedure run as a sequence of steps. A run-time error leaving
// a step goes to the dialog (see handleUserFacingError):
//   Retry     runs that step again; the steps before it are not repeated
//   Continue  skips that step and goes on with the next ones; the procedure
//             has failed (ok() is false)
//   give up   ends the procedure: later steps do not run
// A step that returns false (a business failure, already in Errors) also
// ends the procedure without a dialog. A step returning nothing succeeds
// unless it throws.
//
//   UserFacingProcedure run(kSource, u"ShowReport"_s);
//   run.step([&] { return prepare(); });
//   run.step([&] { print(); });
//   return run.ok();
class UserFacingProcedure {
public:
    UserFacingProcedure(ErrorDialogService& dialog, QString source, QString procedure)
        : m_dialog(&dialog), m_source(std::move(source)), m_procedure(std::move(procedure))
    {
    }
    UserFacingProcedure(QString source, QString procedure)
        : UserFacingProcedure(activeErrorDialog(), std::move(source), std::move(procedure))
    {
    }

    // Runs one step (unless the procedure has ended). True when the step ran
    // and succeeded.
    template <class F> bool step(F&& body)
    {
        if (m_ended)
            return false;
        for (;;) {
            RuntimeError error;
            try {
                if constexpr (std::is_void_v<decltype(body())>) {
                    body();
                    return true;
                } else {
                    if (static_cast<bool>(body()))
                        return true;
                    m_ok = false;
                    m_ended = true;
                    return false;
                }
            } catch (...) {
                error = currentRuntimeError(m_source);
            }
            switch (handleUserFacingError(*m_dialog, error, m_source, m_procedure)) {
            case ErrorOutcome::Retry:
                continue;
            case ErrorOutcome::Continue:
                m_ok = false;
                return false;
            case ErrorOutcome::GiveUp:
                m_ok = false;
                m_ended = true;
                return false;
            }
        }
    }

    // Every step so far ran and succeeded.
    bool ok() const { return m_ok; }
    // The user gave up or a step failed: no further step runs.
    bool ended() const { return m_ended; }

private:
    ErrorDialogService* m_dialog;
    QString m_source;
    QString m_procedure;
    bool m_ok = true;
    bool m_ended = false;
};

// Runs the steps in order as one user-facing procedure; true only when every
// step succeeded. One step is the common case: runUserFacing(src, proc, body).
template <class... Steps>
bool runUserFacing(ErrorDialogService& dialog, const QString& source, const QString& procedure, Steps&&... steps)
{
    static_assert(sizeof...(Steps) > 0, "a procedure has at least one step");
    UserFacingProcedure run(dialog, source, procedure);
    (run.step(std::forward<Steps>(steps)), ...);
    return run.ok();
}

template <class... Steps> bool runUserFacing(const QString& source, const QString& procedure, Steps&&... steps)
{
    return runUserFacing(activeErrorDialog(), source, procedure, std::forward<Steps>(steps)...);
}

}  // namespace lg
