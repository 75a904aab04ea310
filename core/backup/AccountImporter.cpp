#include "AccountImporter.h"
#include "BackupSet.h"

#include <CiFile.h>
#include <Database.h>
#include <ErrLog.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <thread>

namespace {
const QString kRoutine = QStringLiteral("Timer1_Timer");
const QString kImp = QStringLiteral("imp");
const QString kCrLf = QStringLiteral("\r\n");

// A descriptor is a few hundred bytes; anything far larger is some other file.
constexpr qint64 kMaxDescriptorBytes = 64 * 1024;

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

QString columnList(const QStringList& columns, const QString& alias = QString())
{
    QStringList out;
    for (const QString& c : columns)
        out << (alias.isEmpty() ? c : alias + QLatin1Char('.') + c);
    return out.join(QLatin1Char(','));
}

// Runs one merge statement. A table or column that the backup set lacks (an export step that
// failed) skips this statement only; any other failure stops the merge, which is then rolled back.
void step(Database& db, const QString& sql, const QVariantList& params = {})
{
    try {
        db.execute(sql, params);
    } catch (const DbError& e) {
        if (e.nativeCode() != QLatin1String("1"))
            throw;
        WriteErrLog(1, e.text(), kRoutine);
    }
}

// Rows of a table without a key: those not already there, compared column by column (Null
// equals Null), so importing a set again does not double them.
void insertMissing(Database& db, const QString& table, const QStringList& columns)
{
    QStringList same;
    for (const QString& c : columns)
        same << QStringLiteral("t.%1 IS old.%1").arg(c);
    step(db,
         QStringLiteral("INSERT INTO main.%1 (%2) SELECT %3 FROM %4.%1_Ex AS old "
                        "WHERE NOT EXISTS (SELECT 1 FROM main.%1 AS t WHERE %5)")
             .arg(table, columnList(columns), columnList(columns, QStringLiteral("old")), kImp,
                  same.join(QStringLiteral(" AND "))));
}

// The set's rows from the attached copy into the system database, the copy's own clean-up and
// the fix-ups that follow: later statements read what earlier ones wrote, so the order matters.
void mergeRows(Database& db, const ImportPlan& plan)
{
    const QString& acc = plan.accId;
    const QString imp = kImp;

    // Rows that clash with existing ones are skipped; an existing set keeps its row.
    step(db, QStringLiteral("INSERT OR IGNORE INTO main.SM_Account (%1) SELECT %1 FROM %2.SM_Account_Ex")
                 .arg(columnList(kAccountColumns), imp));

    step(db, QStringLiteral("CREATE TABLE IF NOT EXISTS main.CreateAcc (cAcc_Id TEXT COLLATE NOCASE,cAcc_Name TEXT COLLATE NOCASE)"));
    step(db, QStringLiteral("INSERT INTO main.CreateAcc (cAcc_Id,cAcc_Name) SELECT cAcc_Id,cAcc_Name FROM main.SM_Account "
                            "WHERE cAcc_Id=? AND NOT EXISTS (SELECT 1 FROM main.CreateAcc WHERE cAcc_Id=?) ORDER BY iYear LIMIT 1"),
         {acc, acc});

    step(db, QStringLiteral("INSERT OR IGNORE INTO main.SM_Period (cAcc_Id,iYear,iId,dBegin,dEnd) "
                            "SELECT cAcc_Id,iYear,iId,dBegin,dEnd FROM %1.SM_Period_Ex").arg(imp));
    step(db, QStringLiteral("INSERT OR IGNORE INTO main.SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) "
                            "SELECT cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id FROM %1.SM_Auth_Ex "
                            "WHERE cSub_Id=? AND cAuth_Id COLLATE NOCASE NOT IN (SELECT cAuth_Id FROM main.SM_Auth)").arg(imp),
         {QStringLiteral("RE")});
    step(db, QStringLiteral("INSERT OR IGNORE INTO main.SM_Group (cGroup_Id,cGroup_Name,cMemo) "
                            "SELECT old.cGroup_Id,old.cGroup_Name,old.cMemo FROM %1.SM_Group_Ex AS old "
                            "WHERE old.cGroup_Id COLLATE NOCASE NOT IN (SELECT cGroup_Id FROM main.SM_Group)").arg(imp));
    // A membership is the pair of role and operator.
    step(db, QStringLiteral("INSERT OR IGNORE INTO main.SM_Role (cGroup_Id,cUser_Id) "
                            "SELECT old.cGroup_Id,old.cUser_Id FROM %1.SM_Role_Ex AS old WHERE NOT EXISTS "
                            "(SELECT 1 FROM main.SM_Role AS r WHERE r.cGroup_Id=old.cGroup_Id AND r.cUser_Id=old.cUser_Id)").arg(imp));
    // Holdings of permissions that this installation knows.
    step(db, QStringLiteral("INSERT OR IGNORE INTO main.SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) "
                            "SELECT old.cAcc_Id,old.iYear,old.cUser_Id,old.cAuth_Id FROM %1.SM_HoldAuth_Ex AS old "
                            "WHERE old.cAuth_Id COLLATE NOCASE IN (SELECT cAuth_Id FROM main.SM_Auth)").arg(imp));
    step(db, QStringLiteral("INSERT OR IGNORE INTO main.SM_Account_sub (cAcc_Id,iYear,cSub_Id,iModiPeri,dSubSysUsed) "
                            "SELECT cAcc_Id,iYear,cSub_Id,iModiPeri,dSubSysUsed FROM %1.SM_Account_sub_Ex").arg(imp));
    insertMissing(db, QStringLiteral("SM_FlowItems"),
                  {QStringLiteral("cAccId"), QStringLiteral("cFlow_Id"), QStringLiteral("iItem_Id"),
                   QStringLiteral("cItem_Name"), QStringLiteral("iOrder")});
    insertMissing(db, QStringLiteral("SM_FlowLines"),
                  {QStringLiteral("cAccId"), QStringLiteral("cFlow_Id"), QStringLiteral("iFrom_Item"),
                   QStringLiteral("iTo_Item"), QStringLiteral("cMemo")});
    insertMissing(db, QStringLiteral("SM_Identity"),
                  {QStringLiteral("cAcc_Id"), QStringLiteral("cTable"), QStringLiteral("iFatherId"), QStringLiteral("iChildId")});
    insertMissing(db, QStringLiteral("SM_Log"),
                  {QStringLiteral("iLog_Id"), QStringLiteral("cAcc_Id"), QStringLiteral("iYear"), QStringLiteral("cSub_Id"),
                   QStringLiteral("cUser_Id"), QStringLiteral("cStation"), QStringLiteral("dDate"), QStringLiteral("cTime"),
                   QStringLiteral("cContent")});

    // The set now lives where it was put.
    step(db, QStringLiteral("UPDATE main.SM_Account SET cAcc_Path=? WHERE cAcc_Id=?"), {plan.basePath(), acc});
    if (!plan.sysId.isEmpty()) {
        step(db, QStringLiteral("UPDATE main.SM_Account SET iSysID=? WHERE cAcc_Id=?"), {plan.sysId.toLongLong(), acc});
        step(db, QStringLiteral("UPDATE %1.AccInformation SET cValue=?,cDefault=? WHERE cID='AA' AND cName='iSystemID'").arg(imp),
             {plan.sysId, plan.sysId});
    }
    for (const char* t : kDropped)
        step(db, QStringLiteral("DROP TABLE IF EXISTS %1.%2").arg(imp, QLatin1String(t)));

    for (const char* sub : kClearedModules)
        step(db, QStringLiteral("UPDATE main.SM_Account_sub SET dSubSysUsed=NULL WHERE cAcc_Id=? AND iYear=9999 AND cSub_Id=?"),
             {acc, QLatin1String(sub)});
    // The supervisors' role holds the supervisor right of set 001, year 2009, and of no imported set.
    step(db, QStringLiteral("DELETE FROM main.SM_HoldAuth WHERE cUser_Id='DATA-MANAGER' AND cAcc_Id=?"), {acc});
    step(db, QStringLiteral("INSERT OR IGNORE INTO main.SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) VALUES ('001',2009,'DATA-MANAGER','admin')"));
    step(db, QStringLiteral("UPDATE main.SM_Group SET cTradeKinds=?,cTrade_Kinds=? WHERE cGroup_Id NOT IN (SELECT cGroup_Id FROM main.sm_initialgroup) "
                            "OR cGroup_Id IN (SELECT DISTINCT cGroup_Id FROM main.SM_Role)"),
         {QStringLiteral("|BZ|"), QStringLiteral("|BZ|")});
}

// Empty when the file is a sound database; otherwise what is wrong with it.
QString checkDatabase(const QString& path)
{
    try {
        Database db(path);
        Recordset rs = db.query(QStringLiteral("PRAGMA quick_check(5)"));
        if (rs.Eof())
            return QStringLiteral("完整性检查没有结果");
        const QString first = rs.Fields(0).toString();
        if (first.compare(QLatin1String("ok"), Qt::CaseInsensitive) == 0)
            return QString();
        QStringList problems;
        for (; !rs.Eof(); rs.MoveNext())
            problems << rs.Fields(0).toString();
        return problems.join(kCrLf);
    } catch (const DbError& e) {
        return e.text();
    } catch (...) {
        return QStringLiteral("完整性检查失败");
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

// Line count and first line of a descriptor read with a bounded buffer; false when unreadable.
bool peekDescriptor(const QString& path, int* lines, QString* firstLine, QString* error)
{
    QFile f(CiFile::resolve(path));
    if (!CiFile::isFile(path) || !f.open(QIODevice::ReadOnly)) {
        *error = f.errorString();
        return false;
    }
    const QByteArray text = f.read(kMaxDescriptorBytes + 1);
    if (f.error() != QFileDevice::NoError) {
        *error = f.errorString();
        return false;
    }
    if (text.size() > kMaxDescriptorBytes) {
        *lines = 0;
        return true;
    }
    QList<QByteArray> parts = text.split('\n');
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    *lines = int(parts.size());
    *firstLine = parts.isEmpty() ? QString() : QString::fromUtf8(parts.first()).trimmed();
    return true;
}
} // namespace

QString ImportPlan::dataFile() const
{
    return CiFile::resolve(sourceDir + BackupSet::kDataFileName);
}

QString ImportPlan::databasePath() const
{
    return CiFile::resolve(Paths::join(targetDir, QStringLiteral("KdData.mdb")));
}

QString ImportPlan::basePath() const
{
    return Paths::withTrailingSep(Paths::parentDir(Paths::withoutTrailingSep(accFolder)));
}

AccountImporter::AccountImporter(Database& sysDb)
    : m_sysDb(sysDb)
{
}

const QString& AccountImporter::title()
{
    static const QString t = QStringLiteral("管理软件【系统管理】");
    return t;
}

Notice AccountImporter::refuse(const QString& text)
{
    WriteErrLog(1, text, QStringLiteral("mnuAccInput_Click"));
    return {text, title(), Notice::Icon::Exclamation};
}

Notice AccountImporter::load(const QString& descriptorPath)
{
    m_plan = ImportPlan();
    const QString L = CiFile::resolve(descriptorPath);
    int lines = 0;
    QString first;
    QString why;
    if (!peekDescriptor(L, &lines, &first, &why))
        return refuse(QStringLiteral("无法读取引入文件：") + L + kCrLf + why);
    if (first.compare(QLatin1String("[BackRetInfo]"), Qt::CaseInsensitive) != 0)
        return refuse(QStringLiteral("所选文件不是帐套数据备份文件，无法引入！") + kCrLf + L);
    if (lines < BackupSet::LineYear)
        return refuse(QStringLiteral("引入文件不完整（只有%1行），无法引入！").arg(lines) + kCrLf + L);

    const BackupSet::Descriptor d = BackupSet::readDescriptor(L);
    static const QRegularExpression accRe(QStringLiteral("^[0-9]{3}$"));
    static const QRegularExpression yearRe(QStringLiteral("^[0-9]{2}$"));
    static const QRegularExpression sysRe(QStringLiteral("^-?[0-9]{1,18}$"));
    const QString yy = BackupSet::lineValue(BackupSet::readLine(L, BackupSet::LineYear));
    if (!accRe.match(d.accId).hasMatch())
        return refuse(QStringLiteral("引入文件中的帐套号[%1]无效，无法引入！").arg(d.accId) + kCrLf + L);
    if (!yearRe.match(yy).hasMatch())
        return refuse(QStringLiteral("引入文件中的年度[%1]无效，无法引入！").arg(yy) + kCrLf + L);
    if (!d.sysId.isEmpty() && !sysRe.match(d.sysId).hasMatch())
        return refuse(QStringLiteral("引入文件中的系统标识[%1]无效，无法引入！").arg(d.sysId) + kCrLf + L);
    if (d.accFolder.trimmed().isEmpty())
        return refuse(QStringLiteral("引入文件中没有帐套路径，无法引入！") + kCrLf + L);

    ImportPlan p;
    p.descriptorPath = L;
    p.accId = d.accId;
    p.sysId = d.sysId;
    p.accFolder = d.accFolder;
    p.year = d.year;
    p.sourceDir = BackupSet::sourceDir(L);
    p.targetDir = Paths::join(d.accFolder, d.year);

    const QString data = p.dataFile();
    // Said plainly, as the import has always said it.
    if (!CiFile::isFile(data))
        return {QStringLiteral("找不到要引入的文件！"), QString(), Notice::Icon::None};
    if (!hasDatabaseHeader(data))
        return refuse(QStringLiteral("引入的数据文件不是帐套数据，无法引入！") + kCrLf + data);

    try {
        p.setExists = m_sysDb.scalar(QStringLiteral("select count(*) from SM_Account where cAcc_Id=?"), {p.accId}).toInt() > 0;
    } catch (const DbError& e) {
        return refuse(QStringLiteral("无法读取系统库：") + e.userText());
    }
    m_plan = p;
    return {};
}

Notice AccountImporter::placeIn(const QString& chosenBase)
{
    ImportPlan& p = m_plan;
    p.accFolder = Paths::withTrailingSep(chosenBase.trimmed()) + QStringLiteral("zt") + p.accId + QLatin1Char('/');
    p.targetDir = Paths::join(p.accFolder, p.year);
    // The descriptor only records where the set was put: the import goes on without it.
    QString why;
    if (!BackupSet::rewriteFolder(p.descriptorPath, p.accFolder, &why))
        WriteErrLog(1, why, QStringLiteral("mnuAccInput_Click"));
    if (!CiFile::mkpath(p.targetDir) || !CiFile::isDir(p.targetDir))
        return refuse(QStringLiteral("无法创建帐套目录：") + p.targetDir);
    p.targetDir = CiFile::resolve(p.targetDir);
    return {};
}

Notice AccountImporter::keepFolder()
{
    ImportPlan& p = m_plan;
    const QString target = Paths::normalize(p.targetDir);
    if (!QDir::isAbsolutePath(target) || !CiFile::isDir(target))
        return refuse(QStringLiteral("帐套目录不存在：") + p.targetDir + kCrLf + QStringLiteral("请重新引入，并重新指定帐套路径。"));
    p.targetDir = CiFile::resolve(p.targetDir);
    return {};
}

AccountImporter::Result AccountImporter::restore(Database& sysDb, const ImportPlan& plan, const WorkControl& control)
{
    using Status = Result::Status;
    auto failWith = [](const QString& text) {
        WriteErrLog(1, text, kRoutine);
        return Result{Status::Failed, {text, title(), Notice::Icon::Exclamation}};
    };
    const Result cancelled{Status::Cancelled, {}};
    if (control.cancelled())
        return cancelled;
    const QString data = plan.dataFile();
    if (!CiFile::isFile(data))
        return {Status::Failed, {QStringLiteral("找不到要引入的文件！"), QString(), Notice::Icon::None}};
    if (!CiFile::isDir(plan.targetDir))
        return failWith(QStringLiteral("帐套目录不存在：") + plan.targetDir);
    const QString target = plan.databasePath();

    // Books that another program is using are not replaced under it. Taking the lock also rolls
    // back a transaction that a crashed program left behind in them; closing them again removes a
    // write-ahead log unless another program still has them open.
    const QString inUse = QStringLiteral("帐套[%1]的账套库正在使用，无法覆盖：").arg(plan.accId) + target;
    if (CiFile::isFile(target)) {
        try {
            Database old(target);
            old.execute(QStringLiteral("BEGIN EXCLUSIVE"));
            old.execute(QStringLiteral("ROLLBACK"));
        } catch (const DbError& e) {
            if (e.isLocked())
                return failWith(inUse + kCrLf + e.userText());
            // Books that cannot be opened at all are what a restore is for.
            WriteErrLog(1, e.text(), kRoutine);
        }
    }
    if (CiFile::exists(target + QStringLiteral("-wal")))
        return failWith(inUse);
    control.report(10);

    // The copy is made beside the books under a name of its own and checked while it is written;
    // the books are replaced only by a complete, checked and merged copy.
    const QString temp = Paths::join(plan.targetDir, QStringLiteral(".kddata.mdb.%1.import").arg(QCoreApplication::applicationPid()));
    removeWithCompanions(temp);
    QString copyError;
    bool copied = false;
    std::thread copier([&] {
        QFile in(data);
        if (!in.open(QIODevice::ReadOnly)) {
            copyError = in.errorString();
            return;
        }
        copied = BackupSet::copyInto(in, temp, &copyError);
    });
    // A data file in WAL mode is checked in its copy, so the backup set stays as it is.
    const bool wal = isWalDatabase(data);
    QString damage = wal ? QString() : checkDatabase(data);
    copier.join();
    if (wal && copied) {
        damage = checkDatabase(temp);
        // The books come back with a rollback journal, so the one file is all there is to place.
        if (damage.isEmpty()) {
            try {
                Database copy(temp);
                copy.execute(QStringLiteral("PRAGMA journal_mode=DELETE"));
            } catch (const DbError& e) {
                damage = e.text();
            }
        }
    }
    auto dropTemp = [&] { removeWithCompanions(temp); };
    if (!damage.isEmpty()) {
        dropTemp();
        return failWith(QStringLiteral("引入的数据文件已损坏，无法引入！") + kCrLf + data + kCrLf + damage);
    }
    if (!copied) {
        dropTemp();
        return failWith(QStringLiteral("复制帐套数据失败，无法引入！") + kCrLf + copyError);
    }
    control.report(60);
    if (control.cancelled()) {
        dropTemp();
        return cancelled;
    }

    try {
        sysDb.attach(temp, kImp);
    } catch (const DbError& e) {
        dropTemp();
        return failWith(QStringLiteral("帐套[%1]引入失败：").arg(plan.accId) + e.userText());
    }
    QString mergeError;
    bool stopped = false;
    try {
        Database::Transaction tx(sysDb);
        mergeRows(sysDb, plan);
        control.report(90);
        // The last moment to stop: leaving the transaction uncommitted undoes the merge.
        if (control.cancelled())
            stopped = true;
        else
            tx.commit();
    } catch (const DbError& e) {
        mergeError = e.userText();
    }
    try {
        sysDb.detach(kImp);
    } catch (const DbError& e) {
        WriteErrLog(1, e.text(), kRoutine);
    }
    if (stopped) {
        dropTemp();
        return cancelled;
    }
    if (!mergeError.isEmpty()) {
        dropTemp();
        return failWith(QStringLiteral("帐套[%1]引入失败：").arg(plan.accId) + mergeError);
    }

    // No other program holds the books (checked above), so a journal beside them is a leftover
    // that belongs to the old file and must not be played into the new one.
    CiFile::remove(target + QStringLiteral("-journal"));
    if (!CiFile::rename(temp, target)) {
        dropTemp();
        return failWith(QStringLiteral("帐套[%1]的数据已写入系统库，但无法替换账套库：").arg(plan.accId) + target);
    }
    BackupSet::syncPath(plan.targetDir);
    control.report(100);
    return {Status::Done, {QStringLiteral("帐套[") + plan.accId + QStringLiteral("]引入成功！"), title(), Notice::Icon::Question}};
}
