// The quick pick's search on any typed text: the seek keys built from the
// text (and from a stored key layout with a constant) never break the seek,
// and the record found is the one a plain reading of the table in index
// order finds: the first whose column starts with the text (or equals it,
// in exact mode), without regard to case.

#include "fuzzer.h"

#include "filters/quickpick.h"
#include "platform/dao/dao.h"
#include "support/quickpickdb.h"

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
    // The quick-pick tests' edge cases, and names full of wildcards and blanks.
    lg::test::fillQuickPickEdgeDatabase(*db, {QStringLiteral("100%"), QStringLiteral("[x]*"), QStringLiteral("a_b"),
                                              QStringLiteral(" szóköz")});
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
