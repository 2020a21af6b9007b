#include "quickpickdb.h"

#include "platform/dao/dao.h"

namespace lg::test {

void fillQuickPickEdgeDatabase(dao::Database& db, const QStringList& extraNames)
{
    db.Execute(QStringLiteral("CREATE TABLE vlq_quickpick (id LONG NOT NULL, name TEXT(100), table_name TEXT(64), "
                              "browse_id LONG, browse_where_clause MEMO, use_where_in_browse YESNO, "
                              "primarykey_indexname TEXT(64), primarykey_filedname TEXT(64), "
                              "search_start_length LONG, browse_row_count LONG, "
                              "CONSTRAINT PrimaryKey PRIMARY KEY (id))"));
    db.Execute(QStringLiteral("CREATE TABLE vlq_quickpick_field (id LONG NOT NULL, quickpick_id LONG, "
                              "sort_order LONG, search_field TEXT(64), search_field_name TEXT(100), "
                              "visible_field TEXT(64), index_name TEXT(64), index_stucture TEXT(255), "
                              "CONSTRAINT PrimaryKey PRIMARY KEY (id))"));
    db.Execute(QStringLiteral("CREATE INDEX Quickpick_sort ON vlq_quickpick_field (quickpick_id, sort_order)"));
    db.Execute(QStringLiteral("CREATE TABLE cikk (azon LONG NOT NULL, nev TEXT(60), csoport TEXT(5), "
                              "szam LONG, CONSTRAINT pk_cikk PRIMARY KEY (azon))"));
    db.Execute(QStringLiteral("CREATE INDEX nev ON cikk (nev)"));
    db.Execute(QStringLiteral("CREATE INDEX csoport_nev ON cikk (csoport, nev)"));
    db.Execute(QStringLiteral("CREATE INDEX szam ON cikk (szam)"));
    const QStringList names = QStringList{
        QStringLiteral("Ára"),     QStringLiteral("Arb"),     QStringLiteral("arc"),      QStringLiteral("Asz"),
        QStringLiteral("Asszony"), QStringLiteral("Assa"),    QStringLiteral("Ássz"),     QStringLiteral("Cukor"),
        QStringLiteral("Csiga"),   QStringLiteral("Ccs"),     QStringLiteral("O'Neil"),   QStringLiteral("O'Neill & Co"),
        QStringLiteral("Ödön"),    QStringLiteral("Ozora"),   QStringLiteral("Őz"),       QStringLiteral("ab"),
        QStringLiteral("AB"),      QStringLiteral("abc"),     QStringLiteral("Abcde"),    QStringLiteral("Gyula"),
        QStringLiteral("Ggy"),     QStringLiteral("Zsák"),    QStringLiteral("Zzs"),      QStringLiteral("dzseki"),
        QStringLiteral("Ddzs"),    QStringLiteral("Mac"),     QStringLiteral("Macska"),   QStringLiteral("Macz"),
    } + extraNames;
    for (int i = 0; i < names.size(); ++i)
        db.Execute(QStringLiteral("INSERT INTO cikk (azon, nev, csoport, szam) VALUES (?, ?, ?, ?)"),
                   dao::Parameters(QVariantList{100 + i, names[i], i % 2 ? QStringLiteral("B") : QStringLiteral("a"),
                                                (i * 37) % 150}));
    db.Execute(QStringLiteral("INSERT INTO vlq_quickpick VALUES (1, 'Cikkek', 'cikk', 4, 'szam>0', -1, "
                              "'pk_cikk', 'azon', 0, 10)"));
    db.Execute(QStringLiteral("INSERT INTO vlq_quickpick_field VALUES (1, 1, 1, 'nev', 'Név', 'csoport', 'nev', "
                              "'%SEARCH%')"));
    db.Execute(QStringLiteral("INSERT INTO vlq_quickpick_field VALUES (2, 1, 2, 'nev', 'Név csoportban', 'szam', "
                              "'csoport_nev', 'b;%SEARCH%')"));
    db.Execute(QStringLiteral("INSERT INTO vlq_quickpick_field VALUES (3, 1, 3, 'szam', 'Szám', 'nev', 'szam', "
                              "'%SEARCH%')"));
}

}  // namespace lg::test
