// A keyword search typed into a text filter becomes LIKE conditions on one
// field. Whatever was typed, the condition must parse as Jet SQL inside a
// statement, and must not reach beyond the field it was built for: no
// other column, no statement after it, no comment.

#include "fuzzer.h"

#include "filters/keywordexpression.h"
#include "platform/jetsql/translate.h"
#include "platform/runtimeerror.h"

using lg::filters::KeywordExpression;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 2048)
        return 0;
    const QString typed = lg::fuzz::text(data, size);
    const auto result = KeywordExpression::build(typed, QStringLiteral("[f]"), QStringLiteral("*"));
    if (result.isEmpty())
        return 0;

    const QString statement = QStringLiteral("SELECT id FROM t WHERE ") + result.sql;
    try {
        const auto translation = lg::jetsql::translate(statement);
        lg::fuzz::check(translation->kind == lg::jetsql::StatementKind::Select, "the condition changed the statement",
                        typed);
    } catch (const lg::RuntimeError& e) {
        lg::fuzz::fault("the condition does not parse", typed + QStringLiteral("\n=> ") + result.sql +
                                                            QStringLiteral("\n") + e.description());
    }

    // Every word is a LIKE on [f]: strip the quoted patterns, and only the
    // field, the operators and the brackets may remain.
    QString rest = result.sql;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        if (rest.at(i) != u'\'')
            continue;
        qsizetype j = i + 1;
        while (j < rest.size()) {
            if (rest.at(j) == u'\'' && j + 1 < rest.size() && rest.at(j + 1) == u'\'') {
                j += 2;
                continue;
            }
            if (rest.at(j) == u'\'')
                break;
            ++j;
        }
        lg::fuzz::check(j < rest.size(), "an unterminated literal", typed + QStringLiteral("\n=> ") + result.sql);
        rest.replace(i, j - i + 1, QStringLiteral("P"));
    }
    rest.replace(u'(', QStringLiteral(" ( ")).replace(u')', QStringLiteral(" ) "));
    for (const QString& word : rest.split(u' ', Qt::SkipEmptyParts)) {
        static const QStringList allowed = {QStringLiteral("[f]"), QStringLiteral("LIKE"), QStringLiteral("AND"),
                                            QStringLiteral("OR"),  QStringLiteral("NOT"),  QStringLiteral("P"),
                                            QStringLiteral("("),   QStringLiteral(")")};
        lg::fuzz::check(allowed.contains(word, Qt::CaseInsensitive), "the condition holds more than LIKE tests",
                        typed + QStringLiteral("\n=> ") + result.sql + QStringLiteral("\nword: ") + word);
    }
    return 0;
}
