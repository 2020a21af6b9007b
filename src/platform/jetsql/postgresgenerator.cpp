// PostgreSQL generation. Jet's meaning is kept with these devices:
//  - truth values: conditions are PostgreSQL booleans; as a value a truth
//    value is -(b::int), Jet's -1/0/Null; a number used as a condition is
//    (n <> 0). Yes/No columns are smallint -1/0;
//  - text compares and sorts without regard to case in Hungarian order: text
//    columns are declared COLLATE jet_ci (ICU, case-insensitive, accents
//    kept); other text gets the collation where it is compared or sorted;
//  - LIKE and text search cannot work on that collation: both sides are
//    folded by ICU and matched bytewise (collation "C");
//  - dates are timestamp(0); where a date meets a number it counts as its day
//    number (jet_num/jet_date);
//  - operators whose meaning depends on run-time types (+, -) call overloaded
//    jet_* functions unless the tree already shows the types. The functions
//    come from postgresSetupSql().

#include "statementgenerator.h"
#include "jeterrors.h"

#include "platform/runtimeerror.h"

#include <QtCore/QHash>

#include <optional>

namespace lg::jetsql {

using namespace ast;

namespace {

const QString kSource = QStringLiteral("jetsql");

enum class SType { Unknown, Text, Number, Date, Bool, Null };

struct Gen {
    QString sql;
    SType type = SType::Unknown;
    bool boolean = false;  // the SQL is a PostgreSQL boolean
    bool column = false;
    bool textLiteral = false;
    bool numericText = false;
};

// Jet names are case-insensitive, quoted PostgreSQL names are not: every
// name (tables, columns, indexes, aliases) is written in lower case.
QString quoteName(const QString& name)
{
    QString q = name.toLower();
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

[[noreturn]] void notAvailable(const Expr& e)
{
    throw RuntimeError(errnum::UndefinedFunction, kSource,
                       QStringLiteral("Function '%1' is not available on PostgreSQL.").arg(e.text));
}

Gen make(QString sql, SType type, bool boolean = false)
{
    Gen g;
    g.sql = std::move(sql);
    g.type = type;
    g.boolean = boolean;
    return g;
}

QString call(const QString& fn, const QStringList& args)
{
    return fn + u'(' + args.join(QStringLiteral(", ")) + u')';
}

QString asText(const Gen& g)
{
    return g.type == SType::Text && !g.textLiteral ? g.sql : u'(' + g.sql + QStringLiteral(")::text");
}
QString asDouble(const Gen& g)
{
    return u'(' + g.sql + QStringLiteral(")::double precision");
}
QString asInt(const Gen& g)
{
    return QStringLiteral("round((%1)::double precision)::integer").arg(g.sql);
}

// The unit of a DateAdd/DateDiff/DatePart interval given as a literal.
QString intervalUnit(const Expr& e)
{
    if (e.kind != ExprKind::String)
        throw RuntimeError(errnum::SyntaxError, kSource,
                           QStringLiteral("The interval of a date function must be written as text on PostgreSQL."));
    const QString u = e.text.trimmed().toLower();
    static const QStringList units = {QStringLiteral("yyyy"), QStringLiteral("q"), QStringLiteral("m"),
                                      QStringLiteral("y"),    QStringLiteral("d"), QStringLiteral("w"),
                                      QStringLiteral("ww"),   QStringLiteral("h"), QStringLiteral("n"),
                                      QStringLiteral("s")};
    if (!units.contains(u))
        throw RuntimeError(jeterr::InvalidCall, kSource, QString::fromLatin1(kMsgInvalidCall));
    return u;
}

class PostgresGenerator final : public StatementGenerator {
private:
    // ---- spelling of the shared statement forms ------------------------------------
    QString quoteName(const QString& name) const override { return jetsql::quoteName(name); }
    QString valueSql(const Expr& e) override { return value(e).sql; }
    QString conditionSql(const Expr& e) override { return condition(e).sql; }
    QString sortKey(const Expr& e) override { return collated(value(e)); }
    QString selectItem(const Expr& e) override { return collated(value(e)); }
    QString rowAddress() const override { return QStringLiteral("ctid"); }
    QString expressionName(int n) const override { return QStringLiteral("expr%1").arg(n); }
    // PostgreSQL wants a name on every derived table.
    QString derivedTableName() override { return QStringLiteral(" AS \"jet_sub%1\"").arg(m_alias++); }

    QString limit(const Select& s, const QString& body) override
    {
        const QString n = s.top->text;
        if (!s.topPercent)
            return QStringLiteral(" LIMIT ") + n;
        return QStringLiteral(" LIMIT (SELECT ceil(count(*) * %1 / 100.0)::bigint FROM (%2) AS \"jet_all%3\")")
            .arg(n, body)
            .arg(m_alias++);
    }

    // A COUNTER is an identity column; the types keep Jet's (declaredType).
    QString columnDeclaration(const ColumnDef& c, bool, bool key) override
    {
        QString def = declaredType(c);
        if (c.type == ColumnType::Counter)
            def += QStringLiteral(" GENERATED BY DEFAULT AS IDENTITY");
        if (c.notNull || key)
            def += QStringLiteral(" NOT NULL");
        return def;
    }

    // ---- DDL -------------------------------------------------------------------
    QString declaredType(const ColumnDef& c) const
    {
        switch (c.type) {
        case ColumnType::Counter:
        case ColumnType::Long:
            return QStringLiteral("integer");
        case ColumnType::Short:
            return QStringLiteral("smallint");
        case ColumnType::Byte:
            return QStringLiteral("smallint CHECK (%1 BETWEEN 0 AND 255)").arg(quoteName(c.name));
        case ColumnType::Text:
            return QStringLiteral("varchar(%1) COLLATE jet_ci").arg(c.size > 0 ? c.size : 255);
        case ColumnType::Memo:
            return QStringLiteral("text COLLATE jet_ci");
        case ColumnType::DateTime:
            return QStringLiteral("timestamp(0)");
        case ColumnType::YesNo:
            return QStringLiteral("smallint CHECK (%1 IN (-1, 0))").arg(quoteName(c.name));
        case ColumnType::Double:
            return QStringLiteral("double precision");
        case ColumnType::Currency:
            return QStringLiteral("numeric(19, 4)");
        case ColumnType::Decimal:
            return QStringLiteral("numeric(%1, %2)").arg(c.size > 0 ? c.size : 18).arg(c.size > 0 ? c.scale : 0);
        case ColumnType::Binary:
            return QStringLiteral("bytea");
        }
        return {};
    }

    // ---- expressions -----------------------------------------------------------
    Gen value(const Expr& e)
    {
        Gen g = expr(e);
        if (g.boolean) {
            g.sql = QStringLiteral("(-(") + g.sql + QStringLiteral(")::integer)");
            g.boolean = false;
            g.type = SType::Bool;
        }
        return g;
    }

    Gen condition(const Expr& e)
    {
        Gen g = expr(e);
        if (g.boolean)
            return g;
        if (g.type == SType::Null)
            return make(QStringLiteral("NULL::boolean"), SType::Bool, true);
        if (g.type == SType::Date)
            return make(QStringLiteral("(jet_num(%1) <> 0)").arg(g.sql), SType::Bool, true);
        return make(QStringLiteral("((%1) <> 0)").arg(g.sql), SType::Bool, true);
    }

    // Text that is not a column (columns are declared with it) gets the
    // case-insensitive collation where it is compared, grouped or sorted.
    static QString collated(const Gen& g)
    {
        if (g.type == SType::Text && !g.column)
            return u'(' + g.sql + QStringLiteral(")::text COLLATE jet_ci");
        return g.sql;
    }

    static std::optional<double> literalNumber(const Expr& e)
    {
        if (e.kind == ExprKind::Number) {
            bool ok = false;
            const double d = e.text.toDouble(&ok);
            return ok ? std::optional<double>(d) : std::nullopt;
        }
        if (e.kind == ExprKind::Unary && e.op == Op::Neg && e.args[0]->kind == ExprKind::Number)
            if (const auto d = literalNumber(*e.args[0]))
                return -*d;
        return std::nullopt;
    }

    Gen expr(const Expr& e)
    {
        switch (e.kind) {
        case ExprKind::Null:
            return make(QStringLiteral("NULL"), SType::Null);
        case ExprKind::Number:
            return make(e.text, SType::Number);
        case ExprKind::String: {
            Gen g = make(quoteText(e.text), SType::Text);
            g.textLiteral = true;
            bool ok = false;
            e.text.trimmed().toDouble(&ok);
            g.numericText = ok;
            return g;
        }
        case ExprKind::Date:
            return make(QStringLiteral("timestamp '") + e.text + u'\'', SType::Date);
        case ExprKind::Bool:
            return make(QString::number(e.number), SType::Bool);
        case ExprKind::Column: {
            QStringList parts;
            for (const QString& n : e.names)
                parts << quoteName(n);
            Gen g = make(parts.join(u'.'), SType::Unknown);
            g.column = true;
            return g;
        }
        case ExprKind::Star:
            return make(e.names.isEmpty() ? QStringLiteral("*") : quoteName(e.names.front()) + QStringLiteral(".*"),
                        SType::Unknown);
        case ExprKind::Unary:
            return unary(e);
        case ExprKind::Binary:
            return binary(e);
        case ExprKind::Function:
            return function(e);
        case ExprKind::Between:
            return between(e);
        case ExprKind::InList: {
            Gen v = value(*e.args[0]);
            bool text = v.type == SType::Text;
            QStringList items;
            for (size_t i = 1; i < e.args.size(); ++i) {
                Gen item = value(*e.args[i]);
                text = text || item.type == SType::Text;
                items << item.sql;
            }
            const QString left = text ? u'(' + v.sql + QStringLiteral(")::text COLLATE jet_ci") : v.sql;
            return make(u'(' + left + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) +
                            items.join(QStringLiteral(", ")) + QStringLiteral("))"),
                        SType::Bool, true);
        }
        case ExprKind::InSelect: {
            Gen v = value(*e.args[0]);
            return make(u'(' + collated(v) + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) +
                            select(*e.select) + QStringLiteral("))"),
                        SType::Bool, true);
        }
        case ExprKind::IsNull: {
            Gen v = value(*e.args[0]);
            return make(u'(' + v.sql + (e.negated ? QStringLiteral(" IS NOT NULL)") : QStringLiteral(" IS NULL)")),
                        SType::Bool, true);
        }
        case ExprKind::Like:
            return like(e);
        case ExprKind::Subquery:
            return make(u'(' + select(*e.select) + u')', SType::Unknown);
        case ExprKind::Exists:
            return make(QStringLiteral("EXISTS (") + select(*e.select) + u')', SType::Bool, true);
        case ExprKind::Parameter:
            return make(u'$' + QString::number(e.number), SType::Unknown);
        }
        return make(QStringLiteral("NULL"), SType::Null);
    }

