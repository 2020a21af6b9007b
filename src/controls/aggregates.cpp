#include "controls/aggregates.h"

#include "platform/strings.h"

namespace lg::controls {

namespace {
AggregateNames& table()
{
    static AggregateNames t;
    return t;
}
}  // namespace

const AggregateNames& LoadAggregateNames()
{
    AggregateNames& t = table();
    for (int i = 0; i < 6; ++i)
        t.names[size_t(i)] = LoadResString(4000 + i);
    auto choice = [&](int first, int last) {
        QString list;
        for (int i = first; i <= last; ++i)
            list += QStringLiteral("|#%1;").arg(i) + t.names[size_t(i)];
        return list;
    };
    t.fullChoiceList = choice(1, 5);
    t.shortChoiceList = choice(1, 3);
    return t;
}

const AggregateNames& aggregateNames() { return table(); }

}  // namespace lg::controls
