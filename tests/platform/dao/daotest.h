#pragma once

#include <gtest/gtest.h>

#include <QtCore/QString>

#include <memory>

#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "support/testsupport.h"

namespace lg::dao::test {

// A fresh database file in a temporary folder.
inline std::shared_ptr<Database> freshDatabase(const QString& name = QStringLiteral("test.db"))
{
    return Database::open(lg::test::tempPath(name));
}

// The error number a call throws, 0 when it throws nothing.
template <class F> long errorNumberOf(F&& body)
{
    try {
        body();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace lg::dao::test