    // LIKE: the value folded by ICU, matched bytewise. A pattern written
    // with only * and ? becomes a LIKE pattern (an index on the folded
    // column can serve it); any other pattern goes through jet_like.
    Gen like(const Expr& e)
    {
        Gen v = value(*e.args[0]);
        const Expr& p = *e.args[1];
        QString sql;
        if (p.kind == ExprKind::String && !p.text.contains(u'[') && !p.text.contains(u'#')) {
            QString pattern;
            for (const QChar c : p.text.toLower()) {
                if (c == u'*')
                    pattern += u'%';
                else if (c == u'?')
                    pattern += u'_';
                else if (c == u'%' || c == u'_' || c == u'\\')
                    pattern += u'\\' + QString(c);
                else
                    pattern += c;
            }
            sql = QStringLiteral("(jet_fold(%1) COLLATE \"C\" LIKE %2)").arg(asText(v), quoteText(pattern));
        } else {
            sql = call(QStringLiteral("jet_like"), {asText(v), asText(value(p))});
        }
        return make(e.negated ? QStringLiteral("(NOT ") + sql + u')' : sql, SType::Bool, true);
    }

    Gen between(const Expr& e)
    {
        Gen v = value(*e.args[0]);
        Gen lo = value(*e.args[1]);
        Gen hi = value(*e.args[2]);
        const QString op = e.negated ? QStringLiteral(" NOT BETWEEN SYMMETRIC ") : QStringLiteral(" BETWEEN SYMMETRIC ");
        const bool text = v.type == SType::Text || lo.type == SType::Text || hi.type == SType::Text;
        QString left = text ? u'(' + v.sql + QStringLiteral(")::text COLLATE jet_ci") : v.sql;
        return make(u'(' + left + op + lo.sql + QStringLiteral(" AND ") + hi.sql + u')', SType::Bool, true);
    }

