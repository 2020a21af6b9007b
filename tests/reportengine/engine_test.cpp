#include "platform/dao/dao.h"
#include "platform/safefile.h"
#include "reportengine/filedialogservice.h"
#include "reportengine/objectfactory.h"
#include "reportengine/reportengine.h"
#include "reportfixture.h"
#include "support/testsupport.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QScrollArea>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QToolButton>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <map>

using namespace lg::reportengine;

namespace {

const QString kStatement = QStringLiteral(
    "SELECT city AS RG1, partner AS RG2, item AS RF1, qty AS RF2, amount AS RF3, sold AS RF4, paid AS RF5 "
    "FROM sales ORDER BY city, partner, item");

struct Sale {
    QString city, partner, item;
    int qty;
    double amount;
    QDate sold;
    bool paid;
};

std::vector<Sale> sales()
{
    std::vector<Sale> s;
    const QStringList cities = {QString::fromUtf8("Budapest"), QString::fromUtf8("Győr"), QString::fromUtf8("Pécs")};
    int k = 0;
    for (const QString& c : cities)
        for (int p = 0; p < 3; ++p)
            for (int i = 0; i < 12; ++i, ++k)
                s.push_back({c, QStringLiteral("%1 Kft %2").arg(c.left(3)).arg(p), QStringLiteral("Áru %1").arg(k, 3, 10, QChar(u'0')),
                             i + 1, 1000.25 * (p + 1) + i, QDate(2024, 1 + k % 12, 1 + k % 28), k % 3 == 0});
    return s;
}

QString makeDatabase(const std::vector<Sale>& rows)
{
    const QString path = lg::test::tempPath(QStringLiteral("sales.db"));
    auto db = lg::dao::Database::open(path);
    db->Execute(QStringLiteral("CREATE TABLE sales (id COUNTER PRIMARY KEY, city TEXT(50), partner TEXT(50), "
                               "item TEXT(100), qty LONG, amount DOUBLE, sold DATETIME, paid YESNO)"));
    db->BeginTrans();
    for (const Sale& s : rows)
        db->Execute(QStringLiteral("INSERT INTO sales (city, partner, item, qty, amount, sold, paid) VALUES "
                                   "('%1', '%2', '%3', %4, %5, #%6#, %7)")
                        .arg(s.city, s.partner, s.item)
                        .arg(s.qty)
                        .arg(s.amount, 0, 'f', 2)
                        .arg(s.sold.toString(QStringLiteral("MM/dd/yyyy")))
                        .arg(s.paid ? -1 : 0));
    db->CommitTrans();
    return path;
}

QString writeReport(const lg::test::FixtureReport& fx)
{
    const QString path = lg::test::tempPath(QStringLiteral("REPORT42.XML"));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(lg::test::windows1250(lg::test::reportSourceText(fx)));
    return path;
}

std::unique_ptr<ReportEngine> newEngine(const QString& db, const QString& report, const QString& statement = kStatement)
{
    auto engine = lg::ObjectFactory::createAs<ReportEngine>(QStringLiteral("vLQVsView7.clsView"));
    EXPECT_TRUE(engine);
    engine->setProperty("ConnectionProvider", 1);
    engine->setProperty("DataBasePath", db);
    engine->setProperty("ExportButtonEnable", true);
    engine->setProperty("PrintButtonEnable", false);
    engine->setProperty("ReportFilePath", report);
    engine->AddNewDataSource(QStringLiteral("BROWSE"), statement);
    engine->AddStringParam(QStringLiteral("report_name"), QString::fromUtf8("Értékesítés városonként"));
    engine->AddStringParam(QStringLiteral("sub_report_name"), QString::fromUtf8("Értékesítés városonként"));
    engine->AddStringParam(QStringLiteral("filter_string"), QString::fromUtf8("Dátum 2024-ben"));
    engine->setProperty("PrintCopies", 1);
    engine->setNow(QDateTime(QDate(2024, 6, 1), QTime(12, 0, 0)));
    return engine;
}

QString pdfText(const QString& pdf)
{
    const auto r = lg::test::runProgram(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return r.out;
}

QString pdfInfo(const QString& pdf) { return lg::test::runProgram(QStringLiteral("pdfinfo"), {pdf}).out; }

QSizeF pdfPageSize(const QString& pdf)
{
    const auto m = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)")).match(pdfInfo(pdf));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

int pdfPages(const QString& pdf)
{
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(pdfInfo(pdf));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString money(double v)
{
    QString s = QString::number(v, 'f', 2).replace(u'.', u',');
    const qsizetype comma = s.indexOf(u',');
    for (qsizetype i = comma - 3; i > 0; i -= 3)
        s.insert(i, u' ');
    return s;
}

QString unzip(const QString& zip, const QString& member)
{
    return lg::test::runProgram(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, member}).out;
}

}  // namespace

TEST(ReportEngine, FactoryCreatesTheEngineByName)
{
    EXPECT_TRUE(lg::ObjectFactory::createAs<ReportEngine>(QStringLiteral("vLQVsView7.clsView")));
    EXPECT_TRUE(lg::ObjectFactory::create(QStringLiteral("vlqvsview7.CLSVIEW")));
    EXPECT_FALSE(lg::ObjectFactory::create(QStringLiteral("vLQVsView7.noSuchClass")));
    EXPECT_FALSE(lg::ObjectFactory::create(QString()));
}

TEST(ReportEngine, InitFailsWithAReasonAndNeverThrows)
{
    const QString db = makeDatabase(sales());
    const QString report = writeReport(lg::test::salesReport());

    auto missingFile = newEngine(db, report + QStringLiteral(".missing"));
    EXPECT_FALSE(missingFile->InitReportEngine());
    EXPECT_TRUE(missingFile->LastError().contains(QStringLiteral(".missing")));

    const QString broken = lg::test::tempPath(QStringLiteral("broken.xml"));
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\" encoding=\"windows-1250\" ?>\r\n<Reports>\r\n<Report>\r\n<Fields>\r\n</Report>\r\n");
    }
    auto malformed = newEngine(db, broken);
    EXPECT_FALSE(malformed->InitReportEngine());
    EXPECT_TRUE(malformed->LastError().contains(QStringLiteral("line 5"))) << malformed->LastError().toStdString();

    auto rejected = newEngine(db, report, QStringLiteral("SELECT * FROM no_such_table"));
    EXPECT_FALSE(rejected->InitReportEngine());
    EXPECT_FALSE(rejected->LastError().isEmpty());

    auto wrongColumns = newEngine(db, report, QStringLiteral("SELECT city AS RG1 FROM sales"));
    EXPECT_FALSE(wrongColumns->InitReportEngine());
    EXPECT_TRUE(wrongColumns->LastError().contains(QStringLiteral("RG2")));

    auto noDb = newEngine(lg::test::tempPath(QStringLiteral("none.db")), report);
    EXPECT_FALSE(noDb->InitReportEngine());
    EXPECT_FALSE(QFileInfo::exists(lg::test::tempPath(QStringLiteral("none.db"))));

    // The password form of the path opens the same file.
    auto withPassword = newEngine(db + QStringLiteral(";Jet OLEDB:Database Password=titok;"), report);
    EXPECT_TRUE(withPassword->InitReportEngine()) << withPassword->LastError().toStdString();
}

