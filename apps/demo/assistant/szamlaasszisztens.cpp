#include "szamlaasszisztens.h"

#include "platform/dao/dao.h"

#include <QtCore/QLocale>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>

using namespace Qt::StringLiterals;

namespace nagyker {

OverdueSummary overdueInvoices(lg::dao::Database& db)
{
    auto rs = db.OpenRecordset(u"SELECT Count(*) AS db, Sum([brutto]) AS osszeg FROM szamla "
                               u"WHERE [fizetve]=0 AND [sztornozott]=0 AND [hatarido] < Date()"_s,
                               lg::dao::RecordsetType::Snapshot, lg::dao::dbReadOnly);
    OverdueSummary s;
    if (!rs->Eof()) {
        s.invoices = long(rs->Fields(0).toLongLong());
        s.gross = lg::dao::isNull(rs->Fields(1)) ? 0.0 : rs->Fields(1).toDouble();
    }
    return s;
}

void SzamlaAsszisztens::Execute()
{
    if (!m_db)
        return;
    const OverdueSummary s = overdueInvoices(*m_db);
    const QLocale hu(QLocale::Hungarian, QLocale::Hungary);
    QMessageBox::information(QApplication::activeWindow(), u"Számla asszisztens"_s,
                             u"Lejárt, kifizetetlen számlák: %1 db, összesen %2 Ft."_s
                                 .arg(s.invoices)
                                 .arg(hu.toString(s.gross, 'f', 0)));
}

QStringList AssistantPlugin::classNames() const { return {u"Nagyker.SzamlaAsszisztens"_s}; }

std::unique_ptr<lg::controls::Assistant> AssistantPlugin::create(const QString& className)
{
    if (className.compare(u"Nagyker.SzamlaAsszisztens"_s, Qt::CaseInsensitive) == 0)
        return std::make_unique<SzamlaAsszisztens>();
    return nullptr;
}

}  // namespace nagyker
