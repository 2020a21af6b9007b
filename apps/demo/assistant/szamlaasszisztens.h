#pragma once

// The demo's assistant for invoice lists: sums up the unpaid invoices that
// are past their due date.

#include "controls/assistants.h"

#include <QtCore/QObject>

namespace nagyker {

// What the assistant found.
struct OverdueSummary {
    long invoices = 0;
    double gross = 0;
};
OverdueSummary overdueInvoices(lg::dao::Database& db);

class SzamlaAsszisztens : public lg::controls::Assistant {
public:
    void setDatabase(std::shared_ptr<lg::dao::Database> database) override { m_db = std::move(database); }
    void setUserID(long userId) override { m_userId = userId; }
    void Execute() override;

private:
    std::shared_ptr<lg::dao::Database> m_db;
    long m_userId = -1;
};

class AssistantPlugin : public QObject, public lg::controls::AssistantPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID LISTGEN_ASSISTANT_PLUGIN_IID FILE "szamlaasszisztens.json")
    Q_INTERFACES(lg::controls::AssistantPlugin)

public:
    QStringList classNames() const override;
    std::unique_ptr<lg::controls::Assistant> create(const QString& className) override;
};

}  // namespace nagyker
