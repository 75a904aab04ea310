#include "AccountImporter.h"
#include "BackupSet.h"
#include "Manifest.h"
#include "SealedStream.h"
#include "WorkLock.h"

#include <AccountDb.h>
#include <AccountExporter.h>
#include <BooksLock.h>
#include <BooksTransfer.h>
#include <AuditEvents.h>
#include <CiFile.h>
#include <PasswordHash.h>
#include <Database.h>
#include <ErrLog.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {
const QString kRoutine = QStringLiteral("Timer1_Timer");
const QString kImp = QStringLiteral("imp");
const QString kCrLf = QStringLiteral("\r\n");

// In the year folder during an import: the checked copy before it is renamed into place, and the
// old books while the new ones are merged. Hidden, so that nothing lists them as books.
const QString kCopyName = QStringLiteral(".KdData.mdb.import");
const QString kAsideName = QStringLiteral(".KdData.mdb.replaced");
// Copies left by imports of earlier versions, which named them after the process.
const QRegularExpression kStaleCopy(QStringLiteral("^\\.kddata\\.mdb\\.([0-9]+\\.)?import$"), QRegularExpression::CaseInsensitiveOption);
// Beside the system database while an import is under way: the year folder it works in. Written
// before the first file is made and removed after the last is settled, so a crash in between is
// found on the next start.
const QString kPendingName = QStringLiteral("KdErpImp.pending");
// Made in the copy before it replaces the books and dropped by the merge in its transaction: books
// that still hold it were never committed.
const QString kPendingTable = QStringLiteral("KdImportPending");
// The account database's own tables: a data file without them is not the books of a set.
const QStringList kBooksTables = {QStringLiteral("AccInformation"), QStringLiteral("GradeDef"), QStringLiteral("code")};

const QStringList kAccountColumns = {
    QStringLiteral("iSysID"), QStringLiteral("cAcc_Id"), QStringLiteral("cAcc_Name"), QStringLiteral("cAcc_Path"),
    QStringLiteral("iYear"), QStringLiteral("iMonth"), QStringLiteral("cAcc_Master"), QStringLiteral("cCurCode"),
    QStringLiteral("cCurName"), QStringLiteral("cUnitName"), QStringLiteral("cUnitAbbre"), QStringLiteral("cUnitAddr"),
    QStringLiteral("cUnitZap"), QStringLiteral("cUnitTel"), QStringLiteral("cUnitFax"), QStringLiteral("cUnitEMail"),
    QStringLiteral("cUnitTaxNo"), QStringLiteral("cUnitLP"), QStringLiteral("cFinKind"), QStringLiteral("cFinType"),
    QStringLiteral("cEntType"), QStringLiteral("cTradeKind"),
};

// The transfer tables that the restored account database loses; SM_Auth_Ex stays in it.
const char* const kDropped[] = {
    "SM_Account_Ex", "SM_Period_Ex", "SM_User_Ex", "SM_HoldAuth_Ex", "SM_Account_sub_Ex", "SM_Log_Ex",
    "SM_Group_Ex", "SM_Role_Ex", "SM_FlowItems_Ex", "SM_FlowLines_Ex", "SM_Identity_Ex",
};

// Modules whose use date is cleared in the set's 9999 rows.
const char* const kClearedModules[] = {"PS", "PG", "DA", "DG", "SG"};

// One of the import's own sentences in both forms: the refusal's or failure's log row keeps the
// Chinese, the person is shown it in the console's language.
template <typename... Args>
Words said(const char* source, const Args&... args)
{
    return Words::of("AccountImporter", source, args...);
}
// A sentence with more after it (a path, the cause on a line of its own).
Words operator+(const Words& a, const Words& b)
{
    return {a.stored + b.stored, a.shown + b.shown};
}
Words operator+(const Words& a, const QString& same)
{
    return {a.stored + same, a.shown + same};
}
// The engine's failure as the person is told it, and in Chinese for the logs.
Words engineWords(const DbError& e)
{
    return {e.reasonText(), e.userText()};
}

QString columnList(const QStringList& columns, const QString& alias = QString())
{
    QStringList out;
    for (const QString& c : columns)
        out << (alias.isEmpty() ? c : alias + QLatin1Char('.') + c);
    return out.join(QLatin1Char(','));
}

// The merge's statements on the system database with the copy attached as "imp". A statement
// that reads a transfer table the backup set lacks (an export step that failed) is skipped with
// a log entry; every other failure, a changed layout or a misspelt column included, stops the
// merge, which is then rolled back whole.
struct Merge {
    Database& db;
    QSet<QString> present;  // the copy's tables, in lower case
    QStringList ignored;    // "SM_HoldAuth_Ex 2行": rows of the backup set that belong to no part of this set and year
    QStringList missingRoles;  // roles holding rights in the set that this installation does not have

    bool has(const QString& table) const { return present.contains(table.toLower()); }
    void run(const QString& sql, const QVariantList& params = {}) { db.execute(sql, params); }
    void from(const QString& table, const QString& sql, const QVariantList& params = {})
    {
        if (!has(table)) {
            WriteErrLog(1, QStringLiteral("备份中没有表 %1，跳过：%2").arg(table, sql), kRoutine); // not translated: the error log
            return;
        }
        db.execute(sql, params);
    }
    // Counts the rows of `table` outside `mine` (the imported set and year), which the merge leaves out.
    void countOthers(const QString& table, const QString& mine, const QVariantList& params)
    {
        if (!has(table))
            return;
        const qint64 n = db.scalar(QStringLiteral("SELECT coalesce(sum(CASE WHEN %1 THEN 0 ELSE 1 END),0) FROM %2.%3")
                                       .arg(mine, kImp, table), params).toLongLong();
        if (n > 0)
            ignored << QStringLiteral("%1 %2行").arg(table).arg(n); // not translated: a stored detail
    }
};

// Rows of a table without a key: those not already there, compared column by column (Null
// equals Null), so importing a set again does not double them. `mine` limits them to the imported
// set (a condition on "old", with its bound values).
void insertMissing(Merge& m, const QString& table, const QStringList& columns, const QString& mine, const QVariantList& params)
{
    // "IS" is SQLite's null-safe equality; the server spells it out.
    const QString is = m.db.engine() == Engine::PostgreSQL ? QStringLiteral("IS NOT DISTINCT FROM") : QStringLiteral("IS");
    QStringList same;
    for (const QString& c : columns)
        same << QStringLiteral("t.%1 %2 old.%1").arg(c, is);
    m.from(table + QStringLiteral("_Ex"),
         QStringLiteral("INSERT INTO main.%1 (%2) SELECT %3 FROM %4.%1_Ex AS old "
                        "WHERE (%6) AND NOT EXISTS (SELECT 1 FROM main.%1 AS t WHERE %5)")
             .arg(table, columnList(columns), columnList(columns, QStringLiteral("old")), kImp,
                  same.join(QStringLiteral(" AND ")), mine),
         params);
}

// The set's rows from the attached copy into the system database, the copy's own clean-up and
// the fix-ups that follow: later statements read what earlier ones wrote, so the order matters.
// Rows of the backup set outside the imported set and year, counted for the import's log row.
void countLeftOut(Merge& m, const QString& acc, const QVariantList& setAndYear, const QString& subYears)
{
    const QString ofSetAndYear = QStringLiteral("cAcc_Id=? AND iYear=?");
    // Only the imported set and year come in: a backup set is a file anyone can change and seal
    // again, so rows it carries for other sets, other years or the whole installation are left
    // out (and counted in the import's log row), and it never defines roles or their members.
    m.countOthers(QStringLiteral("SM_Account_Ex"), ofSetAndYear, setAndYear);
    m.countOthers(QStringLiteral("SM_Period_Ex"), ofSetAndYear, setAndYear);
    m.countOthers(QStringLiteral("SM_HoldAuth_Ex"), ofSetAndYear, setAndYear);
    m.countOthers(QStringLiteral("SM_Account_sub_Ex"), QStringLiteral("cAcc_Id=? AND ") + subYears, setAndYear);
    m.countOthers(QStringLiteral("SM_Auth_Ex"), QStringLiteral("cSub_Id='RE' AND (cAcc_Id=? OR coalesce(cAcc_Id,'')='')"), {acc});
    m.countOthers(QStringLiteral("SM_FlowItems_Ex"), QStringLiteral("cAccId=?"), {acc});
    m.countOthers(QStringLiteral("SM_FlowLines_Ex"), QStringLiteral("cAccId=?"), {acc});
    m.countOthers(QStringLiteral("SM_Identity_Ex"), QStringLiteral("cAcc_Id=?"), {acc});
}

