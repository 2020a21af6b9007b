#include "parser.h"

#include "jetdate.h"

#include "platform/runtimeerror.h"

#include <QtCore/QSet>

namespace lg::jetsql {

using namespace ast;

namespace {

const QString kSource = QStringLiteral("jetsql");

enum class Tok { End, Ident, Bracket, String, Number, Date, Symbol, Param };

struct Token {
    Tok type = Tok::End;
    QString text;    // identifier/value/symbol; for Date the canonical form; for Param the lower-cased name
    QString raw;     // as written, for messages
    int pos = 0;     // 1-based
    int number = 0;  // Param: the number of the bound value, from 1
};

// Words that end an expression or a clause, so they are never taken as an
// alias written without AS.
const QSet<QString>& reservedWords()
{
    static const QSet<QString> words = {
        QStringLiteral("SELECT"),     QStringLiteral("FROM"),        QStringLiteral("WHERE"),
        QStringLiteral("GROUP"),      QStringLiteral("BY"),          QStringLiteral("HAVING"),
        QStringLiteral("ORDER"),      QStringLiteral("ASC"),         QStringLiteral("DESC"),
        QStringLiteral("AND"),        QStringLiteral("OR"),          QStringLiteral("NOT"),
        QStringLiteral("XOR"),        QStringLiteral("EQV"),         QStringLiteral("IMP"),
        QStringLiteral("MOD"),        QStringLiteral("LIKE"),        QStringLiteral("IS"),
        QStringLiteral("NULL"),       QStringLiteral("IN"),          QStringLiteral("BETWEEN"),
        QStringLiteral("INNER"),      QStringLiteral("LEFT"),        QStringLiteral("RIGHT"),
        QStringLiteral("OUTER"),      QStringLiteral("JOIN"),        QStringLiteral("ON"),
        QStringLiteral("AS"),         QStringLiteral("UNION"),       QStringLiteral("ALL"),
        QStringLiteral("DISTINCT"),   QStringLiteral("DISTINCTROW"), QStringLiteral("TOP"),
        QStringLiteral("INTO"),       QStringLiteral("VALUES"),      QStringLiteral("SET"),
        QStringLiteral("EXISTS"),     QStringLiteral("TRUE"),        QStringLiteral("FALSE"),
        QStringLiteral("WITH"),       QStringLiteral("INSERT"),      QStringLiteral("UPDATE"),
        QStringLiteral("DELETE"),     QStringLiteral("CREATE"),      QStringLiteral("DROP"),
        QStringLiteral("CONSTRAINT"), QStringLiteral("PRIMARY"),     QStringLiteral("UNIQUE"),
        QStringLiteral("DEFAULT"),    QStringLiteral("CROSS"),
    };
    return words;
}

class Parser {
public:
    explicit Parser(const QString& text) : m_text(text)
    {
        tokenize();
        numberParameters();
    }

    Statement statement()
    {
        Statement st;
        if (isWord("SELECT")) {
            st.type = StatementType::Select;
            st.select = select();
        } else if (isSymbol("(")) {
            st.type = StatementType::Select;
            advance();
            st.select = select();
            expectSymbol(")");
        } else if (acceptWord("INSERT")) {
            insert(st);
        } else if (acceptWord("UPDATE")) {
            update(st);
        } else if (acceptWord("DELETE")) {
            deleteStatement(st);
        } else if (acceptWord("CREATE")) {
            create(st);
        } else if (acceptWord("DROP")) {
            drop(st);
        } else {
            fail(QStringLiteral("expected SELECT, INSERT, UPDATE, DELETE, CREATE or DROP"));
        }
        acceptSymbol(";");
        if (cur().type != Tok::End)
            fail(QStringLiteral("expected the end of the statement"));
        if (!m_parameters.isEmpty()) {
            if (st.type != StatementType::Select && st.type != StatementType::Insert &&
                st.type != StatementType::Update && st.type != StatementType::Delete)
                failAt(m_firstParameter->pos, m_firstParameter->raw,
                       QStringLiteral("a definition statement cannot take parameters"));
            st.parameters = m_parameters;
        }
        return st;
    }

    // Exactly one expression and nothing after it.
    Condition condition()
    {
        Condition c;
        c.expr = expression();
        if (cur().type != Tok::End)
            fail(QStringLiteral("expected the end of the condition"));
        c.parameters = m_parameters;
        return c;
    }

private:
    // ---- tokens --------------------------------------------------------------
    [[noreturn]] void failAt(int pos, const QString& raw, const QString& what) const
    {
        const QString near = raw.isEmpty() ? QStringLiteral("the end of the statement") : u'\'' + raw + u'\'';
        throw RuntimeError(errnum::SyntaxError, kSource,
                           QStringLiteral("Syntax error at position %1 near %2: %3.").arg(pos).arg(near, what));
    }
    [[noreturn]] void fail(const QString& what) const { failAt(cur().pos, cur().raw, what); }

