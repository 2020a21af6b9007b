#include "pgcluster.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtCore/QUrl>

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace lg::test {

namespace {

constexpr int kPort = 5432;  // only names the socket file in our own folder
const char* const kUser = "listgen";

// The first of the candidate users that exists.
QString unprivilegedUser()
{
    for (const char* name : {"postgres", "nobody"})
        if (getpwnam(name))
            return QString::fromLatin1(name);
    return {};
}

QString shellQuote(const QString& s)
{
    QString q = s;
    q.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + q + u'\'';
}

}  // namespace

QString PgCluster::findServerBinaries()
{
    if (const char* env = std::getenv("LISTGEN_PG_BIN"); env && *env)
        return QString::fromLocal8Bit(env);
    const QDir lib(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (const QString& v : versions) {
        const QString bin = lib.filePath(v + QStringLiteral("/bin"));
        if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable() &&
            QFileInfo(bin + QStringLiteral("/pg_ctl")).isExecutable())
            return bin;
    }
    const QString initdb = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    const QString pgctl = QStandardPaths::findExecutable(QStringLiteral("pg_ctl"));
    if (!initdb.isEmpty() && !pgctl.isEmpty())
        return QFileInfo(QFileInfo(initdb).canonicalFilePath()).absolutePath();
    return {};
}

PgCluster& PgCluster::instance()
{
    static PgCluster cluster;
    return cluster;
}

PgCluster::PgCluster()
{
    m_bin = findServerBinaries();
    if (m_bin.isEmpty()) {
        m_reason = QStringLiteral("initdb and pg_ctl are not installed (package postgresql)");
        return;
    }
    m_available = start();
}

PgCluster::~PgCluster()
{
    stop();
}

bool PgCluster::start()
{
    // In memory where there is a tmpfs: the cluster is thrown away anyway,
    // and a busy disk would make its start slow.
    QString base = QDir::tempPath();
    if (const QFileInfo shm(QStringLiteral("/dev/shm")); shm.isDir() && shm.isWritable())
        base = shm.filePath();
    QByteArray pattern = base.toLocal8Bit() + "/lgpg-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        m_reason = QStringLiteral("cannot create a temporary folder");
        return false;
    }
    m_dir = QString::fromLocal8Bit(pattern);
    if (geteuid() == 0) {
        // The server refuses to run as root.
        m_runAs = unprivilegedUser();
        const passwd* pw = m_runAs.isEmpty() ? nullptr : getpwnam(m_runAs.toLocal8Bit().constData());
        if (!pw || chown(pattern.constData(), pw->pw_uid, pw->pw_gid) != 0) {
            m_reason = QStringLiteral("started as root and no unprivileged user to run the server as");
            return false;
        }
    }

    // A watcher removes the cluster when this process ends in any way: it
    // waits for the end of a pipe that only this process holds.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        m_reason = QStringLiteral("cannot create a pipe");
        return false;
    }
    const QString data = m_dir + QStringLiteral("/data");
    const QString asUser = m_runAs.isEmpty() ? QString() : QStringLiteral("runuser -u %1 -- ").arg(m_runAs);
    const QByteArray cleanup =
        QStringLiteral("cd / ; if [ -d %1 ]; then %2%3/pg_ctl -D %1 -m immediate stop >/dev/null 2>&1; fi; rm -rf %4")
            .arg(shellQuote(data), asUser, shellQuote(m_bin), shellQuote(m_dir))
            .toLocal8Bit();
    const pid_t watcher = fork();
    if (watcher == 0) {
        close(fds[1]);
        setsid();  // a Ctrl-C to the test's process group must not kill the watcher first
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        char c;
        while (read(fds[0], &c, 1) != 0) {
        }
        execl("/bin/sh", "sh", "-c", cleanup.constData(), static_cast<char*>(nullptr));
        _exit(1);
    }
    close(fds[0]);
    if (watcher < 0) {
        close(fds[1]);
        m_reason = QStringLiteral("cannot start the cleanup watcher");
        return false;
    }
    // fds[1] stays open (close-on-exec) for the life of this process.

    auto run = [&](const QString& program, const QStringList& args, QString* output) {
        QProcess p;
        p.setWorkingDirectory(m_dir);
        p.setProcessChannelMode(QProcess::MergedChannels);
        if (m_runAs.isEmpty()) {
            p.start(program, args);
        } else {
            p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), m_runAs, QStringLiteral("--"), program} + args);
        }
        const bool ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        *output = QString::fromLocal8Bit(p.readAll());
        return ok;
    };
    // initdb takes seconds on a busy machine; its result is kept once under
    // the tests' temporary folder and copied for each later program.
    QString templateDir;
    if (const char* tmp = std::getenv("LISTGEN_TEST_TMP"); tmp && *tmp) {
        QString key = m_bin;
        key.replace(u'/', u'_');
        templateDir = QString::fromLocal8Bit(tmp) + QStringLiteral("/pgtemplate") + key;
    }
    auto copy = [](const QString& from, const QString& to) {
        // cp -a keeps the owner and the folder's 0700 mode.
        return QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), from, to}) == 0;
    };
    QString out;
    const bool fromTemplate = !templateDir.isEmpty() && QFileInfo::exists(templateDir + QStringLiteral("/ready")) &&
                              copy(templateDir + QStringLiteral("/data"), data);
    if (!fromTemplate) {
        QDir(data).removeRecursively();
        if (!run(m_bin + QStringLiteral("/initdb"),
                 {QStringLiteral("-D"), data, QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-U"),
                  QString::fromLatin1(kUser), QStringLiteral("-E"), QStringLiteral("UTF8"),
                  QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--no-sync")},
                 &out)) {
            m_reason = QStringLiteral("initdb failed: ") + out.trimmed().right(400);
            return false;
        }
        if (!templateDir.isEmpty()) {
            // Built beside and renamed into place, so that programs running
            // in parallel never see half a template.
            const QString building = templateDir + QStringLiteral(".%1").arg(getpid());
            QDir().mkpath(building);
            if (copy(data, building + QStringLiteral("/data"))) {
                QFile ready(building + QStringLiteral("/ready"));
                ready.open(QIODevice::WriteOnly);
                ready.close();
                if (!QDir().rename(building, templateDir))
                    QDir(building).removeRecursively();
            } else {
                QDir(building).removeRecursively();
            }
        }
    }
    const QString options = QStringLiteral("-F -k %1 -p %2 -c listen_addresses='' -c synchronous_commit=off "
                                           "-c full_page_writes=off")
                                .arg(m_dir)
                                .arg(kPort);
    if (!run(m_bin + QStringLiteral("/pg_ctl"),
             {QStringLiteral("-D"), data, QStringLiteral("-l"), data + QStringLiteral("/server.log"),
              QStringLiteral("-w"), QStringLiteral("-o"), options, QStringLiteral("start")},
             &out)) {
        m_reason = QStringLiteral("the server did not start: ") + out.trimmed().right(400);
        return false;
    }
    return true;
}

