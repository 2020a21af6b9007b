#include "democonditions.h"

using namespace Qt::StringLiterals;

namespace lg::demo {

namespace {

const QString kRelations[] = {u"Mint"_s, u"Közt"_s, u"="_s, u">"_s, u"<"_s, u">="_s, u"<="_s};

QString relationText(int relation) { return u" "_s + kRelations[relation] + u" "_s; }

QString quoted(const QString& text)
{
    QString e = text;
    return e.replace(u"'"_s, u"''"_s);
}

// "(" + NOT + "( " + body + "))" and its condition text.
void finish(StoredCondition& c, const QString& sqlInner, const QString& caption, const QString& rel,
            const QString& valueText)
{
    const bool neg = c.notValue != 0;
    c.sqlWhere = u"("_s + (neg ? u"NOT "_s : QString()) + u"( "_s + sqlInner + u"))"_s;
    const QString filter = (neg ? u"NEM"_s : QString()) + u"( "_s + caption + rel + u" "_s + valueText + u")"_s;
    c.description = u"("_s + filter + u")"_s;
}

QString monthDayYear(const QDate& d) { return d.toString(u"MM/dd/yyyy"_s); }
QString dotted(const QDate& d) { return d.toString(u"yyyy.MM.dd"_s); }

QString prefixTest(const QString& column, const QString& text)
{
    return u"ucase$(left("_s + column + u","_s + QString::number(text.size()) + u"))= ucase$('"_s + quoted(text)
           + u"')"_s;
}

}  // namespace

StoredCondition checkBoxCondition(const QString& column, const QString& caption, bool negated)
{
    StoredCondition c;
    c.booleanValue = negated ? 1 : 0;
    c.sqlWhere = u"( "_s + column.toUpper() + (negated ? u"= 0)"_s : u"= -1)"_s);
    const QString filter = u"( "_s + caption + u" "_s + (negated ? u"Nem igaz"_s : u"Igaz"_s) + u")"_s;
    c.description = u"("_s + filter + u")"_s;
    return c;
}

StoredCondition numberCondition(const QString& column, const QString& caption, long from, long to, bool negated)
{
    StoredCondition c;
    c.notValue = negated ? 1 : 0;
    c.numberFrom = double(from);
    c.numberTo = double(to);
    const QString v1 = QString::number(from), v2 = QString::number(to);
    if (to != 0)
        finish(c, column + u" BETWEEN "_s + v1 + u" AND "_s + v2, caption, QString(),
               v1 + u" és "_s + v2 + u" között "_s);
    else
        finish(c, column + u" = "_s + v1, caption, QString(), u"="_s + v1);
    return c;
}

StoredCondition textPrefixCondition(const QString& column, const QString& caption, const QString& text)
{
    StoredCondition c;
    c.textFrom = text;
    finish(c, prefixTest(column, text), caption, QString(), u"olyan mint '"_s + text + u"'"_s);
    return c;
}

StoredCondition textRelationCondition(const QString& column, const QString& caption, int relation,
                                      const QString& text)
{
    StoredCondition c;
    c.relationType = relation;
    c.textFrom = text;
    const QString rel = relationText(relation);
    finish(c, column + rel + u"'"_s + quoted(text) + u"'"_s, caption, rel, text);
    return c;
}

StoredCondition keywordCondition(const QString& column, const QString& caption, const QString& expression)
{
    StoredCondition c;
    c.textFrom = expression;
    // Blanks separate alternatives, "+" joins words that must all match.
    QString sql, text;
    const QStringList alternatives = expression.simplified().replace(u" +"_s, u"+"_s).replace(u"+ "_s, u"+"_s)
                                         .split(u' ', Qt::SkipEmptyParts);
    for (qsizetype a = 0; a < alternatives.size(); ++a) {
        if (a > 0) {
            sql += u" OR "_s;
            text += u" VAGY "_s;
        }
        const QStringList words = alternatives.at(a).split(u'+', Qt::SkipEmptyParts);
        for (qsizetype w = 0; w < words.size(); ++w) {
            if (w > 0) {
                sql += u" AND "_s;
                text += u" ÉS "_s;
            }
            sql += u" ("_s + column + u" LIKE '*"_s + quoted(words.at(w)) + u"*') "_s;
            text += u"olyan mint '"_s + words.at(w) + u"'"_s;
        }
    }
    finish(c, u" ( "_s + sql + u" ) "_s, caption, QString(), u" ("_s + text + u") "_s);
    return c;
}

StoredCondition dateRangeCondition(const QString& column, const QString& caption, const QDate& from,
                                   const QDate& to)
{
    StoredCondition c;
    c.relationType = 1;
    c.dateFrom = from;
    c.dateTo = to;
    finish(c, column + u" BETWEEN #"_s + monthDayYear(from) + u"# AND #"_s + monthDayYear(to) + u" 23.59.59# "_s,
           caption, QString(), dotted(from) + u" és "_s + dotted(to) + u" között "_s);
    return c;
}

StoredCondition dateRelationCondition(const QString& column, const QString& caption, int relation,
                                      const QDate& day)
{
    StoredCondition c;
    c.relationType = relation;
    c.dateFrom = day;
    const QString rel = relationText(relation);
    // The field, the relation, a blank, then the body " #day# ".
    finish(c, column + rel + u"  #"_s + monthDayYear(day) + u"# "_s, caption, rel, dotted(day));
    return c;
}

StoredCondition keyListCondition(const QString& column, const QString& caption,
                                 const std::vector<std::pair<long, QString>>& items)
{
    StoredCondition c;
    QStringList keys, texts;
    for (const auto& [id, text] : items) {
        keys << QString::number(id);
        texts << text;
    }
    c.selectedItems = keys.join(u',');
    c.sqlWhere = u"( "_s + column + u" IN ( "_s + c.selectedItems + u" ) )"_s;
    c.description = u"("_s + caption + u" "_s + texts.join(u", "_s) + u")"_s;
    return c;
}

StoredCondition textListCondition(const QString& column, const QString& caption, const QStringList& texts)
{
    StoredCondition c;
    QStringList tags;
    for (const QString& t : texts)
        tags << u"'"_s + quoted(t) + u"'"_s;
    c.selectedItems = tags.join(u',');
    c.sqlWhere = u"( "_s + column + u" IN ( "_s + c.selectedItems + u" ) )"_s;
    c.description = u"("_s + caption + u" "_s + texts.join(u", "_s) + u")"_s;
    return c;
}

}  // namespace lg::demo