// After the rows: the year's place and system identifier, the copy's transfer tables dropped, and
// the installation's own rules (cleared module dates, the supervisors' right, the roles' trades).
void fixUps(Merge& m, const ImportPlan& plan)
{
    const QString& acc = plan.accId;
    const QString imp = kImp;
    const int year = plan.year.toInt();
    // The year now lives where it was put; the set's other years keep their own folders.
    m.run(QStringLiteral("UPDATE main.SM_Account SET cAcc_Path=? WHERE cAcc_Id=? AND iYear=?"), {plan.basePath(), acc, year});
    if (!plan.sysId.isEmpty()) {
        m.run(QStringLiteral("UPDATE main.SM_Account SET iSysID=? WHERE cAcc_Id=? AND iYear=?"), {plan.sysId.toLongLong(), acc, year});
        m.run(QStringLiteral("UPDATE %1.AccInformation SET cValue=?,cDefault=? WHERE cID='AA' AND cName='iSystemID'").arg(imp),
             {plan.sysId, plan.sysId});
    }
    for (const char* t : kDropped)
        m.run(QStringLiteral("DROP TABLE IF EXISTS %1.%2").arg(imp, QLatin1String(t)));
    // Committed together with the rows: books without it are the books of a finished import (on a
    // server the books and rows are one transaction, and the table is not made).
    if (m.db.engine() == Engine::SQLite)
        m.run(QStringLiteral("DROP TABLE %1.%2").arg(imp, kPendingTable));

    // The supervisors' role holds the supervisor right of set 001, year 2009, and of no imported set
    // (a year imported into its set: of no imported year; the set's rows of every year are its own).
    if (plan.yearOnly) {
        m.run(QStringLiteral("DELETE FROM main.SM_HoldAuth WHERE cUser_Id='DATA-MANAGER' AND cAcc_Id=? AND iYear=?"), {acc, year});
    } else {
        for (const char* sub : kClearedModules)
            m.run(QStringLiteral("UPDATE main.SM_Account_sub SET dSubSysUsed=NULL WHERE cAcc_Id=? AND iYear=9999 AND cSub_Id=?"),
                  {acc, QLatin1String(sub)});
        m.run(QStringLiteral("DELETE FROM main.SM_HoldAuth WHERE cUser_Id='DATA-MANAGER' AND cAcc_Id=?"), {acc});
    }
    m.run(QStringLiteral("INSERT OR IGNORE INTO main.SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) VALUES ('001',2009,'DATA-MANAGER','admin')"));
    m.run(QStringLiteral("UPDATE main.SM_Group SET cTradeKinds=?,cTrade_Kinds=? WHERE cGroup_Id NOT IN (SELECT cGroup_Id FROM main.sm_initialgroup) "
                            "OR cGroup_Id IN (SELECT DISTINCT cGroup_Id FROM main.SM_Role)"),
         {QStringLiteral("|BZ|"), QStringLiteral("|BZ|")});
}

// A year imported into its set: the year's own rows make way for the backup set's. A table the
// backup set lacks (an export step that failed) keeps the year's rows.
void replaceYearRows(Merge& m, const QVariantList& setAndYear)
{
    for (const char* table : {"SM_Account", "SM_Period", "SM_HoldAuth", "SM_Account_sub"}) {
        const QString t = QLatin1String(table);
        if (m.has(t + QStringLiteral("_Ex")))
            m.run(QStringLiteral("DELETE FROM main.%1 WHERE cAcc_Id=? AND iYear=?").arg(t), setAndYear);
    }
}

// The set's row of the year (a year imported into its set: in place of the year's rows) and its
// CreateAcc entry.
void accountRows(Merge& m, const ImportPlan& plan, const QVariantList& setAndYear)
{
    const QString& acc = plan.accId;
    if (plan.yearOnly)
        replaceYearRows(m, setAndYear);
    // Rows that clash with existing ones are skipped; an existing set keeps its row.
    m.from(QStringLiteral("SM_Account_Ex"), QStringLiteral("INSERT OR IGNORE INTO main.SM_Account (%1) SELECT %1 FROM %2.SM_Account_Ex WHERE cAcc_Id=? AND iYear=?")
                 .arg(columnList(kAccountColumns), kImp), setAndYear);
    m.run(QStringLiteral("CREATE TABLE IF NOT EXISTS main.CreateAcc (cAcc_Id TEXT COLLATE NOCASE,cAcc_Name TEXT COLLATE NOCASE)"));
    m.run(QStringLiteral("INSERT INTO main.CreateAcc (cAcc_Id,cAcc_Name) SELECT cAcc_Id,cAcc_Name FROM main.SM_Account "
                            "WHERE cAcc_Id=? AND NOT EXISTS (SELECT 1 FROM main.CreateAcc WHERE cAcc_Id=?) ORDER BY iYear LIMIT 1"),
         {acc, acc});
}

void mergeRows(Merge& m, const ImportPlan& plan)
{
    const QString& acc = plan.accId;
    const QString imp = kImp;
    const QVariantList setAndYear{acc, plan.year.toInt()};
    const QString ofSetAndYear = QStringLiteral("cAcc_Id=? AND iYear=?");
    // A year imported into its set leaves the set's rows of every year (9999) as they are.
    const QString subYears = plan.yearOnly ? QStringLiteral("iYear=?") : QStringLiteral("(iYear=? OR iYear=9999)");
    countLeftOut(m, acc, setAndYear, subYears);
    accountRows(m, plan, setAndYear);

    m.from(QStringLiteral("SM_Period_Ex"), QStringLiteral("INSERT OR IGNORE INTO main.SM_Period (cAcc_Id,iYear,iId,dBegin,dEnd) "
                            "SELECT cAcc_Id,iYear,iId,dBegin,dEnd FROM %1.SM_Period_Ex WHERE %2").arg(imp, ofSetAndYear), setAndYear);
    // The set's own report permissions, and those of every set that this installation lacks.
    m.from(QStringLiteral("SM_Auth_Ex"), QStringLiteral("INSERT OR IGNORE INTO main.SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) "
                            "SELECT cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id FROM %1.SM_Auth_Ex "
                            "WHERE cSub_Id=? AND (cAcc_Id=? OR coalesce(cAcc_Id,'')='') "
                            "AND cAuth_Id COLLATE NOCASE NOT IN (SELECT cAuth_Id FROM main.SM_Auth)").arg(imp),
         {QStringLiteral("RE"), acc});
    // A role that holds rights in the set but is not defined here is named, and its rights stay out:
    // they would otherwise pass to whoever later makes a role of that name.
    const QString missingRole = QStringLiteral("EXISTS (SELECT 1 FROM %1.SM_Group_Ex AS g WHERE g.cGroup_Id=%2 AND NOT EXISTS "
                                               "(SELECT 1 FROM main.SM_Group AS r WHERE r.cGroup_Id=g.cGroup_Id))");
    const bool roles = m.has(QStringLiteral("SM_Group_Ex"));
    if (roles && m.has(QStringLiteral("SM_HoldAuth_Ex"))) {
        for (Recordset rs = m.db.query(QStringLiteral("SELECT DISTINCT h.cUser_Id FROM %1.SM_HoldAuth_Ex AS h WHERE h.cAcc_Id=? AND h.iYear=? "
                                                      "AND %2 ORDER BY 1").arg(imp, missingRole.arg(imp, QStringLiteral("h.cUser_Id"))),
                                       setAndYear);
             !rs.Eof(); rs.MoveNext())
            m.missingRoles << rs.Fields(0).toString();
    }
    // Holdings of the set and year, of permissions that this installation knows.
    m.from(QStringLiteral("SM_HoldAuth_Ex"), QStringLiteral("INSERT OR IGNORE INTO main.SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) "
                            "SELECT old.cAcc_Id,old.iYear,old.cUser_Id,old.cAuth_Id FROM %1.SM_HoldAuth_Ex AS old "
                            "WHERE old.cAcc_Id=? AND old.iYear=? AND old.cAuth_Id COLLATE NOCASE IN (SELECT cAuth_Id FROM main.SM_Auth)%2")
                            .arg(imp, roles ? QStringLiteral(" AND NOT ") + missingRole.arg(imp, QStringLiteral("old.cUser_Id")) : QString()),
         setAndYear);
    m.from(QStringLiteral("SM_Account_sub_Ex"), QStringLiteral("INSERT OR IGNORE INTO main.SM_Account_sub (cAcc_Id,iYear,cSub_Id,iModiPeri,dSubSysUsed) "
                            "SELECT cAcc_Id,iYear,cSub_Id,iModiPeri,dSubSysUsed FROM %1.SM_Account_sub_Ex "
                            "WHERE cAcc_Id=? AND %2").arg(imp, subYears), setAndYear);
    insertMissing(m, QStringLiteral("SM_FlowItems"),
                  {QStringLiteral("cAccId"), QStringLiteral("cFlow_Id"), QStringLiteral("iItem_Id"),
                   QStringLiteral("cItem_Name"), QStringLiteral("iOrder")}, QStringLiteral("old.cAccId=?"), {acc});
    insertMissing(m, QStringLiteral("SM_FlowLines"),
                  {QStringLiteral("cAccId"), QStringLiteral("cFlow_Id"), QStringLiteral("iFrom_Item"),
                   QStringLiteral("iTo_Item"), QStringLiteral("cMemo")}, QStringLiteral("old.cAccId=?"), {acc});
    insertMissing(m, QStringLiteral("SM_Identity"),
                  {QStringLiteral("cAcc_Id"), QStringLiteral("cTable"), QStringLiteral("iFatherId"), QStringLiteral("iChildId")},
                  QStringLiteral("old.cAcc_Id=?"), {acc});
    // The set's log rows come as its imported history, outside this installation's chain.
    if (const int others = AuditLog::mergeImported(m.db, imp, acc); others > 0)
        m.ignored << QStringLiteral("SM_Log_Ex %1行").arg(others); // not translated: a stored detail

    fixUps(m, plan);
}