    void tokenize()
    {
        const QString& s = m_text;
        const qsizetype n = s.size();
        qsizetype i = 0;
        while (true) {
            while (i < n && s[i].isSpace())
                ++i;
            Token t;
            t.pos = int(i) + 1;
            if (i >= n) {
                m_tokens.push_back(t);
                return;
            }
            const QChar c = s[i];
            if (c == u'[') {
                const qsizetype close = s.indexOf(u']', i + 1);
                if (close < 0)
                    failAt(t.pos, QStringLiteral("["), QStringLiteral("the name has no closing ']'"));
                t.type = Tok::Bracket;
                t.text = s.mid(i + 1, close - i - 1);
                t.raw = s.mid(i, close - i + 1);
                if (t.text.trimmed().isEmpty())
                    failAt(t.pos, t.raw, QStringLiteral("empty name"));
                i = close + 1;
            } else if (c == u'\'' || c == u'"') {
                QString value;
                qsizetype j = i + 1;
                bool closed = false;
                while (j < n) {
                    if (s[j] == c) {
                        if (j + 1 < n && s[j + 1] == c) {
                            value += c;
                            j += 2;
                            continue;
                        }
                        closed = true;
                        break;
                    }
                    value += s[j++];
                }
                if (!closed)
                    failAt(t.pos, s.mid(i, 20), QStringLiteral("the text literal has no closing quote"));
                t.type = Tok::String;
                t.text = value;
                t.raw = s.mid(i, j - i + 1);
                i = j + 1;
            } else if (c == u'#') {
                const qsizetype close = s.indexOf(u'#', i + 1);
                if (close < 0)
                    failAt(t.pos, QStringLiteral("#"), QStringLiteral("the date literal has no closing '#'"));
                t.raw = s.mid(i, close - i + 1);
                const auto canonical = parseDateLiteral(QStringView(s).mid(i + 1, close - i - 1));
                if (!canonical)
                    failAt(t.pos, t.raw, QStringLiteral("not a valid date"));
                t.type = Tok::Date;
                t.text = *canonical;
                i = close + 1;
            } else if (c.isDigit() || (c == u'.' && i + 1 < n && s[i + 1].isDigit())) {
                qsizetype j = i;
                while (j < n && s[j].isDigit())
                    ++j;
                if (j < n && s[j] == u'.') {
                    ++j;
                    while (j < n && s[j].isDigit())
                        ++j;
                }
                if (j < n && (s[j] == u'e' || s[j] == u'E')) {
                    qsizetype k = j + 1;
                    if (k < n && (s[k] == u'+' || s[k] == u'-'))
                        ++k;
                    if (k < n && s[k].isDigit()) {
                        while (k < n && s[k].isDigit())
                            ++k;
                        j = k;
                    }
                }
                t.type = Tok::Number;
                t.text = t.raw = s.mid(i, j - i);
                i = j;
                if (i < n && (s[i].isLetter() || s[i] == u'_'))
                    failAt(t.pos, s.mid(t.pos - 1, i - t.pos + 2), QStringLiteral("not a valid number"));
            } else if (c == u'?' || c == u'@') {
                // A bound value: '?' by position, '@name' by name.
                qsizetype j = i + 1;
                if (c == u'@') {
                    while (j < n && (s[j].isLetterOrNumber() || s[j] == u'_'))
                        ++j;
                    if (j == i + 1)
                        failAt(t.pos, QStringLiteral("@"), QStringLiteral("expected a parameter name after '@'"));
                }
                t.type = Tok::Param;
                t.raw = s.mid(i, j - i);
                t.text = t.raw.mid(1).toLower();
                i = j;
            } else if (c.isLetter() || c == u'_') {
                qsizetype j = i;
                while (j < n && (s[j].isLetterOrNumber() || s[j] == u'_' || s[j] == u'$'))
                    ++j;
                t.type = Tok::Ident;
                t.text = t.raw = s.mid(i, j - i);
                i = j;
            } else {
                static const QString twoChar[] = {QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">=")};
                t.type = Tok::Symbol;
                for (const QString& two : twoChar) {
                    if (QStringView(s).mid(i, 2) == two) {
                        t.text = two;
                        break;
                    }
                }
                if (t.text.isEmpty()) {
                    static const QString single = QStringLiteral("(),.*+-/\\^&=<>;!");
                    if (!single.contains(c))
                        failAt(t.pos, QString(c), QStringLiteral("unexpected character"));
                    t.text = QString(c);
                }
                t.raw = t.text;
                i += t.text.size();
            }
            m_tokens.push_back(std::move(t));
        }
    }

