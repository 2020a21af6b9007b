#include "reportengine/expression.h"

#include "reportengine/valueformat.h"

namespace lg::reportengine {

using namespace Qt::StringLiterals;

struct Expression::Node {
    enum Kind { Literal, Column, Page, Pages, Date, Time, Now, Concat, Add, CStr, Format, Aggregate };
    Kind kind = Literal;
    QVariant value;
    int column = -1;
    int slot = -1;
    AggregateKind aggregate = AggregateKind::Count;
    std::vector<std::shared_ptr<Node>> args;
};

namespace {

bool isNull(const QVariant& v) { return !v.isValid() || v.isNull(); }

int compareValues(const QVariant& a, const QVariant& b)
{
    if (isNumber(a) && isNumber(b)) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (isDateValue(a) && isDateValue(b)) {
        const QDateTime x = toDateTime(a), y = toDateTime(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive);
}

}  // namespace

void Accumulator::add(const QVariant& v)
{
    if (isNull(v))
        return;
    ++count;
    switch (kind) {
    case AggregateKind::Count:
        break;
    case AggregateKind::Sum:
    case AggregateKind::Avg:
        sum += v.toDouble();
        break;
    case AggregateKind::Min:
        if (!extreme.isValid() || compareValues(v, extreme) < 0)
            extreme = v;
        break;
    case AggregateKind::Max:
        if (!extreme.isValid() || compareValues(v, extreme) > 0)
            extreme = v;
        break;
    }
}

QVariant Accumulator::result() const
{
    switch (kind) {
    case AggregateKind::Count:
        return QVariant(count);
    case AggregateKind::Sum:
        return count ? QVariant(sum) : QVariant();
    case AggregateKind::Avg:
        return count ? QVariant(sum / static_cast<double>(count)) : QVariant();
    case AggregateKind::Min:
    case AggregateKind::Max:
        return extreme;
    }
    return {};
}

// ---------------------------------------------------------------------------

class Parser {
public:
    Parser(const QString& text, const QStringList& columns, Expression& out) : m_s(text), m_columns(columns), m_out(out)
    {
    }

    std::shared_ptr<Expression::Node> parseAll()
    {
        auto n = parseConcat();
        skipBlanks();
        if (m_pos < m_s.size())
            fail(u"unexpected \"%1\""_s.arg(m_s.mid(m_pos, 10)));
        return n;
    }

    QString error;
    // Thrown by fail(); the text is in `error`.
    struct Failure {};

private:
    using NodePtr = std::shared_ptr<Expression::Node>;

    [[noreturn]] void fail(const QString& message)
    {
        error = u"%1 at position %2 of \"%3\""_s.arg(message).arg(m_pos + 1).arg(m_s);
        throw Failure{};
    }

    void skipBlanks()
    {
        while (m_pos < m_s.size() && m_s[m_pos].isSpace())
            ++m_pos;
    }

    bool take(QChar c)
    {
        skipBlanks();
        if (m_pos < m_s.size() && m_s[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    static NodePtr make(Expression::Node::Kind k)
    {
        auto n = std::make_shared<Expression::Node>();
        n->kind = k;
        return n;
    }

    NodePtr parseConcat()
    {
        NodePtr first = parsePrimary();
        std::vector<NodePtr> parts{first};
        std::vector<bool> plus;
        for (;;) {
            if (take(u'&')) {
                parts.push_back(parsePrimary());
                plus.push_back(false);
            } else if (take(u'+')) {
                parts.push_back(parsePrimary());
                plus.push_back(true);
            } else {
                break;
            }
        }
        if (parts.size() == 1)
            return first;
        // Fold left so that mixed & and + keep their order.
        NodePtr acc = parts[0];
        for (size_t i = 1; i < parts.size(); ++i) {
            auto n = make(plus[i - 1] ? Expression::Node::Add : Expression::Node::Concat);
            n->args = {acc, parts[i]};
            acc = n;
        }
        return acc;
    }

    QString identifier()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_s.size() && (m_s[m_pos].isLetterOrNumber() || m_s[m_pos] == u'_'))
            ++m_pos;
        return m_s.mid(start, m_pos - start);
    }

    NodePtr nameNode(const QString& name)
    {
        if (name.compare("Page"_L1, Qt::CaseInsensitive) == 0) {
            m_out.m_usesPage = true;
            return make(Expression::Node::Page);
        }
        if (name.compare("Pages"_L1, Qt::CaseInsensitive) == 0) {
            m_out.m_usesPages = true;
            return make(Expression::Node::Pages);
        }
        for (int i = 0; i < m_columns.size(); ++i) {
            if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0) {
                auto n = make(Expression::Node::Column);
                n->column = i;
                return n;
            }
        }
        if (name.compare("Date"_L1, Qt::CaseInsensitive) == 0)
            return make(Expression::Node::Date);
        if (name.compare("Time"_L1, Qt::CaseInsensitive) == 0)
            return make(Expression::Node::Time);
        if (name.compare("Now"_L1, Qt::CaseInsensitive) == 0)
            return make(Expression::Node::Now);
        fail(u"unknown name \"%1\""_s.arg(name));
    }

