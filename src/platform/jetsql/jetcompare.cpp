#include "jetcompare.h"

#include <QtCore/QCollator>
#include <QtCore/QLocale>

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

inline bool isPlainAscii(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ';
}

// Letters that start a Hungarian double letter (cs, dz, dzs, gy, ly, ny, sz,
// ty, zs, and their long forms like ssz): near them plain byte order is wrong.
inline bool startsDoubleLetter(unsigned char c)
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

// Byte comparison for the common case: both texts plain ASCII up to the
// first difference, and no double letter can reach across it. Returns false
// when the collator has to decide.
bool fastCompare(const unsigned char* a, int na, const unsigned char* b, int nb, int& result)
{
    const int n = na < nb ? na : nb;
    int i = 0;
    for (; i < n; ++i) {
        const unsigned char ca = a[i], cb = b[i];
        if (!isPlainAscii(ca) || !isPlainAscii(cb))
            return false;
        const unsigned char la = (ca >= 'A' && ca <= 'Z') ? ca | 0x20 : ca;
        const unsigned char lb = (cb >= 'A' && cb <= 'Z') ? cb | 0x20 : cb;
        if (la != lb) {
            for (int k = i - 3 < 0 ? 0 : i - 3; k < i; ++k)
                if (startsDoubleLetter(a[k]))
                    return false;
            result = la < lb ? -1 : 1;
            return true;
        }
    }
    if (na == nb) {
        result = 0;
        return true;
    }
    for (int k = n - 3 < 0 ? 0 : n - 3; k < n; ++k)
        if (startsDoubleLetter(a[k]))
            return false;
    // The longer text continues with something; it must be plain too.
    const unsigned char next = na > nb ? a[n] : b[n];
    if (!isPlainAscii(next))
        return false;
    result = na < nb ? -1 : 1;
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
