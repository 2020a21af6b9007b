#include "parser.h"

#include <utility>

#include "tokenizer.h"

#include "platform/runtimeerror.h"

#include <QtCore/QSet>

#include <algorithm>

namespace lg::jetsql {

using namespace ast;

namespace {

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
    explicit Parser(const QString& text) : m_list(tokenize(text)), m_tokens(m_list.tokens) {}

    Statement statement()
    {
        Statement st;
        if (isWord("SELECT")) {
            st.kind = StatementKind::Select;
            st.select = select();
        } else if (isSymbol("(")) {
            st.kind = StatementKind::Select;
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
        } else if (acceptWord("ALTER")) {
            alter(st);
        } else {
            fail(QStringLiteral("expected SELECT, INSERT, UPDATE, DELETE, CREATE, ALTER or DROP"));
        }
        acceptSymbol(";");
        if (cur().type != Tok::End)
            fail(QStringLiteral("expected the end of the statement"));
        if (!m_list.parameters.isEmpty()) {
            if (st.kind != StatementKind::Select && st.kind != StatementKind::Insert &&
                st.kind != StatementKind::Update && st.kind != StatementKind::Delete) {
                const Token& first = m_tokens[size_t(m_list.firstParameter)];
                throwSyntaxError(first.pos, first.raw, QStringLiteral("a definition statement cannot take parameters"));
            }
            st.parameters = m_list.parameters;
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
        c.parameters = m_list.parameters;
        return c;
    }

private:
    // ---- tokens --------------------------------------------------------------
    [[noreturn]] void fail(const QString& what) const { throwSyntaxError(cur().pos, cur().raw, what); }

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
        // A subquery inside a select item keeps the outer item's state.
        struct RestoreStar {
            bool& taken;
            const bool saved = taken;
            ~RestoreStar() { taken = saved; }
        } restoreStar{m_starTaken};
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
            m_starOk = true;
            m_starTaken = false;
            item.expr = expression();
            m_starOk = false;
            if (m_starTaken && item.expr->kind != ExprKind::Star)
                fail(QStringLiteral("'*' stands for all columns only as a whole select item"));
            item.alias = optionalAlias();
            if (item.expr->kind == ExprKind::Star && !item.alias.isEmpty())
                fail(QStringLiteral("'*' cannot be given a name"));
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

    // Jet's operator precedences, loosest first. NOT is a prefix operator
    // between AND and the comparisons; unary minus and plus bind tighter than
    // ^, so -10^2 is (-10)^2 = 100.
    enum Prec {
        kNoOperator = 0,
        kImp,
        kEqv,
        kXor,
        kOr,
        kAnd,
        kNot,
        kCompare,  // = <> < <= > >=, [NOT] LIKE / IN / BETWEEN, IS [NOT] NULL
        kConcat,   // &
        kAdd,      // + -
        kMod,
        kIntDiv,  // backslash
        kMul,     // * /
        kPow,
    };

    struct BinaryOperator {
        Op op = Op::None;  // None for the predicates of kCompare
        int prec = kNoOperator;
    };

    // The binary operator (or predicate) the current token starts.
    BinaryOperator binaryOperator() const
    {
        const Token& t = cur();
        if (t.type == Tok::Symbol) {
            const QString& s = t.text;
            switch (s.size() == 1 ? s[0].unicode() : 0) {
            case '=':
                return {Op::Eq, kCompare};
            case '<':
                return {Op::Lt, kCompare};
            case '>':
                return {Op::Gt, kCompare};
            case '&':
                return {Op::Concat, kConcat};
            case '+':
                return {Op::Add, kAdd};
            case '-':
                return {Op::Sub, kAdd};
            case '\\':
                return {Op::IntDiv, kIntDiv};
            case '*':
                return {Op::Mul, kMul};
            case '/':
                return {Op::Div, kMul};
            case '^':
                return {Op::Pow, kPow};
            case 0:
                if (s == u"<>")
                    return {Op::Ne, kCompare};
                if (s == u"<=")
                    return {Op::Le, kCompare};
                if (s == u">=")
                    return {Op::Ge, kCompare};
                break;
            default:
                break;
            }
            return {};
        }
        if (t.type != Tok::Ident || t.text.size() > 7)
            return {};
        if (isWord("AND"))
            return {Op::And, kAnd};
        if (isWord("OR"))
            return {Op::Or, kOr};
        if (isWord("LIKE") || isWord("IN") || isWord("BETWEEN") || isWord("IS"))
            return {Op::None, kCompare};
        if (isWord("NOT"))
            return isWordToken(peek(), "LIKE") || isWordToken(peek(), "IN") || isWordToken(peek(), "BETWEEN")
                       ? BinaryOperator{Op::None, kCompare}
                       : BinaryOperator{};
        if (isWord("MOD"))
            return {Op::Mod, kMod};
        if (isWord("XOR"))
            return {Op::Xor, kXor};
        if (isWord("EQV"))
            return {Op::Eqv, kEqv};
        if (isWord("IMP"))
            return {Op::Imp, kImp};
        return {};
    }

    ExprPtr expression()
    {
        if (++m_depth > 200)
            fail(QStringLiteral("the expression is nested too deeply"));
        ExprPtr e = operators(kImp);
        --m_depth;
        return e;
    }

    // Precedence climbing: an operand, then every binary operator that binds
    // at least as tightly as minPrec, each taking as its right operand what
    // binds more tightly than itself (all of them are left-associative).
    ExprPtr operators(int minPrec)
    {
        ExprPtr left = prefixed(minPrec);
        int added = 0;  // levels of the left-deep tree built here, in m_depth until the return
        while (true) {
            const BinaryOperator o = binaryOperator();
            if (o.prec == kNoOperator || o.prec < minPrec) {
                m_depth -= added;
                return left;
            }
            const int pos = cur().pos;
            if (o.op == Op::None) {
                left = predicate(std::move(left), pos);
                deepen(added);
                continue;
            }
            advance();
            if (isAssociative(o.op)) {
                left = chain(o, std::move(left), pos, added);
                continue;
            }
            left = binary(o.op, std::move(left), operators(o.prec + 1), pos);
            deepen(added);
        }
    }

    // Operators whose chains may be grouped in any order: Jet's And, Or, Xor
    // and Eqv are associative in its three-valued logic, and & is plain
    // concatenation.
    static bool isAssociative(Op op)
    {
        return op == Op::And || op == Op::Or || op == Op::Xor || op == Op::Eqv || op == Op::Concat ||
               op == Op::Add;
    }

    // A run of one associative operator, a op b op c ..., read in a loop.
    // Short runs keep the usual left-deep shape; a long one (a generated list
    // of conditions, a long concatenation) becomes a balanced tree, so that
    // neither the translation nor the engine underneath has to nest as deep
    // as the run is long. + is grouped only over number literals: on text
    // and on mixed operands its result depends on the order.
    ExprPtr chain(const BinaryOperator& o, ExprPtr first, int pos, int& added)
    {
        ExprPtr second = operators(o.prec + 1);
        if (binaryOperator().op != o.op) {  // the common case: a single operator
            deepen(added);
            return binary(o.op, std::move(first), std::move(second), pos);
        }
        std::vector<ExprPtr> operands;
        std::vector<int> positions;
        operands.push_back(std::move(first));
        operands.push_back(std::move(second));
        positions.push_back(pos);
        while (binaryOperator().op == o.op) {
            positions.push_back(cur().pos);
            advance();
            operands.push_back(operators(o.prec + 1));
        }
        const bool balanced =
            operands.size() > kBalanceFrom &&
            (o.op != Op::Add || std::all_of(operands.begin(), operands.end(), [](const ExprPtr& e) {
                 return e->kind == ExprKind::Number ||
                        (e->kind == ExprKind::Unary && e->op == Op::Neg && e->args[0]->kind == ExprKind::Number);
             }));
        if (balanced)
            return balancedTree(o.op, operands, positions, 0, operands.size());
        ExprPtr left = std::move(operands.front());
        for (size_t k = 1; k < operands.size(); ++k) {
            left = binary(o.op, std::move(left), std::move(operands[k]), positions[k - 1]);
            deepen(added);
        }
        return left;
    }

    // operands[from, to) grouped as two halves, recursively (depth log2 n).
    ExprPtr balancedTree(Op op, std::vector<ExprPtr>& operands, const std::vector<int>& positions, size_t from,
                         size_t to)
    {
        if (to - from == 1)
            return std::move(operands[from]);
        const size_t mid = from + (to - from) / 2;
        ExprPtr left = balancedTree(op, operands, positions, from, mid);
        ExprPtr right = balancedTree(op, operands, positions, mid, to);
        return binary(op, std::move(left), std::move(right), positions[mid - 1]);
    }

    // One more level of a left-deep tree built in a loop: counted with the
    // nesting of the parser's own calls, so a long run of mixed operators
    // (a - b + c - ...) ends with a clear error instead of a tree that is
    // too deep to translate.
    void deepen(int& added)
    {
        ++added;
        if (++m_depth > int(kMaxDepth))
            fail(QStringLiteral("the expression is too complex (nested more than %1 levels deep)").arg(kMaxDepth));
    }

    // An operand with its prefix operators: NOT where a condition may stand,
    // - and + anywhere.
    ExprPtr prefixed(int minPrec)
    {
        if (minPrec > kNot || !isWord("NOT"))
            return unary();
        const int pos = cur().pos;
        advance();
        if (++m_depth > 200)
            fail(QStringLiteral("the expression is nested too deeply"));
        auto e = makeExpr(ExprKind::Unary, pos);
        e->op = Op::Not;
        e->args.push_back(operators(kNot));
        --m_depth;
        return e;
    }

    // [NOT] LIKE, [NOT] BETWEEN, [NOT] IN, IS [NOT] NULL after their value.
    ExprPtr predicate(ExprPtr value, int pos)
    {
        const bool negated = acceptWord("NOT");
        if (acceptWord("LIKE")) {
            auto like = makeExpr(ExprKind::Like, pos);
            like->negated = negated;
            like->args.push_back(std::move(value));
            like->args.push_back(operators(kConcat));
            return like;
        }
        if (acceptWord("BETWEEN")) {
            auto between = makeExpr(ExprKind::Between, pos);
            between->negated = negated;
            between->args.push_back(std::move(value));
            between->args.push_back(operators(kConcat));
            expectWord("AND");
            between->args.push_back(operators(kConcat));
            return between;
        }
        if (acceptWord("IN"))
            return inPredicate(std::move(value), negated, pos);
        expectWord("IS");
        auto isNull = makeExpr(ExprKind::IsNull, pos);
        isNull->negated = acceptWord("NOT");
        expectWord("NULL");
        isNull->args.push_back(std::move(value));
        return isNull;
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
        // '*' and 't.*' stand for columns only as a whole select item: only
        // the first operand of an item may be one (the item checks it is
        // nothing more).
        const bool starOk = std::exchange(m_starOk, false);
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
                if (!starOk)
                    fail(QStringLiteral("'*' stands for all columns only as a whole select item"));
                m_starTaken = true;
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
            // LEFT and RIGHT are join words too, ASC an order word, but
            // before "(" functions.
            if (peek().type == Tok::Symbol && peek().text == u"(" &&
                (!isReserved(t) || isWord("LEFT") || isWord("RIGHT") || isWord("ASC")))
                return functionCall();
            if (isReserved(t))
                fail(QStringLiteral("expected an expression"));
            return columnRef(starOk);
        case Tok::Bracket:
            return columnRef(starOk);
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
            e->distinct = acceptWord("DISTINCT");
            do
                e->args.push_back(expression());
            while (acceptSymbol(","));
        }
        expectSymbol(")");
        return e;
    }