    NodePtr parsePrimary()
    {
        skipBlanks();
        if (m_pos >= m_s.size())
            fail(u"missing value"_s);
        const QChar c = m_s[m_pos];
        if (c == u'"') {
            QString lit;
            ++m_pos;
            for (;;) {
                if (m_pos >= m_s.size())
                    fail(u"unterminated text"_s);
                if (m_s[m_pos] == u'"') {
                    if (m_pos + 1 < m_s.size() && m_s[m_pos + 1] == u'"') {
                        lit += u'"';
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    break;
                }
                lit += m_s[m_pos++];
            }
            auto n = make(Expression::Node::Literal);
            n->value = lit;
            return n;
        }
        if (c == u'(') {
            ++m_pos;
            auto n = parseConcat();
            if (!take(u')'))
                fail(u"missing \")\""_s);
            return n;
        }
        if (c == u'[') {
            const qsizetype end = m_s.indexOf(u']', m_pos);
            if (end < 0)
                fail(u"missing \"]\""_s);
            const QString name = m_s.mid(m_pos + 1, end - m_pos - 1).trimmed();
            m_pos = end + 1;
            return nameNode(name);
        }
        if (c.isDigit() || c == u'-' || c == u'.') {
            const qsizetype start = m_pos++;
            while (m_pos < m_s.size() && (m_s[m_pos].isDigit() || m_s[m_pos] == u'.'))
                ++m_pos;
            bool ok = false;
            const double v = m_s.mid(start, m_pos - start).toDouble(&ok);
            if (!ok)
                fail(u"not a number"_s);
            auto n = make(Expression::Node::Literal);
            if (v == static_cast<double>(static_cast<qint64>(v)))
                n->value = static_cast<qint64>(v);
            else
                n->value = v;
            return n;
        }
        if (c.isLetter() || c == u'_') {
            const QString name = identifier();
            skipBlanks();
            if (m_pos < m_s.size() && m_s[m_pos] == u'(')
                return call(name);
            return nameNode(name);
        }
        fail(u"unexpected \"%1\""_s.arg(c));
    }

    NodePtr call(const QString& name)
    {
        take(u'(');
        std::vector<NodePtr> args;
        if (!take(u')')) {
            do {
                args.push_back(parseConcat());
            } while (take(u','));
            if (!take(u')'))
                fail(u"missing \")\""_s);
        }
        const QString upper = name.toUpper();
        auto withArgs = [&](Expression::Node::Kind k, size_t minArgs, size_t maxArgs) {
            if (args.size() < minArgs || args.size() > maxArgs)
                fail(u"wrong number of arguments for %1"_s.arg(name));
            auto n = make(k);
            n->args = args;
            return n;
        };
        static const QHash<QString, AggregateKind> aggregates = {{u"COUNT"_s, AggregateKind::Count},
                                                                 {u"SUM"_s, AggregateKind::Sum},
                                                                 {u"MIN"_s, AggregateKind::Min},
                                                                 {u"MAX"_s, AggregateKind::Max},
                                                                 {u"AVG"_s, AggregateKind::Avg}};
        if (auto it = aggregates.find(upper); it != aggregates.end()) {
            auto n = withArgs(Expression::Node::Aggregate, 1, 1);
            n->aggregate = *it;
            return n;
        }
        if (upper == "CSTR"_L1)
            return withArgs(Expression::Node::CStr, 1, 1);
        if (upper == "FORMAT"_L1)
            return withArgs(Expression::Node::Format, 1, 2);
        if (upper == "DATE"_L1 && args.empty())
            return make(Expression::Node::Date);
        if (upper == "TIME"_L1 && args.empty())
            return make(Expression::Node::Time);
        if (upper == "NOW"_L1 && args.empty())
            return make(Expression::Node::Now);
        fail(u"unknown function \"%1\""_s.arg(name));
    }

    const QString& m_s;
    const QStringList& m_columns;
    Expression& m_out;
    qsizetype m_pos = 0;
};

// ---------------------------------------------------------------------------

Expression::Expression() = default;
Expression::~Expression() = default;
Expression::Expression(const Expression&) = default;
Expression& Expression::operator=(const Expression&) = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;

bool Expression::parse(const QString& text, const QStringList& columns, Expression& out, QString& error)
{
    Expression e;
    Parser p(text, columns, e);
    try {
        e.m_root = p.parseAll();
    } catch (const Parser::Failure&) {
        error = p.error;
        return false;
    }
    out = std::move(e);
    return true;
}

Expression Expression::literal(const QString& text)
{
    Expression e;
    e.m_root = std::make_shared<Node>();
    e.m_root->value = text;
    return e;
}

namespace {

QVariant eval(const Expression::Node* n, const EvalContext& ctx)
{
    using N = Expression::Node;
    switch (n->kind) {
    case N::Literal:
        return n->value;
    case N::Column:
        if (!ctx.row || n->column >= ctx.row->size())
            return {};
        return ctx.row->at(n->column);
    case N::Page:
        return QVariant(static_cast<qint64>(ctx.page));
    case N::Pages:
        return QVariant(static_cast<qint64>(ctx.pages));
    case N::Date:
        return QVariant(QDateTime(ctx.now.date(), QTime(0, 0)));
    case N::Time:
        return QVariant(ctx.now.time());
    case N::Now:
        return QVariant(ctx.now);
    case N::Concat: {
        // Null joins as an empty text; Null & Null stays Null.
        const QVariant a = eval(n->args[0].get(), ctx);
        const QVariant b = eval(n->args[1].get(), ctx);
        if (isNull(a) && isNull(b))
            return {};
        auto text = [](const QVariant& v) {
            return v.typeId() == QMetaType::QTime ? v.toTime().toString(u"H:mm:ss"_s) : plainText(v);
        };
        return QVariant(text(a) + text(b));
    }
    case N::Add: {
        const QVariant a = eval(n->args[0].get(), ctx);
        const QVariant b = eval(n->args[1].get(), ctx);
        if (isNull(a) || isNull(b))
            return {};
        if (isNumber(a) && isNumber(b))
            return QVariant(a.toDouble() + b.toDouble());
        return QVariant(plainText(a) + plainText(b));
    }
    case N::CStr: {
        const QVariant a = eval(n->args[0].get(), ctx);
        if (a.typeId() == QMetaType::QTime)
            return QVariant(a.toTime().toString(u"H:mm:ss"_s));
        return QVariant(plainText(a));
    }
    case N::Format: {
        const QVariant a = eval(n->args[0].get(), ctx);
        const QString f = n->args.size() > 1 ? plainText(eval(n->args[1].get(), ctx)) : QString();
        return QVariant(formatValue(a, f));
    }
    case N::Aggregate:
        if (!ctx.aggregates || n->slot < 0 || n->slot >= static_cast<int>(ctx.aggregates->size()))
            return {};
        return (*ctx.aggregates)[n->slot].result();
    }
    return {};
}

void collect(Expression::Node* n, std::vector<Expression::AggregateUse>& out)
{
    if (n->kind == Expression::Node::Aggregate) {
        out.push_back({n->aggregate, n});
        return;  // an aggregate inside an aggregate is evaluated per row
    }
    for (auto& a : n->args)
        collect(a.get(), out);
}

}  // namespace

QVariant Expression::evaluate(const EvalContext& ctx) const { return m_root ? eval(m_root.get(), ctx) : QVariant(); }

std::vector<Expression::AggregateUse> Expression::aggregates() const
{
    std::vector<AggregateUse> out;
    if (m_root)
        collect(m_root.get(), out);
    return out;
}

void Expression::setSlot(Node* aggregateNode, int slot) { aggregateNode->slot = slot; }

QVariant Expression::argument(const Node* aggregateNode, const EvalContext& ctx)
{
    return eval(aggregateNode->args[0].get(), ctx);
}

}  // namespace lg::reportengine