TEST(ReportEngine, RendersPdfWithGroupsTotalsAndPageCount)
{
    const auto data = sales();
    const QString db = makeDatabase(data);
    auto engine = newEngine(db, writeReport(lg::test::salesReport()));
    ASSERT_TRUE(engine->InitReportEngine()) << engine->LastError().toStdString();

    auto dialog = std::make_shared<ScriptedFileDialog>();
    const QString pdf = lg::test::tempPath(QStringLiteral("list.pdf"));
    dialog->answers << pdf;
    engine->setFileDialogService(dialog);
    ASSERT_TRUE(engine->RiportRenderToFile()) << engine->LastError().toStdString();
    EXPECT_EQ(dialog->captionsAsked.size(), 1);

    const int pages = pdfPages(pdf);
    ASSERT_GE(pages, 2);
    EXPECT_EQ(engine->document()->pageCount(), pages);
    const QString text = pdfText(pdf).replace(QChar(0x00A0), u' ');
    EXPECT_EQ(text.count(QString::fromUtf8("Értékesítés városonként")), pages + 1);  // title + every page header
    EXPECT_EQ(text.count(QString::fromUtf8("Dátum 2024-ben")), 1);
    EXPECT_EQ(text.count(QString::fromUtf8("Mennyiség")), pages);
    EXPECT_EQ(text.count(QString::fromUtf8("Oldalszám:")), pages);
    for (int p = 1; p <= pages; ++p)
        EXPECT_TRUE(text.contains(QString::fromUtf8("Oldalszám: %1 / %2").arg(pages).arg(p))) << p;
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("Nyomtatva:\\s+2024.06.01.12:00:00"))), pages);
    EXPECT_TRUE(text.contains(QString::fromUtf8("Város: Győr")));

    // Totals computed here, independently of the engine.
    std::map<QString, double> byCity, byPartner;
    double total = 0;
    for (const Sale& s : data) {
        byCity[s.city] += s.amount;
        byPartner[s.partner] += s.amount;
        total += s.amount;
    }
    for (const auto& [partner, sum] : byPartner) {
        const QRegularExpression line(QRegularExpression::escape(partner + QString::fromUtf8(" összesen:")) +
                                      QStringLiteral("\\s+12\\s+") + QRegularExpression::escape(money(sum)));
        EXPECT_TRUE(line.match(text).hasMatch()) << partner.toStdString() << " " << money(sum).toStdString();
    }
    for (const auto& [city, sum] : byCity) {
        const QRegularExpression line(QRegularExpression::escape(city + QString::fromUtf8(" összesen:")) +
                                      QStringLiteral("\\s+36\\s+") + QRegularExpression::escape(money(sum)));
        EXPECT_TRUE(line.match(text).hasMatch()) << city.toStdString();
    }
    const QRegularExpression grand(QString::fromUtf8("Mindösszesen:\\s+108\\s+") + QRegularExpression::escape(money(total)));
    EXPECT_TRUE(grand.match(text).hasMatch()) << text.right(600).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("2024.02.02")));  // a date in its format
    EXPECT_NEAR(pdfPageSize(pdf).width(), 595.3, 1.0);  // A4 portrait, in points
    EXPECT_NEAR(pdfPageSize(pdf).height(), 841.9, 1.0);
}

