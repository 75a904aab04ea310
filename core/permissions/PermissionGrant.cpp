#include "PermissionGrant.h"

#include <AuditEvents.h>
#include <Database.h>

#include <QHash>

// Each write below is one batch of statements (one round trip to a server, its BEGIN with it):
// what the log row says (the permissions' names, what was held) is read by the same batch that
// writes. AuditLog::run writes the row after the work, so the work completes the entry it was
// given; when the work fails, its failed row names the permissions by identifier alone.
namespace {
// Identifiers a statement lists at most, far below either engine's limit of values.
constexpr int kIdsPerStatement = 500;

QString marks(qsizetype n)
{
    return QStringList(n, QStringLiteral("?")).join(QLatin1Char(','));
}

// Each permission once, spelled as last asked: what a delete and an insert per permission in
// the order asked would leave (the key ignores case).
QStringList distinctIds(const QStringList& ids)
{
    QStringList out;
    for (auto it = ids.crbegin(); it != ids.crend(); ++it)
        if (!out.contains(*it, Qt::CaseInsensitive))
            out.prepend(*it);
    return out;
}

// The grant's rows: each permission deleted and added again, `kIdsPerStatement` at a time.
QList<Database::Statement> grantStatements(const GrantRequest& r, const QStringList& ids)
{
    QList<Database::Statement> out;
    for (qsizetype at = 0; at < ids.size(); at += kIdsPerStatement) {
        const QStringList part = ids.mid(at, kIdsPerStatement);
        QVariantList key{r.accId, r.year, r.member};
        QVariantList rows;
        for (const QString& id : part)
            rows << r.accId << r.year << r.member << id;
        out.append({QStringLiteral("delete from sm_holdauth where cAcc_Id=? and iYear=? and cUser_Id=? and cAuth_Id in (%1)").arg(marks(part.size())),
                    key + QVariantList(part.cbegin(), part.cend())});
        out.append({QStringLiteral("insert into sm_holdauth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ")
                         + QStringList(part.size(), QStringLiteral("(?,?,?,?)")).join(QLatin1Char(',')),
                    rows});
    }
    return out;
}

// The statement reading the permissions' names (the set of distinct identifiers).
Database::Statement namesStatement(const QStringList& ids)
{
    return {QStringLiteral("select cAuth_Id, cAuth_Name from SM_Auth where cAuth_Id in (%1)").arg(marks(ids.size())),
            QVariantList(ids.cbegin(), ids.cend())};
}

QStringList idsOf(Recordset rs)
{
    QStringList ids;
    for (; !rs.Eof(); rs.MoveNext())
        ids << rs.Fields(0).toString();
    return ids;
}

// "identifier name" of each permission asked, as the log names it.
QStringList described(Recordset names, const QStringList& asked)
{
    QHash<QString, QString> byId;
    for (; !names.Eof(); names.MoveNext())
        byId.insert(names.Fields(0).toString().toLower(), names.Fields(1).toString());
    QStringList out;
    for (const QString& id : asked) {
        const QString name = byId.value(id.toLower());
        out << (name.isEmpty() ? id : id + QLatin1Char(' ') + name);
    }
    return out;
}
} // namespace

void PermissionGrant::save(Database& db, const GrantRequest& r, const AuditContext& who)
{
    if (r.authIds.isEmpty())
        return;
    const QStringList ids = distinctIds(r.authIds);
    // The names are read with the writes when there are few enough to list in one statement.
    const bool namesWithWrites = ids.size() <= kIdsPerStatement;
    AuditEntry entry = Audit::granted(r.accId, r.year, r.member, r.authIds);
    AuditLog::run(db, who, entry, [&] {
        QList<Database::Statement> statements = grantStatements(r, ids);
        if (namesWithWrites)
            statements.append(namesStatement(ids));
        const QList<Recordset> got = db.batch(statements);
        const Recordset names = namesWithWrites ? got.last() : db.query(QStringLiteral("select cAuth_Id, cAuth_Name from SM_Auth"));
        entry = Audit::granted(r.accId, r.year, r.member, described(names, r.authIds));
    });
}

void PermissionGrant::setSupervisor(Database& db, const QString& accId, int year, const QString& member, const AuditContext& who)
{
    // The row says all before the write, so the write goes with the COMMIT: one round trip fewer.
    // A failure rolls both back and leaves the failed row, as AuditLog::run does.
    const AuditEntry entry = Audit::supervisorSet(accId, year, member);
    try {
        Database::Transaction t(db);
        AuditLog::write(db, who, entry);
        t.commit({{QStringLiteral("insert or ignore into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values(?,?,?,'Admin')"),
                   {accId, year, member}}});
    } catch (const DbError& e) {
        AuditLog::record(db, who, entry.failed(e.reasonText()));
        throw;
    }
}

void PermissionGrant::removeAll(Database& db, const QString& accId, int year, const QString& member, bool asSupervisor,
                                const AuditContext& who)
{
    const auto entryFor = [&](const QStringList& ids) {
        return asSupervisor ? Audit::supervisorRemoved(accId, year, member, ids) : Audit::revoked(accId, year, member, ids);
    };
    AuditEntry entry = entryFor({});
    const Database::Statement held{QStringLiteral("select distinct cAuth_Id from SM_HoldAuth where cAcc_Id=? and cUser_Id=? order by cAuth_Id"),
                                   {accId, member}};
    AuditLog::run(db, who, entry, [&] {
        // What is held is read in the batch that deletes it, for the log row; when the delete is
        // refused, the row of the failure still lists what is held (read again after the savepoint).
        try {
            const QList<Recordset> got = db.batch({{QStringLiteral("SAVEPOINT held"), {}},
                                                   held,
                                                   {QStringLiteral("delete from SM_HoldAuth where cAcc_Id=? and cUser_Id=?"), {accId, member}},
                                                   {QStringLiteral("RELEASE held"), {}}});
            entry = entryFor(idsOf(got.at(1)));
        } catch (const DbError&) {
            try {
                entry = entryFor(idsOf(db.batch({{QStringLiteral("ROLLBACK TO held"), {}}, held}).last()));
            } catch (const DbError&) {
                // The session is gone with the transaction: the row says nothing of what is held.
            }
            throw;
        }
    });
}