// What the person is told about roles of the backup set that this installation does not define
// (the log's detail keeps it in Chinese).
Words missingRolesText(const QStringList& roles)
{
    const QString names = roles.join(QStringLiteral("、")); // not translated: a list of names
    return Words::of("AccountImporter", QT_TRANSLATE_NOOP("AccountImporter", "本系统中没有角色%1，其在本帐套的权限未引入"), names);
}

// The success of an import, with what it left out that the person should know.
Notice importedNotice(const ImportPlan& plan, const QStringList& missingRoles)
{
    QString text = plan.yearOnly ? said(QT_TRANSLATE_NOOP("AccountImporter", "帐套[%1] %2年度引入成功！"), plan.accId, plan.year).shown
                                 : said(QT_TRANSLATE_NOOP("AccountImporter", "帐套[%1]引入成功！"), plan.accId).shown;
    if (!missingRoles.isEmpty())
        text += kCrLf + missingRolesText(missingRoles).shown + said(QT_TRANSLATE_NOOP("AccountImporter", "。")).shown;
    return {text, AccountImporter::title(), Notice::Icon::Question};
}

// A refusal or failure of the restore, logged and to be shown; nothing was changed.
AccountImporter::Result importFailure(const Words& text)
{
    WriteErrLog(1, text.stored, kRoutine);
    return {AccountImporter::Result::Status::Failed, {text.shown, AccountImporter::title(), Notice::Icon::Exclamation}, text.stored};
}

// The set's rows merged and the import's log row written in `tx`, then committed, unless the person
// stops at this last moment: leaving the transaction uncommitted undoes everything it wrote (on a
// server, the new books too). False when stopped.
bool mergeAndCommit(Merge& m, const ImportPlan& plan, Database::Transaction& tx, const AuditContext& who, const AuditEntry& logged,
                    const WorkControl& control)
{
    mergeRows(m, plan);
    AuditEntry row = logged;
    if (!m.ignored.isEmpty())
        row.detail += QStringLiteral("；备份中不属于本帐套本年度的行未引入：") + m.ignored.join(QStringLiteral("、")); // not translated: a stored detail
    if (!m.missingRoles.isEmpty())
        row.detail += QStringLiteral("；") + missingRolesText(m.missingRoles).stored; // not translated: a stored detail
    AuditLog::write(m.db, who, row);
    control.report(90);
    if (control.cancelled())
        return false;
    tx.commit();
    return true;
}

// Empty when the file is a sound database; otherwise what is wrong with it.
Words checkDatabase(const QString& path)
{
    try {
        return Words::same(Database(path).integrityProblems().join(kCrLf));
    } catch (const DbError& e) {
        return Words::same(e.text());
    } catch (...) {
        return said(QT_TRANSLATE_NOOP("AccountImporter", "完整性检查失败"));
    }
}

bool hasDatabaseHeader(const QString& path)
{
    QFile f(CiFile::resolve(path));
    return f.open(QIODevice::ReadOnly) && f.read(16) == QByteArray("SQLite format 3\0", 16);
}

// A database in WAL mode gets companion files as soon as it is opened.
bool isWalDatabase(const QString& path)
{
    QFile f(CiFile::resolve(path));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(20);
    return head.size() == 20 && (head[18] == 2 || head[19] == 2);
}

void removeWithCompanions(const QString& path)
{
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        CiFile::remove(path + QLatin1String(suffix));
    CiFile::remove(path);
}

// Removes books that no one needs any more without waiting for their blocks: the name goes at
// once, and the file system frees the blocks when the last descriptor closes, which happens on a
// thread of its own (for hundreds of megabytes that takes a while; nothing waits for it).
void removeInBackground(const QString& path)
{
    const int fd = ::open(QFile::encodeName(CiFile::resolve(path)).constData(), O_RDONLY | O_CLOEXEC);
    removeWithCompanions(path);
    if (fd >= 0)
        std::thread([fd] { ::close(fd); }).detach();
}

// What the data file says about itself: the set and year of its SM_Account_Ex row (none when the
// backup set has no such row) and whether it holds the books' own tables.
struct Inspection {
    Words refusal;    // empty when the file may replace the set's books
    QString year;     // four digits from the file's own row; empty when it has none
};

// Reads the file without writing anything beside it (no journal, no log, no lock files), so a
// backup set on a read-only medium or in WAL mode stays as it is.
Inspection inspect(const QString& path, const QString& accId, const QString& twoDigits)
{
    Inspection r;
    Database db;
    QSet<QString> tables;
    try {
        db.openImmutable(path);
        for (const QString& t : db.tables())
            tables << t.toLower();
    } catch (const DbError& e) {
        r.refusal = said(QT_TRANSLATE_NOOP("AccountImporter", "引入的数据文件不是帐套数据，无法引入！")) + kCrLf + path + kCrLf + e.text();
        return r;
    }
    QStringList missing;
    for (const QString& t : kBooksTables)
        if (!tables.contains(t.toLower()))
            missing << t;
    if (!missing.isEmpty()) {
        const Words comma = said(QT_TRANSLATE_NOOP("AccountImporter", "、"));
        r.refusal = said(QT_TRANSLATE_NOOP("AccountImporter", "引入的数据文件中没有帐套库的表（%1），不是帐套数据，无法引入！"),
                         Words{missing.join(comma.stored), missing.join(comma.shown)})
            + kCrLf + path;
        return r;
    }
    if (!tables.contains(QStringLiteral("sm_account_ex")))
        return r;
    Recordset rows;
    try {
        rows = db.query(QStringLiteral("SELECT cAcc_Id, iYear FROM SM_Account_Ex"));
    } catch (const DbError& e) {
        r.refusal = said(QT_TRANSLATE_NOOP("AccountImporter", "引入的数据文件中的帐套信息无法读取，无法引入！")) + kCrLf + path + kCrLf + e.text();
        return r;
    }
    // A set kept over several years carries a row for each; the one whose last two digits are the
    // descriptor's year is the year of these books. Rows of other years only are another year's
    // data file.
    QString otherYear;
    for (; !rows.Eof(); rows.MoveNext()) {
        const QString acc = rows.Fields(0).toString().trimmed();
        // Another set's data file beside this set's descriptor would replace these books with the
        // other set's.
        if (acc.compare(accId, Qt::CaseInsensitive) != 0) {
            r.refusal = said(QT_TRANSLATE_NOOP("AccountImporter", "引入的数据文件是帐套[%1]的数据，不是引入文件中的帐套[%2]，无法引入！"), acc, accId)
                + kCrLf + path;
            return r;
        }
        bool ok = false;
        const int year = rows.Fields(1).toInt(&ok);
        if (ok && year >= 1000 && year <= 9999 && BackupSet::twoDigitYear(year) == twoDigits)
            r.year = QString::number(year);
        else if (otherYear.isEmpty())
            otherYear = rows.Fields(1).toString();
    }
    if (r.year.isEmpty() && !otherYear.isEmpty())
        r.refusal = said(QT_TRANSLATE_NOOP("AccountImporter", "引入的数据文件是%1年度的数据，与引入文件中的年度[%2]不符，无法引入！"), otherYear, twoDigits)
            + kCrLf + path;
    return r;
}

// The backup set's manifest into `manifest` (none when the set has none); why it cannot be used, or
// empty.
Words readManifest(const ImportPlan& plan, std::optional<BackupSet::Manifest>* manifest)
{
    Words error;
    *manifest = BackupSet::readManifest(plan.sourceDir + BackupSet::kManifestName, &error);
    if (!*manifest && !error.stored.isEmpty())
        return said(QT_TRANSLATE_NOOP("AccountImporter", "校验文件%1无法使用，无法引入！"), BackupSet::kManifestName) + kCrLf + error;
    return {};
}

// Why the file at `path` cannot be the set's books of the planned year (the set or its year differ),
// named after the backup's data file `data`; empty when it can.
Words identityRefusal(const QString& path, const ImportPlan& plan, const QString& data)
{
    const Inspection seen = inspect(path, plan.accId, BackupSet::twoDigitYear(plan.year.toInt()));
    if (!seen.refusal.stored.isEmpty())
        return seen.refusal;
    if (!seen.year.isEmpty() && seen.year != plan.year)
        return said(QT_TRANSLATE_NOOP("AccountImporter", "引入的数据文件是%1年度的数据，与引入文件中的年度[%2]不符，无法引入！"), seen.year, plan.year) + kCrLf + data;
    return {};
}

Words sizeRefusal(qint64 actual, qint64 recorded, const QString& data, bool manifest = false)
{
    const Words where = manifest ? said(QT_TRANSLATE_NOOP("AccountImporter", "校验文件")) + BackupSet::kManifestName
                                 : said(QT_TRANSLATE_NOOP("AccountImporter", "引入文件"));
    return said(QT_TRANSLATE_NOOP("AccountImporter", "引入的数据文件大小为%1字节，与%2记录的%3字节不符，文件不完整或已被改动，无法引入！"),
                QString::number(actual), where, QString::number(recorded))
        + kCrLf + data;
}