TEST(ReportEngine, LandscapeHiddenDetailHtmlAndXlsx)
{
    const auto data = sales();
    const QString db = makeDatabase(data);
    auto fx = lg::test::salesReport(true, true);
    fx.columns.pop_back();  // no RF6 in the statement
    auto engine = newEngine(db, writeReport(fx));
    ASSERT_TRUE(engine->InitReportEngine()) << engine->LastError().toStdString();
    auto dialog = std::make_shared<ScriptedFileDialog>();
    const QString pdf = lg::test::tempPath(QStringLiteral("land.pdf"));
    const QString html = lg::test::tempPath(QStringLiteral("land.html"));
    const QString xlsx = lg::test::tempPath(QStringLiteral("land.xlsx"));
    dialog->answers << pdf << html << xlsx << QString() << lg::test::tempPath(QStringLiteral("x.doc"));
    engine->setFileDialogService(dialog);

    ASSERT_TRUE(engine->RiportRenderToFile());
    EXPECT_NEAR(pdfPageSize(pdf).width(), 841.9, 1.0);  // A4 landscape
    const QString text = pdfText(pdf);
    EXPECT_FALSE(text.contains(QStringLiteral("Áru 001")));  // detail hidden
    EXPECT_TRUE(text.contains(QString::fromUtf8("Mindösszesen:")));

    ASSERT_TRUE(engine->RiportRenderToFile()) << engine->LastError().toStdString();
    QFile h(html);
    ASSERT_TRUE(h.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(h.readAll());
    EXPECT_EQ(page.count(QStringLiteral("class=\"page\"")), pdfPages(pdf));
    EXPECT_EQ(page.count(QString::fromUtf8("Oldalszám:")), pdfPages(pdf));  // page footers are kept

    ASSERT_TRUE(engine->RiportRenderToFile()) << engine->LastError().toStdString();
    const QString sheet = unzip(xlsx, QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_EQ(sheet.count(QStringLiteral("<row ")), 1 + static_cast<int>(data.size()));
    const QString shared = unzip(xlsx, QStringLiteral("xl/sharedStrings.xml")) + sheet;
    EXPECT_TRUE(shared.contains(QString::fromUtf8("Összeg")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("t=\"b\"")));  // Yes/No as Boolean cells

    EXPECT_FALSE(engine->RiportRenderToFile());  // cancelled
    EXPECT_TRUE(engine->LastError().isEmpty());
    EXPECT_FALSE(engine->RiportRenderToFile());  // unknown type
    EXPECT_FALSE(engine->LastError().isEmpty());
}

TEST(ReportEngine, PreviewNavigatesAndOffersOnlyAllowedButtons)
{
    const QString db = makeDatabase(sales());
    auto engine = newEngine(db, writeReport(lg::test::salesReport()));
    ASSERT_TRUE(engine->InitReportEngine());
    engine->ShowReport(true);
    QPointer<ReportPreview> w = engine->previewWindow();
    ASSERT_TRUE(w);
    engine.reset();  // the window outlives the engine object
    ASSERT_TRUE(w);
    EXPECT_GE(w->pageCount(), 2);
    EXPECT_FALSE(w->printButton()->isVisibleTo(w));
    EXPECT_TRUE(w->exportButton()->isVisibleTo(w));
    const QImage first = w->pageImage();
    w->setPage(w->pageCount());
    EXPECT_EQ(w->currentPage(), w->pageCount());
    EXPECT_NE(w->pageImage(), first);
    w->setPage(1000);
    EXPECT_EQ(w->currentPage(), w->pageCount());
    const QSize before = w->pageImage().size();
    w->setZoom(2.0);
    EXPECT_NEAR(w->pageImage().width(), before.width() * 2, 2);
    w->close();
}

TEST(ReportEngine, PrintsToAPrinter)
{
    const QString db = makeDatabase(sales());
    auto engine = newEngine(db, writeReport(lg::test::salesReport()));
    ASSERT_TRUE(engine->InitReportEngine());
    engine->setProperty("PrintCopies", 2);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString out = lg::test::tempPath(QStringLiteral("printed.pdf"));
    printer.setOutputFileName(out);
    ASSERT_TRUE(engine->PrintReport(&printer)) << engine->LastError().toStdString();
    EXPECT_EQ(printer.copyCount(), 2);
    EXPECT_EQ(pdfPages(out), engine->document()->pageCount());
    EXPECT_TRUE(pdfText(out).contains(QString::fromUtf8("Mindösszesen:")));
}

TEST(ReportEngine, UnwritableTargetsFailAndKeepExistingFiles)
{
    const QString db = makeDatabase(sales());
    auto engine = newEngine(db, writeReport(lg::test::salesReport()));
    ASSERT_TRUE(engine->InitReportEngine());
    QString error;
    EXPECT_FALSE(renderToFile(*engine->document(), QStringLiteral("/nonexistent/dir/a.pdf"), error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(renderToFile(*engine->document(), QStringLiteral("/nonexistent/dir/a.xlsx"), error));
    EXPECT_FALSE(renderToFile(*engine->document(), lg::test::tempDir(), error));  // a folder, not a file
}

TEST(ReportEngine, PdfTextIsSearchableAndTitledWithTheListName)
{
    auto data = sales();
    data[0].item = QString::fromUtf8("fizetési felszólítás");
    data[1].item = QString::fromUtf8("official fiók");
    auto engine = newEngine(makeDatabase(data), writeReport(lg::test::salesReport()));
    ASSERT_TRUE(engine->InitReportEngine()) << engine->LastError().toStdString();
    const QString pdf = lg::test::tempPath(QStringLiteral("search.pdf"));
    QString error;
    ASSERT_TRUE(engine->document()->renderPdf(pdf, error)) << error.toStdString();
    // Without -layout: the words as a reader's search sees them.
    const auto r = lg::test::runProgram(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    EXPECT_TRUE(r.out.contains(QString::fromUtf8("fizetési felszólítás")));
    EXPECT_TRUE(r.out.contains(QString::fromUtf8("official fiók")));
    EXPECT_FALSE(r.out.contains(QChar(0xFB01)));  // no "fi" ligature glyph
    EXPECT_TRUE(pdfInfo(pdf).contains(QRegularExpression(QString::fromUtf8("Title:\\s+Értékesítés városonként\\n"))))
        << pdfInfo(pdf).toStdString();
}

TEST(ReportEngine, EveryOutputKeepsAnEarlierFileWhenItFails)
{
    const QString db = makeDatabase(sales());
    const QString report = writeReport(lg::test::salesReport());
    auto engine = newEngine(db, report);
    ASSERT_TRUE(engine->InitReportEngine());
    const QString dir = lg::test::tempDir();
    for (const QString& name : {QStringLiteral("a.pdf"), QStringLiteral("a.html"), QStringLiteral("a.xlsx")}) {
        const QString path = dir + u'/' + name;
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("earlier");
        }
        lg::detail::setSafeFileRename([](const char*, const char*) {
            errno = EIO;
            return -1;
        });
        QString error;
        const bool ok = renderToFile(*engine->document(), path, error);
        lg::detail::setSafeFileRename(nullptr);
        EXPECT_FALSE(ok) << name.toStdString();
        EXPECT_TRUE(error.contains(name)) << error.toStdString();
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), "earlier") << name.toStdString();
    }
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 3) << "no temporary files left";

    // The database being read and the report source in use are never
    // replaced, however their names are spelt.
    const QByteArray reportBytes = [&] {
        QFile f(report);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QString error;
    const QString dbElsewhere = QFileInfo(db).absolutePath() + QStringLiteral("/./") + QFileInfo(db).fileName();
    EXPECT_FALSE(engine->document()->renderPdf(dbElsewhere, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(engine->document()->renderHtml(report, error));
    EXPECT_FALSE(engine->document()->renderXlsx(report, error));
    QFile r(report);
    ASSERT_TRUE(r.open(QIODevice::ReadOnly));
    EXPECT_EQ(r.readAll(), reportBytes);
    auto again = newEngine(db, report);
    EXPECT_TRUE(again->InitReportEngine()) << again->LastError().toStdString();
    // And a file the caller names.
    const QString other = dir + QStringLiteral("/a.pdf");
    EXPECT_FALSE(renderToFile(*engine->document(), other, error, {other}));
}

TEST(ReportEngine, PreviewFitsThePageToTheWindowWidth)
{
    auto fx = lg::test::salesReport(true);
    fx.columns.pop_back();  // no RF6 in the statement
    auto engine = newEngine(makeDatabase(sales()), writeReport(fx));
    ASSERT_TRUE(engine->InitReportEngine()) << engine->LastError().toStdString();
    engine->ShowReport(true);
    QPointer<ReportPreview> w = engine->previewWindow();
    ASSERT_TRUE(w);
    w->resize(700, 600);
    w->setFitToWidth(true);
    EXPECT_TRUE(w->fitsToWidth());
    auto* scroll = w->findChild<QScrollArea*>();
    ASSERT_TRUE(scroll);
    auto fitted = [&] {
        const int viewport = scroll->viewport()->width();
        const int page = w->pageImage().width();
        EXPECT_LE(page, viewport) << "the page is wider than the window";
        EXPECT_GE(page, viewport - scroll->verticalScrollBar()->sizeHint().width() - 20) << "the page is far narrower";
    };
    fitted();
    w->resize(1100, 600);  // stays fitted when the window changes
    QCoreApplication::processEvents();
    fitted();
    const double wide = w->zoom();
    w->setZoom(1.0);  // a zoom step leaves fitting
    EXPECT_FALSE(w->fitsToWidth());
    w->resize(800, 600);
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(w->zoom(), 1.0);
    EXPECT_GT(wide, ReportPreview::fitWidthZoom(16838, 700));
    EXPECT_NEAR(ReportPreview::fitWidthZoom(11906, 810, 8), (810 - 16) / (11906 * 96.0 / 1440), 1e-9);
    w->close();
}

TEST(ReportEngine, PageCountMatchesThePagesDrawnWhileAnotherConnectionWrites)
{
    const QString db = makeDatabase(sales());
    auto engine = newEngine(db, writeReport(lg::test::salesReport()));
    ASSERT_TRUE(engine->InitReportEngine()) << engine->LastError().toStdString();

    // Another connection adds rows for as long as the report is being made;
    // each of its commits would add pages to a pass that saw it.
    std::atomic<bool> stop{false};
    std::atomic<int> inserted{0};
    std::thread writer([&] {
        auto other = lg::dao::Database::open(db);
        for (int i = 0; i < 5000 && !stop; ++i) {
            other->Execute(QStringLiteral("INSERT INTO sales (city, partner, item, qty, amount, sold, paid) "
                                          "VALUES ('Zalaegerszeg', 'Zala Kft', ?, 1, 1, #1/2/2024#, 0)"),
                           QVariantList{QStringLiteral("Új áru %1").arg(i)});
            ++inserted;
        }
    });
    while (inserted < 50)
        std::this_thread::yield();

    auto dialog = std::make_shared<ScriptedFileDialog>();
    const QString pdf = lg::test::tempPath(QStringLiteral("busy.pdf"));
    dialog->answers << pdf;
    engine->setFileDialogService(dialog);
    const bool rendered = engine->RiportRenderToFile();
    stop = true;
    writer.join();
    ASSERT_TRUE(rendered) << engine->LastError().toStdString();

    const int pages = pdfPages(pdf);
    ASSERT_GE(pages, 2);
    const QString text = pdfText(pdf);
    const QRegularExpression footer(QString::fromUtf8("Oldalszám: (\\d+) / \\d+"));
    for (auto it = footer.globalMatch(text); it.hasNext();)
        EXPECT_EQ(it.next().captured(1).toInt(), pages);
}
