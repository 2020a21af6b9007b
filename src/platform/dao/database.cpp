#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>

#include "dao_internal.h"
#include "pgsession.h"
#include "platform/jetsql/sqlitefunctions.h"
#include "platform/jetsql/translate.h"

namespace lg::dao {

// ---- statements -------------------------------------------------------------

Stmt& Stmt::operator=(Stmt&& o) noexcept
{
    if (this != &o) {
        release();
        m_owner = o.m_owner;
        m_stmt = o.m_stmt;
        m_sql = std::move(o.m_sql);
        o.m_owner = nullptr;
        o.m_stmt = nullptr;
    }
    return *this;
}

void Stmt::release()
{
    if (m_stmt) {
        if (m_owner)
            m_owner->giveBack(m_sql, m_stmt);
        else
            sqlite3_finalize(m_stmt);
    }
    m_stmt = nullptr;
    m_owner = nullptr;
}

Database::Impl::~Impl()
{
    for (auto& list : freeStatements)
        for (sqlite3_stmt* s : list)
            sqlite3_finalize(s);
    freeStatements.clear();
    if (db) {
        if (!sqlite3_get_autocommit(db))
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
    }
}

Stmt Database::Impl::prepare(const QByteArray& sql, const QString& source)
{
    auto it = freeStatements.find(sql);
    if (it != freeStatements.end() && !it->empty()) {
        sqlite3_stmt* s = it->back();
        it->pop_back();
        return Stmt(this, s, sql);
    }
    sqlite3_stmt* s = nullptr;
    const int rc = sqlite3_prepare_v3(db, sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &s, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(s);
        failSqlite(source, db, rc, sql);
    }
    if (!s)
        fail(source, daoerr::InvalidOperation, QStringLiteral("Invalid operation: the statement is empty."));
    return Stmt(this, s, sql);
}

void Database::Impl::giveBack(const QByteArray& sql, sqlite3_stmt* stmt)
{
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    auto& list = freeStatements[sql];
    // A few copies per text cover recordsets that are open side by side.
    if (list.size() < 4 && freeStatements.size() < 512)
        list.push_back(stmt);
    else
        sqlite3_finalize(stmt);
}

long Database::Impl::step(sqlite3_stmt* s, const QString& source)
{
    if (sqlite3_column_count(s) > 0 && sqlite3_stmt_readonly(s))
        fail(source, daoerr::CannotExecuteSelect, QStringLiteral("Cannot execute a select query."));
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_reset(s);
        fail(source, errnum::Database, message);
    }
    return long(sqlite3_changes(db));
}

void Database::Impl::restoreSync()
{
    const char* sql = bulkLoad ? "PRAGMA synchronous=OFF" : wal ? "PRAGMA synchronous=NORMAL" : "PRAGMA synchronous=FULL";
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

long Database::Impl::run(const QByteArray& sql, const QString& source)
{
    auto stepToEnd = [&](sqlite3_stmt* s) { return step(s, source); };
    // A single statement seen before runs from the cache.
    if (auto it = freeStatements.find(sql); it != freeStatements.end() && !it->empty()) {
        Stmt s = prepare(sql, source);
        return stepToEnd(s.get());
    }
    long changes = 0;
    const char* tail = sql.constData();
    const char* end = tail + sql.size();
    while (tail < end) {
        sqlite3_stmt* raw = nullptr;
        const char* next = nullptr;
        const int rc = sqlite3_prepare_v2(db, tail, int(end - tail), &raw, &next);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(raw);
            failSqlite(source, db, rc, sql);
        }
        const bool first = tail == sql.constData();
        tail = next;
        if (!raw)
            continue;  // blanks or a lone ';'
        while (tail < end && (QChar::isSpace(uchar(*tail)) || *tail == ';'))
            ++tail;
        // The only statement of the text goes to the cache; parts of a
        // several-statement text (DDL) are not worth keeping.
        Stmt s(first && tail == end ? this : nullptr, raw, sql);
        changes += stepToEnd(s.get());
    }
    return changes;
}

void Database::Impl::releaseCursors(bool all)
{
    for (Recordset::Impl* rs : recordsets)
        rs->releaseCursor(all);
}

// ---- schema ---------------------------------------------------------------------