QString pendingPath(Database& sysDb)
{
    return Paths::join(Paths::parentDir(CiFile::resolve(sysDb.path())), kPendingName);
}

enum class Books { Missing, Committed, Uncommitted, Unreadable };

// Whether the books at `path` are an import's copy whose merge was never committed. Opening them
// rolls back a commit that a crash cut short, so what is read is what was committed. Throws when
// another program holds them: nothing can be decided then.
Books booksState(const QString& path)
{
    if (!CiFile::isFile(path))
        return Books::Missing;
    try {
        Database books(path);
        return books.hasTable(kPendingTable) ? Books::Uncommitted : Books::Committed;
    } catch (const DbError& e) {
        if (e.isLocked())
            throw;
        return Books::Unreadable;
    }
}

// Settles the year folder `dir` after an import stopped or crashed: the old books come back
// unless the new ones were committed, and the copy goes. False with the reason when the books are
// in use or a file cannot be moved.
bool settleFolder(const QString& dir, Words* error)
{
    const QString books = CiFile::resolve(Paths::join(dir, QStringLiteral("KdData.mdb")));
    const QString aside = CiFile::resolve(Paths::join(dir, kAsideName));
    const QString copy = CiFile::resolve(Paths::join(dir, kCopyName));
    Books state;
    try {
        state = booksState(books);
    } catch (const DbError& e) {
        *error = said(QT_TRANSLATE_NOOP("AccountImporter", "帐套库正在使用：")) + books + kCrLf + engineWords(e);
        return false;
    }
    if (CiFile::isFile(aside)) {
        if (state == Books::Committed) {
            // The new books and their rows are in: the old books are no longer anyone's.
            removeInBackground(aside);
        } else {
            // Not committed (or moved aside and not yet replaced): the old books come back.
            removeWithCompanions(books);
            if (!CiFile::rename(aside, books)) {
                *error = said(QT_TRANSLATE_NOOP("AccountImporter", "无法恢复原帐套库：")) + aside;
                return false;
            }
        }
    } else if (state == Books::Uncommitted) {
        // A set that had no books before the import gets none.
        removeWithCompanions(books);
    }
    // Books that cannot be read and were never moved aside are the old ones: they stay.
    removeWithCompanions(copy);
    BackupSet::syncPath(dir);
    return true;
}

// Copies of imports of earlier versions, and a copy without a record of its import, lie in the
// year folders of the listed sets; no running import owns them.
void removeStaleCopies(Database& sysDb)
{
    QSet<QString> folders;
    try {
        for (Recordset rs = sysDb.query(QStringLiteral("SELECT cAcc_Path, cAcc_Id, iYear FROM SM_Account")); !rs.Eof(); rs.MoveNext())
            folders << CiFile::resolve(AccountDb::yearFolder(rs.Fields(0).toString(), rs.Fields(1).toString(), rs.Fields(2).toInt()));
    } catch (const DbError& e) {
        WriteErrLog(1, e.text(), QStringLiteral("recover"));
        return;
    }
    for (const QString& dir : folders) {
        if (!CiFile::isDir(dir))
            continue;
        const QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString& name : names) {
            if (kStaleCopy.match(name).hasMatch() || name.compare(kCopyName, Qt::CaseInsensitive) == 0)
                removeWithCompanions(Paths::join(dir, name));
        }
    }
}
} // namespace

