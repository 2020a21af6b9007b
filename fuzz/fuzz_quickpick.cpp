// The quick pick's search on any typed text: the seek keys built from the
// text (and from a stored key layout with a constant) never break the seek,
// and the record found is the one a plain reading of the table in index
// order finds: the first whose column starts with the text (or equals it,
// in exact mode), without regard to case.

#include "fuzzer.h"

#include "filters/quickpick.h"
#include "platform/dao/dao.h"

#include <optional>

using namespace lg;

namespace {

std::shared_ptr<dao::Database> db;
filters::QuickPickSearch* search = nullptr;

struct Row {
    int id;
    QString text;
    QString group;
};
QList<Row> byName;         // ORDER BY nev
QList<Row> byGroupAndName;  // ORDER BY csoport, nev

QList<Row> readOrdered(const QString& sql)
{
    QList<Row> rows;
    auto rs = db->OpenRecordset(sql, dao::RecordsetType::Snapshot);
    for (; !rs->Eof(); rs->MoveNext())
        rows.append({rs->Fields(0).toInt(), rs->Fields(1).toString(), rs->Fields(2).toString()});
    return rows;
}

std::optional<Row> expected(const QList<Row>& ordered, const QString& typed, bool exact, const QString& group)
{
    const QString u = typed.toUpper();
    for (const Row& r : ordered) {
        if (!group.isNull() && r.group.toUpper() != group.toUpper())
            continue;
        const QString v = r.text.toUpper();
        if (exact ? v == u : v.startsWith(u))
            return r;
    }
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    db = dao::Database::open(QStringLiteral(":memory:"));
    db->Execute(QStringLiteral("CREATE TABLE vlq_quickpick (id LONG NOT NULL, name TEXT(100), table_name TEXT(64), "
                               "browse_id LONG, browse_where_clause MEMO, use_where_in_browse YESNO, "
                               "primarykey_indexname TEXT(64), primarykey_filedname TEXT(64), "
                               "search_start_length LONG, browse_row_count LONG, "
                               "CONSTRAINT PrimaryKey PRIMARY KEY (id))"));
    db->Execute(QStringLiteral("CREATE TABLE vlq_quickpick_field (id LONG NOT NULL, quickpick_id LONG, "
                               "sort_order LONG, search_field TEXT(64), search_field_name TEXT(100), "
                               "visible_field TEXT(64), index_name TEXT(64), index_stucture TEXT(255), "
                               "CONSTRAINT PrimaryKey PRIMARY KEY (id))"));
    db->Execute(QStringLiteral("CREATE INDEX Quickpick_sort ON vlq_quickpick_field (quickpick_id, sort_order)"));
    db->Execute(QStringLiteral("CREATE TABLE cikk (azon LONG NOT NULL, nev TEXT(60), csoport TEXT(5), "
                               "szam LONG, CONSTRAINT pk_cikk PRIMARY KEY (azon))"));
    db->Execute(QStringLiteral("CREATE INDEX nev ON cikk (nev)"));
    db->Execute(QStringLiteral("CREATE INDEX csoport_nev ON cikk (csoport, nev)"));
    db->Execute(QStringLiteral("CREATE INDEX szam ON cikk (szam)"));
    const QStringList names = {
        QStringLiteral("Ára"),   QStringLiteral("Arb"),     QStringLiteral("arc"),    QStringLiteral("Asz"),
        QStringLiteral("Asszony"), QStringLiteral("Assa"),  QStringLiteral("Ássz"),   QStringLiteral("Cukor"),
        QStringLiteral("Csiga"), QStringLiteral("Ccs"),     QStringLiteral("O'Neil"), QStringLiteral("O'Neill & Co"),
        QStringLiteral("Ödön"),  QStringLiteral("Ozora"),   QStringLiteral("Őz"),     QStringLiteral("ab"),
        QStringLiteral("AB"),    QStringLiteral("abc"),     QStringLiteral("Abcde"),  QStringLiteral("Gyula"),
        QStringLiteral("Ggy"),   QStringLiteral("Zsák"),    QStringLiteral("Zzs"),    QStringLiteral("dzseki"),
        QStringLiteral("Ddzs"),  QStringLiteral("Mac"),     QStringLiteral("Macska"), QStringLiteral("Macz"),
        QStringLiteral("100%"),  QStringLiteral("[x]*"),    QStringLiteral("a_b"),    QStringLiteral(" szóköz"),
    };
    for (int i = 0; i < names.size(); ++i)
        db->Execute(QStringLiteral("INSERT INTO cikk (azon, nev, csoport, szam) VALUES (?, ?, ?, ?)"),
                    dao::Parameters(QVariantList{100 + i, names[i], i % 2 ? QStringLiteral("B") : QStringLiteral("a"),
                                                 (i * 37) % 150}));
    db->Execute(QStringLiteral("INSERT INTO vlq_quickpick VALUES (1, 'Cikkek', 'cikk', 4, 'szam>0', -1, "
                               "'pk_cikk', 'azon', 0, 10)"));
    db->Execute(QStringLiteral("INSERT INTO vlq_quickpick_field VALUES (1, 1, 1, 'nev', 'Név', 'csoport', 'nev', "
                               "'%SEARCH%')"));
    db->Execute(QStringLiteral("INSERT INTO vlq_quickpick_field VALUES (2, 1, 2, 'nev', 'Név csoportban', 'szam', "
                               "'csoport_nev', 'b;%SEARCH%')"));
    db->Execute(QStringLiteral("INSERT INTO vlq_quickpick_field VALUES (3, 1, 3, 'szam', 'Szám', 'nev', 'szam', "
                               "'%SEARCH%')"));
    byName = readOrdered(QStringLiteral("SELECT azon, nev, csoport FROM cikk ORDER BY nev, azon"));
    byGroupAndName = readOrdered(QStringLiteral("SELECT azon, nev, csoport FROM cikk ORDER BY csoport, nev, azon"));
    search = new filters::QuickPickSearch;
    if (!search->initialize(db, 1))
        lg::fuzz::fault("the quick pick does not initialise", search->error());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 512)
        return 0;
    const int field = data[0] % 3;
    const bool forced = data[0] & 0x80;
    const QString typed = lg::fuzz::text(data + 1, size - 1);

    search->setCurrentField(field);
    const bool exact = search->isExact(typed, forced);
    const filters::QuickPickHit hit = search->search(typed, exact);
    if (field == 2) {  // a number column: only a number can be found
        if (hit.found)
            lg::fuzz::check(search->find(hit.id).found, "a found record cannot be found by its key", typed);
        return 0;
    }
    const auto want = field == 0 ? expected(byName, typed, exact, QString())
                                 : expected(byGroupAndName, typed, exact, QStringLiteral("b"));
    lg::fuzz::check(hit.found == want.has_value(), hit.found ? "found a record none matches" : "missed a record",
                    typed + (want ? QStringLiteral(" => ") + want->text : QString()));
    if (want)
        lg::fuzz::check(hit.text.toUpper() == want->text.toUpper(), "found another record than the first",
                        typed + QStringLiteral(": ") + hit.text + QStringLiteral(" instead of ") + want->text);
    return 0;
}