    // Positional markers are numbered in text order, each distinct name gets
    // one number where it first appears. The two kinds do not mix: a '?'
    // among named values would have no clear number.
    void numberParameters()
    {
        for (Token& t : m_tokens) {
            if (t.type != Tok::Param)
                continue;
            if (!m_firstParameter) {
                m_firstParameter = &t;
            } else if (m_firstParameter->text.isEmpty() != t.text.isEmpty()) {
                failAt(t.pos, t.raw, QStringLiteral("positional (?) and named (@name) parameters cannot be mixed"));
            }
            if (!t.text.isEmpty()) {
                const qsizetype known = m_parameters.indexOf(t.text);
                if (known >= 0) {
                    t.number = int(known) + 1;
                    continue;
                }
            }
            m_parameters << t.text;
            t.number = int(m_parameters.size());
        }
    }

    const Token& cur() const { return m_tokens[m_i]; }
    const Token& peek(int ahead = 1) const
    {
        const size_t k = std::min(m_i + size_t(ahead), m_tokens.size() - 1);
        return m_tokens[k];
    }
    void advance()
    {
        if (m_i + 1 < m_tokens.size())
            ++m_i;
    }
    static bool isWordToken(const Token& t, const char* word)
    {
        return t.type == Tok::Ident && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isWord(const char* word) const { return isWordToken(cur(), word); }
    bool acceptWord(const char* word)
    {
        if (!isWord(word))
            return false;
        advance();
        return true;
    }
    void expectWord(const char* word)
    {
        if (!acceptWord(word))
            fail(QStringLiteral("expected %1").arg(QLatin1String(word)));
    }
    bool isSymbol(const char* sym) const { return cur().type == Tok::Symbol && cur().text == QLatin1String(sym); }
    bool acceptSymbol(const char* sym)
    {
        if (!isSymbol(sym))
            return false;
        advance();
        return true;
    }
    void expectSymbol(const char* sym)
    {
        if (!acceptSymbol(sym))
            fail(QStringLiteral("expected '%1'").arg(QLatin1String(sym)));
    }
    bool isReserved(const Token& t) const { return t.type == Tok::Ident && reservedWords().contains(t.text.toUpper()); }
    // A table, column or alias name: [bracketed] or a plain word that is not reserved.
    bool isName() const { return cur().type == Tok::Bracket || (cur().type == Tok::Ident && !isReserved(cur())); }
    QString name(const QString& what)
    {
        if (!isName())
            fail(QStringLiteral("expected %1").arg(what));
        QString n = cur().text;
        advance();
        return n;
    }
    // An alias after AS may also be a quoted text.
    QString optionalAlias()
    {
        if (acceptWord("AS")) {
            if (cur().type == Tok::String) {
                QString n = cur().text;
                advance();
                return n;
            }
            return name(QStringLiteral("an alias"));
        }
        if (isName())
            return name(QStringLiteral("an alias"));
        return {};
    }

    // ---- SELECT --------------------------------------------------------------
    std::unique_ptr<Select> select()
    {
        auto sel = selectCore();
        while (isWord("UNION")) {
            advance();
            Select::UnionPart part;
            part.all = acceptWord("ALL");
            const bool paren = acceptSymbol("(");
            if (!isWord("SELECT"))
                fail(QStringLiteral("expected SELECT after UNION"));
            part.select = selectCore();
            if (paren)
                expectSymbol(")");
            sel->unions.push_back(std::move(part));
        }
        if (acceptWord("ORDER")) {
            expectWord("BY");
            do {
                OrderItem item;
                item.expr = expression();
                if (acceptWord("DESC"))
                    item.descending = true;
                else
                    acceptWord("ASC");
                sel->orderBy.push_back(std::move(item));
            } while (acceptSymbol(","));
        }
        return sel;
    }

    std::unique_ptr<Select> selectCore()
    {
        expectWord("SELECT");
        auto sel = std::make_unique<Select>();
        if (acceptWord("DISTINCT"))
            sel->distinct = true;
        else if (!acceptWord("DISTINCTROW"))
            acceptWord("ALL");
        if (acceptWord("TOP")) {
            if (cur().type != Tok::Number)
                fail(QStringLiteral("expected a number after TOP"));
            sel->top = primary();
            sel->topPercent = acceptWord("PERCENT");
        }
        do {
            SelectItem item;
            item.expr = expression();
            item.alias = optionalAlias();
            sel->items.push_back(std::move(item));
        } while (acceptSymbol(","));
        if (isWord("INTO"))
            fail(QStringLiteral("SELECT ... INTO is not supported"));
        if (acceptWord("FROM"))
            sel->from = fromList();
        if (acceptWord("WHERE"))
            sel->where = expression();
        if (acceptWord("GROUP")) {
            expectWord("BY");
            do
                sel->groupBy.push_back(expression());
            while (acceptSymbol(","));
        }
        if (acceptWord("HAVING"))
            sel->having = expression();
        return sel;
    }

    std::vector<TableRefPtr> fromList()
    {
        std::vector<TableRefPtr> list;
        do
            list.push_back(joinedTable());
        while (acceptSymbol(","));
        return list;
    }

    TableRefPtr joinedTable()
    {
        TableRefPtr left = tablePrimary();
        while (true) {
            JoinType jt;
            if (acceptWord("INNER"))
                jt = JoinType::Inner;
            else if (acceptWord("LEFT"))
                jt = JoinType::Left;
            else if (acceptWord("RIGHT"))
                jt = JoinType::Right;
            else if (acceptWord("CROSS"))
                jt = JoinType::Cross;
            else if (isWord("JOIN"))
                jt = JoinType::Inner;
            else
                break;
            if (jt == JoinType::Left || jt == JoinType::Right)
                acceptWord("OUTER");
            expectWord("JOIN");
            auto join = std::make_unique<TableRef>();
            join->kind = TableRef::Kind::Join;
            join->join = jt;
            join->left = std::move(left);
            join->right = tablePrimary();
            if (jt != JoinType::Cross) {
                expectWord("ON");
                join->on = expression();
            }
            left = std::move(join);
        }
        return left;
    }

    TableRefPtr tablePrimary()
    {
        auto ref = std::make_unique<TableRef>();
        if (isSymbol("(") && ++m_depth > 200)
            fail(QStringLiteral("the FROM clause is nested too deeply"));
        if (acceptSymbol("(")) {
            if (isWord("SELECT")) {
                ref->kind = TableRef::Kind::Subquery;
                ref->select = select();
                expectSymbol(")");
                --m_depth;
                ref->alias = optionalAlias();
                return ref;
            }
            TableRefPtr inner = joinedTable();
            expectSymbol(")");
            --m_depth;
            return inner;
        }
        ref->kind = TableRef::Kind::Table;
        ref->name = name(QStringLiteral("a table name"));
        ref->alias = optionalAlias();
        return ref;
    }

    // ---- expressions ---------------------------------------------------------
    ExprPtr makeExpr(ExprKind kind, int pos)
    {
        auto e = std::make_unique<Expr>();
        e->kind = kind;
        e->pos = pos;
        return e;
    }
    ExprPtr binary(Op op, ExprPtr a, ExprPtr b, int pos)
    {
        auto e = makeExpr(ExprKind::Binary, pos);
        e->op = op;
        e->args.push_back(std::move(a));
        e->args.push_back(std::move(b));
        return e;
    }

    ExprPtr expression()
    {
        if (++m_depth > 200)
            fail(QStringLiteral("the expression is nested too deeply"));
        ExprPtr e = impExpr();
        --m_depth;
        return e;
    }

    ExprPtr impExpr()
    {
        ExprPtr e = eqvExpr();
        while (isWord("IMP")) {
            const int pos = cur().pos;
            advance();
            e = binary(Op::Imp, std::move(e), eqvExpr(), pos);
        }
        return e;
    }
    ExprPtr eqvExpr()
    {
        ExprPtr e = xorExpr();
        while (isWord("EQV")) {
            const int pos = cur().pos;
            advance();
            e = binary(Op::Eqv, std::move(e), xorExpr(), pos);
        }
        return e;
    }
    ExprPtr xorExpr()
    {
        ExprPtr e = orExpr();
        while (isWord("XOR")) {
            const int pos = cur().pos;
            advance();
            e = binary(Op::Xor, std::move(e), orExpr(), pos);
        }
        return e;
    }
    ExprPtr orExpr()
    {
        ExprPtr e = andExpr();
        while (isWord("OR")) {
            const int pos = cur().pos;
            advance();
            e = binary(Op::Or, std::move(e), andExpr(), pos);
        }
        return e;
    }
    ExprPtr andExpr()
    {
        ExprPtr e = notExpr();
        while (isWord("AND")) {
            const int pos = cur().pos;
            advance();
            e = binary(Op::And, std::move(e), notExpr(), pos);
        }
        return e;
    }
    ExprPtr notExpr()
    {
        if (isWord("NOT")) {
            const int pos = cur().pos;
            advance();
            if (++m_depth > 200)
                fail(QStringLiteral("the expression is nested too deeply"));
            auto e = makeExpr(ExprKind::Unary, pos);
            e->op = Op::Not;
            e->args.push_back(notExpr());
            --m_depth;
            return e;
        }
        return comparison();
    }

    ExprPtr comparison()
    {
        ExprPtr e = concatExpr();
        while (true) {
            const int pos = cur().pos;
            if (cur().type == Tok::Symbol) {
                Op op = Op::None;
                const QString& s = cur().text;
                if (s == u"=")
                    op = Op::Eq;
                else if (s == u"<>")
                    op = Op::Ne;
                else if (s == u"<")
                    op = Op::Lt;
                else if (s == u"<=")
                    op = Op::Le;
                else if (s == u">")
                    op = Op::Gt;
                else if (s == u">=")
                    op = Op::Ge;
                if (op == Op::None)
                    return e;
                advance();
                e = binary(op, std::move(e), concatExpr(), pos);
                continue;
            }
            bool negated = false;
            if (isWord("NOT") &&
                (isWordToken(peek(), "LIKE") || isWordToken(peek(), "IN") || isWordToken(peek(), "BETWEEN"))) {
                advance();
                negated = true;
            }
            if (acceptWord("LIKE")) {
                auto like = makeExpr(ExprKind::Like, pos);
                like->negated = negated;
                like->args.push_back(std::move(e));
                like->args.push_back(concatExpr());
                e = std::move(like);
            } else if (acceptWord("BETWEEN")) {
                auto between = makeExpr(ExprKind::Between, pos);
                between->negated = negated;
                between->args.push_back(std::move(e));
                between->args.push_back(concatExpr());
                expectWord("AND");
                between->args.push_back(concatExpr());
                e = std::move(between);
            } else if (acceptWord("IN")) {
                e = inPredicate(std::move(e), negated, pos);
            } else if (acceptWord("IS")) {
                auto isNull = makeExpr(ExprKind::IsNull, pos);
                isNull->negated = acceptWord("NOT");
                expectWord("NULL");
                isNull->args.push_back(std::move(e));
                e = std::move(isNull);
            } else {
                return e;
            }
        }
    }

    // x IN (list), x IN (SELECT ...) and x IN ((SELECT ...)): a subquery that
    // is the only element of the list stands for its whole result set.
    ExprPtr inPredicate(ExprPtr value, bool negated, int pos)
    {
        expectSymbol("(");
        size_t parens = 0;
        while (isSymbol("(") && isSubqueryAhead()) {
            advance();
            ++parens;
        }
        if (isWord("SELECT")) {
            auto in = makeExpr(ExprKind::InSelect, pos);
            in->negated = negated;
            in->args.push_back(std::move(value));
            in->select = select();
            for (size_t k = 0; k < parens; ++k)
                expectSymbol(")");
            expectSymbol(")");
            return in;
        }
        auto in = makeExpr(ExprKind::InList, pos);
        in->negated = negated;
        in->args.push_back(std::move(value));
        do
            in->args.push_back(expression());
        while (acceptSymbol(","));
        expectSymbol(")");
        return in;
    }
    // True when the current "(" and any further ones lead to SELECT.
    bool isSubqueryAhead() const
    {
        size_t k = m_i;
        while (k < m_tokens.size() && m_tokens[k].type == Tok::Symbol && m_tokens[k].text == u"(")
            ++k;
        return k < m_tokens.size() && isWordToken(m_tokens[k], "SELECT");
    }

    ExprPtr concatExpr()
    {
        ExprPtr e = additive();
        while (isSymbol("&")) {
            const int pos = cur().pos;
            advance();
            e = binary(Op::Concat, std::move(e), additive(), pos);
        }
        return e;
    }
    ExprPtr additive()
    {
        ExprPtr e = modExpr();
        while (isSymbol("+") || isSymbol("-")) {
            const Op op = isSymbol("+") ? Op::Add : Op::Sub;
            const int pos = cur().pos;
            advance();
            e = binary(op, std::move(e), modExpr(), pos);
        }
        return e;
    }
    ExprPtr modExpr()
    {
        ExprPtr e = intDivExpr();
        while (isWord("MOD")) {
            const int pos = cur().pos;
            advance();
            e = binary(Op::Mod, std::move(e), intDivExpr(), pos);
        }
        return e;
    }
    ExprPtr intDivExpr()
    {
        ExprPtr e = multiplicative();
        while (isSymbol("\\")) {
            const int pos = cur().pos;
            advance();
            e = binary(Op::IntDiv, std::move(e), multiplicative(), pos);
        }
        return e;
    }
    ExprPtr multiplicative()
    {
        ExprPtr e = power();
        while (isSymbol("*") || isSymbol("/")) {
            const Op op = isSymbol("*") ? Op::Mul : Op::Div;
            const int pos = cur().pos;
            advance();
            e = binary(op, std::move(e), power(), pos);
        }
        return e;
    }
    // Unary minus binds tighter than ^: -10^2 is (-10)^2.
    ExprPtr power()
    {
        ExprPtr e = unary();
        while (isSymbol("^")) {
            const int pos = cur().pos;
            advance();
            e = binary(Op::Pow, std::move(e), unary(), pos);
        }
        return e;
    }
    ExprPtr unary()
    {
        if (isSymbol("-") || isSymbol("+")) {
            const Op op = isSymbol("-") ? Op::Neg : Op::Plus;
            const int pos = cur().pos;
            advance();
            if (++m_depth > 200)
                fail(QStringLiteral("the expression is nested too deeply"));
            auto e = makeExpr(ExprKind::Unary, pos);
            e->op = op;
            e->args.push_back(unary());
            --m_depth;
            return e;
        }
        return primary();
    }

    ExprPtr primary()
    {
        const Token& t = cur();
        const int pos = t.pos;
        switch (t.type) {
        case Tok::End:
            fail(QStringLiteral("expected an expression"));
        case Tok::Number: {
            auto e = makeExpr(ExprKind::Number, pos);
            e->text = t.text;
            advance();
            return e;
        }
        case Tok::String: {
            auto e = makeExpr(ExprKind::String, pos);
            e->text = t.text;
            advance();
            return e;
        }
        case Tok::Date: {
            auto e = makeExpr(ExprKind::Date, pos);
            e->text = t.text;
            advance();
            return e;
        }
        case Tok::Param: {
            auto e = makeExpr(ExprKind::Parameter, pos);
            e->text = t.text;
            e->number = t.number;
            advance();
            return e;
        }
        case Tok::Symbol:
            if (t.text == u"(") {
                advance();
                if (isWord("SELECT")) {
                    auto e = makeExpr(ExprKind::Subquery, pos);
                    e->select = select();
                    expectSymbol(")");
                    return e;
                }
                ExprPtr inner = expression();
                expectSymbol(")");
                return inner;
            }
            if (t.text == u"*") {
                advance();
                return makeExpr(ExprKind::Star, pos);
            }
            fail(QStringLiteral("expected an expression"));
        case Tok::Ident:
            if (isWord("NULL")) {
                advance();
                return makeExpr(ExprKind::Null, pos);
            }
            if (isWord("TRUE") || isWord("FALSE")) {
                auto e = makeExpr(ExprKind::Bool, pos);
                e->number = isWord("TRUE") ? -1 : 0;
                advance();
                return e;
            }
            if (isWord("EXISTS")) {
                advance();
                expectSymbol("(");
                auto e = makeExpr(ExprKind::Exists, pos);
                if (!isWord("SELECT"))
                    fail(QStringLiteral("expected SELECT"));
                e->select = select();
                expectSymbol(")");
                return e;
            }
            // LEFT and RIGHT are join words too, but before "(" functions.
            if (peek().type == Tok::Symbol && peek().text == u"(" &&
                (!isReserved(t) || isWord("LEFT") || isWord("RIGHT")))
                return functionCall();
            if (isReserved(t))
                fail(QStringLiteral("expected an expression"));
            return columnRef();
        case Tok::Bracket:
            return columnRef();
        }
        fail(QStringLiteral("expected an expression"));
    }

    ExprPtr functionCall()
    {
        auto e = makeExpr(ExprKind::Function, cur().pos);
        e->text = cur().text;
        advance();
        expectSymbol("(");
        if (acceptSymbol(")"))
            return e;
        if (isSymbol("*")) {
            e->args.push_back(makeExpr(ExprKind::Star, cur().pos));
            advance();
        } else {
            if (acceptWord("DISTINCT"))
                e->negated = true;  // count(DISTINCT x)
            do
                e->args.push_back(expression());
            while (acceptSymbol(","));
        }
        expectSymbol(")");
        return e;
    }

    // name, table.name, table.*, also with '!' as Jet's qualifier.
    ExprPtr columnRef()
    {
        auto e = makeExpr(ExprKind::Column, cur().pos);
        e->names.push_back(cur().text);
        advance();
        while (isSymbol(".") || isSymbol("!")) {
            advance();
            if (isSymbol("*")) {
                advance();
                e->kind = ExprKind::Star;
                return e;
            }
            if (cur().type != Tok::Bracket && cur().type != Tok::Ident)
                fail(QStringLiteral("expected a column name"));
            e->names.push_back(cur().text);
            advance();
        }
        return e;
    }

    // ---- INSERT / UPDATE / DELETE ---------------------------------------------
    void insert(Statement& st)
    {
        st.type = StatementType::Insert;
        expectWord("INTO");
        st.name = name(QStringLiteral("a table name"));
        if (isSymbol("(") && !isSubqueryAhead()) {
            advance();
            do
                st.insertColumns.push_back(qualifiedColumnName());
            while (acceptSymbol(","));
            expectSymbol(")");
        }
        if (acceptWord("VALUES")) {
            do {
                expectSymbol("(");
                std::vector<ExprPtr> row;
                do
                    row.push_back(expression());
                while (acceptSymbol(","));
                expectSymbol(")");
                if (!st.insertColumns.isEmpty() && row.size() != size_t(st.insertColumns.size()))
                    fail(QStringLiteral("the number of values differs from the number of columns"));
                st.insertRows.push_back(std::move(row));
            } while (acceptSymbol(","));
        } else if (isWord("SELECT") || isSymbol("(")) {
            const bool paren = acceptSymbol("(");
            st.select = select();
            if (paren)
                expectSymbol(")");
        } else {
            fail(QStringLiteral("expected VALUES or SELECT"));
        }
    }

    // A column of an INSERT list or a SET target; a qualifier is dropped.
    QString qualifiedColumnName()
    {
        QString n = name(QStringLiteral("a column name"));
        while (acceptSymbol(".") || acceptSymbol("!"))
            n = name(QStringLiteral("a column name"));
        return n;
    }

    void update(Statement& st)
    {
        st.type = StatementType::Update;
        st.from.push_back(joinedTable());
        expectWord("SET");
        do {
            Assignment a;
            if (!isName())
                fail(QStringLiteral("expected a column name"));
            a.target = columnRef();
            if (a.target->kind != ExprKind::Column)
                fail(QStringLiteral("expected a column name"));
            expectSymbol("=");
            a.value = expression();
            st.assignments.push_back(std::move(a));
        } while (acceptSymbol(","));
        if (acceptWord("WHERE"))
            st.where = expression();
    }

    void deleteStatement(Statement& st)
    {
        st.type = StatementType::Delete;
        if (acceptSymbol("*")) {
        } else if (isName()) {
            // DELETE t.* FROM ...
            st.deleteTarget = name(QStringLiteral("a table name"));
            expectSymbol(".");
            expectSymbol("*");
        }
        expectWord("FROM");
        st.from = fromList();
        if (acceptWord("WHERE"))
            st.where = expression();
    }

    // ---- DDL -------------------------------------------------------------------
    void create(Statement& st)
    {
        if (acceptWord("TABLE")) {
            st.type = StatementType::CreateTable;
            st.name = name(QStringLiteral("a table name"));
            expectSymbol("(");
            do {
                if (isWord("CONSTRAINT") || isWord("PRIMARY") || isWord("UNIQUE") || isWord("FOREIGN"))
                    st.constraints.push_back(tableConstraint());
                else
                    st.columns.push_back(columnDef());
            } while (acceptSymbol(","));
            expectSymbol(")");
            if (st.columns.empty())
                fail(QStringLiteral("a table needs at least one column"));
            return;
        }
        const bool unique = acceptWord("UNIQUE");
        if (acceptWord("INDEX")) {
            st.type = StatementType::CreateIndex;
            st.unique = unique;
            st.name = name(QStringLiteral("an index name"));
            expectWord("ON");
            st.table = name(QStringLiteral("a table name"));
            expectSymbol("(");
            do {
                IndexColumn c;
                c.name = name(QStringLiteral("a column name"));
                if (acceptWord("DESC"))
                    c.descending = true;
                else
                    acceptWord("ASC");
                st.indexColumns.push_back(c);
            } while (acceptSymbol(","));
            expectSymbol(")");
            if (acceptWord("WITH")) {
                do {
                    if (acceptWord("PRIMARY")) {
                        st.primary = true;
                        st.unique = true;
                    } else if (acceptWord("DISALLOW") || acceptWord("IGNORE")) {
                        expectWord("NULL");
                    } else {
                        fail(QStringLiteral("expected PRIMARY, DISALLOW NULL or IGNORE NULL"));
                    }
                } while (isWord("PRIMARY") || isWord("DISALLOW") || isWord("IGNORE"));
            }
            return;
        }
        if (unique)
            fail(QStringLiteral("expected INDEX"));
        if (acceptWord("VIEW")) {
            st.type = StatementType::CreateView;
            st.name = name(QStringLiteral("a view name"));
            expectWord("AS");
            st.select = select();
            return;
        }
        fail(QStringLiteral("expected TABLE, INDEX or VIEW"));
    }

    static bool columnTypeFromWord(const QString& word, ColumnType& type)
    {
        static const QHash<QString, ColumnType> types = {
            {QStringLiteral("COUNTER"), ColumnType::Counter},   {QStringLiteral("AUTOINCREMENT"), ColumnType::Counter},
            {QStringLiteral("LONG"), ColumnType::Long},         {QStringLiteral("INTEGER"), ColumnType::Long},
            {QStringLiteral("INT"), ColumnType::Long},          {QStringLiteral("INTEGER4"), ColumnType::Long},
            {QStringLiteral("SHORT"), ColumnType::Short},       {QStringLiteral("SMALLINT"), ColumnType::Short},
            {QStringLiteral("INTEGER2"), ColumnType::Short},    {QStringLiteral("BYTE"), ColumnType::Short},
            {QStringLiteral("TINYINT"), ColumnType::Short},     {QStringLiteral("TEXT"), ColumnType::Text},
            {QStringLiteral("VARCHAR"), ColumnType::Text},      {QStringLiteral("CHAR"), ColumnType::Text},
            {QStringLiteral("CHARACTER"), ColumnType::Text},    {QStringLiteral("STRING"), ColumnType::Text},
            {QStringLiteral("ALPHANUMERIC"), ColumnType::Text}, {QStringLiteral("MEMO"), ColumnType::Memo},
            {QStringLiteral("LONGTEXT"), ColumnType::Memo},     {QStringLiteral("NOTE"), ColumnType::Memo},
            {QStringLiteral("DATETIME"), ColumnType::DateTime}, {QStringLiteral("DATE"), ColumnType::DateTime},
            {QStringLiteral("TIME"), ColumnType::DateTime},     {QStringLiteral("YESNO"), ColumnType::YesNo},
            {QStringLiteral("BIT"), ColumnType::YesNo},         {QStringLiteral("LOGICAL"), ColumnType::YesNo},
            {QStringLiteral("DOUBLE"), ColumnType::Double},     {QStringLiteral("FLOAT"), ColumnType::Double},
            {QStringLiteral("REAL"), ColumnType::Double},       {QStringLiteral("NUMBER"), ColumnType::Double},
            {QStringLiteral("SINGLE"), ColumnType::Double},     {QStringLiteral("NUMERIC"), ColumnType::Double},
            {QStringLiteral("CURRENCY"), ColumnType::Currency}, {QStringLiteral("MONEY"), ColumnType::Currency},
        };
        const auto it = types.constFind(word.toUpper());
        if (it == types.constEnd())
            return false;
        type = *it;
        return true;
    }

    ColumnDef columnDef()
    {
        ColumnDef c;
        c.pos = cur().pos;
        c.name = name(QStringLiteral("a column name"));
        if (cur().type != Tok::Ident || !columnTypeFromWord(cur().text, c.type))
            fail(QStringLiteral("expected a column type"));
        advance();
        if (acceptSymbol("(")) {
            if (cur().type != Tok::Number)
                fail(QStringLiteral("expected the size of the column"));
            bool ok = false;
            c.size = cur().text.toInt(&ok);
            if (!ok || c.size <= 0)
                fail(QStringLiteral("expected the size of the column"));
            advance();
            if (acceptSymbol(",")) {  // NUMERIC(p, s)
                if (cur().type != Tok::Number)
                    fail(QStringLiteral("expected a number"));
                advance();
            }
            expectSymbol(")");
        }
        while (true) {
            if (acceptWord("NOT")) {
                expectWord("NULL");
                c.notNull = true;
            } else if (acceptWord("NULL")) {
            } else if (acceptWord("DEFAULT")) {
                c.defaultValue = concatExpr();
            } else if (acceptWord("PRIMARY")) {
                expectWord("KEY");
                c.primaryKey = true;
            } else if (acceptWord("UNIQUE")) {
                c.unique = true;
            } else if (acceptWord("CONSTRAINT")) {
                name(QStringLiteral("a constraint name"));
                if (acceptWord("PRIMARY")) {
                    expectWord("KEY");
                    c.primaryKey = true;
                } else if (acceptWord("UNIQUE")) {
                    c.unique = true;
                } else if (isWord("REFERENCES")) {
                    references();
                } else {
                    fail(QStringLiteral("expected PRIMARY KEY, UNIQUE or REFERENCES"));
                }
            } else if (isWord("REFERENCES")) {
                references();
            } else if (acceptWord("WITH")) {
                expectWord("COMPRESSION");
            } else {
                break;
            }
        }
        return c;
    }

    // REFERENCES t [(cols)]: relations are kept by the program, not declared.
    void references()
    {
        expectWord("REFERENCES");
        name(QStringLiteral("a table name"));
        if (acceptSymbol("(")) {
            do
                name(QStringLiteral("a column name"));
            while (acceptSymbol(","));
            expectSymbol(")");
        }
    }

    QStringList columnList()
    {
        QStringList cols;
        expectSymbol("(");
        do
            cols << name(QStringLiteral("a column name"));
        while (acceptSymbol(","));
        expectSymbol(")");
        return cols;
    }

    TableConstraint tableConstraint()
    {
        TableConstraint c;
        if (acceptWord("CONSTRAINT"))
            c.name = name(QStringLiteral("a constraint name"));
        if (acceptWord("PRIMARY")) {
            expectWord("KEY");
            c.kind = TableConstraint::Kind::PrimaryKey;
            c.columns = columnList();
        } else if (acceptWord("UNIQUE")) {
            c.kind = TableConstraint::Kind::Unique;
            c.columns = columnList();
        } else if (acceptWord("FOREIGN")) {
            expectWord("KEY");
            c.kind = TableConstraint::Kind::ForeignKey;
            c.columns = columnList();
            references();
        } else {
            fail(QStringLiteral("expected PRIMARY KEY, UNIQUE or FOREIGN KEY"));
        }
        return c;
    }

    void drop(Statement& st)
    {
        if (acceptWord("TABLE")) {
            st.type = StatementType::DropTable;
            st.name = name(QStringLiteral("a table name"));
        } else if (acceptWord("INDEX")) {
            st.type = StatementType::DropIndex;
            st.name = name(QStringLiteral("an index name"));
            expectWord("ON");
            st.table = name(QStringLiteral("a table name"));
        } else if (acceptWord("VIEW")) {
            st.type = StatementType::DropView;
            st.name = name(QStringLiteral("a view name"));
        } else {
            fail(QStringLiteral("expected TABLE, INDEX or VIEW"));
        }
    }

    const QString& m_text;
    std::vector<Token> m_tokens;
    QStringList m_parameters;
    const Token* m_firstParameter = nullptr;
    size_t m_i = 0;
    int m_depth = 0;
};

}  // namespace

Statement parseStatement(const QString& text)
{
    Parser parser(text);
    return parser.statement();
}

Condition parseCondition(const QString& text)
{
    Parser parser(text);
    return parser.condition();
}

}  // namespace lg::jetsql