namespace {
// A folder named in a descriptor or typed by a person can hold books only when it is an absolute
// path read as proper text: a relative one would be taken from wherever the program was started,
// and a name the descriptor's bytes do not spell as UTF-8 is nobody's folder.
bool isUsableFolder(const QString& path)
{
    const QString p = Paths::normalize(path.trimmed());
    if (p.isEmpty() || !QDir::isAbsolutePath(p) || p.contains(QChar::ReplacementCharacter))
        return false;
    return std::none_of(p.begin(), p.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

// The account database and what the engine keeps beside it, in any letter case.
bool holdsBooks(const QString& dir)
{
    return !QDir(dir).entryList({QStringLiteral("KdData.mdb"), QStringLiteral("KdData.mdb-journal"), QStringLiteral("KdData.mdb-wal")},
                                QDir::Files | QDir::Hidden | QDir::System)
                .isEmpty();
}

// Why the set's books of the plan must not go into its year folder; empty when they may. The
// folder must be <base>/zt<set>/<year>, and either hold no books or this installation's books of
// this set and year, as its SM_Account row records them: an import never replaces another set's
// books, nor those of another installation that happen to lie where the descriptor points.
Words placementRefusal(Database& sysDb, const ImportPlan& p)
{
    const QString target = QDir::cleanPath(Paths::normalize(p.targetDir));
    if (!isUsableFolder(p.accFolder) || !isUsableFolder(target))
        return said(QT_TRANSLATE_NOOP("AccountImporter", "帐套路径[%1]不是可用的绝对路径，不能存放帐套[%2]的数据，请重新指定帐套路径。"), p.accFolder, p.accId);
    if (Paths::fileName(target) != p.year
        || Paths::fileName(Paths::parentDir(target)).compare(QStringLiteral("zt") + p.accId, Qt::CaseInsensitive) != 0)
        return said(QT_TRANSLATE_NOOP("AccountImporter", "帐套[%1]的数据只能放在帐套目录zt%1的%2年度目录中，不能放入：%3"), p.accId, p.year, target) + kCrLf
            + said(QT_TRANSLATE_NOOP("AccountImporter", "请重新指定帐套路径。"));
    // On a server the books are a schema of the set and year: the path is only recorded.
    if (sysDb.engine() == Engine::PostgreSQL)
        return {};
    const QString dir = CiFile::resolve(target);
    if (!CiFile::isDir(dir) || !holdsBooks(dir))
        return {};
    const QString here = QFileInfo(dir).canonicalFilePath();
    Words whose;
    for (Recordset rs = sysDb.query(QStringLiteral("SELECT cAcc_Id, iYear, cAcc_Path, cAcc_Name FROM SM_Account ORDER BY cAcc_Id, iYear"));
         !rs.Eof(); rs.MoveNext()) {
        const QString acc = rs.text(QStringLiteral("cAcc_Id"));
        const int year = rs.Fields(QStringLiteral("iYear")).toInt();
        if (QFileInfo(AccountDb::yearFolder(rs.text(QStringLiteral("cAcc_Path")), acc, year)).canonicalFilePath() != here)
            continue;
        if (acc.compare(p.accId, Qt::CaseInsensitive) == 0 && QString::number(year) == p.year)
            return {};
        whose = said(QT_TRANSLATE_NOOP("AccountImporter", "本系统帐套[%1]%2的%3年度"), acc, rs.text(QStringLiteral("cAcc_Name")), QString::number(year));
    }
    if (whose.stored.isEmpty())
        whose = said(QT_TRANSLATE_NOOP("AccountImporter", "不属于本系统帐套[%1]%2年度的帐套"), p.accId, p.year);
    return said(QT_TRANSLATE_NOOP("AccountImporter", "帐套目录中已有%1数据，引入不能覆盖："), whose) + dir + kCrLf + said(QT_TRANSLATE_NOOP("AccountImporter", "请重新指定帐套路径。"));
}
} // namespace

QString ImportPlan::dataFile() const
{
    return dataPath.isEmpty() ? CiFile::resolve(sourceDir + BackupSet::kDataFileName) : dataPath;
}

QString ImportPlan::databasePath() const
{
    return CiFile::resolve(Paths::join(targetDir, QStringLiteral("KdData.mdb")));
}

QString ImportPlan::basePath() const
{
    return Paths::withTrailingSep(Paths::parentDir(Paths::withoutTrailingSep(accFolder)));
}

AccountImporter::AccountImporter(Database& sysDb, const AuditContext& who)
    : m_sysDb(sysDb)
    , m_who(who)
{
}

QString AccountImporter::title()
{
    return QCoreApplication::translate("AccountImporter", "管理软件【系统管理】");
}

Notice AccountImporter::refuse(const Words& text)
{
    WriteErrLog(1, text.stored, QStringLiteral("mnuAccInput_Click"));
    AuditLog::record(m_sysDb, m_who, Audit::imported(m_accId, m_plan.year, m_plan.sourceDir, m_plan.targetDir, QString()).refused(text.stored));
    return {text.shown, title(), Notice::Icon::Exclamation};
}

namespace {
// Why the descriptor's own lines cannot name a set to import; empty when they can.
Words descriptorRefusal(const BackupSet::Descriptor& d)
{
    const QString& L = d.path;
    if (!d.readable())
        return said(QT_TRANSLATE_NOOP("AccountImporter", "无法读取引入文件：")) + L + kCrLf + d.error;
    if (d.firstLine.compare(QLatin1String("[BackRetInfo]"), Qt::CaseInsensitive) != 0)
        return said(QT_TRANSLATE_NOOP("AccountImporter", "所选文件不是帐套数据备份文件，无法引入！")) + kCrLf + L;
    if (d.lineCount < BackupSet::LineYear)
        return said(QT_TRANSLATE_NOOP("AccountImporter", "引入文件不完整（只有%1行），无法引入！"), QString::number(d.lineCount)) + kCrLf + L;
    static const QRegularExpression accRe(QStringLiteral("^[0-9]{3}$"));
    static const QRegularExpression yearRe(QStringLiteral("^[0-9]{2}$"));
    static const QRegularExpression sysRe(QStringLiteral("^-?[0-9]{1,18}$"));
    if (!accRe.match(d.accId).hasMatch())
        return said(QT_TRANSLATE_NOOP("AccountImporter", "引入文件中的帐套号[%1]无效，无法引入！"), d.accId) + kCrLf + L;
    if (!yearRe.match(d.yearDigits).hasMatch())
        return said(QT_TRANSLATE_NOOP("AccountImporter", "引入文件中的年度[%1]无效，无法引入！"), d.yearDigits) + kCrLf + L;
    if (!d.sysId.isEmpty() && !sysRe.match(d.sysId).hasMatch())
        return said(QT_TRANSLATE_NOOP("AccountImporter", "引入文件中的系统标识[%1]无效，无法引入！"), d.sysId) + kCrLf + L;
    if (d.accFolder.trimmed().isEmpty())
        return said(QT_TRANSLATE_NOOP("AccountImporter", "引入文件中没有帐套路径，无法引入！")) + kCrLf + L;
    return {};
}

// A sealed data file as load can check it without opening the seal: its size against the
// manifest, and the year the manifest records against line 10. Its books are inspected once the
// restore has unsealed them.
Words sealedRefusal(ImportPlan& p, const BackupSet::Manifest& m, const QString& yy)
{
    const QString data = p.dataFile();
    if (CiFile::size(data) != m.bytes)
        return sizeRefusal(CiFile::size(data), m.bytes, data, true);
    if (BackupSet::twoDigitYear(m.year) != yy)
        return said(QT_TRANSLATE_NOOP("AccountImporter", "校验文件%1中的年度%2与引入文件中的年度[%3]不符，无法引入！"), BackupSet::kManifestName, QString::number(m.year), yy)
            + kCrLf + data;
    p.seal = m.seal;
    p.year = QString::number(m.year);
    return {};
}

// Why the data file beside the descriptor cannot be the set's books; empty when it can. Settles
// the plan's year: the data file's own (or the sealed set's manifest's) when it agrees with line 10.
Words dataRefusal(ImportPlan& p, const QString& yy)
{
    const QString data = p.dataFile();
    std::optional<BackupSet::Manifest> manifest;
    if (const Words refusal = readManifest(p, &manifest); !refusal.stored.isEmpty())
        return refusal;
    if (manifest && !manifest->seal.isPlain())
        return sealedRefusal(p, *manifest, yy);
    if (!hasDatabaseHeader(data))
        return said(QT_TRANSLATE_NOOP("AccountImporter", "引入的数据文件不是帐套数据，无法引入！")) + kCrLf + data;
    if (p.bytes >= 0 && CiFile::size(data) != p.bytes)
        return sizeRefusal(CiFile::size(data), p.bytes, data);
    const Inspection seen = inspect(data, p.accId, yy);
    if (!seen.refusal.stored.isEmpty())
        return seen.refusal;
    // The descriptor keeps two digits of the year; the set's own row has all four.
    if (!seen.year.isEmpty())
        p.year = seen.year;
    return {};
}
} // namespace

Notice AccountImporter::load(const QString& descriptorPath)
{
    m_plan = ImportPlan();
    m_accId.clear();
    // The descriptor is read once here; everything after takes its values from the plan.
    const BackupSet::Descriptor d = BackupSet::readDescriptor(descriptorPath);
    if (const Words refusal = descriptorRefusal(d); !refusal.stored.isEmpty()) {
        // A set number read from the descriptor names the set in the refusal's log row.
        static const QRegularExpression accRe(QStringLiteral("^[0-9]{3}$"));
        if (d.readable() && accRe.match(d.accId).hasMatch() && d.lineCount >= BackupSet::LineYear
            && d.firstLine.compare(QLatin1String("[BackRetInfo]"), Qt::CaseInsensitive) == 0)
            m_accId = d.accId;
        if (!m_onlySet.isEmpty())
            m_accId = m_onlySet;
        return refuse(refusal);
    }
    // The year menu's 引入 takes a year of the set logged into, never another set's.
    if (!m_onlySet.isEmpty() && d.accId.compare(m_onlySet, Qt::CaseInsensitive) != 0) {
        m_accId = m_onlySet;
        return refuse(said(QT_TRANSLATE_NOOP("AccountImporter", "该备份是账套[%1]的数据，不能引入到账套[%2]。"), d.accId, m_onlySet) + kCrLf + d.path);
    }
    m_accId = d.accId;

    ImportPlan p;
    p.descriptorPath = d.path;
    p.accId = d.accId;
    p.sysId = d.sysId;
    p.accFolder = d.accFolder;
    p.year = d.year;
    p.sourceDir = d.folder;
    p.dataPath = d.dataFile;
    p.bytes = d.bytes;
    // Said plainly, as the import has always said it.
    if (!CiFile::isFile(p.dataFile())) {
        const Words missing = said(QT_TRANSLATE_NOOP("AccountImporter", "找不到要引入的文件！"));
        refuse(missing);
        return {missing.shown, QString(), Notice::Icon::None};
    }
    if (const Words refusal = dataRefusal(p, d.yearDigits); !refusal.stored.isEmpty())
        return refuse(refusal);
    p.targetDir = Paths::join(d.accFolder, p.year);

    try {
        p.setExists = m_sysDb.scalar(QStringLiteral("select count(*) from SM_Account where cAcc_Id=?"), {p.accId}).toInt() > 0;
        p.yearOnly = !m_onlySet.isEmpty();
        p.yearExists = m_sysDb.scalar(QStringLiteral("select count(*) from SM_Account where cAcc_Id=? and iYear=?"), {p.accId, p.year.toInt()}).toInt() > 0;
    } catch (const DbError& e) {
        return refuse(said(QT_TRANSLATE_NOOP("AccountImporter", "无法读取系统库：")) + engineWords(e));
    }
    m_plan = p;
    return {};
}

Notice AccountImporter::unlock(std::shared_ptr<const Passphrase> passphrase)
{
    if (!m_plan.seal.encrypted)
        return {};
    QFile file(m_plan.dataFile());
    if (!file.open(QIODevice::ReadOnly))
        return refuse(said(QT_TRANSLATE_NOOP("AccountImporter", "无法读取引入的数据文件：")) + file.fileName() + kCrLf + file.errorString());
    // Opening the seal reads the stream's first record only: a wrong passphrase is told at once.
    SealedReader reader(m_plan.seal, file);
    if (!reader.unseal(passphrase.get()))
        return refuse(reader.errorWords());
    m_plan.passphrase = std::move(passphrase);
    return {};
}

Words AccountImporter::placementFor(const ImportPlan& plan)
{
    try {
        return placementRefusal(m_sysDb, plan);
    } catch (const DbError& e) {
        return said(QT_TRANSLATE_NOOP("AccountImporter", "无法读取系统库：")) + engineWords(e);
    }
}

Notice AccountImporter::placeIn(const QString& chosenBase)
{
    ImportPlan& p = m_plan;
    // A folder typed relative to where the program runs is made absolute before anything records it.
    const QString base = QDir::cleanPath(QDir(Paths::normalize(chosenBase.trimmed())).absolutePath());
    p.accFolder = Paths::withTrailingSep(base) + QStringLiteral("zt") + p.accId + QLatin1Char('/');
    p.targetDir = Paths::join(p.accFolder, p.year);
    if (const Words why = placementFor(p); !why.stored.isEmpty())
        return refuse(why);
    // On a server the books are a schema: the folder is only what the set's row records.
    if (m_sysDb.engine() == Engine::PostgreSQL)
        return {};
    // The descriptor only records where the set was put: the import goes on without it.
    Words why;
    if (!BackupSet::rewriteFolder(p.descriptorPath, p.accFolder, &why))
        WriteErrLog(1, why.stored, QStringLiteral("mnuAccInput_Click"));
    if (!CiFile::mkpath(p.targetDir) || !CiFile::isDir(p.targetDir))
        return refuse(said(QT_TRANSLATE_NOOP("AccountImporter", "无法创建帐套目录：")) + p.targetDir);
    p.targetDir = CiFile::resolve(p.targetDir);
    return {};
}

Notice AccountImporter::placeInSet()
{
    QString base;
    try {
        // The year's own row first, then the latest year's.
        base = m_sysDb.scalar(QStringLiteral("SELECT cAcc_Path FROM SM_Account WHERE cAcc_Id=? ORDER BY CASE WHEN iYear=? THEN 0 ELSE 1 END, iYear DESC"),
                              {m_plan.accId, m_plan.year.toInt()}).toString();
    } catch (const DbError& e) {
        return refuse(said(QT_TRANSLATE_NOOP("AccountImporter", "无法读取系统库：")) + engineWords(e));
    }
    if (base.trimmed().isEmpty())
        return keepFolder(true);
    return placeIn(base);
}

Notice AccountImporter::keepFolder(bool create)
{
    ImportPlan& p = m_plan;
    if (const Words why = placementFor(p); !why.stored.isEmpty())
        return refuse(why);
    if (m_sysDb.engine() == Engine::PostgreSQL)
        return {};
    p.accFolder = Paths::withTrailingSep(QDir::cleanPath(Paths::normalize(p.accFolder)));
    p.targetDir = QDir::cleanPath(Paths::normalize(p.targetDir));
    if (!CiFile::isDir(p.targetDir)) {
        if (!create)
            return refuse(said(QT_TRANSLATE_NOOP("AccountImporter", "帐套目录不存在：")) + p.targetDir + kCrLf + said(QT_TRANSLATE_NOOP("AccountImporter", "请重新指定帐套路径。")));
        if (!CiFile::mkpath(p.targetDir) || !CiFile::isDir(p.targetDir))
            return refuse(said(QT_TRANSLATE_NOOP("AccountImporter", "无法创建帐套目录：")) + p.targetDir);
    }
    p.targetDir = CiFile::resolve(p.targetDir);
    return {};
}

namespace {
// What the import replaces, as its log row names it; empty for a set new to this installation.
QString replacedSet(Database& sysDb, const QString& accId)
{
    Recordset rs = sysDb.query(QStringLiteral("SELECT cAcc_Name, iYear FROM SM_Account WHERE cAcc_Id=? ORDER BY iYear"), {accId});
    if (rs.Eof())
        return QString();
    const QString name = rs.text(QStringLiteral("cAcc_Name"));
    QStringList years;
    for (; !rs.Eof(); rs.MoveNext())
        years << rs.text(QStringLiteral("iYear"));
    return QStringLiteral("[%1]%2（%3年度）").arg(accId, name, years.join(QStringLiteral("、"))); // not translated: a stored detail
}

// The import's log row: what it replaces, read now (the plan's answers may be older).
AuditEntry importEntry(Database& sysDb, const ImportPlan& plan)
{
    QString over;
    bool yearThere = false;
    try {
        if (plan.yearOnly)
            yearThere = sysDb.scalar(QStringLiteral("SELECT count(*) FROM SM_Account WHERE cAcc_Id=? AND iYear=?"), {plan.accId, plan.year.toInt()}).toInt() > 0;
        else
            over = replacedSet(sysDb, plan.accId);
    } catch (const DbError& e) {
        WriteErrLog(1, e.text(), kRoutine);
    }
    if (plan.yearOnly)
        return Audit::yearImported(plan.accId, plan.year, plan.sourceDir, plan.targetDir, yearThere);
    return Audit::imported(plan.accId, plan.year, plan.sourceDir, plan.targetDir, over);
}
} // namespace

namespace {
// Empty when the file is a sound database, read without anything written beside it.
Words checkImmutable(const QString& path)
{
    try {
        Database db;
        db.openImmutable(path);
        return Words::same(db.integrityProblems().join(kCrLf));
    } catch (const DbError& e) {
        return Words::same(e.text());
    }
}

// Sums what is read through it: a sealed data file's bytes as written, which the manifest's
// checksum covers, taken on the way to the seal.
class SummingDevice : public QIODevice {
public:
    SummingDevice(QIODevice& source, Checksum& sum)
        : m_source(source)
        , m_sum(sum)
    {
        QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 n = m_source.read(data, maxSize);
        if (n > 0)
            m_sum.add(data, n);
        else if (n < 0)
            setErrorString(m_source.errorString());
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& m_source;
    Checksum& m_sum;
};

// The data file as the books' bytes: the file itself, or a sealed one unsealed as it is read.
class DataSource {
public:
    DataSource(const QString& path, const SealedHeader& seal)
        : m_file(path)
        , m_seal(seal)
    {
    }
    bool sealed() const { return !m_seal.isPlain(); }
    // False with the reason (a wrong passphrase: "口令不正确").
    bool open(const Passphrase* passphrase, Words* why)
    {
        if (!m_file.open(QIODevice::ReadOnly)) {
            *why = Words::same(m_file.errorString());
            return false;
        }
        if (!sealed())
            return true;
        m_summing = std::make_unique<SummingDevice>(m_file, m_sealedSum);
        m_reader = std::make_unique<SealedReader>(m_seal, *m_summing);
        if (m_reader->unseal(passphrase))
            return true;
        *why = m_reader->errorWords();
        return false;
    }
    QIODevice& device() { return m_reader ? static_cast<QIODevice&>(*m_reader) : m_file; }
    // What refused the sealed bytes while they were read; empty when nothing did.
    Words sealError() const { return m_reader && m_reader->failed() ? m_reader->errorWords() : Words(); }
    // The sealed file's bytes as read (the whole file once the copy is done).
    FileSum sealedSum() const { return {m_sealedSum.bytes(), m_sealedSum.hex()}; }

private:
    QFile m_file;
    SealedHeader m_seal;
    Checksum m_sealedSum;
    std::unique_ptr<SummingDevice> m_summing;
    std::unique_ptr<SealedReader> m_reader;
};

Words checksumRefusal(const QString& data)
{
    return said(QT_TRANSLATE_NOOP("AccountImporter", "引入的数据文件与校验文件%1中的校验值不符，文件已被改动或损坏，无法引入！"), BackupSet::kManifestName) + kCrLf
        + data;
}

// Copies the plan's data file (unsealing a sealed one) into the new file `copy` and checks it:
// the books' size against line 13, the data file as written against the manifest, without a
// manifest the integrity check, then the identity of the copy. Why the copy cannot become the
// set's books, or empty. `flush` as copyInto takes it.
Words copyAndCheck(const ImportPlan& plan, const std::optional<BackupSet::Manifest>& manifest, const QString& copy, bool flush)
{
    const QString data = plan.dataFile();
    if (!plan.seal.isPlain() && !manifest)
        return said(QT_TRANSLATE_NOOP("AccountImporter", "校验文件%1缺失，无法打开加密或压缩的数据文件，无法引入！"), BackupSet::kManifestName) + kCrLf + data;
    DataSource source(data, plan.seal);
    Words copyError;
    bool opened = false;
    bool copied = false;
    Checksum sum;
    std::thread copier([&] {
        opened = source.open(plan.passphrase.get(), &copyError);
        if (opened)
            copied = BackupSet::copyInto(source.device(), copy, &copyError, &sum, flush);
    });
    // Without a manifest only the integrity check can tell a damaged file; it reads the backup set
    // beside the copy. A data file in WAL mode is checked in its copy, so the backup set stays as it is.
    const bool wal = !source.sealed() && isWalDatabase(data);
    Words damage = (manifest || wal) ? Words() : checkDatabase(data);
    copier.join();
    if (source.sealed() && (!opened || !source.sealError().stored.isEmpty()))
        return said(QT_TRANSLATE_NOOP("AccountImporter", "%1，无法引入！"), opened ? source.sealError() : copyError) + kCrLf + data;
    if (!copied)
        return said(QT_TRANSLATE_NOOP("AccountImporter", "复制帐套数据失败，无法引入！")) + kCrLf + copyError;
    if (plan.bytes >= 0 && sum.bytes() != plan.bytes)
        return sizeRefusal(sum.bytes(), plan.bytes, data);
    const FileSum written = source.sealed() ? source.sealedSum() : FileSum{sum.bytes(), sum.hex()};
    if (manifest && written.bytes != manifest->bytes)
        return sizeRefusal(written.bytes, manifest->bytes, data, true);
    if (manifest && written.checksum != manifest->checksum)
        return checksumRefusal(data);
    if (wal && !manifest)
        damage = checkDatabase(copy);
    if (!damage.stored.isEmpty())
        return said(QT_TRANSLATE_NOOP("AccountImporter", "引入的数据文件已损坏，无法引入！")) + kCrLf + data + kCrLf + damage;
    // The identity read at load again, now from the copy that will become the books.
    return identityRefusal(copy, plan, data);
}

// A plain data file as the server takes it, checked where it stands; why it cannot, or empty.
Words checkInPlace(const ImportPlan& plan, const std::optional<BackupSet::Manifest>& manifest)
{
    const QString data = plan.dataFile();
    const qint64 size = CiFile::size(data);
    if (plan.bytes >= 0 && size != plan.bytes)
        return sizeRefusal(size, plan.bytes, data);
    if (manifest) {
        qint64 bytes = -1;
        const QString sum = Checksum::ofFile(data, &bytes);
        if (bytes != manifest->bytes)
            return sizeRefusal(bytes, manifest->bytes, data, true);
        if (sum != manifest->checksum)
            return checksumRefusal(data);
    } else if (const Words damage = checkImmutable(data); !damage.stored.isEmpty()) {
        return said(QT_TRANSLATE_NOOP("AccountImporter", "引入的数据文件已损坏，无法引入！")) + kCrLf + data + kCrLf + damage;
    }
    return identityRefusal(data, plan, data);
}

// A sealed set's books unsealed for the server, which reads them as a file: in a folder of this
// user's alone (0700) in the temporary folder, removed when the import is done, whatever its end.
class UnsealedBooks {
public:
    UnsealedBooks()
    {
        const QString own = Paths::join(QDir::tempPath(), QStringLiteral("revozi-import-%1").arg(::getuid()));
        if (CiFile::mkpath(own) && QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
            m_path = Paths::join(own, QStringLiteral("%1-kddata.mdb").arg(QCoreApplication::applicationPid()));
    }
    ~UnsealedBooks()
    {
        if (!m_path.isEmpty())
            removeWithCompanions(m_path);
    }
    UnsealedBooks(const UnsealedBooks&) = delete;
    UnsealedBooks& operator=(const UnsealedBooks&) = delete;
    // Empty when the folder could not be made.
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

// One transaction of the server: the set's books schema replaced with one filled from `data`, and
// the set's rows merged; a failure undoes both.
AccountImporter::Result replaceOnServer(Database& sysDb, const ImportPlan& plan, const QString& data, const WorkControl& control,
                                        const AuditContext& who, const AuditEntry& logged)
{
    using Result = AccountImporter::Result;
    using Status = Result::Status;
    const QString schema = AccountDb::booksSchema(plan.accId, plan.year.toInt());
    Words mergeError;
    QStringList missingRoles;
    bool stopped = false;
    try {
        // An older installation's log gains its columns before the set's rows come in.
        AuditLog::upgrade(sysDb);
        Database::Transaction tx(sysDb);
        // Books another session has open are not replaced under it; a session reading them
        // without saying so is waited for a while, not for ever.
        sysDb.execute(QStringLiteral("SET LOCAL lock_timeout = '5s'"));
        BooksLock::claim(sysDb, schema, plan.accId, QStringLiteral("覆盖")); // not translated: BooksLock shows it translated
        sysDb.execute(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema));
        sysDb.createSchema(schema);
        // The operators' table of the backup set is read by nothing here (their passwords stay
        // out of the server); the log keeps its order.
        BooksTransfer::toServer(sysDb, schema, data, {QStringLiteral("SM_User_Ex")}, {QStringLiteral("SM_Log_Ex")},
                                AccountExporter::transferTables());
        control.report(70);
        sysDb.attach(schema, kImp);
        Merge m{sysDb, {}, {}, {}};
        for (Recordset rs = sysDb.query(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema=?"), {schema});
             !rs.Eof(); rs.MoveNext())
            m.present << rs.Fields(0).toString().toLower();
        stopped = !mergeAndCommit(m, plan, tx, who, logged, control);
        missingRoles = m.missingRoles;
    } catch (const DbError& e) {
        WriteErrLog(1, e.text(), kRoutine);
        mergeError = engineWords(e);
    }
    sysDb.detach(kImp);
    if (stopped)
        return {Status::Cancelled, {}};
    if (!mergeError.stored.isEmpty())
        return importFailure(said(QT_TRANSLATE_NOOP("AccountImporter", "帐套[%1]引入失败："), plan.accId) + mergeError);
    control.report(100);
    return {Status::Done, importedNotice(plan, missingRoles)};
}

// The import into a server installation: the data file is checked as it stands (the server takes
// its rows straight from it; a sealed one is unsealed into a file of this user's first and checked
// there), then replaceOnServer.
AccountImporter::Result restoreOnServer(Database& sysDb, const ImportPlan& plan, const WorkControl& control, const AuditContext& who,
                                        const AuditEntry& logged)
{
    std::optional<BackupSet::Manifest> manifest;
    if (const Words refusal = readManifest(plan, &manifest); !refusal.stored.isEmpty())
        return importFailure(refusal);
    control.report(10);
    QString data = plan.dataFile();
    std::optional<UnsealedBooks> unsealed;
    Words refusal;
    if (plan.seal.isPlain()) {
        refusal = checkInPlace(plan, manifest);
    } else if (unsealed.emplace(); unsealed->path().isEmpty()) {
        refusal = said(QT_TRANSLATE_NOOP("AccountImporter", "无法建立临时目录，无法引入！"));
    } else {
        removeWithCompanions(unsealed->path());
        refusal = copyAndCheck(plan, manifest, unsealed->path(), false);
        data = unsealed->path();
    }
    if (!refusal.stored.isEmpty())
        return importFailure(refusal);
    control.report(40);
    if (control.cancelled())
        return {AccountImporter::Result::Status::Cancelled, {}};
    return replaceOnServer(sysDb, plan, data, control, who, logged);
}
} // namespace

AccountImporter::Result AccountImporter::restore(Database& sysDb, const ImportPlan& plan, const WorkControl& control, const AuditContext& who)
{
    const AuditEntry logged = importEntry(sysDb, plan);
    Result r;
    {
        // Held until the import is settled: recovery elsewhere leaves its record and copies alone.
        const WorkLock lock(sysDb, WorkLock::Mode::Wait);
        r = restoreSet(sysDb, plan, control, who, logged);
    }
    // The merge and its row were rolled back together (or never began): the failure is written now.
    if (!r.done())
        AuditLog::record(sysDb, who, logged.failed(r.status == Result::Status::Cancelled ? QStringLiteral("已取消") : r.reason)); // not translated: the log keeps Chinese
    return r;
}

namespace {
// Why books at `target` must not be replaced now (another program uses them); empty when they may.
// Taking the lock also rolls back a transaction that a crashed program left behind in them;
// closing them again removes a write-ahead log unless another program still has them open.
Words booksInUseRefusal(const ImportPlan& plan, const QString& target)
{
    const Words inUse = said(QT_TRANSLATE_NOOP("AccountImporter", "帐套[%1]的账套库正在使用，无法覆盖："), plan.accId) + target;
    if (CiFile::isFile(target)) {
        try {
            Database old(target);
            old.execute(QStringLiteral("BEGIN EXCLUSIVE"));
            old.execute(QStringLiteral("ROLLBACK"));
        } catch (const DbError& e) {
            if (e.isLocked())
                return inUse + kCrLf + engineWords(e);
            // Books that cannot be opened at all are what a restore is for.
            WriteErrLog(1, e.text(), kRoutine);
        }
    }
    if (CiFile::exists(target + QStringLiteral("-wal")))
        return inUse;
    return {};
}

// The checked copy made ready to take the books' place: one file with a rollback journal, the
// pending table made, plain-text passwords of an older set hashed, flushed. Why not, or empty.
Words readyCopy(const ImportPlan& plan, const QString& copy)
{
    const bool wal = isWalDatabase(copy);
    try {
        {
            Database books(copy);
            // The books come back with a rollback journal, so the one file is all there is to place.
            if (wal) {
                books.execute(QStringLiteral("PRAGMA journal_mode=DELETE"));
            } else {
                // The copy is this import's alone until it is renamed, and is thrown away
                // after a crash before that: the table needs no journal, the flush below is enough.
                books.execute(QStringLiteral("PRAGMA journal_mode=OFF"));
                books.execute(QStringLiteral("PRAGMA synchronous=OFF"));
            }
            books.execute(QStringLiteral("CREATE TABLE %1 (cAcc_Id TEXT)").arg(kPendingTable));
            // Operators of an older set carry their passwords in plain text: hashed (and the text
            // wiped) before the books take their place, although the merge drops the table.
            if (books.hasTable(QStringLiteral("SM_User_Ex")))
                PasswordHash::convertTable(books, QStringLiteral("SM_User_Ex"));
        }
        if (!BackupSet::syncPath(copy))
            return said(QT_TRANSLATE_NOOP("AccountImporter", "帐套[%1]引入失败，无法写入："), plan.accId) + copy;
    } catch (const DbError& e) {
        return said(QT_TRANSLATE_NOOP("AccountImporter", "引入的数据文件已损坏，无法引入！")) + kCrLf + plan.dataFile() + kCrLf + e.text();
    }
    return {};
}

// An import into a year folder, from its pending record to its settled folder.
struct FolderImport {
    Database& sysDb;
    const ImportPlan& plan;
    QString dir = CiFile::resolve(plan.targetDir);
    QString target = plan.databasePath();
    QString copy = Paths::join(dir, kCopyName);
    QString aside = Paths::join(dir, kAsideName);
    QString pending = pendingPath(sysDb);

    // Settles the folder the way a restart would, and drops the record when it is settled.
    void finish()
    {
        Words left;
        if (settleFolder(dir, &left)) {
            CiFile::remove(pending);
            BackupSet::syncPath(Paths::parentDir(pending));
        } else {
            WriteErrLog(1, left.stored, kRoutine);
        }
    }
    AccountImporter::Result failed(const Words& text)
    {
        finish();
        return importFailure(text);
    }
    // The old books step aside, the checked copy takes their name, the rows are merged; the folder
    // is settled whatever the merge's end.
    AccountImporter::Result swapAndMerge(const WorkControl& control, const AuditContext& who, const AuditEntry& logged);
};

AccountImporter::Result FolderImport::swapAndMerge(const WorkControl& control, const AuditContext& who, const AuditEntry& logged)
{
    using Status = AccountImporter::Result::Status;
    // Until the merge commits, the copy still holds the pending table, so a crash from here on
    // brings the old books back. A journal beside the old books is a leftover (no other program
    // holds them, checked before) that must not be played into the copy.
    CiFile::remove(target + QStringLiteral("-journal"));
    if (CiFile::isFile(target) && !CiFile::rename(target, aside))
        return failed(said(QT_TRANSLATE_NOOP("AccountImporter", "帐套[%1]引入失败，无法移开原帐套库："), plan.accId) + target);
    if (!CiFile::rename(copy, target))
        return failed(said(QT_TRANSLATE_NOOP("AccountImporter", "帐套[%1]引入失败，无法放入帐套库："), plan.accId) + target);
    BackupSet::syncPath(dir);
    try {
        sysDb.attach(target, kImp);
    } catch (const DbError& e) {
        return failed(said(QT_TRANSLATE_NOOP("AccountImporter", "帐套[%1]引入失败："), plan.accId) + engineWords(e));
    }
    Words mergeError;
    QStringList missingRoles;
    bool stopped = false;
    try {
        Merge m{sysDb, {}, {}, {}};
        for (Recordset rs = sysDb.query(QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type='table'").arg(kImp)); !rs.Eof(); rs.MoveNext())
            m.present << rs.Fields(0).toString().toLower();
        // An older installation's log gains its columns before the set's rows come in.
        AuditLog::upgrade(sysDb);
        Database::Transaction tx(sysDb);
        stopped = !mergeAndCommit(m, plan, tx, who, logged, control);
        missingRoles = m.missingRoles;
    } catch (const DbError& e) {
        mergeError = engineWords(e);
    }
    try {
        sysDb.detach(kImp);
    } catch (const DbError& e) {
        WriteErrLog(1, e.text(), kRoutine);
    }
    // Committed or not: the old books come back unless the merge committed, then they go.
    finish();
    if (stopped)
        return {Status::Cancelled, {}};
    if (!mergeError.stored.isEmpty())
        return importFailure(said(QT_TRANSLATE_NOOP("AccountImporter", "帐套[%1]引入失败："), plan.accId) + mergeError);
    control.report(100);
    return {Status::Done, importedNotice(plan, missingRoles)};
}
} // namespace

namespace {
// The new books of replaceBooks made ready as a restore's copy: the pending table in them, flushed.
Words markPending(const QString& copy)
{
    try {
        Database books(copy);
        books.execute(QStringLiteral("CREATE TABLE %1 (cAcc_Id TEXT)").arg(kPendingTable));
    } catch (const DbError& e) {
        return engineWords(e);
    }
    if (!BackupSet::syncPath(copy))
        return said(QT_TRANSLATE_NOOP("AccountImporter", "无法写入：")) + copy;
    return {};
}

// The books reachable as kImp from the system database for as long as it lives.
struct AttachedCopy {
    Database& db;
    bool attached = false;
    ~AttachedCopy()
    {
        try {
            if (attached)
                db.detach(kImp);
        } catch (const DbError& e) {
            WriteErrLog(1, e.text(), kRoutine);
        }
    }
};
} // namespace

Words AccountImporter::replaceBooks(Database& sysDb, const QString& accId, const QString& yearDir,
                                   const std::function<Words(const QString& path)>& make, const std::function<bool(Database& sysDb)>& inTransaction)
{
    ImportPlan plan;
    plan.accId = accId;
    plan.targetDir = yearDir;
    const WorkLock lock(sysDb, WorkLock::Mode::Wait);
    Words why;
    if (!recoverHeld(sysDb, &why))
        return said(QT_TRANSLATE_NOOP("AccountImporter", "上次引入帐套未完成，无法恢复，请稍后再试：")) + kCrLf + why;
    FolderImport work{sysDb, plan};
    if (const Words inUse = booksInUseRefusal(plan, work.target); !inUse.stored.isEmpty())
        return inUse;
    if (!BackupSet::saveAtomically(work.pending, work.dir.toUtf8(), &why))
        return why;
    removeWithCompanions(work.copy);
    why = make(work.copy);
    if (why.stored.isEmpty())
        why = markPending(work.copy);
    CiFile::remove(work.target + QStringLiteral("-journal"));
    if (why.stored.isEmpty() && (!CiFile::rename(work.target, work.aside) || !CiFile::rename(work.copy, work.target)))
        why = said(QT_TRANSLATE_NOOP("AccountImporter", "无法放入帐套库：")) + work.target;
    if (!why.stored.isEmpty()) {
        work.finish();
        return why;
    }
    BackupSet::syncPath(work.dir);
    AttachedCopy attached{sysDb};
    try {
        sysDb.attach(work.target, kImp);
        attached.attached = true;
        Database::Transaction tx(sysDb);
        sysDb.execute(QStringLiteral("DROP TABLE %1.%2").arg(kImp, kPendingTable));
        if (inTransaction(sysDb))
            tx.commit();
    } catch (const DbError& e) {
        why = engineWords(e);
    }
    try {
        if (attached.attached)
            sysDb.detach(kImp);
        attached.attached = false;
    } catch (const DbError& e) {
        WriteErrLog(1, e.text(), kRoutine);
    }
    // Committed or not: the old books come back unless the transaction committed, then they go.
    work.finish();
    return why;
}

QString AccountImporter::unsealChecked(const ImportPlan& plan, const QString& to)
{
    std::optional<BackupSet::Manifest> manifest;
    if (const Words refusal = readManifest(plan, &manifest); !refusal.stored.isEmpty())
        return refusal.shown;
    return copyAndCheck(plan, manifest, to, false).shown;
}

AccountImporter::Result AccountImporter::restoreSet(Database& sysDb, const ImportPlan& plan, const WorkControl& control,
                                                    const AuditContext& who, const AuditEntry& logged)
{
    using Status = Result::Status;
    const Result cancelled{Status::Cancelled, {}};
    if (control.cancelled())
        return cancelled;
    if (!CiFile::isFile(plan.dataFile())) {
        const Words missing = said(QT_TRANSLATE_NOOP("AccountImporter", "找不到要引入的文件！"));
        return {Status::Failed, {missing.shown, QString(), Notice::Icon::None}, missing.stored};
    }
    // Checked again where the books are replaced: the plan may come from anywhere, and the folder
    // may have changed since the questions.
    try {
        if (const Words why = placementRefusal(sysDb, plan); !why.stored.isEmpty())
            return importFailure(why);
    } catch (const DbError& e) {
        return importFailure(said(QT_TRANSLATE_NOOP("AccountImporter", "帐套[%1]引入失败："), plan.accId) + engineWords(e));
    }
    if (sysDb.engine() == Engine::PostgreSQL)
        return restoreOnServer(sysDb, plan, control, who, logged);
    if (!CiFile::isDir(plan.targetDir))
        return importFailure(said(QT_TRANSLATE_NOOP("AccountImporter", "帐套目录不存在：")) + plan.targetDir);
    // What an earlier import left is settled first, so its copy and old books are not mistaken
    // for this one's.
    Words why;
    if (!recoverHeld(sysDb, &why))
        return importFailure(said(QT_TRANSLATE_NOOP("AccountImporter", "上次引入帐套未完成，无法恢复，请稍后再试：")) + kCrLf + why);
    FolderImport work{sysDb, plan};
    if (const Words inUse = booksInUseRefusal(plan, work.target); !inUse.stored.isEmpty())
        return importFailure(inUse);
    std::optional<BackupSet::Manifest> manifest;
    if (const Words refusal = readManifest(plan, &manifest); !refusal.stored.isEmpty())
        return importFailure(refusal);
    control.report(10);

    // From here on a crash is settled on the next start from this record.
    if (!BackupSet::saveAtomically(work.pending, work.dir.toUtf8(), &why))
        return importFailure(said(QT_TRANSLATE_NOOP("AccountImporter", "帐套[%1]引入失败："), plan.accId) + why);
    // The copy is made beside the books under a name of its own and checked while it is written
    // (flushed once, after it has got the pending table); the books are replaced only by a
    // complete, checked copy.
    removeWithCompanions(work.copy);
    Words refusal = copyAndCheck(plan, manifest, work.copy, false);
    if (refusal.stored.isEmpty())
        refusal = readyCopy(plan, work.copy);
    if (!refusal.stored.isEmpty())
        return work.failed(refusal);
    control.report(60);
    if (control.cancelled()) {
        work.finish();
        return cancelled;
    }
    return work.swapAndMerge(control, who, logged);
}

bool AccountImporter::recover(Database& sysDb, QString* error)
{
    // A server's import is one transaction: nothing is ever left half done.
    if (sysDb.engine() == Engine::PostgreSQL)
        return true;
    // An import another program is doing right now is not a crash's leftover.
    const WorkLock lock(sysDb, WorkLock::Mode::Try);
    Words why;
    if (!lock.held() || recoverHeld(sysDb, &why))
        return true;
    if (error)
        *error = why.shown;
    return false;
}

bool AccountImporter::recoverHeld(Database& sysDb, Words* error)
{
    Words why;
    bool ok = true;
    const QString pending = pendingPath(sysDb);
    if (CiFile::isFile(pending)) {
        QFile f(pending);
        const QString dir = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.read(64 * 1024)).trimmed() : QString();
        f.close();
        if (!dir.isEmpty() && CiFile::isDir(dir))
            ok = settleFolder(dir, &why);
        if (ok) {
            CiFile::remove(pending);
            BackupSet::syncPath(Paths::parentDir(pending));
        } else {
            WriteErrLog(1, why.stored, QStringLiteral("recover"));
        }
    }
    removeStaleCopies(sysDb);
    if (!ok && error)
        *error = why;
    return ok;
}