    // name, table.name, table.*, also with '!' as Jet's qualifier.
    ExprPtr columnRef(bool starOk = false)
    {
        auto e = makeExpr(ExprKind::Column, cur().pos);
        e->names.push_back(cur().text);
        advance();
        while (isSymbol(".") || isSymbol("!")) {
            advance();
            if (isSymbol("*")) {
                if (!starOk)
                    fail(QStringLiteral("'*' stands for all columns only as a whole select item"));
                m_starTaken = true;
                advance();
                e->kind = ExprKind::Star;
                return e;
            }
            if (cur().type != Tok::Bracket && cur().type != Tok::Ident)
                fail(QStringLiteral("expected a column name"));
            // Jet names a column by itself or after one table or query name.
            if (e->names.size() == 2)
                fail(QStringLiteral("a column name takes one table name before it, not more"));
            e->names.push_back(cur().text);
            advance();
        }
        return e;
    }

    // ---- INSERT / UPDATE / DELETE ---------------------------------------------
    void insert(Statement& st)
    {
        st.kind = StatementKind::Insert;
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
        st.kind = StatementKind::Update;
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
        st.kind = StatementKind::Delete;
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
            st.kind = StatementKind::CreateTable;
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
            st.kind = StatementKind::CreateIndex;
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
            st.kind = StatementKind::CreateView;
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
            {QStringLiteral("INTEGER2"), ColumnType::Short},    {QStringLiteral("BYTE"), ColumnType::Byte},
            {QStringLiteral("TINYINT"), ColumnType::Byte},      {QStringLiteral("INTEGER1"), ColumnType::Byte},
            {QStringLiteral("DECIMAL"), ColumnType::Decimal},   {QStringLiteral("DEC"), ColumnType::Decimal},
            {QStringLiteral("LONGBINARY"), ColumnType::Binary}, {QStringLiteral("GENERAL"), ColumnType::Binary},
            {QStringLiteral("OLEOBJECT"), ColumnType::Binary},  {QStringLiteral("IMAGE"), ColumnType::Binary},     {QStringLiteral("TEXT"), ColumnType::Text},
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
            if (acceptSymbol(",")) {  // DECIMAL(p, s)
                bool scaleOk = false;
                c.scale = cur().text.toInt(&scaleOk);
                if (cur().type != Tok::Number || !scaleOk || c.scale < 0 || c.scale > c.size)
                    fail(QStringLiteral("expected the scale of the column (0 to its precision)"));
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
                c.defaultValue = operators(kConcat);
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

    // ALTER TABLE t ADD [COLUMN] definition | DROP [COLUMN] c |
    // ADD CONSTRAINT ... | DROP CONSTRAINT name
    void alter(Statement& st)
    {
        expectWord("TABLE");
        st.kind = StatementKind::AlterTable;
        st.name = name(QStringLiteral("a table name"));
        if (acceptWord("ADD")) {
            if (isWord("CONSTRAINT") || isWord("PRIMARY") || isWord("UNIQUE") || isWord("FOREIGN")) {
                st.constraints.push_back(tableConstraint());
                return;
            }
            acceptWord("COLUMN");
            st.columns.push_back(columnDef());
            return;
        }
        if (acceptWord("DROP")) {
            if (acceptWord("CONSTRAINT")) {
                st.dropConstraint = name(QStringLiteral("a constraint name"));
                return;
            }
            acceptWord("COLUMN");
            st.dropColumn = name(QStringLiteral("a column name"));
            return;
        }
        fail(QStringLiteral("expected ADD or DROP"));
    }

    void drop(Statement& st)
    {
        if (acceptWord("TABLE")) {
            st.kind = StatementKind::DropTable;
            st.name = name(QStringLiteral("a table name"));
        } else if (acceptWord("INDEX")) {
            st.kind = StatementKind::DropIndex;
            st.name = name(QStringLiteral("an index name"));
            expectWord("ON");
            st.table = name(QStringLiteral("a table name"));
        } else if (acceptWord("VIEW")) {
            st.kind = StatementKind::DropView;
            st.name = name(QStringLiteral("a view name"));
        } else {
            fail(QStringLiteral("expected TABLE, INDEX or VIEW"));
        }
    }

    // Runs of one associative operator longer than this are grouped
    // balanced; nothing is nested deeper than kMaxDepth.
    static constexpr size_t kBalanceFrom = 8;
    static constexpr size_t kMaxDepth = 200;

    const TokenList m_list;
    const std::vector<Token>& m_tokens;
    size_t m_i = 0;
    int m_depth = 0;
    bool m_starOk = false;     // the next operand may be '*' or 't.*'
    bool m_starTaken = false;  // the select item being read began with one
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