    Gen unary(const Expr& e)
    {
        switch (e.op) {
        case Op::Neg: {
            Gen a = value(*e.args[0]);
            if (a.type == SType::Date)
                return make(QStringLiteral("(-jet_num(%1))").arg(a.sql), SType::Number);
            return make(QStringLiteral("(-") + a.sql + u')', SType::Number);
        }
        case Op::Plus:
            return value(*e.args[0]);
        case Op::Not:
            return make(QStringLiteral("(NOT ") + condition(*e.args[0]).sql + u')', SType::Bool, true);
        default:
            break;
        }
        syntaxError(e.pos, QStringLiteral("unexpected operator"));
    }

    Gen comparison(const Expr& e)
    {
        static const QHash<int, QString> ops = {
            {int(Op::Eq), QStringLiteral(" = ")}, {int(Op::Ne), QStringLiteral(" <> ")},
            {int(Op::Lt), QStringLiteral(" < ")}, {int(Op::Le), QStringLiteral(" <= ")},
            {int(Op::Gt), QStringLiteral(" > ")}, {int(Op::Ge), QStringLiteral(" >= ")},
        };
        Gen a = value(*e.args[0]);
        Gen b = value(*e.args[1]);
        // A date meets a number as its day number.
        if (a.type == SType::Date && b.type == SType::Number)
            a.sql = call(QStringLiteral("jet_num"), {a.sql});
        else if (b.type == SType::Date && a.type == SType::Number)
            b.sql = call(QStringLiteral("jet_num"), {b.sql});
        // Text compares without regard to case, in Hungarian order.
        QString left = a.sql;
        if (a.type == SType::Text && !a.column)
            left = collated(a);
        else if (b.type == SType::Text && !b.column)
            b.sql = collated(b);
        return make(u'(' + left + ops.value(int(e.op)) + b.sql + u')', SType::Bool, true);
    }

