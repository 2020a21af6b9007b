#pragma once

// The calculated texts of report fields: string literals joined with & (or +),
// column names, [Page] and [Pages], Date, Time, Now, CStr(...), Format(x, f)
// and the aggregates COUNT, SUM, MIN, MAX and AVG over the rows of a group.
//
//   "Oldalszám: " & [Pages] & " / " & [Page]
//   SUM(RF12)

#include <QtCore/QDateTime>
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QVariant>

#include <memory>
#include <vector>

namespace lg::reportengine {

enum class AggregateKind { Count, Sum, Min, Max, Avg };

// Running value of one aggregate. add() takes the value of one row.
struct Accumulator {
    explicit Accumulator(AggregateKind k = AggregateKind::Count) : kind(k) {}

    AggregateKind kind;
    qint64 count = 0;
    double sum = 0;
    QVariant extreme;  // MIN / MAX

    void reset()
    {
        count = 0;
        sum = 0;
        extreme = QVariant();
    }
    void add(const QVariant& v);
    QVariant result() const;
};

struct EvalContext {
    const QList<QVariant>* row = nullptr;  // the current row (nullptr: none)
    int page = 0;
    int pages = 0;
    QDateTime now;
    const std::vector<Accumulator>* aggregates = nullptr;  // by slot
};

class Expression {
public:
    struct Node;

    Expression();
    ~Expression();
    Expression(const Expression&);
    Expression& operator=(const Expression&);
    Expression(Expression&&) noexcept;
    Expression& operator=(Expression&&) noexcept;

    // Parses `text`; names are looked up in `columns` (case-insensitive).
    // An unknown name or a syntax error gives false and a message.
    static bool parse(const QString& text, const QStringList& columns, Expression& out, QString& error);
    // A literal text (fields that are not calculated).
    static Expression literal(const QString& text);

    QVariant evaluate(const EvalContext& ctx) const;

    bool usesPageCount() const { return m_usesPages; }
    bool usesPageNumber() const { return m_usesPage; }

    // The aggregates of the expression, in order; the layout gives each one a
    // slot in EvalContext::aggregates.
    struct AggregateUse {
        AggregateKind kind;
        Node* node;
    };
    std::vector<AggregateUse> aggregates() const;
    static void setSlot(Node* aggregateNode, int slot);
    // Evaluates an aggregate's argument for one row.
    static QVariant argument(const Node* aggregateNode, const EvalContext& ctx);

private:
    std::shared_ptr<Node> m_root;
    bool m_usesPage = false;
    bool m_usesPages = false;
    friend class Parser;
};

}  // namespace lg::reportengine