void PgCluster::stop()
{
    if (m_dir.isEmpty())
        return;
    const QString data = m_dir + QStringLiteral("/data");
    if (QFileInfo::exists(data)) {
        QProcess p;
        p.setWorkingDirectory(QStringLiteral("/"));
        const QStringList args{QStringLiteral("-D"), data, QStringLiteral("-m"), QStringLiteral("immediate"),
                               QStringLiteral("stop")};
        if (m_runAs.isEmpty())
            p.start(m_bin + QStringLiteral("/pg_ctl"), args);
        else
            p.start(QStringLiteral("runuser"),
                    QStringList{QStringLiteral("-u"), m_runAs, QStringLiteral("--"), m_bin + QStringLiteral("/pg_ctl")} +
                        args);
        p.waitForFinished(30000);
    }
    QDir(m_dir).removeRecursively();
    m_dir.clear();
    m_available = false;
}

QString PgCluster::connectionString(const QString& dbname) const
{
    return QStringLiteral("host=%1 port=%2 user=%3 dbname=%4").arg(m_dir).arg(kPort).arg(QLatin1String(kUser), dbname);
}

QString PgCluster::uri(const QString& dbname) const
{
    // Built by concatenation: the encoded folder holds '%' signs.
    return QStringLiteral("postgresql://") + QLatin1String(kUser) + u'@' +
           QString::fromLatin1(QUrl::toPercentEncoding(m_dir)) + u':' + QString::number(kPort) + u'/' + dbname;
}

QString PgCluster::createDatabase(const QString& templateName)
{
    const QString name = QStringLiteral("t%1").arg(++m_databases);
    PgConnection admin(connectionString());
    // FILE_COPY: a copy of the files and one checkpoint, much cheaper here
    // (fsync is off) than writing every block of the template to the WAL.
    admin.exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2 ENCODING 'UTF8' STRATEGY FILE_COPY")
                   .arg(name, templateName.isEmpty() ? QStringLiteral("template0") : templateName));
    return name;
}

bool PgCluster::createNamedDatabase(const QString& name)
{
    PgConnection admin(connectionString());
    if (admin.value(QStringLiteral("SELECT count(*) FROM pg_database WHERE datname = '%1'").arg(name)) != u"0")
        return false;
    admin.exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8'").arg(name));
    return true;
}

PgConnection::PgConnection(const QString& conninfo)
{
    m_conn = PQconnectdb(conninfo.toUtf8().constData());
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const std::string message = PQerrorMessage(m_conn);
        PQfinish(m_conn);
        m_conn = nullptr;
        throw std::runtime_error("cannot connect: " + message);
    }
    PQsetClientEncoding(m_conn, "UTF8");
}

PgConnection::~PgConnection()
{
    if (m_conn)
        PQfinish(m_conn);
}

void PgConnection::exec(const QString& sql)
{
    PGresult* r = PQexec(m_conn, sql.toUtf8().constData());
    const ExecStatusType status = PQresultStatus(r);
    // A statement that is only a comment (a relation kept by the program) is empty.
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_EMPTY_QUERY) {
        const std::string message = std::string(PQresultErrorMessage(r)) + " in: " + sql.toStdString();
        PQclear(r);
        throw std::runtime_error(message);
    }
    PQclear(r);
}

QStringList PgConnection::rows(const QString& sql)
{
    PGresult* r = PQexecParams(m_conn, sql.toUtf8().constData(), 0, nullptr, nullptr, nullptr, nullptr, 0);
    if (PQresultStatus(r) != PGRES_TUPLES_OK) {
        const std::string message = std::string(PQresultErrorMessage(r)) + " in: " + sql.toStdString();
        PQclear(r);
        throw std::runtime_error(message);
    }
    QStringList out;
    for (int row = 0; row < PQntuples(r); ++row) {
        QStringList values;
        for (int col = 0; col < PQnfields(r); ++col)
            values << (PQgetisnull(r, row, col) ? QStringLiteral("NULL") : QString::fromUtf8(PQgetvalue(r, row, col)));
        out << values.join(u'|');
    }
    PQclear(r);
    return out;
}

QString PgConnection::value(const QString& sql)
{
    const QStringList r = rows(sql);
    return r.isEmpty() ? QString() : r.front().section(u'|', 0, 0);
}

}  // namespace lg::test
