// listgen deny | lift | denials: permission denials for administrators who
// manage them by script, through the same operations as the permission
// administration control.
//
//   deny     records a denial (or finds the existing one); prints the
//            control's deny sentence, then the denial's id
//   lift     --id N lifts one denial; otherwise prints the bulk-lift sentence
//            and lifts every denial that matches
//   denials  the live denials: id, kind, group, type and list, tab-separated

#include <QtCore/QFileInfo>

#include "admin/authadmin.h"
#include "command.h"
#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/errors.h"
#include "store/tables.h"

namespace lg::cli {

namespace {

using namespace Qt::StringLiterals;

void openDatabase(const Args& args)
{
    const QString path = args.required(u"db"_s);
    if (!QFileInfo(path).isFile())
        throw UsageError{u"no database file \"%1\""_s.arg(path)};
    ctx().database = dao::Database::open(path);
    modTables::Initialize();
}

long kindOf(const Args& args)
{
    const QString kind = args.required(u"kind"_s);
    if (kind == u"edit"_s)
        return admin::kEditDenial;
    if (kind == u"run"_s)
        return admin::kRunDenial;
    throw UsageError{u"--kind is edit or run, not \"%1\""_s.arg(kind)};
}

int failWithErrors(const char* command)
{
    QString reason;
    for (const auto& e : ctx().currentErrors())
        reason += u"listgen %1: "_s.arg(QLatin1String(command)) + e->description() + u'\n';
    printErr(reason);
    return 1;
}

// Fills the names of the chosen ids; an id that names nothing is an error.
bool nameChoice(admin::AuthChoice& c)
{
    bool ok = true;
    if (c.groupId != admin::kNotChosen && (c.group = admin::userGroupName(c.groupId)).isEmpty()) {
        AddError(0, u"Nincs %1 azonosítójú felhasználó csoport."_s.arg(c.groupId));
        ok = false;
    }
    if (c.typeId != admin::kNotChosen && (c.type = admin::listTypeName(c.typeId)).isEmpty()) {
        AddError(0, u"Nincs %1 azonosítójú lista típus."_s.arg(c.typeId));
        ok = false;
    }
    if (c.kind == admin::kRunDenial && c.listId != admin::kNotChosen) {
        if (c.typeId == admin::kNotChosen) {
            AddError(0, u"A listához a lista típus megadása kötelező."_s);
            ok = false;
        } else if (admin::listTypeOfList(c.listId) != c.typeId) {
            AddError(0, u"Nincs %1 azonosítójú lista a(z) %2 azonosítójú lista típusban."_s.arg(c.listId).arg(
                            c.typeId));
            ok = false;
        } else {
            c.list = admin::listName(c.listId);
        }
    }
    return ok;
}

admin::AuthChoice choiceOf(const Args& args)
{
    admin::AuthChoice c;
    c.kind = kindOf(args);
    c.groupId = args.number(u"group"_s).value_or(admin::kNotChosen);
    c.typeId = args.number(u"type"_s).value_or(admin::kNotChosen);
    c.listId = args.number(u"list"_s).value_or(admin::kNotChosen);
    if (c.kind == admin::kEditDenial)
        c.listId = admin::kNotChosen;
    return c;
}

int runDeny(const Args& args)
{
    admin::AuthChoice c = choiceOf(args);
    openDatabase(args);
    if (!admin::canDeny(c)) {
        printErr(u"listgen deny: "_s + admin::denySentence(c).text + u'\n');
        return 1;
    }
    if (!nameChoice(c))
        return failWithErrors("deny");
    long id = -1;
    const admin::DenyOutcome outcome = admin::deny(c, id);
    if (outcome == admin::DenyOutcome::Refused || outcome == admin::DenyOutcome::Failed)
        return failWithErrors("deny");
    printOut(admin::denySentence(c).text + u'\n' + QString::number(id) + u'\n');
    return 0;
}

int runLift(const Args& args)
{
    if (const auto id = args.number(u"id"_s)) {
        for (const char* other : {"kind", "group", "type", "list", "module"})
            if (args.has(QLatin1String(other)))
                throw UsageError{u"--id lifts one denial; --%1 does not go with it"_s.arg(QLatin1String(other))};
        openDatabase(args);
        if (!admin::lift(*id))
            return failWithErrors("lift");
        return 0;
    }
    admin::AuthChoice c = choiceOf(args);
    const long modul = args.number(u"module"_s).value_or(-1);
    openDatabase(args);
    if (!nameChoice(c))
        return failWithErrors("lift");
    printOut(admin::bulkLiftSentence(c) + u'\n');
    if (!admin::liftInBulk(c, modul))
        return failWithErrors("lift");
    return 0;
}

int runDenials(const Args& args)
{
    const long kind = args.has(u"kind"_s) ? kindOf(args) : -1;
    openDatabase(args);
    QString out;
    for (const admin::Denial& d : admin::liveDenials(kind)) {
        out += QString::number(d.id) + u'\t' + (d.kind == admin::kEditDenial ? u"edit"_s : u"run"_s) + u'\t' +
               d.group + u'\t' + d.type + u'\t' + d.list + u'\n';
    }
    printOut(out);
    return 0;
}

RegisterCommand regDeny{{"deny",
                         "--db FILE --kind edit|run --group ID --type ID [--list ID]",
                         "denies a user group editing or running a list type (or one list of it); prints what was "
                         "denied and the denial's id",
                         false,
                         &runDeny,
                         {},
                         nullptr,
                         {u"db"_s, u"kind"_s, u"group"_s, u"type"_s, u"list"_s}}};

RegisterCommand regLift{{"lift",
                         "--db FILE (--id N | --kind edit|run [--group ID] [--type ID] [--list ID] [--module ID])",
                         "lifts one denial, or every denial that matches (a missing choice means all); prints what "
                         "is lifted",
                         false,
                         &runLift,
                         {},
                         nullptr,
                         {u"db"_s, u"id"_s, u"kind"_s, u"group"_s, u"type"_s, u"list"_s, u"module"_s}}};

RegisterCommand regDenials{{"denials",
                            "--db FILE [--kind edit|run]",
                            "lists the live denials: id, kind, group, list type and list, tab-separated",
                            false,
                            &runDenials,
                            {},
                            nullptr,
                            {u"db"_s, u"kind"_s}}};

}  // namespace

}  // namespace lg::cli
