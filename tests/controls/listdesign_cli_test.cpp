// `listgen design` end to end on the demo database: a list with three
// grouping levels, aggregates at every level and one condition of every
// filter kind is designed through the wizard's model, saved with its
// statement and report file, and run; its rows and totals are checked
// against SQL written independently of the list. And what the command
// refuses, leaving no work copy behind.

#include <QtCore/QFile>
#include <QtCore/QMap>
#include <QtCore/QStandardPaths>

#include "controlsfixture.h"
#include "store/listreport.h"

namespace lg::test {
namespace {

class ListDesignCliTest : public DemoDatabase {
protected:
    ProcessResult listgen(const QStringList& args) { return runProgram(QStringLiteral(LISTGEN_CLI), args); }

    long scalar(const QString& sql)
    {
        auto rs = db->OpenRecordset(sql, dao::RecordsetType::Snapshot);
        return rs->Eof() ? -1 : long(rs->Fields(0).toLongLong());
    }
    long temporaryLists() { return scalar(u"SELECT COUNT(*) FROM vlq_list_report WHERE temp_status<>0"_s); }
};

struct Totals {
    long count = 0;
    double net = 0;
    double gross = 0;
    bool operator==(const Totals& o) const
    {
        return count == o.count && qAbs(net - o.net) < 0.005 && qAbs(gross - o.gross) < 0.005;
    }
};

TEST_F(ListDesignCliTest, ADesignedListRunsAndItsTotalsMatchIndependentSql)
{
    // The demo catalogue has no text list box among the invoices' tables:
    // the region code becomes one, so that every kind of filter is used.
    db->Execute(u"UPDATE vlq_list_wizard_table_field SET field_control_type=8 WHERE id=13"_s);
    QStringList containerItems;
    QStringList args{u"design"_s,  u"--db"_s,     m_dbPath,       u"--user"_s, u"1"_s,
                     u"--new"_s,   u"--type"_s,   u"2"_s,         u"--name"_s, u"Régiók, városok, fizetési módok"_s,
                     u"--folder"_s, m_dir,
                     u"--group"_s, u"12"_s,       u"--group"_s,   u"6"_s,      u"--group"_s, u"19"_s,
                     u"--field"_s, u"14"_s,       u"--field"_s,   u"20"_s,     u"--field"_s, u"22"_s,
                     u"--field"_s, u"17"_s,
                     u"--aggregate"_s, u"14=1,1,1,1"_s, u"--aggregate"_s, u"20=4,4,4,4"_s,
                     u"--aggregate"_s, u"22=5,2,3,4"_s, u"--aggregate"_s, u"17=1,-1,-1,1"_s,
                     u"--condition"_s, u"10=--from 15 --to 45"_s,                                // number
                     u"--condition"_s, u"15=--relation 1 --from 2023.01.01 --to 2025.06.30"_s, // date
                     u"--condition"_s, u"19=--relation 6 --from bankkártya"_s,                 // text
                     u"--condition"_s, u"17="_s,                                               // check box
                     u"--condition"_s, u"12=--item 1 --item 2 --item 3 --item 7"_s,            // list box
                     u"--condition"_s, u"13=--item KM --item KD --item DA --item EA"_s};       // text list box
    QString container = u"2="_s;
    for (int id = 1; id <= 60; ++id)
        container += QStringLiteral("--item %1=P%1 ").arg(id);
    args << u"--condition"_s << container.trimmed();  // container
    const auto r = listgen(args);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const long listId = r.out.trimmed().toLong();
    ASSERT_GT(listId, 0);
    EXPECT_EQ(temporaryLists(), 0);

    ListReport list;
    ASSERT_TRUE(list.CoreLoad(listId));
    EXPECT_EQ(list.temp_status(), 0);
    EXPECT_EQ(list.create_user(), 1);
    EXPECT_EQ(list.ReportGroups().Count(), 3);
    EXPECT_EQ(list.ReportWheres().Count(), 7);
    EXPECT_TRUE(list.sql_source().contains(u"%WHERE%"_s));
    EXPECT_EQ(list.sql_description().count(u" ÉS "_s), 6);
    EXPECT_TRUE(QFile::exists(m_dir + u'/' + list.report_file()));
    for (const auto& field : list.ReportFields()) {
        if (field->table_field_id() == 22) {
            EXPECT_EQ(field->group1_aggregate(), 5);
            EXPECT_EQ(field->group2_aggregate(), 2);
            EXPECT_EQ(field->group3_aggregate(), 3);
            EXPECT_EQ(field->group4_aggregate(), -1);
            EXPECT_EQ(field->total_aggregate(), 4);
        }
    }

    // The rows the list gives, summed per innermost group.
    const auto rows = listgen({u"run"_s, u"--db"_s, m_dbPath, u"--list"_s, QString::number(listId), u"--user"_s,
                               u"1"_s, u"--format"_s, u"tsv"_s});
    ASSERT_EQ(rows.exitCode, 0) << rows.err.toStdString();
    QStringList lines = rows.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 1);
    const QStringList header = lines.takeFirst().split(u'\t');
    ASSERT_EQ(header.size(), 7) << rows.out.left(200).toStdString();
    QMap<QString, Totals> listed;
    for (const QString& line : lines) {
        const QStringList c = line.split(u'\t');
        ASSERT_EQ(c.size(), 7) << line.toStdString();
        Totals& t = listed[c[0] + u'|' + c[1] + u'|' + c[2]];
        ++t.count;
        t.net += c[4].toDouble();
        t.gross += c[5].toDouble();
    }

