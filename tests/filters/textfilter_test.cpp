#include "filters/textfiltermodel.h"

#include <gtest/gtest.h>

using namespace lg::filters;

namespace {

TEST(TextFilter, PrefixTestOnATextField)
{
    TextFilterModel f;
    f.setQueryField(QStringLiteral("NAME"));
    f.setQueryFieldDescription(QStringLiteral("Név"));
    f.setActive(true);
    f.input1()->setText(QStringLiteral("abc"));
    EXPECT_EQ(f.queryResultSQL(), QStringLiteral("(( ucase$(left(NAME,3))= ucase$('abc')))"));
    EXPECT_EQ(f.queryResultFilter(), QStringLiteral("( Név olyan mint 'abc')"));
    EXPECT_EQ(f.queryResultDescription(), QStringLiteral("(( Név olyan mint 'abc'))"));
}

}  // namespace