    Gen logical(const Expr& e)
    {
        Gen a = condition(*e.args[0]);
        Gen b = condition(*e.args[1]);
        switch (e.op) {
        case Op::And:
            return make(u'(' + a.sql + QStringLiteral(" AND ") + b.sql + u')', SType::Bool, true);
        case Op::Or:
            return make(u'(' + a.sql + QStringLiteral(" OR ") + b.sql + u')', SType::Bool, true);
        case Op::Xor:
            return make(u'(' + a.sql + QStringLiteral(" <> ") + b.sql + u')', SType::Bool, true);
        case Op::Eqv:
            return make(u'(' + a.sql + QStringLiteral(" = ") + b.sql + u')', SType::Bool, true);
        case Op::Imp:
            return make(QStringLiteral("(NOT ") + a.sql + QStringLiteral(" OR ") + b.sql + u')', SType::Bool, true);
        default:
            break;
        }
        syntaxError(e.pos, QStringLiteral("unexpected operator"));
    }

    // A number for arithmetic: a date is its day number.
    static QString number(const Gen& g)
    {
        if (g.type == SType::Date)
            return call(QStringLiteral("jet_num"), {g.sql});
        if (g.type == SType::Number)
            return g.sql;
        return asDouble(g);
    }

    Gen binary(const Expr& e)
    {
        switch (e.op) {
        case Op::And:
        case Op::Or:
        case Op::Xor:
        case Op::Eqv:
        case Op::Imp:
            return logical(e);
        case Op::Eq:
        case Op::Ne:
        case Op::Lt:
        case Op::Le:
        case Op::Gt:
        case Op::Ge:
            return comparison(e);
        default:
            break;
        }
        Gen a = value(*e.args[0]);
        Gen b = value(*e.args[1]);
        switch (e.op) {
        case Op::Concat:
            return make(call(QStringLiteral("jet_concat"), {asText(a), asText(b)}), SType::Text);
        case Op::Add: {
            if (a.type == SType::Null || b.type == SType::Null)
                return make(QStringLiteral("NULL"), SType::Null);
            if ((a.type == SType::Text && b.type == SType::Text) || (a.textLiteral && !a.numericText) ||
                (b.textLiteral && !b.numericText))
                return make(u'(' + asText(a) + QStringLiteral(" || ") + asText(b) + u')', SType::Text);
            if (a.type == SType::Number && b.type == SType::Number)
                return make(u'(' + a.sql + QStringLiteral(" + ") + b.sql + u')', SType::Number);
            if (a.textLiteral)
                a.sql = asDouble(a);
            if (b.textLiteral)
                b.sql = asDouble(b);
            const bool date = a.type == SType::Date || b.type == SType::Date;
            return make(call(QStringLiteral("jet_add"), {a.sql, b.sql}), date ? SType::Date : SType::Unknown);
        }
        case Op::Sub:
            if (a.type == SType::Null || b.type == SType::Null)
                return make(QStringLiteral("NULL"), SType::Null);
            if (a.type == SType::Number && b.type == SType::Number)
                return make(u'(' + a.sql + QStringLiteral(" - ") + b.sql + u')', SType::Number);
            return make(call(QStringLiteral("jet_sub"), {a.sql, b.sql}),
                        a.type == SType::Date && b.type == SType::Number ? SType::Date
                        : a.type == SType::Date && b.type == SType::Date ? SType::Number
                                                                         : SType::Unknown);
        case Op::Mul:
            return make(u'(' + number(a) + QStringLiteral(" * ") + number(b) + u')', SType::Number);
        case Op::Div:
            // Always fractional, as a double.
            return make(u'(' + asDouble(make(number(a), SType::Number)) + QStringLiteral(" / ") + number(b) + u')',
                        SType::Number);
        case Op::IntDiv:
            return make(call(QStringLiteral("jet_idiv"), {asDouble(a), asDouble(b)}), SType::Number);
        case Op::Mod:
            return make(call(QStringLiteral("jet_mod"), {asDouble(a), asDouble(b)}), SType::Number);
        case Op::Pow:
            return make(call(QStringLiteral("power"), {asDouble(a), asDouble(b)}), SType::Number);
        default:
            break;
        }
        syntaxError(e.pos, QStringLiteral("unexpected operator"));
    }

