#include "store/schema.h"

#include <QtCore/QFile>
#include <QtCore/QRegularExpression>

#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"

static void initStoreResources()
{
    Q_INIT_RESOURCE(store);
}

namespace lg::store {

namespace {

const QString kSource = QStringLiteral("vlqTabul2/schema/");

struct Statement {
    QString sql;
    QString onlyWhenMissing;  // install only when the host has no object of this name
};

QList<Statement> parseSchema()
{
    initStoreResources();
    QFile file(QStringLiteral(":/listgen/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(errnum::Internal, kSource, QStringLiteral("The schema resource is missing"));
    const QString text = QString::fromUtf8(file.readAll());

    static const QRegularExpression directive(QStringLiteral("^--\\s*when missing:\\s*(\\w+)\\s*$"));
    QList<Statement> statements;
    Statement current;
    QStringList lines;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1String("--"))) {
            const auto m = directive.match(line);
            if (m.hasMatch())
                current.onlyWhenMissing = m.captured(1);
            continue;
        }
        if (line.isEmpty())
            continue;
        lines << line;
        if (line.endsWith(QLatin1Char(';'))) {
            QString sql = lines.join(QLatin1Char(' '));
            sql.chop(1);
            current.sql = sql.trimmed();
            statements << current;
            current = Statement();
            lines.clear();
        }
    }
    if (!lines.isEmpty())
        throw RuntimeError(errnum::Internal, kSource, QStringLiteral("The schema ends inside a statement"));
    return statements;
}

SchemaObject objectOf(const QString& sql)
{
    static const QRegularExpression table(QStringLiteral("^CREATE\\s+TABLE\\s+(\\w+)"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression index(QStringLiteral("^CREATE\\s+(?:UNIQUE\\s+)?INDEX\\s+(\\w+)\\s+ON\\s+(\\w+)"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression view(QStringLiteral("^CREATE\\s+VIEW\\s+(\\w+)"),
                                         QRegularExpression::CaseInsensitiveOption);
    if (auto m = table.match(sql); m.hasMatch())
        return {SchemaObjectKind::Table, m.captured(1), {}};
    if (auto m = index.match(sql); m.hasMatch())
        return {SchemaObjectKind::Index, m.captured(1), m.captured(2)};
    if (auto m = view.match(sql); m.hasMatch())
        return {SchemaObjectKind::View, m.captured(1), {}};
    throw RuntimeError(errnum::Internal, kSource, QStringLiteral("Not a schema object: ") + sql.left(60));
}

bool exists(dao::Database& db, const SchemaObject& object)
{
    if (object.kind != SchemaObjectKind::Index)
        return db.hasTable(object.name);
    if (!db.hasTable(object.table))
        return false;
    return db.tableDef(object.table).index(object.name) != nullptr;
}

}  // namespace

QString SchemaObject::describe() const
{
    switch (kind) {
    case SchemaObjectKind::Table:
        return QStringLiteral("table ") + name;
    case SchemaObjectKind::View:
        return QStringLiteral("view ") + name;
    case SchemaObjectKind::Index:
        return QStringLiteral("index ") + name + QStringLiteral(" on ") + table;
    }
    return name;
}

QStringList schemaStatements()
{
    QStringList out;
    for (const Statement& s : parseSchema())
        out << s.sql;
    return out;
}

void installSchema(dao::Database& db, const InstallCallback& callback)
{
    const QList<Statement> statements = parseSchema();
    // Which host objects existed before: the defaults for users and groups are
    // only for a host that has no queries of its own.
    QHash<QString, bool> hadBefore;
    for (const Statement& s : statements)
        if (!s.onlyWhenMissing.isEmpty() && !hadBefore.contains(s.onlyWhenMissing))
            hadBefore.insert(s.onlyWhenMissing, db.hasTable(s.onlyWhenMissing));

    // All or nothing: a failure halfway (a full disk, a lost lock) must not
    // leave a store with some of its tables.
    dao::Transaction transaction(db);
    for (const Statement& s : statements) {
        const SchemaObject object = objectOf(s.sql);
        if (exists(db, object)) {
            if (callback)
                callback(object, InstallState::Present);
            continue;
        }
        if (!s.onlyWhenMissing.isEmpty() && hadBefore.value(s.onlyWhenMissing))
            continue;
        try {
            db.Execute(s.sql);
        } catch (RuntimeError& e) {
            e.setDescription(QStringLiteral("Cannot create ") + object.describe() + QStringLiteral(": ") +
                             e.description());
            throw;
        }
        if (callback)
            callback(object, InstallState::Created);
    }
    transaction.commit();
}

}  // namespace lg::store
