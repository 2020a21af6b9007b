#include <gtest/gtest.h>

#include "filters/widgets/vw_querycheckbox.h"
#include "filters/widgets/vw_querycontainer.h"
#include "filters/widgets/vw_querylistboxfilter.h"
#include "filters/widgets/vw_querytextfilter.h"
#include "filters/widgets/vw_querytlistboxfilter.h"
#include "platform/version.h"

#include <QtCore/QVersionNumber>

#include <functional>
#include <memory>

using namespace lg::filters;

// The controls report the library's version as the build wrote it: three
// numbers, the same as the version header a host compiles against.
TEST(FilterWidgets, VersionIsTheLibrarysVersion)
{
    const std::pair<const char*, std::function<QWidget*()>> controls[] = {
        {"vW_QueryTextFilter", [] { return new vW_QueryTextFilter; }},
        {"vW_QueryCheckBox", [] { return new vW_QueryCheckBox; }},
        {"vW_QueryListBoxFilter", [] { return new vW_QueryListBoxFilter; }},
        {"vW_QueryTListBoxFilter", [] { return new vW_QueryTListBoxFilter; }},
        {"vW_QueryContainer", [] { return new vW_QueryContainer; }},
    };
    for (const auto& [name, make] : controls) {
        SCOPED_TRACE(name);
        std::unique_ptr<QWidget> control(make());
        const QString version = control->property("Version").toString();
        EXPECT_EQ(version, QStringLiteral(LISTGEN_VERSION));
        qsizetype end = 0;
        const QVersionNumber number = QVersionNumber::fromString(version, &end);
        EXPECT_EQ(end, version.size());
        EXPECT_EQ(number.segmentCount(), 3);
        EXPECT_EQ(number.majorVersion(), LISTGEN_VERSION_MAJOR);
        EXPECT_EQ(number.minorVersion(), LISTGEN_VERSION_MINOR);
        EXPECT_EQ(number.microVersion(), LISTGEN_VERSION_PATCH);
    }
}