    [[noreturn]] static void wrongArguments(const Expr& e)
    {
        throw RuntimeError(
            errnum::SyntaxError, kSource,
            QStringLiteral("Wrong number of arguments used with function in query expression '%1'.").arg(e.text));
    }

    Gen function(const Expr& e)
    {
        QString name = e.text.toLower();
        if (name.endsWith(u'$'))
            name.chop(1);
        const size_t n = e.args.size();
        auto need = [&](size_t lo, size_t hi) {
            if (n < lo || n > hi)
                wrongArguments(e);
        };
        auto arg = [&](size_t i) { return value(*e.args[i]); };
        auto text1 = [&](const char* fn) {
            need(1, 1);
            return make(QLatin1String(fn) + u'(' + asText(arg(0)) + u')', SType::Text);
        };
        auto aggregate = [&](const QString& fn, SType type, bool star, bool asNumber) {
            need(1, 1);
            const bool isStar = e.args[0]->kind == ExprKind::Star;
            if (isStar && !star)
                wrongArguments(e);
            Gen a = isStar ? make(QStringLiteral("*"), SType::Unknown) : arg(0);
            const QString inner = asNumber ? asDouble(a) : (type == SType::Unknown ? collated(a) : a.sql);
            return make(fn + u'(' + (e.distinct ? QStringLiteral("DISTINCT ") : QString()) + inner + u')',
                        type == SType::Unknown ? a.type : type);
        };
        auto datePart = [&](const char* field) {
            need(1, 1);
            return make(QStringLiteral("date_part('%1', (%2)::timestamp)::integer").arg(QLatin1String(field), arg(0).sql),
                        SType::Number);
        };

        if (name == u"iif") {
            need(3, 3);
            Gen c = condition(*e.args[0]);
            Gen a = arg(1), b = arg(2);
            const SType t = a.type == b.type ? a.type : a.type == SType::Null ? b.type : b.type == SType::Null ? a.type
                                                                                                                : SType::Unknown;
            return make(QStringLiteral("CASE WHEN ") + c.sql + QStringLiteral(" THEN ") + a.sql +
                            QStringLiteral(" ELSE ") + b.sql + QStringLiteral(" END"),
                        t);
        }
        if (name == u"nz") {
            need(1, 2);
            Gen a = arg(0);
            if (n == 1)
                return make(call(QStringLiteral("coalesce"), {asText(a), QStringLiteral("''")}), SType::Text);
            Gen b = arg(1);
            return make(call(QStringLiteral("coalesce"), {a.sql, b.sql}), a.type == b.type ? a.type : SType::Unknown);
        }
        if (name == u"isnull") {
            need(1, 1);
            return make(u'(' + arg(0).sql + QStringLiteral(" IS NULL)"), SType::Bool, true);
        }
        if (name == u"ucase")
            return text1("upper");
        if (name == u"lcase")
            return text1("lower");
        if (name == u"trim")
            return text1("btrim");
        if (name == u"ltrim")
            return text1("ltrim");
        if (name == u"rtrim")
            return text1("rtrim");
        if (name == u"cstr") {
            need(1, 1);
            return make(asText(arg(0)), SType::Text);
        }
        if (name == u"left" || name == u"right") {
            need(2, 2);
            return make(call(name, {asText(arg(0)), asInt(arg(1))}), SType::Text);
        }
        if (name == u"mid") {
            need(2, 3);
            QStringList args{asText(arg(0)), asInt(arg(1))};
            if (n == 3)
                args << asInt(arg(2));
            return make(call(QStringLiteral("substr"), args), SType::Text);
        }
        if (name == u"len") {
            need(1, 1);
            return make(call(QStringLiteral("length"), {asText(arg(0))}), SType::Number);
        }
        if (name == u"instr") {
            need(2, 3);
            if (n == 2)
                return make(call(QStringLiteral("jet_instr"), {QStringLiteral("1"), asText(arg(0)), asText(arg(1))}),
                            SType::Number);
            return make(call(QStringLiteral("jet_instr"), {asDouble(arg(0)), asText(arg(1)), asText(arg(2))}),
                        SType::Number);
        }
        if (name == u"replace") {
            need(3, 3);
            return make(QStringLiteral("replace(%1 COLLATE \"C\", %2, %3)")
                            .arg(asText(arg(0)), asText(arg(1)), asText(arg(2))),
                        SType::Text);
        }
        if (name == u"space") {
            need(1, 1);
            return make(QStringLiteral("repeat(' ', %1)").arg(asInt(arg(0))), SType::Text);
        }
        if (name == u"string") {
            need(2, 2);
            return make(QStringLiteral("repeat(left(%1, 1), %2)").arg(asText(arg(1)), asInt(arg(0))), SType::Text);
        }
        if (name == u"chr" || name == u"chrw") {
            need(1, 1);
            return make(call(QStringLiteral("chr"), {asInt(arg(0))}), SType::Text);
        }
        if (name == u"asc" || name == u"ascw") {
            need(1, 1);
            return make(call(QStringLiteral("ascii"), {asText(arg(0))}), SType::Number);
        }
        if (name == u"clng" || name == u"cint" || name == u"cbyte") {
            need(1, 1);
            // float8 round() rounds half to even, as Jet does.
            return make(QStringLiteral("round(%1)::%2")
                            .arg(asDouble(arg(0)), name == u"clng" ? QStringLiteral("integer") : QStringLiteral("smallint")),
                        SType::Number);
        }
        if (name == u"cdbl" || name == u"val") {
            need(1, 1);
            return make(asDouble(arg(0)), SType::Number);
        }
        if (name == u"csng") {
            need(1, 1);
            return make(u'(' + arg(0).sql + QStringLiteral(")::real"), SType::Number);
        }
        if (name == u"ccur") {
            need(1, 1);
            return make(u'(' + arg(0).sql + QStringLiteral(")::numeric(19, 4)"), SType::Number);
        }
        if (name == u"cbool") {
            need(1, 1);
            return condition(*e.args[0]);
        }
        if (name == u"cdate" || name == u"cvdate") {
            need(1, 1);
            Gen a = arg(0);
            if (a.type == SType::Number)
                return make(call(QStringLiteral("jet_date"), {asDouble(a)}), SType::Date);
            return make(u'(' + a.sql + QStringLiteral(")::timestamp(0)"), SType::Date);
        }
        if (name == u"abs") {
            need(1, 1);
            return make(call(QStringLiteral("abs"), {number(arg(0))}), SType::Number);
        }
        if (name == u"int" || name == u"fix") {
            need(1, 1);
            Gen a = arg(0);
            if (a.type == SType::Date)
                return make(QStringLiteral("date_trunc('day', %1)::timestamp(0)").arg(a.sql), SType::Date);
            return make(call(name == u"int" ? QStringLiteral("floor") : QStringLiteral("trunc"), {number(a)}),
                        SType::Number);
        }
        if (name == u"round") {
            need(1, 2);
            // float8 round() rounds half to even, as Jet does.
            if (n == 1)
                return make(QStringLiteral("round(%1)").arg(asDouble(arg(0))), SType::Number);
            return make(QStringLiteral("(round(%1 * power(10, %2)) / power(10, %2))").arg(asDouble(arg(0)), asInt(arg(1))),
                        SType::Number);
        }
        if (name == u"year")
            return datePart("year");
        if (name == u"month")
            return datePart("month");
        if (name == u"day")
            return datePart("day");
        if (name == u"hour")
            return datePart("hour");
        if (name == u"minute")
            return datePart("minute");
        if (name == u"second")
            return datePart("second");
        if (name == u"weekday") {
            need(1, 1);
            return make(QStringLiteral("(date_part('dow', (%1)::timestamp)::integer + 1)").arg(arg(0).sql), SType::Number);
        }
        if (name == u"now") {
            need(0, 0);
            return make(QStringLiteral("localtimestamp(0)"), SType::Date);
        }
        if (name == u"date") {
            need(0, 0);
            return make(QStringLiteral("current_date::timestamp(0)"), SType::Date);
        }
        if (name == u"dateserial") {
            need(3, 3);
            return make(QStringLiteral("(make_date(%1, 1, 1) + (%2 - 1) * interval '1 month' + (%3 - 1) * interval "
                                       "'1 day')::timestamp(0)")
                            .arg(asInt(arg(0)), asInt(arg(1)), asInt(arg(2))),
                        SType::Date);
        }
        if (name == u"timeserial") {
            need(3, 3);
            return make(QStringLiteral("(timestamp '1899-12-30' + make_interval(hours => %1, mins => %2, secs => %3))"
                                       "::timestamp(0)")
                            .arg(asInt(arg(0)), asInt(arg(1)), asInt(arg(2))),
                        SType::Date);
        }
        if (name == u"datevalue") {
            need(1, 1);
            return make(QStringLiteral("date_trunc('day', (%1)::timestamp)::timestamp(0)").arg(arg(0).sql), SType::Date);
        }
        if (name == u"timevalue") {
            need(1, 1);
            return make(QStringLiteral("(timestamp '1899-12-30' + (%1)::timestamp::time)::timestamp(0)").arg(arg(0).sql),
                        SType::Date);
        }
        if (name == u"dateadd")
            return dateAdd(e);
        if (name == u"datediff")
            return dateDiff(e);
        if (name == u"datepart")
            return datePartOf(e);
        if (name == u"switch" || name == u"choose")
            return switchOrChoose(e, name == u"switch");
        if (name == u"count")
            return aggregate(QStringLiteral("count"), SType::Number, true, false);
        if (name == u"sum")
            return aggregate(QStringLiteral("sum"), SType::Number, false, false);
        if (name == u"avg")
            return aggregate(QStringLiteral("avg"), SType::Number, false, true);
        if (name == u"min" || name == u"max")
            return aggregate(name, SType::Unknown, false, false);
        if (name == u"first" || name == u"last")
            return aggregate(QStringLiteral("jet_") + name, SType::Unknown, false, false);
        if (name == u"stdev")
            return aggregate(QStringLiteral("stddev_samp"), SType::Number, false, true);
        if (name == u"stdevp")
            return aggregate(QStringLiteral("stddev_pop"), SType::Number, false, true);
        if (name == u"var")
            return aggregate(QStringLiteral("var_samp"), SType::Number, false, true);
        if (name == u"varp")
            return aggregate(QStringLiteral("var_pop"), SType::Number, false, true);
        static const QStringList elsewhere = {QStringLiteral("format"), QStringLiteral("strcomp")};
        if (elsewhere.contains(name))
            notAvailable(e);
        throw RuntimeError(errnum::UndefinedFunction, kSource,
                           QStringLiteral("Undefined function '%1' in expression.").arg(e.text));
    }

