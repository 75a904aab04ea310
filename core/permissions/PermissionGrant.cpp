#include "PermissionGrant.h"

#include <AuditEvents.h>
#include <Database.h>

#include <QHash>

#include <functional>

// Each write below is two round trips to a server: one batch with the BEGIN, the write, what the
// log row says (the permissions' names, what was held) and the log key's lock and head; then the
// log row, made from what that batch read, with the COMMIT.
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

// The work's batch with the log's head read at its end, then the row `entry` (completed by `read`
// from the batch's results) with the COMMIT. When anything fails, all is rolled back and the failed
// row written, as AuditLog::run does; `refused`, when given, runs first inside the transaction.
void logged(Database& db, const AuditContext& who, AuditEntry& entry, const QList<Database::Statement>& work,
            const std::function<void(const QList<Recordset>&)>& read, const std::function<void()>& refused = {})
{
    try {
        Database::Transaction t(db);
        QList<Recordset> got;
        try {
            got = db.batch(work + AuditLog::headStatements(db, entry.accId));
        } catch (const DbError&) {
            if (refused)
                refused();
            throw;
        }
        if (read)
            read(got);
        t.commit(AuditLog::rowStatements(db, who, entry, got.constLast()));
    } catch (const DbError& e) {
        AuditLog::record(db, who, entry.failed(e.reasonText()));
        throw;
    }
}
} // namespace

void PermissionGrant::save(Database& db, const GrantRequest& r, const AuditContext& who)
{
    if (r.authIds.isEmpty())
        return;
    const QStringList ids = distinctIds(r.authIds);
    // The names are read with the writes when there are few enough to list in one statement.
    const bool namesWithWrites = ids.size() <= kIdsPerStatement;
    QList<Database::Statement> work = grantStatements(r, ids);
    work.append(namesWithWrites ? namesStatement(ids) : Database::Statement{QStringLiteral("select cAuth_Id, cAuth_Name from SM_Auth"), {}});
    // A failed grant's row names the permissions by identifier alone.
    AuditEntry entry = Audit::granted(r.accId, r.year, r.member, r.authIds);
    logged(db, who, entry, work, [&](const QList<Recordset>& got) {
        entry = Audit::granted(r.accId, r.year, r.member, described(got.at(work.size() - 1), r.authIds));
    });
}

void PermissionGrant::setSupervisor(Database& db, const QString& accId, int year, const QString& member, const AuditContext& who)
{
    AuditEntry entry = Audit::supervisorSet(accId, year, member);
    logged(db, who, entry, {{QStringLiteral("insert or ignore into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values(?,?,?,'Admin')"),
                             {accId, year, member}}},
           {});
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
    // What is held is read in the batch that deletes it; when the delete is refused, the failed
    // row still lists what is held, read again after the savepoint.
    logged(
        db, who, entry,
        {{QStringLiteral("SAVEPOINT held"), {}}, held, {QStringLiteral("delete from SM_HoldAuth where cAcc_Id=? and cUser_Id=?"), {accId, member}},
         {QStringLiteral("RELEASE held"), {}}},
        [&](const QList<Recordset>& got) { entry = entryFor(idsOf(got.at(1))); },
        [&] {
            try {
                entry = entryFor(idsOf(db.batch({{QStringLiteral("ROLLBACK TO held"), {}}, held}).constLast()));
            } catch (const DbError&) {
                // The session is gone with the transaction: the row says nothing of what is held.
            }
        });
}