    // The same, written by hand against the host tables.
    QMap<QString, Totals> expected;
    auto rs = db->OpenRecordset(
        u"SELECT R.nev, P.varos, SZ.fizmod, COUNT(*) AS n, SUM(SZ.netto) AS net, SUM(SZ.brutto) AS gross "
        "FROM (szamla AS SZ INNER JOIN partner AS P ON P.id = SZ.partner_id) INNER JOIN regio AS R ON R.id = P.regio_id "
        "WHERE SZ.sztornozott = 0 AND (P.bizalmas = 0 OR P.felelos_id = 1) AND P.fizetesi_hatarido BETWEEN 15 AND 45 "
        "AND SZ.kelt >= #01/01/2023# AND SZ.kelt < #07/01/2025# "
        "AND SZ.fizmod IN ('átutalás', 'bankkártya') AND SZ.fizetve <> 0 "
        "AND R.id IN (1, 2, 3, 7) AND R.kod IN ('KM', 'KD', 'DA', 'EA') AND P.id <= 60 "
        "GROUP BY R.nev, P.varos, SZ.fizmod"_s,
        dao::RecordsetType::Snapshot);
    for (; !rs->Eof(); rs->MoveNext()) {
        Totals& t = expected[rs->Fields(0).toString() + u'|' + rs->Fields(1).toString() + u'|'
                             + rs->Fields(2).toString()];
        t.count = long(rs->Fields(3).toLongLong());
        t.net = rs->Fields(4).toDouble();
        t.gross = rs->Fields(5).toDouble();
    }
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(listed.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const Totals got = listed.value(it.key());
        EXPECT_TRUE(got == it.value()) << it.key().toStdString() << ": " << got.count << " " << got.net << " / "
                                       << it->count << " " << it->net;
    }