    static QString unitInterval(const QString& unit)
    {
        static const QHash<QString, QString> intervals = {
            {QStringLiteral("yyyy"), QStringLiteral("1 year")}, {QStringLiteral("q"), QStringLiteral("3 months")},
            {QStringLiteral("m"), QStringLiteral("1 month")},   {QStringLiteral("y"), QStringLiteral("1 day")},
            {QStringLiteral("d"), QStringLiteral("1 day")},     {QStringLiteral("w"), QStringLiteral("1 day")},
            {QStringLiteral("ww"), QStringLiteral("7 days")},   {QStringLiteral("h"), QStringLiteral("1 hour")},
            {QStringLiteral("n"), QStringLiteral("1 minute")},  {QStringLiteral("s"), QStringLiteral("1 second")},
        };
        return intervals.value(unit);
    }

    Gen dateAdd(const Expr& e)
    {
        if (e.args.size() != 3)
            wrongArguments(e);
        const QString unit = intervalUnit(*e.args[0]);
        return make(QStringLiteral("((%1)::timestamp + trunc(%2) * interval '%3')::timestamp(0)")
                        .arg(value(*e.args[2]).sql, asDouble(value(*e.args[1])), unitInterval(unit)),
                    SType::Date);
    }

    // The number of unit boundaries between two dates.
    Gen dateDiff(const Expr& e)
    {
        if (e.args.size() != 3)
            notAvailable(e);  // the week arguments are not translated yet
        const QString unit = intervalUnit(*e.args[0]);
        const QString a = u'(' + value(*e.args[1]).sql + QStringLiteral(")::timestamp");
        const QString b = u'(' + value(*e.args[2]).sql + QStringLiteral(")::timestamp");
        QString sql;
        if (unit == u"yyyy")
            sql = QStringLiteral("(date_part('year', %2) - date_part('year', %1))");
        else if (unit == u"q")
            sql = QStringLiteral("((date_part('year', %2) * 4 + date_part('quarter', %2)) - (date_part('year', %1) * 4 + "
                                 "date_part('quarter', %1)))");
        else if (unit == u"m")
            sql = QStringLiteral("((date_part('year', %2) * 12 + date_part('month', %2)) - (date_part('year', %1) * 12 + "
                                 "date_part('month', %1)))");
        else if (unit == u"d" || unit == u"y" || unit == u"w")
            sql = unit == u"w" ? QStringLiteral("trunc((%2::date - %1::date) / 7.0)")
                               : QStringLiteral("(%2::date - %1::date)");
        else if (unit == u"ww")
            sql = QStringLiteral("((date_trunc('week', %2 + interval '1 day')::date - date_trunc('week', %1 + interval "
                                 "'1 day')::date) / 7)");
        else {
            const QString field = unit == u"h" ? QStringLiteral("hour") : unit == u"n" ? QStringLiteral("minute")
                                                                                       : QStringLiteral("second");
            const int seconds = unit == u"h" ? 3600 : unit == u"n" ? 60 : 1;
            sql = QStringLiteral("(extract(epoch FROM date_trunc('%3', %2) - date_trunc('%3', %1)) / %4)")
                      .arg(field)
                      .arg(seconds);
        }
        return make(sql.arg(a, b) + QStringLiteral("::integer"), SType::Number);
    }

