#include "filters/textfiltermodel.h"

#include "filters/keywordexpression.h"
#include "platform/strings.h"

#include <array>

namespace lg::filters {

namespace {

constexpr std::array<const char*, 7> kRelationTexts = {nullptr, nullptr, "=", ">", "<", ">=", "<="};

QString relationText(int code)
{
    if (code == 0)
        return LoadResString(30019);
    if (code == 1)
        return LoadResString(30020);
    return code >= 2 && code <= 6 ? QString::fromLatin1(kRelationTexts[size_t(code)]) : QString();
}

// Characters, not UTF-16 units: left() counts what the user typed.
int characterCount(const QString& text)
{
    return int(text.toUcs4().size());
}

// ucase$(left(QF,L))= ucase$('E')
QString prefixTest(const QString& field, const QString& escaped, int length)
{
    return QStringLiteral("ucase$(left(") + field + u',' + QString::number(length) + QStringLiteral("))= ucase$('") +
           escaped + QStringLiteral("')");
}

// The date in a date input, read without touching the box: reading Value
// would put MinDate into a box that holds an earlier date half way through
// the typing. The bounds guard what the user types (the box refuses to let
// focus go); dates assigned by a period code are taken as they are.
std::optional<QDate> inputDate(const TypedInput* input)
{
    return TypedInput::parseDate(input->text());
}

}  // namespace

QString negationPictureKey(NegationPicture picture)
{
    switch (picture) {
    case NegationPicture::Ok: return QStringLiteral("_ok");
    case NegationPicture::Cancel: return QStringLiteral("_cancel");
    case NegationPicture::OkDisabled: return QStringLiteral("_ok_disabled");
    case NegationPicture::CancelDisabled: return QStringLiteral("_cancel_disabled");
    }
    return {};
}

NegationPicture negationPicture(bool negated, bool active)
{
    if (active)
        return negated ? NegationPicture::Cancel : NegationPicture::Ok;
    return negated ? NegationPicture::CancelDisabled : NegationPicture::OkDisabled;
}

TextFilterModel::TextFilterModel(QObject* parent)
    : QueryFilter(parent), m_input1(new TypedInput(this)), m_input2(new TypedInput(this))
{
    connect(m_input1, &TypedInput::textChanged, this, [this] {
        Q_EMIT inputsChanged();
        build();
    });
    connect(m_input2, &TypedInput::textChanged, this, [this] {
        onInput2Changed();
        Q_EMIT inputsChanged();
        build();
    });
    setInputType(TypedInput::TextInput);
    m_relation = Like;
}

TextFilterModel::~TextFilterModel() = default;

void TextFilterModel::setTodayProvider(TodayProvider today)
{
    m_today = today;
    m_input1->setTodayProvider(today);
    m_input2->setTodayProvider(today);
    if (isDateType()) {
        m_input1->setValue(this->today());
        m_input2->setValue(this->today());
    }
}

QDate TextFilterModel::today() const
{
    return m_today ? m_today() : QDate::currentDate();
}

void TextFilterModel::setInputType(int type)
{
    m_applyingType = true;
    m_inputType = type;
    m_input1->setInputType(type);
    m_input2->setInputType(type);
    setRelationLocked(false);
    if (type == TypedInput::TextInput) {
        setRelationListVisible(true);
        setFillerListVisible(false);
    } else if (type == TypedInput::NumberInput) {
        setRelationListVisible(false);
        setFillerListVisible(false);
    } else if (type == TypedInput::DateInput || type == TypedInput::DateInputExtended) {
        setRelationListVisible(false);
        setFillerListVisible(true);
    }
    m_applyingType = false;
    Q_EMIT inputTypeChanged(type);
    Q_EMIT fillerEntriesChanged();
    build();
}

QVariant TextFilterModel::input1Text() const
{
    return m_input1->isText() ? QVariant(m_input1->text()) : m_input1->value();
}

QVariant TextFilterModel::input2Text() const
{
    return m_input2->isText() ? QVariant(m_input2->text()) : m_input2->value();
}

namespace {

// Assigns an input's value the way Input1Text / Input2Text do; false when
// the value does not convert to the input's type.
bool assignInput(TypedInput* input, const QVariant& value)
{
    if (input->isText()) {
        input->setValue(value.toString());
        return true;
    }
    if (input->isNumber()) {
        if (!TypedInput::parseNumber(value.toString()))
            return false;
        input->setValue(value);
        return true;
    }
    if (input->isDate()) {
        const int type = value.metaType().id();
        if (type != QMetaType::QDate && type != QMetaType::QDateTime && !TypedInput::parseDate(value.toString()))
            return false;
        input->setValue(value);
        return true;
    }
    return false;
}

}  // namespace

void TextFilterModel::setInput1Text(const QVariant& value)
{
    if (!assignInput(m_input1, value)) {
        if (m_input2->isText())
            m_input2->setValue(QString());
        else if (m_input2->isNumber())
            m_input2->setValue(0);
    }
}

void TextFilterModel::setInput2Text(const QVariant& value)
{
    assignInput(m_input2, value);
}

void TextFilterModel::setInput2Visible(bool visible)
{
    if (visible == m_input2Visible)
        return;
    m_input2Visible = visible;
    Q_EMIT input2VisibleChanged(visible);
    build();
}

QList<TextFilterModel::ListEntry> TextFilterModel::relationEntries() const
{
    QList<ListEntry> entries;
    for (int code = Like; code <= LessEqual; ++code)
        entries.append({relationText(code), code});
    return entries;
}

void TextFilterModel::setRelationListVisible(bool visible)
{
    if (visible == m_relationListVisible)
        return;
    m_relationListVisible = visible;
    Q_EMIT relationListVisibleChanged(visible);
    build();
}

void TextFilterModel::setRelationListItemData(int code)
{
    if (code < Like || code > LessEqual || code == m_relation)
        return;
    m_relation = code;
    Q_EMIT relationListItemDataChanged(code);
    build();
}

void TextFilterModel::setRelationLocked(bool locked)
{
    if (locked == m_relationLocked)
        return;
    m_relationLocked = locked;
    Q_EMIT relationListLockedChanged(locked);
}

void TextFilterModel::onInput2Changed()
{
    if (m_applyingType || m_inputType != TypedInput::TextInput)
        return;
    if (!m_input2->text().isEmpty()) {
        setRelationListItemData(Between);
        setRelationLocked(true);
    } else {
        setRelationLocked(false);
    }
}

void TextFilterModel::setFillerListVisible(bool visible)
{
    if (visible == m_fillerListVisible)
        return;
    m_fillerListVisible = visible;
    Q_EMIT fillerListVisibleChanged(visible);
}

bool TextFilterModel::isDateType() const
{
    return m_inputType == TypedInput::DateInput || m_inputType == TypedInput::DateInputExtended;
}

QList<TextFilterModel::ListEntry> TextFilterModel::fillerEntries() const
{
    QList<ListEntry> entries;
    if (isDateType()) {
        for (int code : DatePeriods::codesFor(m_inputType))
            entries.append({DatePeriods::text(code), code});
        return entries;
    }
    for (int i = 0; i < m_hostFillerItems.size(); ++i)
        entries.append({m_hostFillerItems.at(i), i});
    return entries;
}

void TextFilterModel::fillerAddItem(const QString& item)
{
    m_hostFillerItems.append(item);
    if (!isDateType())
        Q_EMIT fillerEntriesChanged();
}

void TextFilterModel::clearFillerItems()
{
    m_hostFillerItems.clear();
    if (!isDateType())
        Q_EMIT fillerEntriesChanged();
}

void TextFilterModel::setFillerListItemData(int code)
{
    if (code == m_fillerCode)
        return;
    m_fillerCode = code;
    Q_EMIT fillerListItemDataChanged(code);
}

bool TextFilterModel::clickFiller(int index)
{
    const QList<ListEntry> entries = fillerEntries();
    if (index < 0 || index >= entries.size())
        return false;
    const ListEntry entry = entries.at(index);
    Q_EMIT fillerClick(entry.text);
    setFillerListItemData(entry.code);
    if (isDateType()) {
        if (const auto range = DatePeriods::range(entry.code, today())) {
            m_input1->setValue(range->from);
            m_input2->setValue(range->to);
        }
        if (entry.code != 0)
            setRelationListItemData(Between);
    }
    setRelationLocked(false);
    build();
    return true;
}

bool TextFilterModel::applyPeriod(int code)
{
    if (!isDateType() || !DatePeriods::isListed(code, m_inputType))
        return false;
    return clickFiller(int(DatePeriods::codesFor(m_inputType).indexOf(code)));
}

void TextFilterModel::setNotPictureVisible(bool visible)
{
    if (visible == m_notPictureVisible)
        return;
    m_notPictureVisible = visible;
    Q_EMIT notPictureVisibleChanged(visible);
    build();
}

void TextFilterModel::setNotPictureValue(int value)
{
    if (value != 0 && value != 1)
        return;
    m_notValue = value;
    Q_EMIT notValueChange(value);
    build();
}

void TextFilterModel::setLikeCharacter(const QString& character)
{
    if (character == m_likeCharacter)
        return;
    m_likeCharacter = character;
    Q_EMIT likeCharacterChanged(character);
    build();
}

void TextFilterModel::setKeyWordsFind(bool on)
{
    if (on == m_keyWordsFind)
        return;
    m_keyWordsFind = on;
    Q_EMIT keyWordsFindChanged(on);
    build();
}

void TextFilterModel::setKeyWordSeparator(const QString& separator)
{
    const QString trimmed = separator.trimmed();
    const QString value = trimmed.isEmpty() ? QStringLiteral("+") : trimmed.left(1);
    if (value == m_keyWordSeparator)
        return;
    m_keyWordSeparator = value;
    Q_EMIT keyWordSeparatorChanged(value);
}

void TextFilterModel::setExtendedFilterVisible(bool visible)
{
    if (visible == m_extendedFilterVisible)
        return;
    m_extendedFilterVisible = visible;
    Q_EMIT extendedFilterVisibleChanged(visible);
}

void TextFilterModel::setExtendedFilterRelation(int relation)
{
    if (relation == m_extendedFilterRelation)
        return;
    m_extendedFilterRelation = relation;
    Q_EMIT extendedFilterRelationChanged(relation);
}

void TextFilterModel::setQueryFieldProgID(const QString& id)
{
    if (id == m_progId)
        return;
    m_progId = id;
    Q_EMIT progIdsChanged();
}

void TextFilterModel::setQueryFieldProgIDFilter(const QString& id)
{
    if (id == m_progIdFilter)
        return;
    m_progIdFilter = id;
    Q_EMIT progIdsChanged();
}

void TextFilterModel::setQueryFieldProgIDField(const QString& id)
{
    if (id == m_progIdField)
        return;
    m_progIdField = id;
    Q_EMIT progIdsChanged();
}

bool TextFilterModel::collectWhereAndFilter(WhereCollection& collection)
{
    if (!isActive()) {
        clearResults();
        return false;
    }
    if (m_extendedFilterVisible && createExtendedSQLTag(collection))
        return true;
    return QueryFilter::collectWhereAndFilter(collection);
}

void TextFilterModel::build()
{
    if (m_building)
        return;
    if ((queryCheckVisible() && !isActive()) || m_input1->text().isEmpty()) {
        clearResults();
        return;
    }
    const bool negated = m_notPictureVisible && m_notValue == 1;
    const QString notSql = negated ? QStringLiteral("NOT ") : QString();
    const QString notText = negated ? LoadResString(30021) : QString();
    const QString rel = m_relationListVisible && m_relation >= Equal ? u' ' + relationText(m_relation) + u' ' : QString();
    const QString field = queryField();
    const QString between = LoadResString(30023);
    const QString among = LoadResString(30022);

    QString body;
    QString valueText;
    QString sql;
    if (m_inputType == TypedInput::NumberInput) {
        const auto v1 = m_input1->numberSql();
        if (!v1) {
            clearResults();
            return;
        }
        const auto v2 = m_input2->numberSql();
        if (m_input2Visible && v2 && *v2 != u"0") {
            body = QStringLiteral("BETWEEN ") + *v1 + QStringLiteral(" AND ") + *v2;
            valueText = *v1 + between + *v2 + among;
        } else if (m_relationListVisible) {
            body = m_relation <= Between ? QStringLiteral("= ") + *v1 : *v1;
            valueText = body;
        } else {
            body = QStringLiteral("= ") + *v1;
            valueText = u'=' + withoutControlCharacters(m_input1->text());
        }
        sql = u'(' + notSql + QStringLiteral("( ") + field + rel + u' ' + body + QStringLiteral("))");
    } else if (m_inputType == TypedInput::TextInput) {
        const QString t1 = withoutControlCharacters(m_input1->text());
        const QString t2 = withoutControlCharacters(m_input2->text());
        const QString e1 = sqlQuoted(t1);
        const QString e2 = sqlQuoted(t2);
        const QString lc = sqlQuoted(m_likeCharacter);  // a host's "'" must not end the literal
        if (t1.isEmpty()) {
            clearResults();
            return;
        }
        if (m_input2Visible && !t2.trimmed().isEmpty()) {
            // Built in one go: filling placeholders afterwards would also
            // replace a placeholder the user typed into the first input.
            body = u'(' + field + QStringLiteral(" >= '") + e1 + lc + QStringLiteral("' OR ") + QStringLiteral(" (") +
                   prefixTest(field, e1, characterCount(t1)) + QStringLiteral(") ") + QStringLiteral(") AND ") + u'(' +
                   field + QStringLiteral(" <= '") + e2 + lc + QStringLiteral("' OR ") + QStringLiteral(" (") +
                   prefixTest(field, e2, characterCount(t2)) + QStringLiteral(") ") + QStringLiteral(") ");
            valueText = t1 + between + t2 + among;
        } else if (m_relationListVisible && !rel.isEmpty()) {
            body = field + rel + u'\'' + e1 + u'\'';
            valueText = t1;
        } else if (m_relationListVisible || !m_keyWordsFind) {
            body = prefixTest(field, e1, characterCount(t1));
            valueText = LoadResString(30024) + t1 + u'\'';
        } else {
            const KeywordExpression::Result keywords = KeywordExpression::build(t1, field, lc);
            if (keywords.isEmpty()) {
                clearResults();
                return;
            }
            body = keywords.sql;
            valueText = keywords.text;
        }
        sql = u'(' + notSql + QStringLiteral("( ") + body + QStringLiteral("))");
    } else if (isDateType()) {
        const auto d1 = inputDate(m_input1);
        if (!d1) {
            clearResults();
            return;
        }
        const QString fv1 = d1->toString(QStringLiteral("MM/dd/yyyy"));
        const QString dt1 = d1->toString(QStringLiteral("yyyy.MM.dd"));
        if (m_relation == Between && m_input2Visible) {
            const auto d2 = inputDate(m_input2);
            if (!d2) {
                clearResults();
                return;
            }
            body = QStringLiteral("BETWEEN #") + fv1 + QStringLiteral("# AND #") +
                   d2->toString(QStringLiteral("MM/dd/yyyy")) + QStringLiteral(" 23.59.59# ");
            valueText = dt1 + between + d2->toString(QStringLiteral("yyyy.MM.dd")) + among;
        } else if (m_relationListVisible && m_relation >= Equal) {
            body = QStringLiteral(" #") + fv1 + QStringLiteral("# ");
            valueText = dt1;
        } else {
            body = QStringLiteral("BETWEEN #") + fv1 + QStringLiteral("# AND #") + fv1 + QStringLiteral(" 23.59.59# ");
            valueText = QStringLiteral("= ") + dt1;
        }
        sql = u'(' + notSql + QStringLiteral("( ") + field + rel + u' ' + body + QStringLiteral("))");
    } else {
        clearResults();
        return;
    }
    const QString filter = notText + QStringLiteral("( ") + queryFieldDescription() + rel + u' ' + valueText + u')';
    setResults(sql, filter, u'(' + filter + u')');
}

void TextFilterModel::activationChanged()
{
}

void TextFilterModel::setFilterDefault()
{
    m_building = true;
    setQueryCheckValue(0);
    setNotPictureValue(0);
    setQueryField(QString());
    setQueryFieldDescription(QString());
    setRelationListItemData(Like);
    setRelationLocked(false);
    if (m_inputType == TypedInput::TextInput) {
        m_input1->setValue(QString());
        m_input2->setValue(QString());
    } else if (m_inputType == TypedInput::NumberInput) {
        m_input1->setValue(0);
        m_input2->setValue(0);
    } else if (isDateType()) {
        setFillerListItemData(0);
        m_input1->setValue(today());
        m_input2->setValue(today());
    }
    setRelationListItemData(Like);
    m_building = false;
    clearResults();
}

std::span<const PersistedProperty> TextFilterModel::designProperties() const
{
    static const PersistedProperty table[] = {
        {"QueryField", QString()},
        {"QueryFieldDescription", QString()},
        {"QueryCheckVisible", true},
        {"NOTPictureVisible", true},
        {"InputType", 1},
        {"Input2Visible", true},
        {"RelationListVisible", false},
        {"RelationListItemData", 0},
        {"FillerListVisible", true},
        {"FillerListItemData", 0},
        {"LikeCharacter", QStringLiteral("*")},
        {"KeyWordsFind", false},
        {"KeyWordSeparator", QStringLiteral("+")},
        {"ExtendedFilterVisible", true},
        {"ExtendedFilterRelation", 1},
        {"QueryFieldProgID", QString()},
        {"QueryFieldProgIDFilter", QString()},
        {"QueryFieldProgIDField", QString()},
        {"QueryResultSQL", QString()},
        {"QueryResultDescription", QString()},
    };
    return table;
}

}  // namespace lg::filters
