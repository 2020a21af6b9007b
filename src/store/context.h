#pragma once

// The library-wide state that every part of the library shares: the host's
// database, the current user, the database password, the shared Errors
// collection, the message service and the error dialog. One instance lives
// for the process; tests call Context::reset() between cases.

#include <QtCore/QString>

#include <memory>

namespace lg {

namespace dao {
class Database;
}
class Errors;
class cMessage2;
class ErrorDialogService;

class Context {
public:
    static Context& instance();
    // Drops everything (database, errors, services) and starts afresh.
    static void reset();

    std::shared_ptr<dao::Database> database;
    QString databasePassword;
    long userId = 0;

    std::shared_ptr<Errors> errors;              // replaced by every control initialisation
    std::shared_ptr<cMessage2> messages;         // the message service
    std::shared_ptr<ErrorDialogService> errorDialog;

    // Replaces the Errors collection (as each control initialisation does).
    void newErrors();
    // The current Errors collection, created on first use.
    Errors& currentErrors();
    // The message service, created on first use with the presenter installed
    // by the user interface (a scripted one in headless use).
    cMessage2& messageService();
    // The error dialog, created on first use with the dialog installed by the
    // user interface (a scripted one in headless use).
    ErrorDialogService& errorDialogService();
};

inline Context& ctx() { return Context::instance(); }

}  // namespace lg