    Gen datePartOf(const Expr& e)
    {
        if (e.args.size() != 2)
            notAvailable(e);
        const QString unit = intervalUnit(*e.args[0]);
        static const QHash<QString, QString> fields = {
            {QStringLiteral("yyyy"), QStringLiteral("year")},  {QStringLiteral("q"), QStringLiteral("quarter")},
            {QStringLiteral("m"), QStringLiteral("month")},    {QStringLiteral("y"), QStringLiteral("doy")},
            {QStringLiteral("d"), QStringLiteral("day")},      {QStringLiteral("h"), QStringLiteral("hour")},
            {QStringLiteral("n"), QStringLiteral("minute")},   {QStringLiteral("s"), QStringLiteral("second")},
        };
        const QString d = u'(' + value(*e.args[1]).sql + QStringLiteral(")::timestamp");
        if (unit == u"w")
            return make(QStringLiteral("(date_part('dow', %1)::integer + 1)").arg(d), SType::Number);
        if (unit == u"ww")
            notAvailable(e);
        return make(QStringLiteral("date_part('%1', %2)::integer").arg(fields.value(unit), d), SType::Number);
    }

    Gen switchOrChoose(const Expr& e, bool isSwitch)
    {
        const size_t n = e.args.size();
        if (n < 2 || (isSwitch && n % 2 != 0))
            wrongArguments(e);
        QString sql = isSwitch ? QStringLiteral("CASE")
                               : QStringLiteral("CASE trunc(") + asDouble(value(*e.args[0])) + u')';
        SType type = SType::Null;
        bool first = true;
        auto mergeType = [&](const Gen& g) {
            if (g.type == SType::Null)
                return;
            type = first || type == SType::Null ? g.type : (type == g.type ? type : SType::Unknown);
            first = false;
        };
        if (isSwitch) {
            for (size_t k = 0; k + 1 < n; k += 2) {
                Gen v = value(*e.args[k + 1]);
                mergeType(v);
                sql += QStringLiteral(" WHEN ") + condition(*e.args[k]).sql + QStringLiteral(" THEN ") + v.sql;
            }
        } else {
            for (size_t k = 1; k < n; ++k) {
                Gen v = value(*e.args[k]);
                mergeType(v);
                sql += QStringLiteral(" WHEN %1 THEN ").arg(k) + v.sql;
            }
        }
        return make(sql + QStringLiteral(" END"), type == SType::Null && !first ? SType::Unknown : type);
    }

    int m_alias = 1;
};

}  // namespace

std::unique_ptr<Generator> makePostgresGenerator()
{
    return std::make_unique<PostgresGenerator>();
}

}  // namespace lg::jetsql
