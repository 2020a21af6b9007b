#include "jetcompare.h"

#include <QtCore/QCollator>
#include <QtCore/QLocale>

#include <algorithm>

namespace lg::jetsql {

namespace {

QCollator& collator()
{
    thread_local QCollator c = [] {
        QCollator made(QLocale(QLocale::Hungarian, QLocale::Hungary));
        made.setCaseSensitivity(Qt::CaseInsensitive);
        made.setNumericMode(false);
        made.setIgnorePunctuation(false);
        return made;
    }();
    return c;
}

// Letters that start a Hungarian double letter (cs, dz, dzs, gy, ly, ny, sz,
// ty, zs, and their long forms like ssz): near them character-by-character
// order is wrong.
inline bool startsDoubleLetter(char32_t c)
{
    switch (c | 0x20) {
    case 'c':
    case 'd':
    case 'g':
    case 'l':
    case 'n':
    case 's':
    case 't':
    case 'z':
        return true;
    default:
        return false;
    }
}

// The characters compared without the collator: printable ASCII and the
// Hungarian accented vowels. Each stands for one collation element, so the
// collator's order of two texts made of them follows from the order of the
// single characters: the first difference in the primary (letter) weights
// decides, and only when there is none the first difference in the
// secondary (accent) weights does. Double letters are the exception; the
// comparison leaves texts to the collator where one can reach across the
// first difference.
//
// The weights are taken from the collator itself, once.
constexpr char32_t kTableSize = 0x180;

struct Weight {
    quint16 primary = 0;  // 0: not in the table
    quint16 secondary = 0;
};

struct WeightTable {
    Weight w[kTableSize];
};

const WeightTable& weightTable()
{
    static const WeightTable table = [] {
        QCollator c(QLocale(QLocale::Hungarian, QLocale::Hungary));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        c.setIgnorePunctuation(false);
        std::vector<char32_t> candidates;
        for (char32_t ch = 0x20; ch < 0x7f; ++ch)
            candidates.push_back(ch);
        for (char16_t ch : u"áéíóöőúüűÁÉÍÓÖŐÚÜŰ")
            if (ch)
                candidates.push_back(ch);
        // The collator sees lower case only.
        auto lower = [](char32_t ch) { return QChar::toLower(ch); };
        std::vector<char32_t> letters;
        for (char32_t ch : candidates) {
            const char32_t l = lower(ch);
            if (l < kTableSize && std::find(letters.begin(), letters.end(), l) == letters.end() &&
                c.compare(QString(QChar(l)), QString()) != 0)  // ignorable characters stay out
                letters.push_back(l);
        }
        auto str = [](char32_t ch) { return QString(QChar(ch)); };
        std::sort(letters.begin(), letters.end(),
                  [&](char32_t x, char32_t y) { return c.compare(str(x), str(y)) < 0; });
        // Same letter, other accent: x followed by "1" sorts after y followed by "0" both ways.
        auto samePrimary = [&](char32_t x, char32_t y) {
            return c.compare(str(x) + u'1', str(y) + u'0') > 0 && c.compare(str(y) + u'1', str(x) + u'0') > 0;
        };
        WeightTable t;
        quint16 primary = 0, secondary = 0;
        for (size_t i = 0; i < letters.size(); ++i) {
            if (i == 0 || !samePrimary(letters[i - 1], letters[i])) {
                ++primary;
                secondary = 0;
            } else if (c.compare(str(letters[i - 1]), str(letters[i])) != 0) {
                ++secondary;
            }
            t.w[letters[i]] = {primary, secondary};
        }
        for (char32_t ch : candidates)
            if (lower(ch) < kTableSize)
                t.w[ch] = t.w[lower(ch)];
        return t;
    }();
    return table;
}

// Decodes one character of the table's range; false for anything else.
inline bool nextTableChar(const unsigned char* s, int n, int& i, char32_t& ch)
{
    const unsigned char c = s[i];
    if (c < 0x80) {
        ch = c;
        ++i;
        return true;
    }
    // Two-byte forms cover U+0080..U+07FF; the table ends below that.
    if ((c & 0xe0) != 0xc0 || i + 1 >= n || (s[i + 1] & 0xc0) != 0x80)
        return false;
    ch = (char32_t(c & 0x1f) << 6) | (s[i + 1] & 0x3f);
    if (ch < 0x80 || ch >= kTableSize)
        return false;
    i += 2;
    return true;
}

// The comparison without the collator for texts of table characters.
// Returns false when the collator has to decide.
bool fastCompare(const unsigned char* a, int na, const unsigned char* b, int nb, int& result)
{
    const Weight* w = weightTable().w;
    // A common beginning of table characters in one byte each is skipped
    // at once: equal characters weigh the same.
    const int n = na < nb ? na : nb;
    int p = 0;
    while (p < n && a[p] == b[p] && a[p] < 0x80 && w[a[p]].primary)
        ++p;
    int doubleReach = 3;  // characters since the last possible start of a double letter, up to 3
    for (int k = p - 3 < 0 ? 0 : p - 3; k < p; ++k)
        if (startsDoubleLetter(a[k]))
            doubleReach = p - 1 - k;
    int i = p, j = p;
    int accent = 0;  // the first secondary difference
    while (i < na && j < nb) {
        char32_t ca, cb;
        if (!nextTableChar(a, na, i, ca) || !nextTableChar(b, nb, j, cb))
            return false;
        const Weight wa = w[ca], wb = w[cb];
        if (!wa.primary || !wb.primary)
            return false;
        if (wa.primary != wb.primary) {
            if (doubleReach < 3)
                return false;
            result = wa.primary < wb.primary ? -1 : 1;
            return true;
        }
        if (!accent && wa.secondary != wb.secondary)
            accent = wa.secondary < wb.secondary ? -1 : 1;
        if (startsDoubleLetter(ca) || startsDoubleLetter(cb))
            doubleReach = 0;
        else if (doubleReach < 3)
            ++doubleReach;
    }
    if (i == na && j == nb) {
        result = accent;
        return true;
    }
    // One text goes on where the other ends: the shorter comes first unless
    // a double letter reaches across the end.
    if (doubleReach < 3)
        return false;
    const bool aLonger = i < na;
    char32_t next;
    if (aLonger ? !nextTableChar(a, na, i, next) : !nextTableChar(b, nb, j, next))
        return false;
    if (!w[next].primary)
        return false;
    result = aLonger ? 1 : -1;
    return true;
}

char32_t fold(char32_t c)
{
    return QChar::toCaseFolded(c);
}

}  // namespace

int jetCompareUtf8(const char* a, int aLength, const char* b, int bLength)
{
    int result = 0;
    if (fastCompare(reinterpret_cast<const unsigned char*>(a), aLength, reinterpret_cast<const unsigned char*>(b),
                    bLength, result))
        return result;
    // Lower case first: the collator knows double letters only in some
    // spellings ("sz", "Sz", "SZ" but not "sZ"), and case must not matter.
    return collator().compare(QString::fromUtf8(a, aLength).toLower(), QString::fromUtf8(b, bLength).toLower());
}

int jetCompare(QStringView a, QStringView b)
{
    const QByteArray ua = a.toUtf8();
    const QByteArray ub = b.toUtf8();
    return jetCompareUtf8(ua.constData(), int(ua.size()), ub.constData(), int(ub.size()));
}

std::optional<LikePattern> LikePattern::compile(QStringView pattern)
{
    LikePattern p;
    const QList<uint> cps = pattern.toUcs4();
    for (qsizetype i = 0; i < cps.size(); ++i) {
        const char32_t c = cps[i];
        Item item;
        if (c == U'*') {
            if (!p.m_items.empty() && p.m_items.back().kind == Item::AnyRun)
                continue;
            item.kind = Item::AnyRun;
        } else if (c == U'?') {
            item.kind = Item::AnyOne;
        } else if (c == U'#') {
            item.kind = Item::Digit;
        } else if (c == U'[') {
            qsizetype j = i + 1;
            item.kind = Item::Class;
            if (j < cps.size() && cps[j] == U'!') {
                item.negated = true;
                ++j;
            }
            bool closed = false;
            bool first = true;
            while (j < cps.size()) {
                if (cps[j] == U']' && !first) {
                    closed = true;
                    break;
                }
                if (cps[j] == U']' && first) {  // "[]" matches nothing at all: an empty run
                    closed = true;
                    break;
                }
                first = false;
                char32_t from = fold(cps[j]);
                char32_t to = from;
                if (j + 2 < cps.size() && cps[j + 1] == U'-' && cps[j + 2] != U']') {
                    to = fold(cps[j + 2]);
                    j += 2;
                    if (to < from)
                        return std::nullopt;
                }
                item.ranges.push_back({from, to});
                ++j;
            }
            if (!closed)
                return std::nullopt;
            i = j;
            if (item.ranges.empty() && !item.negated)
                continue;
        } else {
            item.kind = Item::Char;
            item.ch = fold(c);
        }
        p.m_items.push_back(std::move(item));
    }
    return p;
}

bool LikePattern::matchItem(const Item& item, char32_t c) const
{
    switch (item.kind) {
    case Item::Char:
        return item.ch == c;
    case Item::AnyOne:
        return true;
    case Item::Digit:
        return c >= U'0' && c <= U'9';
    case Item::Class: {
        bool in = false;
        for (const Range& r : item.ranges)
            if (c >= r.from && c <= r.to) {
                in = true;
                break;
            }
        return in != item.negated;
    }
    case Item::AnyRun:
        return true;
    }
    return false;
}

bool LikePattern::matches(QStringView text) const
{
    QList<uint> cps = text.toUcs4();
    for (uint& c : cps)
        c = fold(c);
    // Greedy matching with one backtrack point per '*'.
    size_t p = 0;
    qsizetype t = 0;
    size_t starP = size_t(-1);
    qsizetype starT = 0;
    while (t < cps.size()) {
        if (p < m_items.size() && m_items[p].kind == Item::AnyRun) {
            starP = p++;
            starT = t;
        } else if (p < m_items.size() && matchItem(m_items[p], cps[t])) {
            ++p;
            ++t;
        } else if (starP != size_t(-1)) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < m_items.size() && m_items[p].kind == Item::AnyRun)
        ++p;
    return p == m_items.size();
}

}  // namespace lg::jetsql
