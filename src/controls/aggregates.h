#pragma once

// The aggregate names every control loads when it is created (texts 4000 to
// 4005, indexed by eReportFieldAggregateType, 0 = unknown) and the two choice
// lists the wizard's aggregate grid offers: all five aggregates for numeric
// fields, count, maximum and minimum for the others.

#include <QtCore/QString>

#include <array>

namespace lg::controls {

struct AggregateNames {
    std::array<QString, 6> names;
    QString fullChoiceList;   // "|#1;Darab|#2;Legnagyobb|#3;Legkisebb|#4;Összeg|#5;Átlag"
    QString shortChoiceList;  // "|#1;Darab|#2;Legnagyobb|#3;Legkisebb"
};

// Loads the names from the string table into the library-wide table (done
// by every control's initialisation) and returns it.
const AggregateNames& LoadAggregateNames();
// The library-wide table as last loaded.
const AggregateNames& aggregateNames();

}  // namespace lg::controls
