// The host application's own tables of the demo wholesaler and their data.

#include <QtCore/QList>
#include <QtCore/QStringList>

#include <algorithm>
#include <cmath>
#include <vector>

#include "demodata.h"
#include "platform/dao/dao.h"
#include "platform/jetsql/jetdate.h"
#include "platform/runtimeerror.h"

using namespace Qt::StringLiterals;

namespace lg::demo {

QDateTime demoNow() { return QDateTime(QDate(2025, 1, 15), QTime(9, 0, 0)); }

// ---------------------------------------------------------------------------
// RowWriter

RowWriter::RowWriter(dao::Database& db, const QString& table, const QStringList& columns)
    : m_table(table), m_columns(int(columns.size()))
{
    m_insert = std::make_unique<dao::BulkInsert>(db, table, columns);
}

RowWriter::~RowWriter() = default;

void RowWriter::insert(const QVariantList& values)
{
    if (values.size() != m_columns)
        throw RuntimeError(errnum::Internal, u"demo"_s,
                           QStringLiteral("%1: %2 values for %3 columns").arg(m_table).arg(values.size()).arg(m_columns));
    m_insert->add(values);
    ++m_rows;
}

// ---------------------------------------------------------------------------
// Schema of the host tables (Jet DDL)

static const char* const kHostDdl[] = {
    "CREATE TABLE regio (id LONG NOT NULL, kod TEXT(10), nev TEXT(50), CONSTRAINT PrimaryKey PRIMARY KEY (id))",
    "CREATE TABLE partner (id LONG NOT NULL, kod TEXT(10), nev TEXT(120), tipus TEXT(1), adoszam TEXT(13), "
    "irsz TEXT(4), varos TEXT(40), cim TEXT(80), regio_id LONG, aktiv YESNO, bizalmas YESNO, "
    "hitelkeret DOUBLE, fizetesi_hatarido LONG, felelos_id LONG, letrehozva DATETIME, "
    "CONSTRAINT PrimaryKey PRIMARY KEY (id))",
    "CREATE INDEX nev ON partner (nev)",
    "CREATE INDEX kod ON partner (kod)",
    "CREATE INDEX tipus_nev ON partner (tipus, nev)",
    "CREATE INDEX regio_id ON partner (regio_id)",
    "CREATE TABLE termekcsoport (id LONG NOT NULL, kod TEXT(10), nev TEXT(50), aktiv YESNO, "
    "CONSTRAINT PrimaryKey PRIMARY KEY (id))",
    "CREATE TABLE termek (id LONG NOT NULL, cikkszam TEXT(20), nev TEXT(100), termekcsoport_id LONG, "
    "mertekegyseg TEXT(10), egysegar DOUBLE, afakulcs LONG, aktiv YESNO, CONSTRAINT PrimaryKey PRIMARY KEY (id))",
    "CREATE INDEX nev ON termek (nev)",
    "CREATE INDEX cikkszam ON termek (cikkszam)",
    "CREATE TABLE szamla (id LONG NOT NULL, szamlaszam TEXT(20), partner_id LONG, kelt DATETIME, "
    "hatarido DATETIME, fizetve YESNO, fizetes_datuma DATETIME, fizmod TEXT(20), ertekesito_id LONG, "
    "sztornozott YESNO, netto DOUBLE, afa DOUBLE, brutto DOUBLE, CONSTRAINT PrimaryKey PRIMARY KEY (id))",
    "CREATE INDEX partner_id ON szamla (partner_id)",
    "CREATE INDEX kelt ON szamla (kelt)",
    "CREATE TABLE szamla_tetel (id LONG NOT NULL, szamla_id LONG, sorszam LONG, termek_id LONG, "
    "mennyiseg DOUBLE, egysegar DOUBLE, netto DOUBLE, afakulcs LONG, brutto DOUBLE, "
    "CONSTRAINT PrimaryKey PRIMARY KEY (id))",
    "CREATE INDEX szamla_id ON szamla_tetel (szamla_id, sorszam)",
    "CREATE INDEX termek_id ON szamla_tetel (termek_id)",
};

// Quick-pick and browse definitions: host tables that the lookup controls read.
static const char* const kLookupDdl[][2] = {
    {"vlq_quickpick",
     "CREATE TABLE vlq_quickpick (id LONG NOT NULL, name TEXT(100), table_name TEXT(64), browse_id LONG, "
     "browse_where_clause MEMO, use_where_in_browse YESNO, primarykey_indexname TEXT(64), "
     "primarykey_filedname TEXT(64), search_start_length LONG, browse_row_count LONG, "
     "CONSTRAINT PrimaryKey PRIMARY KEY (id))"},
    {"vlq_quickpick_field",
     "CREATE TABLE vlq_quickpick_field (id LONG NOT NULL, quickpick_id LONG, sort_order LONG, "
     "search_field TEXT(64), search_field_name TEXT(100), visible_field TEXT(64), index_name TEXT(64), "
     "index_stucture TEXT(255), CONSTRAINT PrimaryKey PRIMARY KEY (id))"},
    {"vlq_quickpick_field:Quickpick_sort", "CREATE INDEX Quickpick_sort ON vlq_quickpick_field (quickpick_id, sort_order)"},
    {"vlq_view",
     "CREATE TABLE vlq_view (id LONG NOT NULL, name1 TEXT(100), name2 TEXT(100), name3 TEXT(100), "
     "table_name TEXT(64), sql_source MEMO, field_list MEMO, sort_field TEXT(64), "
     "CONSTRAINT PrimaryKey PRIMARY KEY (id))"},
};

void createHostTables(dao::Database& db)
{
    for (const char* ddl : kHostDdl)
        db.Execute(QString::fromUtf8(ddl));
    bool haveQuickPick = false;
    for (const auto& entry : kLookupDdl) {
        const QString name = QString::fromUtf8(entry[0]);
        if (!name.contains(u':')) {
            haveQuickPick = db.hasTable(name);
            if (haveQuickPick)
                continue;
        } else if (haveQuickPick) {
            continue;  // the host's own table keeps its own indexes
        }
        db.Execute(QString::fromUtf8(entry[1]));
    }
}

// ---------------------------------------------------------------------------
// Content

namespace {

struct Region {
    const char* code;
    const char* name;
};
const Region kRegions[] = {
    {"KM", "Közép-Magyarország"}, {"KD", "Közép-Dunántúl"}, {"ND", "Nyugat-Dunántúl"},  {"DD", "Dél-Dunántúl"},
    {"EM", "Észak-Magyarország"}, {"EA", "Észak-Alföld"},   {"DA", "Dél-Alföld"},
};

struct City {
    const char* name;
    const char* zip;  // empty: Budapest, the district decides
    int region;       // 1-based
    int county;       // the tax number's area code
};
const City kCities[] = {
    {"Budapest", "", 1, 42},          {"Érd", "2030", 1, 13},           {"Gödöllő", "2100", 1, 13},
    {"Vác", "2600", 1, 13},           {"Cegléd", "2700", 1, 13},        {"Budaörs", "2040", 1, 13},
    {"Szentendre", "2000", 1, 13},    {"Székesfehérvár", "8000", 2, 7}, {"Dunaújváros", "2400", 2, 7},
    {"Tatabánya", "2800", 2, 11},     {"Esztergom", "2500", 2, 11},     {"Veszprém", "8200", 2, 19},
    {"Ajka", "8400", 2, 19},          {"Pápa", "8500", 2, 19},          {"Győr", "9021", 3, 8},
    {"Sopron", "9400", 3, 8},         {"Mosonmagyaróvár", "9200", 3, 8}, {"Szombathely", "9700", 3, 18},
    {"Zalaegerszeg", "8900", 3, 20},  {"Nagykanizsa", "8800", 3, 20},   {"Keszthely", "8360", 3, 20},
    {"Pécs", "7621", 4, 2},           {"Mohács", "7700", 4, 2},         {"Kaposvár", "7400", 4, 14},
    {"Siófok", "8600", 4, 14},        {"Szekszárd", "7100", 4, 17},     {"Paks", "7030", 4, 17},
    {"Miskolc", "3525", 5, 5},        {"Ózd", "3600", 5, 5},            {"Eger", "3300", 5, 10},
    {"Gyöngyös", "3200", 5, 10},      {"Salgótarján", "3100", 5, 12},   {"Balassagyarmat", "2660", 5, 12},
    {"Debrecen", "4024", 6, 9},       {"Hajdúböszörmény", "4220", 6, 9}, {"Nyíregyháza", "4400", 6, 15},
    {"Kisvárda", "4600", 6, 15},      {"Szolnok", "5000", 6, 16},       {"Jászberény", "5100", 6, 16},
    {"Szeged", "6720", 7, 6},         {"Hódmezővásárhely", "6800", 7, 6}, {"Makó", "6900", 7, 6},
    {"Kecskemét", "6000", 7, 3},      {"Baja", "6500", 7, 3},           {"Kiskunfélegyháza", "6100", 7, 3},
    {"Békéscsaba", "5600", 7, 4},     {"Gyula", "5700", 7, 4},          {"Orosháza", "5900", 7, 4},
};

const char* const kStreets[] = {
    "Fő utca",          "Petőfi Sándor utca", "Kossuth Lajos utca", "Rákóczi út",         "Ady Endre utca",
    "József Attila utca", "Dózsa György út",  "Szabadság tér",      "Béke utca",          "Arany János utca",
    "Széchenyi István tér", "Jókai Mór utca", "Deák Ferenc utca",   "Táncsics Mihály utca", "Vasút utca",
    "Ipari park",       "Határ út",           "Kölcsey Ferenc utca", "Bem József utca",   "Munkácsy Mihály utca",
};

const char* const kSurnames[] = {
    "Nagy",     "Kovács",  "Tóth",    "Szabó",   "Horváth", "Varga",   "Kiss",     "Molnár",  "Németh",
    "Farkas",   "Balogh",  "Papp",    "Takács",  "Juhász",  "Lakatos", "Mészáros", "Oláh",    "Simon",
    "Rácz",     "Fekete",  "Szilágyi", "Török",  "Fehér",   "Balázs",  "Gál",      "Szűcs",   "Kocsis",
    "Pintér",   "Fodor",   "Szalai",  "Sipos",   "Magyar",  "Lukács",  "Gulyás",   "Bíró",    "Király",
    "Katona",   "László",  "Jakab",   "Sándor",  "Boros",   "Fazekas", "Kelemen",  "Antal",   "Orbán",
    "Somogyi",  "Vincze",  "Fülöp",   "Veres",   "Hegedűs", "Deák",    "Bálint",   "Illés",   "Vörös",
    "Bakos",    "Lengyel", "Bognár",  "Szekeres", "Dudás",  "Ábrahám", "Csizmadia", "Ördög",  "Üveges",
};
const char* const kFirstNames[] = {
    "Anna",   "Katalin", "Éva",    "Erzsébet", "Mária",  "Judit",  "Zsuzsanna", "Ildikó", "Krisztina",
    "Eszter", "Ágnes",   "Andrea", "Tímea",    "Réka",   "Zsófia", "László",    "István", "József",
    "János",  "Zoltán",  "Sándor", "Gábor",    "Ferenc", "Attila", "Péter",     "Tamás",  "Gergely",
    "Balázs", "Ádám",    "Dániel", "Csaba",    "Lajos",  "Győző",  "Ödön",      "Örs",
};
const char* const kPlaces[] = {
    "Alföld", "Duna",   "Tisza", "Mátra", "Bakony", "Balaton", "Pannon", "Hungária", "Kárpát", "Zemplén",
    "Mecsek", "Hajdú",  "Rába",  "Dráva", "Körös",  "Bükk",    "Sió",    "Zala",     "Vértes", "Pilis",
};
const char* const kTrades[] = {
    "Élelmiszer",  "Kereskedelmi", "Vendéglátó", "Pékáru", "Zöldség-Gyümölcs", "Italkereskedő", "Csemege",
    "Háztartási",  "Gasztro",      "Ellátó",     "Agrár",  "Fűszer",           "Vegyeskereskedés", "Büfé",
};
const char* const kMakers[] = {
    "Tejipari", "Sütőipari", "Édesipari", "Konzervgyár", "Pincészet", "Ásványvíz", "Malom", "Kávépörkölő",
    "Húsipari", "Papíripari",
};
const char* const kForms[] = {"Kft.", "Kft.", "Kft.", "Bt.", "Zrt.", "Kkt."};

struct Category {
    const char* code;
    const char* name;
};
const Category kCategories[] = {
    {"KAV", "Kávé és tea"},    {"UDI", "Üdítőitalok"},      {"SZE", "Szeszes italok"},
    {"EDE", "Édességek"},      {"TEJ", "Tejtermékek"},      {"PEK", "Pékáru"},
    {"KON", "Konzervek"},      {"TES", "Tészták és rizs"},  {"FUS", "Fűszerek"},
    {"HAZ", "Háztartási vegyi áru"}, {"PAP", "Papíráru"},   {"HUS", "Hús- és hentesáru"},
};

struct Item {
    int category;  // 1-based
    const char* name;
    const char* unit;
    double price;
    int vat;
};
const Item kItems[] = {
    {1, "Őrölt kávé 250 g", "csomag", 1890, 27},      {1, "Szemes kávé 1 kg", "csomag", 6490, 27},
    {1, "Fekete tea 20 filter", "doboz", 690, 27},    {1, "Gyümölcstea 20 filter", "doboz", 590, 27},
    {2, "Szénsavas üdítő 1,5 l", "palack", 549, 27},  {2, "Ásványvíz 1,5 l", "palack", 189, 27},
    {2, "Gyümölcslé 1 l", "doboz", 649, 27},          {3, "Világos sör 0,5 l", "doboz", 389, 27},
    {3, "Vörösbor 0,75 l", "palack", 2190, 27},       {3, "Pálinka 0,5 l", "palack", 6990, 27},
    {4, "Tejcsokoládé 100 g", "db", 499, 27},         {4, "Mézeskalács 200 g", "csomag", 890, 27},
    {4, "Csokoládés keksz 200 g", "csomag", 459, 27}, {5, "Tej 2,8% 1 l", "doboz", 399, 5},
    {5, "Trappista sajt", "kg", 3690, 18},            {5, "Tejföl 20% 330 g", "pohár", 549, 18},
    {5, "Vaj 100 g", "db", 749, 18},                  {6, "Fehér kenyér 1 kg", "db", 699, 5},
    {6, "Kifli 60 g", "db", 59, 18},                  {6, "Kakaós csiga", "db", 329, 18},
    {7, "Lecsó 680 g", "üveg", 990, 27},              {7, "Csemegeuborka 680 g", "üveg", 790, 27},
    {7, "Májkrém 100 g", "db", 329, 27},              {8, "Tojásos tészta 500 g", "csomag", 549, 27},
    {8, "Rizs 1 kg", "csomag", 899, 27},              {8, "Finomliszt 1 kg", "csomag", 349, 27},
    {9, "Fűszerpaprika 100 g", "csomag", 890, 27},    {9, "Étkezési só 1 kg", "csomag", 199, 27},
    {9, "Őrölt bors 50 g", "csomag", 459, 27},        {10, "Mosogatószer 1 l", "flakon", 799, 27},
    {10, "Mosópor 3 kg", "doboz", 4290, 27},          {10, "Ablaktisztító 500 ml", "flakon", 699, 27},
    {11, "Toalettpapír 8 tekercs", "csomag", 1690, 27}, {11, "Papírtörlő 2 tekercs", "csomag", 699, 27},
    {11, "Szalvéta 100 db", "csomag", 399, 27},       {12, "Sertéskaraj", "kg", 2990, 5},
    {12, "Csirkemell filé", "kg", 2590, 27},          {12, "Téliszalámi", "kg", 8990, 27},
    {12, "Parasztkolbász", "kg", 4290, 27},
};
const char* const kBrands[] = {"Alföldi", "Pannon", "Tisza", "Mecseki", "Bakonyi", "Hajdú", "Zalai", "Kárpát",
                               "Dunamenti"};

const char* const kPayments[] = {"átutalás", "átutalás", "átutalás", "készpénz", "bankkártya"};

}  // namespace

// The demo's users: id, name, groups. Salespeople issue the invoices.
struct DemoUser {
    int id;
    const char* name;
    std::vector<int> groups;
};
static const std::vector<DemoUser>& demoUsers()
{
    static const std::vector<DemoUser> users = {
        {1, "Rendszergazda", {1}},       {2, "Kovács Anna", {2, 5}},     {3, "Nagy Péter", {2}},
        {4, "Szabó Katalin", {3}},       {5, "Tóth Gábor", {4, 2}},      {6, "Horváth Eszter", {3, 4}},
        {7, "Varga Zoltán", {2}},        {8, "Kiss Judit", {}},
    };
    return users;
}
static const char* const kGroups[] = {"Rendszergazdák", "Értékesítők", "Könyvelők", "Raktárosok", "Vezetők"};
static const int kSalespeople[] = {2, 3, 5, 7};

// A Hungarian tax number: eight digits whose last is the check digit of the
// first seven (weights 9, 7, 3, 1), the VAT code and the area code.
static QString taxNumber(Rng& rng, int county)
{
    static const int weights[] = {9, 7, 3, 1, 9, 7, 3};
    QString digits;
    int sum = 0;
    for (int i = 0; i < 7; ++i) {
        const int d = i == 0 ? int(rng.between(1, 2)) : int(rng.between(0, 9));
        digits += QChar(u'0' + d);
        sum += d * weights[i];
    }
    digits += QChar(u'0' + (10 - sum % 10) % 10);
    const int vat = rng.chance(0.9) ? 2 : (rng.chance(0.5) ? 1 : 3);
    return QStringLiteral("%1-%2-%3").arg(digits).arg(vat).arg(county, 2, 10, QLatin1Char('0'));
}

static double roundForint(double value) { return std::floor(value + 0.5); }

DemoSummary fillHostData(dao::Database& db, int scale)
{
    Rng rng(0x4C697374u * 1000003u + std::uint64_t(scale));
    DemoSummary s;

    // Users and groups behind the two host queries.
    {
        RowWriter users(db, u"vlq_user"_s, {u"id"_s, u"display_name"_s});
        RowWriter groups(db, u"vlq_user_group"_s, {u"id"_s, u"name"_s});
        RowWriter members(db, u"vlq_user_group_member"_s, {u"user_id"_s, u"user_group_id"_s});
        for (int g = 0; g < int(std::size(kGroups)); ++g)
            groups.insert({g + 1, QString::fromUtf8(kGroups[g])});
        for (const DemoUser& u : demoUsers()) {
            users.insert({u.id, QString::fromUtf8(u.name)});
            for (int g : u.groups)
                members.insert({u.id, g});
        }
        s.users = users.rows();
        s.groups = groups.rows();
    }

    {
        RowWriter regions(db, u"regio"_s, {u"id"_s, u"kod"_s, u"nev"_s});
        for (int r = 0; r < int(std::size(kRegions)); ++r)
            regions.insert({r + 1, QString::fromUtf8(kRegions[r].code), QString::fromUtf8(kRegions[r].name)});
        s.regions = regions.rows();
    }

    // Partners: customers (V) and suppliers (S).
    struct PartnerInfo {
        bool customer;
        int terms;
        int salesperson;
        const char* payment;
    };
    std::vector<PartnerInfo> partners;
    {
        RowWriter w(db, u"partner"_s,
                    {u"id"_s, u"kod"_s, u"nev"_s, u"tipus"_s, u"adoszam"_s, u"irsz"_s, u"varos"_s, u"cim"_s,
                     u"regio_id"_s, u"aktiv"_s, u"bizalmas"_s, u"hitelkeret"_s, u"fizetesi_hatarido"_s,
                     u"felelos_id"_s, u"letrehozva"_s});
        const int count = 200 * scale;
        static const int terms[] = {8, 15, 15, 30, 30, 30, 45};
        for (int id = 1; id <= count; ++id) {
            const bool customer = rng.chance(0.85);
            QString name;
            const double kind = rng.unit();
            if (!customer)
                name = QStringLiteral("%1 %2 %3").arg(QString::fromUtf8(rng.pick(kPlaces)),
                                                      QString::fromUtf8(rng.pick(kMakers)),
                                                      QString::fromUtf8(rng.pick(kForms)));
            else if (kind < 0.65)
                name = QStringLiteral("%1 %2 %3").arg(QString::fromUtf8(rng.pick(kPlaces)),
                                                      QString::fromUtf8(rng.pick(kTrades)),
                                                      QString::fromUtf8(rng.pick(kForms)));
            else if (kind < 0.88)
                name = QStringLiteral("%1 és Társa %2").arg(QString::fromUtf8(rng.pick(kSurnames)),
                                                           QString::fromUtf8(rng.pick(kForms)));
            else
                name = QStringLiteral("%1 %2 e.v.").arg(QString::fromUtf8(rng.pick(kSurnames)),
                                                       QString::fromUtf8(rng.pick(kFirstNames)));
            const City& city = rng.chance(0.25) ? kCities[0] : kCities[rng.between(1, long(std::size(kCities)) - 1)];
            QString zip = QString::fromUtf8(city.zip);
            int county = city.county;
            if (zip.isEmpty()) {
                zip = QStringLiteral("1%1%2").arg(rng.between(1, 23), 2, 10, QLatin1Char('0')).arg(rng.between(0, 9));
                county = int(rng.between(41, 44));
            }
            const QString street = QStringLiteral("%1 %2.").arg(QString::fromUtf8(rng.pick(kStreets))).arg(rng.between(1, 120));
            const double limit = customer ? double(rng.between(0, 100)) * 100000.0 : 0.0;
            const int term = terms[rng.between(0, long(std::size(terms)) - 1)];
            const int salesperson = kSalespeople[rng.between(0, long(std::size(kSalespeople)) - 1)];
            const QDate since = QDate(2015, 1, 1).addDays(rng.between(0, 3000));
            const bool active = rng.chance(0.92);
            const bool confidential = rng.chance(0.03);
            w.insert({id, QStringLiteral("P%1").arg(id, 5, 10, QLatin1Char('0')), name,
                      customer ? u"V"_s : u"S"_s, taxNumber(rng, county), zip, QString::fromUtf8(city.name), street,
                      city.region, active, confidential, limit, term, salesperson, since});
            partners.push_back({customer, term, salesperson, kPayments[rng.between(0, long(std::size(kPayments)) - 1)]});
        }
        s.partners = w.rows();
    }

    {
        RowWriter w(db, u"termekcsoport"_s, {u"id"_s, u"kod"_s, u"nev"_s, u"aktiv"_s});
        for (int c = 0; c < int(std::size(kCategories)); ++c)
            w.insert({c + 1, QString::fromUtf8(kCategories[c].code), QString::fromUtf8(kCategories[c].name), true});
        s.categories = w.rows();
    }

    // Products: every brand makes every item, at its own price.
    struct ProductInfo {
        double price;
        int vat;
        bool weighed;
    };
    std::vector<ProductInfo> products;
    {
        RowWriter w(db, u"termek"_s,
                    {u"id"_s, u"cikkszam"_s, u"nev"_s, u"termekcsoport_id"_s, u"mertekegyseg"_s, u"egysegar"_s,
                     u"afakulcs"_s, u"aktiv"_s});
        int id = 0;
        std::vector<int> perCategory(std::size(kCategories), 0);
        for (const Item& item : kItems) {
            for (const char* brand : kBrands) {
                ++id;
                const int seq = ++perCategory[item.category - 1];
                const double price = roundForint(item.price * (0.8 + 0.4 * rng.unit()));
                w.insert({id,
                          QStringLiteral("%1-%2").arg(QString::fromUtf8(kCategories[item.category - 1].code))
                              .arg(seq, 4, 10, QLatin1Char('0')),
                          QStringLiteral("%1 %2").arg(QString::fromUtf8(brand), QString::fromUtf8(item.name)),
                          item.category, QString::fromUtf8(item.unit), price, item.vat, rng.chance(0.95)});
                products.push_back({price, item.vat, qstrcmp(item.unit, "kg") == 0});
            }
        }
        s.products = w.rows();
    }

    // Invoices over three years, numbered per year in date order, to customers.
    std::vector<int> customers;
    for (int i = 0; i < int(partners.size()); ++i)
        if (partners[size_t(i)].customer)
            customers.push_back(i + 1);
    const int invoiceCount = 2000 * scale;
    std::vector<QDate> dates;
    dates.reserve(size_t(invoiceCount));
    const QDate first(2022, 1, 3), last(2024, 12, 31);
    const long span = first.daysTo(last);
    while (int(dates.size()) < invoiceCount) {
        const QDate d = first.addDays(rng.between(0, span));
        if (d.dayOfWeek() <= 5)
            dates.push_back(d);
    }
    std::sort(dates.begin(), dates.end());

    RowWriter inv(db, u"szamla"_s,
                  {u"id"_s, u"szamlaszam"_s, u"partner_id"_s, u"kelt"_s, u"hatarido"_s, u"fizetve"_s,
                   u"fizetes_datuma"_s, u"fizmod"_s, u"ertekesito_id"_s, u"sztornozott"_s, u"netto"_s, u"afa"_s,
                   u"brutto"_s});
    RowWriter lines(db, u"szamla_tetel"_s,
                    {u"id"_s, u"szamla_id"_s, u"sorszam"_s, u"termek_id"_s, u"mennyiseg"_s, u"egysegar"_s,
                     u"netto"_s, u"afakulcs"_s, u"brutto"_s});
    const QDate cutoff(2024, 11, 15);
    long lineId = 0;
    int year = 0, seq = 0;
    for (int i = 0; i < invoiceCount; ++i) {
        const int id = i + 1;
        const QDate issued = dates[size_t(i)];
        if (issued.year() != year) {
            year = issued.year();
            seq = 0;
        }
        const int partnerId = customers[size_t(rng.between(0, long(customers.size()) - 1))];
        const PartnerInfo& p = partners[size_t(partnerId - 1)];
        const QDate due = issued.addDays(p.terms);
        const bool paid = rng.chance(due < cutoff ? 0.96 : 0.4);
        QVariant paidOn;
        if (paid) {
            QDate d = issued.addDays(rng.between(0, p.terms + 10));
            if (d > demoNow().date())
                d = demoNow().date();
            paidOn = d;
        }
        const bool cancelled = rng.chance(0.01);
        double net = 0, gross = 0;
        const int lineCount = int(rng.between(1, 19));
        for (int l = 1; l <= lineCount; ++l) {
            const int productId = int(rng.between(1, long(products.size())));
            const ProductInfo& prod = products[size_t(productId - 1)];
            const double qty = prod.weighed ? double(rng.between(1, 100)) / 2.0 : double(rng.between(1, 48));
            static const double discounts[] = {0, 0, 0, 0.03, 0.05, 0.1};
            const double price = roundForint(prod.price * (1.0 - discounts[rng.between(0, 5)]));
            const double lineNet = roundForint(qty * price);
            const double lineGross = roundForint(lineNet * (100 + prod.vat) / 100.0);
            lines.insert({qint64(++lineId), id, l, productId, qty, price, lineNet, prod.vat, lineGross});
            net += lineNet;
            gross += lineGross;
        }
        const int salesperson = rng.chance(0.85) ? p.salesperson : kSalespeople[rng.between(0, 3)];
        inv.insert({id, QStringLiteral("SZ-%1/%2").arg(year).arg(++seq, 6, 10, QLatin1Char('0')), partnerId, issued,
                    due, paid, paidOn, QString::fromUtf8(p.payment), salesperson, cancelled, net, gross - net, gross});
    }
    s.invoices = inv.rows();
    s.lines = lines.rows();
    return s;
}

}  // namespace lg::demo