    // The report renders to a PDF whose grand total is the independent one.
    const QString pdf = m_dir + u"/list.pdf"_s;
    const auto printed = listgen({u"run"_s, u"--db"_s, m_dbPath, u"--list"_s, QString::number(listId), u"--user"_s,
                                  u"1"_s, u"--format"_s, u"pdf"_s, u"--out"_s, pdf, u"--reports"_s, m_dir});
    ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();
    ASSERT_TRUE(QFile::exists(pdf));
    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    if (!pdftotext.isEmpty()) {
        const auto text = runProgram(pdftotext, {u"-layout"_s, pdf, u"-"_s});
        double net = 0;
        for (const Totals& t : expected)
            net += t.net;
        QString digits = QString::number(qRound64(net));
        QString flat = text.out;
        flat.remove(u' ').remove(u'\u00a0').remove(u',').remove(u'.');
        EXPECT_TRUE(flat.contains(digits)) << "grand total " << digits.toStdString();
    }
}

TEST_F(ListDesignCliTest, RefusalsLeaveNoWorkCopy)
{
    struct Case {
        const char* what;
        QStringList args;
        int exitCode;
        const char* message;
    } cases[] = {
        {"two modes", {u"--new"_s, u"--type"_s, u"2"_s, u"--edit"_s, u"3"_s, u"--name"_s, u"x"_s}, 2, "exactly one"},
        {"no displayed field", {u"--new"_s, u"--type"_s, u"2"_s, u"--name"_s, u"x"_s}, 1,
         "Megjelenítendő mező kiválasztása kötelező!"},
        {"a field of another type", {u"--new"_s, u"--type"_s, u"2"_s, u"--name"_s, u"x"_s, u"--field"_s, u"30"_s}, 1,
         "nem jeleníthető meg"},
        {"eleven groups",
         {u"--new"_s, u"--type"_s, u"2"_s, u"--name"_s, u"x"_s, u"--field"_s, u"14"_s, u"--group"_s, u"1"_s,
          u"--group"_s, u"2"_s, u"--group"_s, u"3"_s, u"--group"_s, u"4"_s, u"--group"_s, u"5"_s, u"--group"_s,
          u"6"_s, u"--group"_s, u"14"_s, u"--group"_s, u"15"_s, u"--group"_s, u"16"_s, u"--group"_s, u"17"_s,
          u"--group"_s, u"18"_s},
         1, "Legfeljebb 10"},
        {"a wrong aggregate", {u"--new"_s, u"--type"_s, u"2"_s, u"--name"_s, u"x"_s, u"--field"_s, u"17"_s,
                               u"--aggregate"_s, u"17=4"_s}, 1, "összesítés nem választható"},
        {"editing another user's list", {u"--edit"_s, u"3"_s, u"--name"_s, u"x"_s, u"--field"_s, u"14"_s}, 1,
         "can only be copied"},
        {"an empty name", {u"--new"_s, u"--type"_s, u"2"_s, u"--name"_s, u" "_s, u"--field"_s, u"14"_s}, 1,
         "A lista megnevezését kötelező megadni!"},
        {"a condition that is no filter flag",
         {u"--new"_s, u"--type"_s, u"2"_s, u"--name"_s, u"x"_s, u"--field"_s, u"14"_s, u"--condition"_s,
          u"17=--from 3"_s},
         2, "does not apply"},
        {"a comparison on a number field",
         {u"--new"_s, u"--type"_s, u"2"_s, u"--name"_s, u"x"_s, u"--field"_s, u"14"_s, u"--condition"_s,
          u"10=--relation 5 --from 15"_s},
         2, "needs a text field"},
    };
    const long listsBefore = scalar(u"SELECT COUNT(*) FROM vlq_list_report"_s);
    for (const Case& c : cases) {
        const auto r = listgen(QStringList{u"design"_s, u"--db"_s, m_dbPath, u"--user"_s, u"1"_s, u"--folder"_s, m_dir}
                               + c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.what << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << c.what << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << c.what;
        EXPECT_EQ(temporaryLists(), 0) << c.what;
    }
    EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM vlq_list_report"_s), listsBefore);
}

TEST_F(ListDesignCliTest, EditingReplacesAndCopyingKeepsTheSource)
{
    const auto edited = listgen({u"design"_s, u"--db"_s, m_dbPath, u"--user"_s, u"1"_s, u"--edit"_s, u"1"_s,
                                 u"--name"_s, u"Partnerek régiónként"_s, u"--folder"_s, m_dir, u"--group"_s, u"12"_s,
                                 u"--field"_s, u"1"_s, u"--field"_s, u"9"_s, u"--aggregate"_s, u"9=4,4"_s});
    ASSERT_EQ(edited.exitCode, 0) << edited.err.toStdString();
    const long newId = edited.out.trimmed().toLong();
    EXPECT_NE(newId, 1);
    EXPECT_EQ(scalar(u"SELECT COUNT(*) FROM vlq_list_report WHERE id=1"_s), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM vlq_list_report_where_field WHERE vlq_list_report_id=%1")
                         .arg(newId)),
              0)
        << "the stored condition not given is removed";

    const auto copied = listgen({u"design"_s, u"--db"_s, m_dbPath, u"--user"_s, u"3"_s, u"--copy"_s, u"3"_s,
                                 u"--name"_s, u"Másolat"_s, u"--folder"_s, m_dir, u"--field"_s, u"14"_s,
                                 u"--condition"_s, u"15=--relation 1 --from 2024.01.01 --to 2024.03.31"_s});
    ASSERT_EQ(copied.exitCode, 0) << copied.err.toStdString();
    const long copyId = copied.out.trimmed().toLong();
    ListReport copy, source;
    ASSERT_TRUE(copy.CoreLoad(copyId));
    ASSERT_TRUE(source.CoreLoad(3));
    EXPECT_EQ(copy.create_user(), 3);
    EXPECT_EQ(source.create_user(), 2);
    EXPECT_EQ(source.ReportFields().Count(), 6);
    EXPECT_EQ(copy.ReportFields().Count(), 1);
    EXPECT_EQ(temporaryLists(), 0);
}

}  // namespace
}  // namespace lg::test
