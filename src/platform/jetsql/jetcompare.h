#pragma once

// Jet's text comparison and pattern matching, shared by the SQL functions
// and the "JET" collation.

#include <QtCore/QString>
#include <QtCore/QStringView>

#include <optional>
#include <vector>

namespace lg::jetsql {

// Compares two UTF-8 texts as Jet does: without regard to case, in Hungarian
// alphabetical order. <0, 0 or >0.
int jetCompareUtf8(const char* a, int aLength, const char* b, int bLength);
int jetCompare(QStringView a, QStringView b);

// A compiled LIKE pattern: * any run, ? one character, # one digit,
// [abc] [a-z] [!a-z] classes; everything else (% and _ included) stands
// for itself. Matching ignores case.
class LikePattern {
public:
    // Nullopt for a malformed pattern (an unclosed '[').
    static std::optional<LikePattern> compile(QStringView pattern);
    bool matches(QStringView text) const;

private:
    struct Range {
        char32_t from, to;
    };
    struct Item {
        enum Kind { Char, AnyOne, Digit, AnyRun, Class } kind;
        char32_t ch = 0;
        bool negated = false;
        std::vector<Range> ranges;
    };
    bool matchItem(const Item& item, char32_t c) const;
    std::vector<Item> m_items;
};

}  // namespace lg::jetsql
