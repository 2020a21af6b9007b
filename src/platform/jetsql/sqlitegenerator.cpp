// SQLite generation. Jet's meaning is kept with these devices:
//  - truth values: SQLite comparisons give 1/0; where a truth value is used
//    as a value it is negated to Jet's -1/0, as a condition it stays as is;
//  - text comparison: explicit COLLATE JET where a comparison or an ordering
//    involves text that is not a plain column (columns carry it declared);
//  - operators whose meaning depends on run-time types (+, -, &, \, Mod, ^)
//    call the jet_* functions unless the tree already shows the types;
//  - dates are canonical text, date literals become that text; where a date
//    meets a number it counts as its day number (jet_num, or a second
//    comparison with the number's date text so that a column keeps its index);
//  - And, Or, Xor, Eqv, Imp and Not are logical on numbers too: SQLite's
//    1/0/NULL, negated to Jet's -1/0/Null as a value.

#include "statementgenerator.h"
#include "jetcompare.h"
#include "jetdate.h"
#include "jettypes.h"
#include "jetvalues.h"

#include "platform/runtimeerror.h"

#include <QtCore/QHash>

#include <optional>

namespace lg::jetsql {

using namespace ast;

namespace {

const QString kSource = QStringLiteral("jetsql");

enum class Ctx { Value, Condition };
enum class SType { Unknown, Text, Number, Date, Bool, Null };

struct Gen {
    QString sql;
    SType type = SType::Unknown;
    bool rawBool = false;      // the SQL yields SQLite's 1/0
    bool column = false;       // a plain column reference
    bool numericText = false;  // a text literal that reads as a number
    bool textLiteral = false;
};

QString quoteName(const QString& name)
{
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

// How a Jet function is written in SQLite.
enum class Form {
    Call,                     // sqlite(args...), most of them a registered jet_* function
    CallOfArgumentType,       // the same, of its first argument's type (Int, Fix keep a date a date)
    Iif,                      // CASE WHEN ... THEN ... ELSE ... END
    Nz,                       // coalesce(value, default or '')
    IsNull,                   // (value IS NULL)
    Fixed,                    // no arguments: the SQL text in sqlite
    Aggregate,                // sqlite([DISTINCT] arg), of type `type`
    AggregateOfArgumentType,  // the same, of its argument's type (Min, Max)
    Switch,                   // Switch(c1, v1, ...): CASE WHEN c1 THEN v1 ... END
    Choose,                   // Choose(i, a, b, ...): CASE jet_choose_index(i) WHEN 1 THEN a ... END
};

struct JetFunction {
    const char* sqlite;
    size_t minArgs;
    size_t maxArgs;
    SType type;  // of the result, where the form does not decide it
    Form form = Form::Call;
    bool acceptsStar = false;  // Count(*)
};

// Jet functions by lower-case name; a trailing '$' (Left$, Mid$ ...) names
// the same function.
const JetFunction* findFunction(const QString& jetName)
{
    static const QHash<QString, JetFunction> functions = {
        {QStringLiteral("iif"), {"", 3, 3, SType::Unknown, Form::Iif}},
        {QStringLiteral("nz"), {"", 1, 2, SType::Unknown, Form::Nz}},
        {QStringLiteral("isnull"), {"", 1, 1, SType::Bool, Form::IsNull}},
        {QStringLiteral("ucase"), {"jet_ucase", 1, 1, SType::Text}},
        {QStringLiteral("lcase"), {"jet_lcase", 1, 1, SType::Text}},
        {QStringLiteral("left"), {"jet_left", 2, 2, SType::Text}},
        {QStringLiteral("right"), {"jet_right", 2, 2, SType::Text}},
        {QStringLiteral("mid"), {"jet_mid", 2, 3, SType::Text}},
        {QStringLiteral("len"), {"jet_len", 1, 1, SType::Number}},
        {QStringLiteral("trim"), {"jet_trim", 1, 1, SType::Text}},
        {QStringLiteral("ltrim"), {"jet_ltrim", 1, 1, SType::Text}},
        {QStringLiteral("rtrim"), {"jet_rtrim", 1, 1, SType::Text}},
        {QStringLiteral("cstr"), {"jet_cstr", 1, 1, SType::Text}},
        {QStringLiteral("clng"), {"jet_clng", 1, 1, SType::Number}},
        {QStringLiteral("cint"), {"jet_cint16", 1, 1, SType::Number}},
        {QStringLiteral("cdbl"), {"jet_cdbl", 1, 1, SType::Number}},
        {QStringLiteral("val"), {"jet_val", 1, 1, SType::Number}},
        {QStringLiteral("instr"), {"jet_instr", 2, 3, SType::Number}},
        {QStringLiteral("year"), {"jet_year", 1, 1, SType::Number}},
        {QStringLiteral("month"), {"jet_month", 1, 1, SType::Number}},
        {QStringLiteral("day"), {"jet_day", 1, 1, SType::Number}},
        {QStringLiteral("abs"), {"abs", 1, 1, SType::Number}},
        {QStringLiteral("int"), {"jet_int", 1, 1, SType::Number, Form::CallOfArgumentType}},
        {QStringLiteral("fix"), {"jet_fix", 1, 1, SType::Number, Form::CallOfArgumentType}},
        {QStringLiteral("now"), {"datetime('now', 'localtime')", 0, 0, SType::Date, Form::Fixed}},
        {QStringLiteral("date"), {"(date('now', 'localtime') || ' 00:00:00')", 0, 0, SType::Date, Form::Fixed}},
        {QStringLiteral("count"), {"count", 1, 1, SType::Number, Form::Aggregate, true}},
        {QStringLiteral("sum"), {"jet_sum", 1, 1, SType::Number, Form::Aggregate}},
        {QStringLiteral("avg"), {"jet_avg", 1, 1, SType::Number, Form::Aggregate}},
        {QStringLiteral("min"), {"min", 1, 1, SType::Unknown, Form::AggregateOfArgumentType}},
        {QStringLiteral("max"), {"max", 1, 1, SType::Unknown, Form::AggregateOfArgumentType}},
        // Dates, formats, text and conversions (sqlitefunctions_jet.cpp).
        {QStringLiteral("dateadd"), {"jet_dateadd", 3, 3, SType::Date}},
        {QStringLiteral("datediff"), {"jet_datediff", 3, 5, SType::Number}},
        {QStringLiteral("datepart"), {"jet_datepart", 2, 4, SType::Number}},
        {QStringLiteral("dateserial"), {"jet_dateserial", 3, 3, SType::Date}},
        {QStringLiteral("timeserial"), {"jet_timeserial", 3, 3, SType::Date}},
        {QStringLiteral("datevalue"), {"jet_datevalue", 1, 1, SType::Date}},
        {QStringLiteral("timevalue"), {"jet_timevalue", 1, 1, SType::Date}},
        {QStringLiteral("hour"), {"jet_hour", 1, 1, SType::Number}},
        {QStringLiteral("minute"), {"jet_minute", 1, 1, SType::Number}},
        {QStringLiteral("second"), {"jet_second", 1, 1, SType::Number}},
        {QStringLiteral("weekday"), {"jet_weekday", 1, 2, SType::Number}},
        {QStringLiteral("format"), {"jet_format", 1, 4, SType::Text}},
        {QStringLiteral("round"), {"jet_round", 1, 2, SType::Number}},
        {QStringLiteral("replace"), {"jet_replace", 3, 6, SType::Text}},
        {QStringLiteral("switch"), {"", 2, 100, SType::Unknown, Form::Switch}},
        {QStringLiteral("choose"), {"", 2, 100, SType::Unknown, Form::Choose}},
        {QStringLiteral("chr"), {"jet_chr", 1, 1, SType::Text}},
        {QStringLiteral("chrw"), {"jet_chrw", 1, 1, SType::Text}},
        {QStringLiteral("asc"), {"jet_asc", 1, 1, SType::Number}},
        {QStringLiteral("ascw"), {"jet_ascw", 1, 1, SType::Number}},
        {QStringLiteral("strcomp"), {"jet_strcomp", 2, 3, SType::Number}},
        {QStringLiteral("space"), {"jet_space", 1, 1, SType::Text}},
        {QStringLiteral("string"), {"jet_string", 2, 2, SType::Text}},
        {QStringLiteral("ccur"), {"jet_ccur", 1, 1, SType::Number}},
        {QStringLiteral("cdate"), {"jet_cdate", 1, 1, SType::Date}},
        {QStringLiteral("cvdate"), {"jet_cdate", 1, 1, SType::Date}},
        {QStringLiteral("cbool"), {"jet_cbool", 1, 1, SType::Bool}},
        {QStringLiteral("cbyte"), {"jet_cbyte", 1, 1, SType::Number}},
        {QStringLiteral("csng"), {"jet_csng", 1, 1, SType::Number}},
        {QStringLiteral("first"), {"jet_first", 1, 1, SType::Unknown, Form::AggregateOfArgumentType}},
        {QStringLiteral("last"), {"jet_last", 1, 1, SType::Unknown, Form::AggregateOfArgumentType}},
        {QStringLiteral("stdev"), {"jet_stdev", 1, 1, SType::Number, Form::Aggregate}},
        {QStringLiteral("stdevp"), {"jet_stdevp", 1, 1, SType::Number, Form::Aggregate}},
        {QStringLiteral("var"), {"jet_var", 1, 1, SType::Number, Form::Aggregate}},
        {QStringLiteral("varp"), {"jet_varp", 1, 1, SType::Number, Form::Aggregate}},
    };
    QString name = jetName.toLower();
    if (name.endsWith(u'$'))
        name.chop(1);
    const auto it = functions.constFind(name);
    return it == functions.constEnd() ? nullptr : &*it;
}

class SqliteGenerator final : public StatementGenerator {
private:
    // ---- spelling of the shared statement forms ------------------------------------
    QString quoteName(const QString& name) const override { return jetsql::quoteName(name); }
    QString valueSql(const Expr& e) override { return value(e).sql; }
    QString conditionSql(const Expr& e) override { return condition(e).sql; }
    QString sortKey(const Expr& e) override
    {
        Gen g = value(e);
        return collates(g) ? g.sql + QStringLiteral(" COLLATE JET") : g.sql;
    }
    QString selectItem(const Expr& e) override { return sortKey(e); }
    QString rowAddress() const override { return QStringLiteral("rowid"); }

    // The first n percent of the rows, rounded up.
    QString limit(const Select& s, const QString& body) override
    {
        const QString n = s.top->text;
        if (!s.topPercent)
            return QStringLiteral(" LIMIT ") + n;
        return QStringLiteral(" LIMIT (SELECT CAST(ceil_n AS INTEGER) + (ceil_n > CAST(ceil_n AS INTEGER)) "
                              "FROM (SELECT COUNT(*) * %1 / 100.0 AS ceil_n FROM (%2)))")
            .arg(n, body);
    }

    // Every stored value goes through jet_store(), which gives it the form
    // the column's declared type keeps, or refuses it as Jet does.
    QString storedValue(const QString& valueSql, const QString& table, const QString& column, int position) override
    {
        return QStringLiteral("jet_store(%1, %2, %3)")
            .arg(valueSql, quoteText(table), column.isEmpty() ? QString::number(position) : quoteText(column));
    }

    QString insertSelect(const Statement& st, const QString& head) override
    {
        const Select& first = *st.select;
        bool star = false;
        for (const SelectItem& item : first.items)
            star = star || item.expr->kind == ExprKind::Star;
        if (star)  // the number of values is not known here: the engine checks the count only
            return head + u' ' + select(*st.select);
        QStringList names, values;
        for (size_t k = 0; k < first.items.size(); ++k) {
            names << QStringLiteral("\"jet_%1\"").arg(k + 1);
            const QString column =
                k < size_t(st.insertColumns.size()) ? st.insertColumns[qsizetype(k)] : QString();
            values << storedValue(names.back(), st.name, column, int(k));
        }
        return head + QStringLiteral(" WITH \"jet_source\"(") + names.join(QStringLiteral(", ")) +
               QStringLiteral(") AS (") + select(*st.select) + QStringLiteral(") SELECT ") +
               values.join(QStringLiteral(", ")) + QStringLiteral(" FROM \"jet_source\"");
    }

    // The COUNTER key is SQLite's rowid; text columns compare by Jet's collation.
    QString columnDeclaration(const ColumnDef& c, bool counterKey, bool key) override
    {
        if (counterKey)
            return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
        QString def = declaredType(c);
        if (c.type == ColumnType::Text || c.type == ColumnType::Memo)
            def += QStringLiteral(" COLLATE JET");
        if (c.notNull || key)
            def += QStringLiteral(" NOT NULL");
        return def;
    }

    // ---- DDL -------------------------------------------------------------------
    static JetType jetType(ColumnType t)
    {
        switch (t) {
        case ColumnType::Counter:
            return JetType::Counter;
        case ColumnType::Long:
            return JetType::Long;
        case ColumnType::Short:
            return JetType::Integer;
        case ColumnType::Text:
            return JetType::Text;
        case ColumnType::Memo:
            return JetType::Memo;
        case ColumnType::DateTime:
            return JetType::DateTime;
        case ColumnType::YesNo:
            return JetType::YesNo;
        case ColumnType::Double:
            return JetType::Double;
        case ColumnType::Currency:
            return JetType::Currency;
        case ColumnType::Byte:
        case ColumnType::Decimal:
        case ColumnType::Binary:
            break;  // declared by declaredType()
        }
        return JetType::Unknown;
    }

    // BYTE keeps its own name (a whole number 0..255, read as Integer),
    // DECIMAL(p, s) its precision and scale, LONGBINARY stays raw bytes.
    static QString declaredType(const ColumnDef& c)
    {
        switch (c.type) {
        case ColumnType::Byte:
            return QStringLiteral("BYTE");
        case ColumnType::Decimal:
            return QStringLiteral("DECIMAL(%1, %2)").arg(c.size > 0 ? c.size : 18).arg(c.size > 0 ? c.scale : 0);
        case ColumnType::Binary:
            return QStringLiteral("LONGBINARY");
        default:
            return sqliteDeclaredType(jetType(c.type), c.size);
        }
    }

    // ---- expressions -----------------------------------------------------------
    Gen value(const Expr& e) { return finish(expr(e, Ctx::Value), Ctx::Value); }
    Gen condition(const Expr& e) { return finish(expr(e, Ctx::Condition), Ctx::Condition); }

    static Gen finish(Gen g, Ctx ctx)
    {
        if (ctx == Ctx::Value && g.rawBool) {
            g.sql = QStringLiteral("(-") + g.sql + u')';
            g.rawBool = false;
            g.type = SType::Bool;
        }
        return g;
    }

    static Gen make(QString sql, SType type, bool rawBool = false)
    {
        Gen g;
        g.sql = std::move(sql);
        g.type = type;
        g.rawBool = rawBool;
        return g;
    }

    static QString call(const char* fn, std::initializer_list<QString> args)
    {
        QStringList list(args);
        return QLatin1String(fn) + u'(' + list.join(QStringLiteral(", ")) + u')';
    }

    // The truth of a value as 1/0 (for XOR, EQV, IMP).
    static QString truth(const Gen& g) { return g.rawBool ? g.sql : u'(' + g.sql + QStringLiteral(" <> 0)"); }

    static bool isText(const Gen& g) { return g.type == SType::Text; }

    // Whether a value that may be text needs the collation spelt out: a
    // column carries its own, and on numbers a collation has no effect.
    static bool collates(const Gen& g)
    {
        return !g.column && (g.type == SType::Text || g.type == SType::Unknown);
    }

    // The number a literal stands for, when the expression is one.
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

    // A date as a number: a literal becomes its day number, anything else
    // goes through jet_num.
    static QString dayNumber(const Expr& e, const Gen& g)
    {
        if (e.kind == ExprKind::Date)
            if (const auto d = canonicalToDayNumber(e.text))
                return QString::number(*d, 'g', 17);
        return call("jet_num", {g.sql});
    }

    // The date text a number stands for, to compare it with stored dates.
    static QString dateTextOf(const Expr& e, const Gen& g)
    {
        if (const auto d = literalNumber(e))
            return quoteText(dayNumberToDateText(*d));
        return call("jet_datetext", {g.sql});
    }

    Gen expr(const Expr& e, Ctx ctx)
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
            return make(quoteText(e.text), SType::Date);
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
            return unary(e, ctx);
        case ExprKind::Binary:
            return binary(e, ctx);
        case ExprKind::Function:
            return function(e);
        case ExprKind::Between:
            return between(e);
        case ExprKind::InList: {

            Gen v = value(*e.args[0]);
            bool text = isText(v);
            QStringList items;
            for (size_t i = 1; i < e.args.size(); ++i) {
                Gen item = value(*e.args[i]);
                text = text || isText(item);
                items << item.sql;
            }
            const QString left = text ? u'(' + v.sql + QStringLiteral(" COLLATE JET)") : v.sql;
            return make(u'(' + left + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) +
                            items.join(QStringLiteral(", ")) + QStringLiteral("))"),
                        SType::Bool, true);
        }
        case ExprKind::InSelect: {
            Gen v = value(*e.args[0]);
            const QString left = isText(v) ? u'(' + v.sql + QStringLiteral(" COLLATE JET)") : v.sql;
            return make(u'(' + left + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) +
                            select(*e.select) + QStringLiteral("))"),
                        SType::Bool, true);
        }
        case ExprKind::IsNull: {
            Gen v = value(*e.args[0]);
            return make(u'(' + v.sql + (e.negated ? QStringLiteral(" IS NOT NULL)") : QStringLiteral(" IS NULL)")),
                        SType::Bool, true);
        }
        case ExprKind::Like: {
            Gen v = value(*e.args[0]);
            Gen p = value(*e.args[1]);
            const QString like = call("jet_like", {v.sql, p.sql});
            return make(e.negated ? QStringLiteral("(NOT ") + like + u')' : like, SType::Bool, true);
        }
        case ExprKind::Subquery:
            return make(scalarSubquery(*e.select), SType::Unknown);
        case ExprKind::Exists:
            return make(QStringLiteral("EXISTS (") + select(*e.select) + u')', SType::Bool, true);
        case ExprKind::Parameter:
            return make(u'?' + QString::number(e.number), SType::Unknown);
        }
        return make(QStringLiteral("NULL"), SType::Null);
    }

    // BETWEEN takes its bounds in either order, as Jet does: literal bounds
    // are put in order here, others through min() and max().
    Gen between(const Expr& e)
    {
        Gen v = value(*e.args[0]);
        Gen lo = value(*e.args[1]);
        Gen hi = value(*e.args[2]);
        const Expr& loExpr = *e.args[1];
        const Expr& hiExpr = *e.args[2];
        const QString notBetween = e.negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN ");
        const auto loNumber = literalNumber(loExpr);
        const auto hiNumber = literalNumber(hiExpr);
        const bool numbers = lo.type == SType::Number && hi.type == SType::Number;
        QString low = lo.sql, high = hi.sql;
        if (loNumber && hiNumber) {
            if (*loNumber > *hiNumber)
                std::swap(low, high);
        } else if (loExpr.kind == ExprKind::Date && hiExpr.kind == ExprKind::Date) {
            if (loExpr.text > hiExpr.text)
                std::swap(low, high);
        } else if (loExpr.kind == ExprKind::String && hiExpr.kind == ExprKind::String) {
            if (jetCompare(loExpr.text, hiExpr.text) > 0)
                std::swap(low, high);
        } else {
            const QString collate = collates(lo) || collates(hi) ? QStringLiteral(" COLLATE JET") : QString();
            low = QStringLiteral("min(%1%2, %3)").arg(lo.sql, collate, hi.sql);
            high = QStringLiteral("max(%1%2, %3)").arg(lo.sql, collate, hi.sql);
        }
        if (numbers && (v.type == SType::Date || (v.type == SType::Unknown && !v.column)))
            return make(u'(' + dayNumber(*e.args[0], v) + notBetween + low + QStringLiteral(" AND ") + high + u')',
                        SType::Bool, true);
        if (numbers && v.column) {
            // Numbers against the numbers, dates against their date texts.
            const bool swapped = low != lo.sql && loNumber;
            const QString dLow = swapped ? dateTextOf(hiExpr, hi) : dateTextOf(loExpr, lo);
            const QString dHigh = swapped ? dateTextOf(loExpr, lo) : dateTextOf(hiExpr, hi);
            const QString both = QStringLiteral("(%1 BETWEEN %2 AND %3 OR %1 BETWEEN %4 AND %5)")
                                     .arg(v.sql, low, high,
                                          loNumber && hiNumber ? dLow : QStringLiteral("min(%1, %2)").arg(dLow, dHigh),
                                          loNumber && hiNumber ? dHigh : QStringLiteral("max(%1, %2)").arg(dLow, dHigh));
            return make(e.negated ? QStringLiteral("(NOT ") + both + u')' : both, SType::Bool, true);
        }
        QString left = v.sql;
        if (!v.column && (isText(v) || isText(lo) || isText(hi)))
            left += QStringLiteral(" COLLATE JET");
        else if (v.column && (isText(lo) || isText(hi)))
            left = u'(' + left + QStringLiteral(" COLLATE JET)");
        return make(u'(' + left + notBetween + low + QStringLiteral(" AND ") + high + u')', SType::Bool, true);
    }

    Gen unary(const Expr& e, Ctx)
    {
        const Expr& a = *e.args[0];
        switch (e.op) {
        case Op::Neg:
            if (a.kind == ExprKind::Number)
                return make(u'-' + a.text, SType::Number);
            {
                Gen g = value(a);
                return make(QStringLiteral("(- ") + (g.type == SType::Number ? g.sql : call("jet_num", {g.sql})) + u')',
                            SType::Number);
            }
        case Op::Plus:
            return value(a);
        case Op::Not:
            // Logical on numbers too, in a value as in a condition: Not 5 is 0.
            return make(QStringLiteral("(NOT ") + condition(a).sql + u')', SType::Bool, true);
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
        if (a.type == SType::Number || b.type == SType::Number) {
            if (auto g = numberComparison(e, a, b))
                return *g;
        }
        // Text compares without regard to case and in Hungarian order: the
        // collation goes on the text side that is not a column.
        if (isText(a) && !a.column)
            a.sql = u'(' + a.sql + QStringLiteral(" COLLATE JET)");
        else if (isText(b) && !b.column)
            b.sql = u'(' + b.sql + QStringLiteral(" COLLATE JET)");
        else if (collates(a) && collates(b))  // a column on either side brings its own
            a.sql = u'(' + a.sql + QStringLiteral(" COLLATE JET)");
        return make(u'(' + a.sql + ops.value(int(e.op)) + b.sql + u')', SType::Bool, true);
    }

    static Op mirrored(Op op)
    {
        switch (op) {
        case Op::Lt:
            return Op::Gt;
        case Op::Le:
            return Op::Ge;
        case Op::Gt:
            return Op::Lt;
        case Op::Ge:
            return Op::Le;
        default:
            return op;
        }
    }

    // A number compared with a date compares day numbers. A date literal or
    // expression is turned into its day number, and so is an expression of
    // unknown type. A column may hold numbers or dates: an ordering
    // comparison checks the number against numbers and the number's date
    // text against texts, and keeps the column bare for its index. Equality
    // with a column stays one comparison, so that every "id = 5" keeps its
    // seek; a date equals a whole number only at midnight, and such
    // conditions are written with a date literal.
    std::optional<Gen> numberComparison(const Expr& e, const Gen& a, const Gen& b)
    {
        const bool numberLeft = a.type == SType::Number;
        const Gen& n = numberLeft ? a : b;
        const Gen& x = numberLeft ? b : a;
        const Expr& nExpr = *e.args[numberLeft ? 0 : 1];
        const Expr& xExpr = *e.args[numberLeft ? 1 : 0];
        const Op op = numberLeft ? mirrored(e.op) : e.op;
        static const QHash<int, QString> ops = {
            {int(Op::Eq), QStringLiteral(" = ")}, {int(Op::Ne), QStringLiteral(" <> ")},
            {int(Op::Lt), QStringLiteral(" < ")}, {int(Op::Le), QStringLiteral(" <= ")},
            {int(Op::Gt), QStringLiteral(" > ")}, {int(Op::Ge), QStringLiteral(" >= ")},
        };
        const QString o = ops.value(int(op));
        if (x.type == SType::Date)
            return make(u'(' + dayNumber(xExpr, x) + o + n.sql + u')', SType::Bool, true);
        if (x.type != SType::Unknown)
            return std::nullopt;
        if (!x.column) {
            // An expression is evaluated once, through jet_num.
            return make(u'(' + call("jet_num", {x.sql}) + o + n.sql + u')', SType::Bool, true);
        }
        if (op == Op::Eq || op == Op::Ne)
            return std::nullopt;
        const QString c = dateTextOf(nExpr, n);
        switch (op) {
        case Op::Gt:
        case Op::Ge:
            // Texts are all greater than numbers: those that pass must be
            // later than the number's date too.
            return make(QStringLiteral("(%1%2%3 AND (%1 < '' OR %1%2%4))").arg(x.sql, o, n.sql, c), SType::Bool,
                        true);
        default:
            // Numbers are all less than texts: a number must pass against the
            // number, a text against the date.
            return make(QStringLiteral("(%1%2%3 OR (%1 >= '' AND %1%2%4))").arg(x.sql, o, n.sql, c), SType::Bool,
                        true);
        }
    }

    // Jet SQL's And, Or, Xor, Eqv and Imp are logical, whatever the operands:
    // a non-zero number is true, Null is unknown (Null And False is False,
    // Null Or True is True). SQLite's AND and OR are exactly that; the others
    // compare the operands' truth.
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
            return make(u'(' + truth(a) + QStringLiteral(" <> ") + truth(b) + u')', SType::Bool, true);
        case Op::Eqv:
            return make(u'(' + truth(a) + QStringLiteral(" = ") + truth(b) + u')', SType::Bool, true);
        case Op::Imp:
            return make(QStringLiteral("(NOT ") + truth(a) + QStringLiteral(" OR ") + truth(b) + u')', SType::Bool,
                        true);
        default:
            break;
        }
        syntaxError(e.pos, QStringLiteral("unexpected operator"));
    }

    Gen binary(const Expr& e, Ctx)
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
            return make(call("jet_concat", {a.sql, b.sql}), SType::Text);
        case Op::Add: {
            if (a.type == SType::Null || b.type == SType::Null)
                return make(QStringLiteral("NULL"), SType::Null);
            // Text with text, or with a literal that cannot be a number,
            // concatenates (and a Null side makes the result Null).
            if ((isText(a) && isText(b)) || (a.textLiteral && !a.numericText) || (b.textLiteral && !b.numericText))
                return make(u'(' + a.sql + QStringLiteral(" || ") + b.sql + u')', SType::Text);
            if (a.type == SType::Number && b.type == SType::Number)
                return make(u'(' + a.sql + QStringLiteral(" + ") + b.sql + u')', SType::Number);
            // A date plus a number, or plus a date (a day and a time), is a date.
            const SType t = (a.type == SType::Date && b.type != SType::Text) ||
                                    (b.type == SType::Date && a.type != SType::Text)
                                ? SType::Date
                                : SType::Unknown;
            return make(call("jet_add", {a.sql, b.sql}), t);
        }
        case Op::Sub:
            if (a.type == SType::Number && b.type == SType::Number)
                return make(u'(' + a.sql + QStringLiteral(" - ") + b.sql + u')', SType::Number);
            return make(call("jet_sub", {a.sql, b.sql}),
                        a.type == SType::Date && b.type == SType::Number ? SType::Date
                        : a.type == SType::Date && b.type == SType::Date ? SType::Number
                                                                         : SType::Unknown);
        case Op::Mul:
            // Dates are day numbers, decimals multiply exactly, and a result
            // beyond a double is Jet's Overflow (jet_mul).
            return make(call("jet_mul", {a.sql, b.sql}), SType::Number);
        case Op::Div:
            return make(call("jet_div", {a.sql, b.sql}), SType::Number);
        case Op::IntDiv:
            return make(call("jet_idiv", {a.sql, b.sql}), SType::Number);
        case Op::Mod:
            return make(call("jet_mod", {a.sql, b.sql}), SType::Number);
        case Op::Pow:
            return make(call("jet_pow", {a.sql, b.sql}), SType::Number);
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
        const JetFunction* f = findFunction(e.text);
        if (!f)
            throw RuntimeError(errnum::UndefinedFunction, kSource,
                               QStringLiteral("Undefined function '%1' in expression.").arg(e.text));
        const size_t n = e.args.size();
        if (n < f->minArgs || n > f->maxArgs)
            wrongArguments(e);
        // '*' counts rows: Count takes it, no other function does.
        if (n == 1 && e.args[0]->kind == ExprKind::Star && !f->acceptsStar)
            wrongArguments(e);
        auto arg = [&](size_t i) { return value(*e.args[i]); };

        switch (f->form) {
        case Form::Call:
        case Form::CallOfArgumentType: {
            QStringList args;
            SType first = SType::Unknown;
            for (const ExprPtr& a : e.args) {
                Gen g = value(*a);
                if (args.isEmpty())
                    first = g.type == SType::Date || g.type == SType::Null ? g.type
                            : g.type == SType::Unknown                     ? SType::Unknown
                                                                           : f->type;
                args << g.sql;
            }
            return make(QLatin1String(f->sqlite) + u'(' + args.join(QStringLiteral(", ")) + u')',
                        f->form == Form::Call ? f->type : first);
        }
        case Form::Iif: {
            Gen c = condition(*e.args[0]);
            Gen a = arg(1);
            Gen b = arg(2);
            SType t = a.type == b.type
                          ? a.type
                          : (a.type == SType::Null ? b.type : (b.type == SType::Null ? a.type : SType::Unknown));
            return make(QStringLiteral("CASE WHEN ") + c.sql + QStringLiteral(" THEN ") + a.sql +
                            QStringLiteral(" ELSE ") + b.sql + QStringLiteral(" END"),
                        t);
        }
        case Form::Nz: {
            Gen a = arg(0);
            Gen b = n == 2 ? arg(1) : make(QStringLiteral("''"), SType::Text);
            return make(call("coalesce", {a.sql, b.sql}), a.type == b.type ? a.type : SType::Unknown);
        }
        case Form::IsNull:
            return make(u'(' + arg(0).sql + QStringLiteral(" IS NULL)"), SType::Bool, true);
        case Form::Fixed:
            return make(QLatin1String(f->sqlite), f->type);
        case Form::Switch:
        case Form::Choose:
            return switchOrChoose(e, f->form);
        case Form::Aggregate:
        case Form::AggregateOfArgumentType: {
            const bool star = e.args[0]->kind == ExprKind::Star;
            if (star && !f->acceptsStar)
                wrongArguments(e);
            Gen a = star ? make(QStringLiteral("*"), SType::Unknown) : arg(0);
            const SType t = f->form == Form::AggregateOfArgumentType ? a.type : f->type;
            if (f->form == Form::AggregateOfArgumentType && collates(a))
                a.sql += QStringLiteral(" COLLATE JET");
            return make(QLatin1String(f->sqlite) + u'(' + (e.distinct ? QStringLiteral("DISTINCT ") : QString()) +
                            a.sql + u')',
                        t);
        }
        }
        wrongArguments(e);
    }

    // Switch(c1, v1, c2, v2 ...): the value of the first true condition,
    // Null when none is; Choose(i, a, b ...): the i-th value (i rounded),
    // Null outside 1..n. Only the chosen value is evaluated.
    Gen switchOrChoose(const Expr& e, Form form)
    {
        const size_t n = e.args.size();
        if (form == Form::Switch && n % 2 != 0)
            wrongArguments(e);
        QString sql = form == Form::Switch
                          ? QStringLiteral("CASE")
                          : QStringLiteral("CASE jet_choose_index(") + value(*e.args[0]).sql + u')';
        SType type = SType::Null;
        bool first = true;
        auto mergeType = [&](const Gen& g) {
            if (g.type == SType::Null)
                return;
            type = first || type == SType::Null ? g.type : (type == g.type ? type : SType::Unknown);
            first = false;
        };
        if (form == Form::Switch) {
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

    // A scalar subquery: Jet refuses one that returns more than one record
    // (SQLite would take the first). A subquery that cannot return more
    // (a single aggregate row, TOP 1) runs as it is.
    QString scalarSubquery(const Select& s)
    {
        const QString sql = select(s);
        if (returnsOneRow(s))
            return u'(' + sql + u')';
        return QStringLiteral("(WITH \"jet_one\"(\"jet_v\") AS (") + sql +
               QStringLiteral(") SELECT CASE WHEN count(*) > 1 THEN jet_fail_many() ELSE max(\"jet_v\") END "
                              "FROM (SELECT * FROM \"jet_one\" LIMIT 2))");
    }

    static bool returnsOneRow(const Select& s)
    {
        if (!s.unions.empty())
            return false;
        if (s.top && !s.topPercent && s.top->text.trimmed() == u"1")
            return true;
        if (s.from.empty())
            return true;
        if (!s.groupBy.empty() || s.items.empty())
            return false;
        for (const SelectItem& item : s.items) {
            if (item.expr->kind != ExprKind::Function)
                return false;
            const JetFunction* f = findFunction(item.expr->text);
            if (!f || (f->form != Form::Aggregate && f->form != Form::AggregateOfArgumentType))
                return false;
        }
        return true;
    }

};

}  // namespace

std::unique_ptr<Generator> makeSqliteGenerator()
{
    return std::make_unique<SqliteGenerator>();
}

}  // namespace lg::jetsql