const IndexInfo* TableInfo::index(const QString& jetName) const
{
    for (const IndexInfo& i : indexes)
        if (i.def.name.compare(jetName, Qt::CaseInsensitive) == 0)
            return &i;
    return nullptr;
}

int TableInfo::column(const QString& name) const
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

namespace {

QString textAt(sqlite3_stmt* s, int col)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, col)), sqlite3_column_bytes(s, col));
}

int declaredSize(const QString& declared)
{
    static const QRegularExpression re(QStringLiteral("\\(\\s*(\\d+)"));
    const auto m = re.match(declared);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// A column default as SQLite keeps it: a literal or an expression text.
Value parseDefault(const QString& text, FieldType type)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0)
        return Value();
    if (t.size() >= 2 && t.startsWith(QLatin1Char('\'')) && t.endsWith(QLatin1Char('\'')))
        return normalizeForType(Value(t.mid(1, t.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"))), type);
    bool ok = false;
    const qlonglong n = t.toLongLong(&ok);
    if (ok)
        return normalizeForType(Value(n), type);
    const double d = t.toDouble(&ok);
    if (ok)
        return normalizeForType(Value(d), type);
    return Value(t);
}

// Jet index names live in SQLite as "<table>:<name>" (index names are global there).
QString jetIndexName(const QString& table, const QString& sqliteName, bool isPrimaryAuto)
{
    if (isPrimaryAuto)
        return QStringLiteral("PrimaryKey");
    const QString prefix = table + QLatin1Char(':');
    if (sqliteName.startsWith(prefix, Qt::CaseInsensitive))
        return sqliteName.mid(prefix.size());
    return sqliteName;
}

}  // namespace

void Database::Impl::forgetSchema()
{
    tableInfos.clear();
    if (pg)
        pg->forgetSchema();
    else
        jetsql::forgetColumnTypes(db);
}

std::shared_ptr<const TableInfo> Database::Impl::tableInfo(const QString& name)
{
    if (pg)
        return pg->tableInfo(name);
    const QString key = name.toLower();
    if (auto it = tableInfos.constFind(key); it != tableInfos.constEnd())
        return *it;

    auto info = std::make_shared<TableInfo>();
    QString createSql;
    {
        Stmt s = prepare("SELECT type, name, sql FROM sqlite_master WHERE type IN ('table','view') AND name = ?1 "
                         "COLLATE NOCASE AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'");
        const QByteArray n = name.toUtf8();
        sqlite3_bind_text(s.get(), 1, n.constData(), int(n.size()), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(s.get());
        if (rc == SQLITE_DONE)
            return nullptr;
        if (rc != SQLITE_ROW)
            failSqlite(kDatabaseSource, db, rc);
        info->isView = textAt(s.get(), 0) == QLatin1String("view");
        info->name = textAt(s.get(), 1);
        createSql = textAt(s.get(), 2);
    }
    const QByteArray tableName = info->name.toUtf8();
    int rowidAlias = -1;
    {
        Stmt s = prepare("SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?1)");
        sqlite3_bind_text(s.get(), 1, tableName.constData(), int(tableName.size()), SQLITE_TRANSIENT);
        int pkCount = 0;
        int rc;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
            FieldDef f;
            f.name = textAt(s.get(), 0);
            const QString declared = textAt(s.get(), 1);
            f.type = jetsql::jetTypeFromDeclared(declared);
            if (f.type == FieldType::Text)
                f.size = declaredSize(declared) > 0 ? declaredSize(declared) : 255;
            else if (f.type == FieldType::Integer)  // a Byte field is an Integer of one byte
                f.size = declared.trimmed().startsWith(QLatin1String("BYTE"), Qt::CaseInsensitive) ? 1 : 2;
            else if (f.type == FieldType::Long)
                f.size = 4;
            f.required = sqlite3_column_int(s.get(), 2) != 0;
            if (sqlite3_column_type(s.get(), 3) != SQLITE_NULL)
                f.defaultValue = parseDefault(textAt(s.get(), 3), f.type);
            if (sqlite3_column_int(s.get(), 4) > 0) {
                ++pkCount;
                if (declared.trimmed().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                    rowidAlias = int(info->fields.size());
            }
            info->fields.append(f);
        }
        if (rc != SQLITE_DONE)
            failSqlite(kDatabaseSource, db, rc);
        if (pkCount != 1 || info->isView)
            rowidAlias = -1;
        info->rowidAlias = rowidAlias;
        if (rowidAlias >= 0 && createSql.contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive))
            info->fields[rowidAlias].type = FieldType::Counter;
    }
    if (!info->isView) {
        struct Listed {
            QString name;
            bool unique;
            bool pk;
        };
        QList<Listed> listed;
        {
            Stmt s = prepare("SELECT name, \"unique\", origin FROM pragma_index_list(?1) ORDER BY seq DESC");
            sqlite3_bind_text(s.get(), 1, tableName.constData(), int(tableName.size()), SQLITE_TRANSIENT);
            while (sqlite3_step(s.get()) == SQLITE_ROW)
                listed.append({textAt(s.get(), 0), sqlite3_column_int(s.get(), 1) != 0, textAt(s.get(), 2) == "pk"});
        }
        bool havePrimary = false;
        for (const Listed& l : listed) {
            IndexInfo idx;
            idx.def.name = jetIndexName(info->name, l.name, l.pk);
            idx.def.unique = l.unique;
            idx.def.primary = l.pk || idx.def.name.compare(QLatin1String("PrimaryKey"), Qt::CaseInsensitive) == 0;
            if (idx.def.primary && havePrimary)
                continue;  // a declared key and its explicit twin: show one
            Stmt s = prepare("SELECT cid, name, \"desc\" FROM pragma_index_xinfo(?1) WHERE key = 1 ORDER BY seqno");
            const QByteArray n = l.name.toUtf8();
            sqlite3_bind_text(s.get(), 1, n.constData(), int(n.size()), SQLITE_TRANSIENT);
            QStringList parts;
            bool usable = true;
            while (sqlite3_step(s.get()) == SQLITE_ROW) {
                const int cid = sqlite3_column_int(s.get(), 0);
                if (cid < 0) {
                    usable = false;  // an expression index cannot be sought
                    break;
                }
                const bool desc = sqlite3_column_int(s.get(), 2) != 0;
                idx.columns.append(cid);
                idx.descending.append(desc);
                parts.append((desc ? QLatin1Char('-') : QLatin1Char('+')) + textAt(s.get(), 1));
            }
            if (!usable || idx.columns.isEmpty())
                continue;
            idx.def.fields = parts.join(QLatin1Char(';'));
            havePrimary = havePrimary || idx.def.primary;
            info->indexes.append(idx);
        }
        if (!havePrimary && rowidAlias >= 0) {
            // An INTEGER PRIMARY KEY is the table's own order and has no index entry.
            IndexInfo idx;
            idx.def.name = QStringLiteral("PrimaryKey");
            idx.def.primary = true;
            idx.def.unique = true;
            idx.def.fields = QLatin1Char('+') + info->fields.at(rowidAlias).name;
            idx.columns.append(rowidAlias);
            idx.descending.append(false);
            info->indexes.prepend(idx);
        }
    }
    tableInfos.insert(key, info);
    return info;
}

// ---- public definitions ---------------------------------------------------------

QStringList IndexDef::fieldNames() const
{
    QStringList names;
    for (const QString& part : fields.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QString n = part.trimmed();
        if (n.startsWith(QLatin1Char('+')) || n.startsWith(QLatin1Char('-')))
            n.remove(0, 1);
        names.append(n);
    }
    return names;
}

const FieldDef* TableDef::field(const QString& n) const
{
    for (const FieldDef& f : fields)
        if (f.name.compare(n, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

const IndexDef* TableDef::index(const QString& n) const
{
    for (const IndexDef& i : indexes)
        if (i.name.compare(n, Qt::CaseInsensitive) == 0)
            return &i;
    return nullptr;
}

// ---- Database -----------------------------------------------------------------------

Database::Database() : d(std::make_unique<Impl>()) {}
Database::~Database() = default;

namespace {

QString pragmaText(sqlite3* db, const char* sql)
{
    sqlite3_stmt* s = nullptr;
    QString out;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))).toLower();
    sqlite3_finalize(s);
    return out;
}

}  // namespace

std::shared_ptr<Database> Database::open(const QString& path, const QString& password, int options)
{
    std::shared_ptr<Database> database(new Database());
    Impl& d = *database->d;
    d.path = path;
    d.password = password;
    if (isPostgresUri(path)) {
        d.pg = std::make_unique<PgSession>();
        d.pg->connect(path);
        // A database without tables is one this connection creates.
        d.created = d.pg->tableNames().isEmpty();
        return database;
    }
    const QByteArray native = path.toUtf8();
    const bool inMemory = path.isEmpty() || path == QLatin1String(":memory:");
    // A file that is missing or empty is a database this connection creates.
    const QFileInfo before(path);
    d.created = !inMemory && (!before.exists() || before.size() == 0);
    auto openFailed = [&](const QString& message) {
        fail(kDatabaseSource, errnum::Database, QStringLiteral("Cannot open the database '%1': %2").arg(path, message));
    };
    // One connection serves one thread at a time (the library's work runs on
    // the caller's thread): no connection mutex around every column read.
    int rc = sqlite3_open_v2(native.constData(), &d.db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK)
        openFailed(d.db ? QString::fromUtf8(sqlite3_errmsg(d.db)) : QString::fromUtf8(sqlite3_errstr(rc)));
    sqlite3_extended_result_codes(d.db, 1);
    sqlite3_busy_timeout(d.db, 5000);
    // A double-quoted word that names no column is an error, never a text:
    // Jet's texts are translated to SQL string literals before they get here.
    sqlite3_db_config(d.db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(d.db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    // The journal mode of a host's file stays the host's. A new file gets
    // write-ahead logging (readers and the writer of other processes do not
    // block each other) unless it is to stay one self-contained file.
    const bool wantWal = (options & dbOpenWriteAheadLog) || (d.created && !(options & dbOpenRollbackJournal));
    if (wantWal && !inMemory) {
        const QString mode = pragmaText(d.db, "PRAGMA journal_mode=WAL");
        if (mode != QLatin1String("wal"))
            openFailed(mode.isEmpty() ? QString::fromUtf8(sqlite3_errmsg(d.db))
                                      : QStringLiteral("cannot use write-ahead logging (journal mode %1)").arg(mode));
    }
    d.wal = pragmaText(d.db, "PRAGMA journal_mode") == QLatin1String("wal");
    // With WAL, NORMAL syncs at checkpoints and CommitTrans syncs its own
    // commit; a rollback journal keeps the full sync of every write.
    char* err = nullptr;
    rc = sqlite3_exec(d.db, d.wal ? "PRAGMA synchronous=NORMAL" : "PRAGMA synchronous=FULL", nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString message = QString::fromUtf8(err ? err : sqlite3_errstr(rc));
        sqlite3_free(err);
        openFailed(message);
    }
    jetsql::registerSqliteFunctions(d.db);
    return database;
}

bool Database::isUri(const QString& name)
{
    return isPostgresUri(name);
}

bool Database::exists(const QString& name)
{
    return isPostgresUri(name) || QFileInfo(name).isFile();
}

bool Database::created() const
{
    return d->created;
}

QString Database::journalMode() const
{
    if (d->pg)
        return QStringLiteral("postgresql");
    return pragmaText(d->db, "PRAGMA journal_mode");
}

QString Database::backendName()
{
    return QStringLiteral("SQLite");
}

QString Database::backendVersion()
{
    return QString::fromLatin1(sqlite3_libversion());
}

QString Database::Name() const
{
    return d->path;
}
QString Database::password() const
{
    return d->password;
}
long Database::RecordsAffected() const
{
    return d->recordsAffected;
}
int Database::transactionLevel() const
{
    return d->transactionLevel;
}

namespace {

// The name of each SQLite parameter of a translated statement ("" for positional).
QStringList parameterNames(const jetsql::Translation& translation)
{
    return translation.parameters;
}

}  // namespace

void Database::Impl::checkWritable(const QString& what) const
{
    if (snapshot)
        fail(kDatabaseSource, daoerr::InvalidOperation,
             QStringLiteral("Invalid operation: %1 while a read snapshot is held.").arg(what));
}

void Database::Execute(const QString& jetSql, int options)
{
    Execute(jetSql, Parameters(), options);
}

void Database::Execute(const QString& jetSql, const Parameters& parameters, int /*options*/)
{
    const auto translation = jetsql::translate(jetSql, dialect());
    using K = jetsql::StatementKind;
    if (translation->kind == K::Select)
        fail(kDatabaseSource, daoerr::CannotExecuteSelect, QStringLiteral("Cannot execute a select query."));
    d->checkWritable(QStringLiteral("a statement"));
    if (d->pg) {
        const bool dml =
            translation->kind == K::Insert || translation->kind == K::Update || translation->kind == K::Delete;
        if (!dml && !parameters.isEmpty())
            fail(kDatabaseSource, daoerr::InvalidOperation,
                 QStringLiteral("Invalid operation: a definition statement takes no parameters."));
        d->recordsAffected = 0;
        const PgParams values = pgParameters(translation->parameters, parameters, kDatabaseSource);
        if (!dml)
            d->forgetSchema();
        // Several DDL statements run as one: all of them or none.
        d->recordsAffected = d->pg->exec(translation->sql.toUtf8(), values).affected();
        if (!dml)
            d->forgetSchema();
        return;
    }
    // Outside a transaction, table cursors give up their read snapshot so the
    // write starts from the newest state of the file.
    if (d->transactionLevel == 0)
        d->releaseCursors(false);
    const QByteArray sql = translation->sql.toUtf8();
    const bool dml = translation->kind == K::Insert || translation->kind == K::Update || translation->kind == K::Delete;
    d->recordsAffected = 0;
    if (dml) {
        if (parameters.isEmpty() && translation->parameters.isEmpty()) {
            d->recordsAffected = d->run(sql);
            return;
        }
        Stmt s = d->prepare(sql);
        bindParameters(s.get(), parameterNames(*translation), parameters, kDatabaseSource);
        d->recordsAffected = d->step(s.get());
        return;
    }
    if (!parameters.isEmpty())
        fail(kDatabaseSource, daoerr::InvalidOperation,
             QStringLiteral("Invalid operation: a definition statement takes no parameters."));
    // DDL may come as several statements: all of them or none.
    d->forgetSchema();
    d->run("SAVEPOINT lg_execute");
    try {
        d->recordsAffected = d->run(sql);
    } catch (...) {
        sqlite3_exec(d->db, "ROLLBACK TO lg_execute; RELEASE lg_execute", nullptr, nullptr, nullptr);
        d->forgetSchema();
        throw;
    }
    d->run("RELEASE lg_execute");
    d->forgetSchema();
}

std::unique_ptr<PreparedStatement> Database::prepare(const QString& jetSql)
{
    const auto translation = jetsql::translate(jetSql, dialect());
    using K = jetsql::StatementKind;
    if (translation->kind != K::Insert && translation->kind != K::Update && translation->kind != K::Delete)
        fail(kDatabaseSource, daoerr::InvalidOperation,
             QStringLiteral("Invalid operation: only INSERT, UPDATE and DELETE can be prepared."));
    auto impl = std::make_unique<PreparedStatement::Impl>();
    impl->database = shared_from_this();
    impl->db = d.get();
    if (d->pg)
        impl->pgSql = translation->sql.toUtf8();
    else
        impl->stmt = d->prepare(translation->sql.toUtf8());
    impl->names = parameterNames(*translation);
    return std::unique_ptr<PreparedStatement>(new PreparedStatement(std::move(impl)));
}

namespace {
// "[name]" or a bare name that could be a table.
QString tableNameOf(const QString& source)
{
    const QString s = source.trimmed();
    if (s.size() > 2 && s.startsWith(QLatin1Char('[')) && s.endsWith(QLatin1Char(']')) &&
        s.indexOf(QLatin1Char(']')) == s.size() - 1)
        return s.mid(1, s.size() - 2);
    static const QRegularExpression bare(QStringLiteral("^[\\w$]+$"), QRegularExpression::UseUnicodePropertiesOption);
    return bare.match(s).hasMatch() ? s : QString();
}
}  // namespace

std::shared_ptr<Recordset> Database::OpenRecordset(const QString& jetSql, const Parameters& parameters,
                                                   RecordsetType type, int options)
{
    if (parameters.isEmpty())
        return OpenRecordset(jetSql, type, options);
    if (type == RecordsetType::Table)
        fail(kDatabaseSource, daoerr::InvalidOperation,
             QStringLiteral("Invalid operation: a table-type recordset needs a table name."));
    const auto translation = jetsql::translate(jetSql, dialect());
    using K = jetsql::StatementKind;
    if (translation->kind != K::Select && translation->kind != K::Other)
        fail(kDatabaseSource, daoerr::InvalidOperation,
             QStringLiteral("Invalid operation: only a select query returns records."));
    auto impl = d->pg ? makePgStatementRecordset(shared_from_this(), d.get(), translation->sql.toUtf8(),
                                                 pgParameters(translation->parameters, parameters, kDatabaseSource),
                                                 translation->columnNames, type == RecordsetType::ForwardOnly)
                      : makeStatementRecordset(shared_from_this(), d.get(), translation->sql.toUtf8(), type,
                                               parameterNames(*translation), parameters);
    if (options & dbReadOnly)
        impl->readOnly = true;
    return std::shared_ptr<Recordset>(new Recordset(std::move(impl)));
}

std::shared_ptr<Recordset> Database::OpenRecordset(const QString& source, RecordsetType type, int options)
{
    const QString tableName = tableNameOf(source);
    QString statement = source;
    if (!tableName.isEmpty()) {
        auto info = d->tableInfo(tableName);
        if (!info)
            fail(kDatabaseSource, daoerr::TableNotFound,
                 QStringLiteral("Cannot find the input table or query '%1'.").arg(tableName));
        if (!info->isView && (type == RecordsetType::Table || type == RecordsetType::Dynaset)) {
            auto impl = d->pg ? makePgTableRecordset(shared_from_this(), d.get(), info, options)
                              : makeTableRecordset(shared_from_this(), d.get(), info, options);
            return std::shared_ptr<Recordset>(new Recordset(std::move(impl)));
        }
        statement = QStringLiteral("SELECT * FROM [%1]").arg(info->name);
    } else if (type == RecordsetType::Table) {
        fail(kDatabaseSource, daoerr::InvalidOperation,
             QStringLiteral("Invalid operation: a table-type recordset needs a table name."));
    }
    const auto translation = jetsql::translate(statement, dialect());
    using K = jetsql::StatementKind;
    if (translation->kind != K::Select && translation->kind != K::Other)
        fail(kDatabaseSource, daoerr::InvalidOperation,
             QStringLiteral("Invalid operation: only a select query returns records."));
    // Markers without values fail as missing parameters.
    auto impl = d->pg ? makePgStatementRecordset(shared_from_this(), d.get(), translation->sql.toUtf8(),
                                                 pgParameters(translation->parameters, {}, kDatabaseSource),
                                                 translation->columnNames, type == RecordsetType::ForwardOnly)
                      : makeStatementRecordset(shared_from_this(), d.get(), translation->sql.toUtf8(), type,
                                               parameterNames(*translation), {});
    if (options & dbReadOnly)
        impl->readOnly = true;
    return std::shared_ptr<Recordset>(new Recordset(std::move(impl)));
}

QList<TableDef> Database::TableDefs() const
{
    QStringList names;
    if (d->pg) {
        names = d->pg->tableNames();
    } else {
        Stmt s = d->prepare("SELECT name FROM sqlite_master WHERE type IN ('table','view') "
                            "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name");
        while (sqlite3_step(s.get()) == SQLITE_ROW)
            names.append(textAt(s.get(), 0));
    }
    QList<TableDef> defs;
    for (const QString& n : names)
        defs.append(tableDef(n));
    return defs;
}

bool Database::hasTable(const QString& name) const
{
    return d->tableInfo(name) != nullptr;
}

TableDef Database::tableDef(const QString& name) const
{
    auto info = d->tableInfo(name);
    if (!info)
        fail(kDatabaseSource, daoerr::ItemNotFound,
             QStringLiteral("Item not found in this collection: '%1'.").arg(name));
    TableDef def;
    def.name = info->name;
    def.isQuery = info->isView;
    def.fields = info->fields;
    for (const IndexInfo& i : info->indexes)
        def.indexes.append(i.def);
    return def;
}

void Database::BeginTrans()
{
    d->checkWritable(QStringLiteral("a transaction"));
    if (d->pg) {
        d->pg->control(d->transactionLevel == 0 ? QByteArray("BEGIN")
                                                : "SAVEPOINT lg_trans_" + QByteArray::number(d->transactionLevel));
        ++d->transactionLevel;
        return;
    }
    if (d->transactionLevel == 0) {
        d->releaseCursors(false);
        // The sync level cannot change inside a transaction, so engine
        // transactions always commit as dbForceOSFlush asks (the library's
        // own commits all pass it); single statements outside a transaction
        // keep WAL's NORMAL level.
        if (d->wal && !d->bulkLoad)
            d->run("PRAGMA synchronous=FULL");
        // IMMEDIATE: the write lock is taken now, so a writer never finds its
        // read snapshot outdated half-way through.
        try {
            d->run("BEGIN IMMEDIATE");
        } catch (...) {
            d->restoreSync();
            throw;
        }
    } else {
        d->run("SAVEPOINT lg_trans_" + QByteArray::number(d->transactionLevel));
    }
    ++d->transactionLevel;
}

void Database::CommitTrans(int options)
{
    if (d->transactionLevel == 0)
        fail(kDatabaseSource, daoerr::CommitWithoutBegin,
             QStringLiteral("You tried to commit or rollback a transaction without first beginning a transaction."));
    if (d->transactionLevel > 1) {
        const QByteArray release = "RELEASE lg_trans_" + QByteArray::number(d->transactionLevel - 1);
        if (d->pg)
            d->pg->control(release);
        else
            d->run(release);
        --d->transactionLevel;
        return;
    }
    if (d->pg) {
        // A failed COMMIT has rolled back: the transaction is over either way.
        d->transactionLevel = 0;
        if (auto lost = std::exchange(d->pg->lostFailure, std::nullopt)) {
            PQclear(PQexec(d->pg->conn, "ROLLBACK"));
            throw *lost;
        }
        d->pg->control("COMMIT");
        return;
    }
    Q_UNUSED(options);  // transactions always commit with a full sync, see BeginTrans
    d->run("COMMIT");
    d->transactionLevel = 0;
    d->restoreSync();
    d->releaseCursors(false);
}

void Database::Rollback()
{
    if (d->transactionLevel == 0)
        fail(kDatabaseSource, daoerr::CommitWithoutBegin,
             QStringLiteral("You tried to commit or rollback a transaction without first beginning a transaction."));
    // Statements that read rows the rollback takes away would fail; they
    // find their place again on the next move.
    d->releaseCursors(true);
    if (d->pg) {
        // Rows gathered for COPY since the level began (BeginTrans sent the
        // earlier ones) are undone without being sent.
        for (PgCopy* c : std::exchange(d->pg->pendingCopies, {}))
            c->data.clear();
        if (d->transactionLevel > 1) {
            const QByteArray name = "lg_trans_" + QByteArray::number(d->transactionLevel - 1);
            --d->transactionLevel;
            d->pg->control("ROLLBACK TO SAVEPOINT " + name + "; RELEASE SAVEPOINT " + name);
        } else {
            d->transactionLevel = 0;
            d->pg->lostFailure.reset();
            d->pg->control("ROLLBACK");
        }
        d->forgetSchema();
        return;
    }
    if (d->transactionLevel > 1) {
        const QByteArray name = "lg_trans_" + QByteArray::number(d->transactionLevel - 1);
        d->run("ROLLBACK TO " + name + "; RELEASE " + name);
        --d->transactionLevel;
    } else {
        d->run("ROLLBACK");
        d->transactionLevel = 0;
        d->restoreSync();
    }
    d->forgetSchema();
}

jetsql::Dialect Database::dialect() const
{
    return d->pg ? jetsql::Dialect::PostgreSQL : jetsql::Dialect::SQLite;
}

bool Database::isPostgres() const
{
    return d->pg != nullptr;
}

void Database::Idle(int /*options*/)
{
    // Both dbFreeLocks and dbRefreshCache come down to holding no read
    // snapshot: table cursors and unread statements let theirs go.
    d->releaseCursors(false);
}

}  // namespace lg::dao
