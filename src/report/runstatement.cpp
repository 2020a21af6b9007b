#include "runstatement.h"

#include "platform/jetsql/ast.h"
#include "platform/jetsql/parser.h"
#include "platform/runtimeerror.h"

using namespace Qt::StringLiterals;

namespace lg::report {

using jetsql::parseCondition;
namespace ast = jetsql::ast;

QString trueCondition() { return u" (TRUE) "_s; }

QString runCondition(const QString& preFilterCondition, const QString& hostCondition)
{
    const QString pre = preFilterCondition.trimmed();
    const QString host = hostCondition.trimmed();
    if (pre.isEmpty())
        return host.isEmpty() ? trueCondition() : host;
    return host.isEmpty() ? pre : pre + u" AND "_s + host;
}

void checkRunCondition(const QString& condition, const QString& what)
{
    traced(u"runstatement"_s, TraceKind::Sub, u"checkRunCondition"_s, [&] {
        if (condition.trimmed().isEmpty())
            return;
        ast::Condition parsed;
        try {
            parsed = parseCondition(condition);
        } catch (const RuntimeError& e) {
            throw RuntimeError(errnum::SyntaxError, u"runstatement"_s,
                               u"%1 is not one complete condition: %2"_s.arg(what, e.description()));
        }
        if (!parsed.parameters.isEmpty())
            throw RuntimeError(errnum::SyntaxError, u"runstatement"_s,
                               u"%1 is not one complete condition: it has a parameter marker"_s.arg(what));
    });
}

QString parameterReplacement(const QString& parameter)
{
    const QString p = parameter.trimmed();
    return p.isEmpty() ? trueCondition() : u" "_s + parameter + u" "_s;
}

QString runUserPlaceholder()
{
    return u"%RUNUSERID%"_s;
}

QString buildRunStatement(const QString& sqlSource, const QString& condition, const RunParameters& parameters,
                          long runUserId)
{
    const QString where = condition.trimmed().isEmpty() ? trueCondition() : condition;
    const QString runUser = QString::number(runUserId);
    static const QString kRunUser = runUserPlaceholder();
    std::array<QString, 5> pars;
    for (size_t i = 0; i < pars.size(); ++i)
        pars[i] = parameterReplacement(parameters[i]);

    static const QString kWhere = u"%WHERE%"_s;
    QString out;
    out.reserve(sqlSource.size() + where.size() + 64);
    const qsizetype n = sqlSource.size();
    qsizetype done = 0;  // everything before this position is in `out`
    for (qsizetype i = sqlSource.indexOf(u'%'); i >= 0 && i < n; i = sqlSource.indexOf(u'%', i)) {
        const QStringView rest = QStringView(sqlSource).mid(i);
        const QString* replacement = nullptr;
        qsizetype length = 0;
        if (rest.startsWith(kWhere)) {
            replacement = &where;
            length = kWhere.size();
        } else if (rest.size() >= 6 && rest.startsWith(u"%PAR") && rest[5] == u'%' && rest[4] >= u'1'
                   && rest[4] <= u'5') {
            replacement = &pars[size_t(rest[4].unicode() - u'1')];
            length = 6;
        } else if (rest.startsWith(kRunUser)) {
            replacement = &runUser;
            length = kRunUser.size();
        }
        if (!replacement) {
            ++i;
            continue;
        }
        out += QStringView(sqlSource).mid(done, i - done);
        out += *replacement;
        i += length;
        done = i;
    }
    out += QStringView(sqlSource).mid(done);
    return out;
}

}  // namespace lg::report
