#include "NewYear.h"
#include "AccountDb.h"
#include "AccountTemplate.h"
#include "BooksSearchPath.h"
#include "YearConfig.h"

#include <AuditEvents.h>
#include <CiFile.h>
#include <Database.h>
#include <ErrLog.h>
#include <Periods.h>

#include <QCoreApplication>
#include <QDate>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {
QString title()
{
    return QCoreApplication::translate("NewYear", "建立年度账");
}

// The latest year's books and the new year's, joined to one connection.
const QString kPrev = QStringLiteral("prevyear");
const QString kNew = QStringLiteral("newyear");

// The columns of SM_Account the new year's row takes from the latest year's.
const QString kAccountColumns = QStringLiteral("iSysID,cAcc_Id,cAcc_Name,cAcc_Path,%1,cAcc_Master,cCurCode,cCurName,cUnitName,"
                                               "cUnitAbbre,cUnitAddr,cUnitZap,cUnitTel,cUnitFax,cUnitEMail,cUnitTaxNo,cUnitLP,"
                                               "cFinKind,cFinType,cEntType,cTradeKind");

AccountSetOutcome failure(const Words& why)
{
    AccountSetOutcome out;
    out.notice = Notice{why.shown, title(), Notice::Icon::Exclamation};
    out.error = why.stored;
    return out;
}

// The latest year's options, coding scheme, precision and chart replace the template's rows, column
// by column where both books have it (books of an older template lack some), and the scheme and
// precision are marked as copied (YearConfig).
void copyBooks(Database& db, const QString& to, const QString& from)
{
    for (const QString table : {QStringLiteral("AccInformation"), QStringLiteral("GradeDef"), QStringLiteral("code")}) {
        const QStringList shared = YearConfig::sharedColumns(db, table, to, from);
        db.execute(QStringLiteral("delete from %1.%2").arg(to, table));
        db.execute(QStringLiteral("insert into %1.%2 (%3) select %3 from %4.%2").arg(to, table, shared.join(QLatin1Char(',')), from));
    }
    YearConfig::markCopied(db, YearConfig::Part::Scheme, to);
    YearConfig::markCopied(db, YearConfig::Part::Precision, to);
}

// The system rows of the new year. Rows of that year left without its SM_Account row (by a year
// taken away with another tool) give way: the new year's grants and subsystems are exactly the
// latest year's.
void insertYearRows(Database& db, const QString& accId, int from, int year)
{
    for (const QString table : {QStringLiteral("SM_Period"), QStringLiteral("SM_HoldAuth"), QStringLiteral("SM_Account_sub")})
        db.execute(QStringLiteral("delete from %1 where cAcc_Id=? and iYear=?").arg(table), {accId, year});
    db.execute(QStringLiteral("insert into SM_Account (%1) select %2 from SM_Account where cAcc_Id=? and iYear=?")
                   .arg(kAccountColumns.arg(QStringLiteral("iYear,iMonth")), kAccountColumns.arg(QStringLiteral("?,1"))),
               {year, accId, from});
    for (int i = 1; i <= 12; ++i)
        db.execute(QStringLiteral("insert into SM_Period (cAcc_Id,iYear,iId,dBegin,dEnd) values (?,?,?,?,?)"),
                   {accId, year, i, Periods::beginDate(year, i), Periods::endDate(year, i)});
    db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) "
                              "select cAcc_Id,?,cUser_Id,cAuth_Id from SM_HoldAuth where cAcc_Id=? and iYear=?"),
               {year, accId, from});
    // A module enabled in the latest year or before is enabled in the new one from its first
    // period, written as enabling it on the first day would write its year's row (the 9999 row,
    // its first enabling, stays).
    Recordset subs = db.query(QStringLiteral("select distinct cSub_Id from SM_Account_sub where cAcc_Id=? and iYear<=?"), {accId, from});
    for (; !subs.Eof(); subs.MoveNext()) {
        const QString sub = subs.text(QStringLiteral("cSub_Id"));
        const bool wa = sub.compare(QLatin1String("WA"), Qt::CaseInsensitive) == 0;
        db.execute(QStringLiteral("insert into SM_Account_sub (cAcc_Id,iYear,cSub_Id,iModiPeri,dSubSysUsed) values (?,?,?,0,?)"),
                   {accId, year, sub, wa ? QVariant() : QVariant(QDate(year, 1, 1))});
    }
}

// Detaches the years' books from a connection when the work ends, however it ends.
struct Detach {
    Database& db;
    ~Detach()
    {
        for (const QString& alias : {kPrev, kNew}) {
            try {
                db.detach(alias);
            } catch (const DbError&) {
            }
        }
    }
};
} // namespace

NewYear::NewYear(Database& sysDb, const AuditContext& who)
    : m_sysDb(sysDb)
    , m_who(who)
{
}

Words NewYear::check(const QString& accId, int from, const QString& operatorId)
{
    if (from <= 0)
        return Words::of("NewYear", QT_TRANSLATE_NOOP("NewYear", "账套[%1]不存在。"), accId);
    const bool admin = operatorId.compare(QLatin1String("admin"), Qt::CaseInsensitive) == 0;
    if (!admin && m_sysDb.scalar(QStringLiteral("select (select count(*) from SM_Account where cAcc_Id=? and iYear=? and cAcc_Master=?)"
                                                "+(select count(*) from SM_HoldAuth where cAcc_Id=? and iYear=? and cUser_Id=? and cAuth_Id='admin')"),
                                 {accId, from, operatorId, accId, from, operatorId}).toInt() == 0)
        return Words::of("NewYear", QT_TRANSLATE_NOOP("NewYear", "操作员[%1]不是账套[%2]的账套主管，不能建立年度账。"), operatorId, accId);
    const int year = from + 1;
    const QString next = QString::number(year);
    if (m_sysDb.scalar(QStringLiteral("select count(*) from SM_Account where cAcc_Id=? and iYear=?"), {accId, year}).toInt() > 0)
        return Words::of("NewYear", QT_TRANSLATE_NOOP("NewYear", "账套[%1]的%2年度已经存在，不能重复建立。"), accId, next);
    if (year > kLastYear)
        return Words::of("NewYear", QT_TRANSLATE_NOOP("NewYear", "账套[%1]不能建立%2年度：年度最晚为%3年。"), accId, next, QString::number(kLastYear));
    const bool server = m_sysDb.engine() == Engine::PostgreSQL;
    QString path;
    if (!AccountDb::locate(m_sysDb, accId, from, &path, nullptr))
        return Words::of("NewYear", QT_TRANSLATE_NOOP("NewYear", "账套[%1]不存在。"), accId);
    const QString books = server ? AccountDb::booksSchema(accId, from) : AccountDb::databasePath(path, accId, from);
    if (server ? !m_sysDb.schemaExists(books) : !CiFile::isFile(books))
        return Words::of("NewYear", QT_TRANSLATE_NOOP("NewYear", "找不到账套[%1]%2年度的账套库：%3"), accId, QString::number(from), books);
    // Books of the new year without its row are somebody's: never replaced.
    const QString made = server ? AccountDb::booksSchema(accId, year) : AccountDb::databasePath(path, accId, year);
    if (server ? m_sysDb.schemaExists(made) : CiFile::isFile(made))
        return Words::of("NewYear", QT_TRANSLATE_NOOP("NewYear", "账套[%1]的%2年度已有账套库：%3。请先移走它，再建立年度账。"), accId, next, made);
    return {};
}

NewYear::Plan NewYear::plan(const QString& accId, const QString& operatorId)
{
    Plan p;
    p.accId = accId.trimmed();
    p.operatorId = operatorId.trimmed();
    Words why;
    try {
        Recordset rs = m_sysDb.query(QStringLiteral("select cAcc_Name,iYear from SM_Account where cAcc_Id=? order by iYear desc"), {p.accId});
        if (!rs.Eof()) {
            p.accName = rs.text(QStringLiteral("cAcc_Name"));
            p.fromYear = rs.Fields(QStringLiteral("iYear")).toInt();
            p.newYear = p.fromYear + 1;
        }
        why = check(p.accId, p.fromYear, p.operatorId);
    } catch (const DbError& e) {
        why = Words::of("NewYear", QT_TRANSLATE_NOOP("NewYear", "无法读取账套[%1]：%2"), p.accId, Words{e.reasonText(), e.userText()});
    }
    if (!why.stored.isEmpty()) {
        p.refusal = Notice{why.shown, title(), Notice::Icon::Exclamation};
        return p;
    }
    p.question = Notice{QCoreApplication::translate("NewYear", "为账套[%1]%2建立%3年度吗？新年度沿用%4年度的选项、编码方案、数据精度、"
                                                               "会计科目、权限和已启用的子系统。")
                            .arg(p.accId, p.accName, QString::number(p.newYear), QString::number(p.fromYear)),
                        title(), Notice::Icon::Question};
    return p;
}

AccountSetOutcome NewYear::make(const Plan& plan)
{
    if (!plan.ok()) {
        AccountSetOutcome out;
        out.notice = plan.refusal;
        out.error = plan.refusal.text;
        return out;
    }
    const AccountSetOutcome out = makeYear(plan);
    // The year's rows and their log row were rolled back together: the failure is written after.
    if (!out.done())
        AuditLog::record(m_sysDb, m_who, Audit::yearCreated(plan.accId, plan.fromYear, plan.newYear).failed(out.error));
    return out;
}

// The new books on a server: a schema made in the system database's transaction from the template's
// statements, then filled from the latest year's schema.
QString NewYear::serverBooks(const Plan& plan)
{
    const QString schema = AccountDb::booksSchema(plan.accId, plan.newYear);
    m_sysDb.createSchema(schema);
    {
        BooksSearchPath books(m_sysDb, schema);
        AccountTemplate::fill(m_sysDb);
    }
    Detach detach{m_sysDb};
    m_sysDb.attach(AccountDb::booksSchema(plan.accId, plan.fromYear), kPrev);
    m_sysDb.attach(schema, kNew);
    copyBooks(m_sysDb, kNew, kPrev);
    return schema;
}

// The new books on files: the template copied under a temporary name in the new year's folder and
// filled from the latest year's file there; the caller renames it into place. `made` lists the
// folders made, `placed` the temporary file, for removal when the work fails.
QString NewYear::fileBooks(const Plan& plan, const QString& accPath, QStringList& made, QString& placed)
{
    const QString folder = AccountDb::yearFolder(accPath, plan.accId, plan.newYear);
    if (!AccountDb::makeFolders(folder, made))
        throw DbError(Words::of("NewYear", QT_TRANSLATE_NOOP("NewYear", "无法创建文件夹：%1"), folder));
    // A temporary file of an interrupted 建立 is this work's own: it is made again.
    const QString temp = AccountDb::databasePath(accPath, plan.accId, plan.newYear) + QStringLiteral(".new");
    CiFile::remove(temp + QStringLiteral("-journal"));
    CiFile::remove(temp);
    placed = CiFile::resolve(temp);
    if (!CiFile::copy(AccountDb::templatePath(), placed))
        throw DbError(Words::of("NewYear", QT_TRANSLATE_NOOP("NewYear", "无法把账套库模板 %1 复制到 %2"), AccountDb::templatePath(), placed));
    Database books(placed);
    books.attach(AccountDb::databasePath(accPath, plan.accId, plan.fromYear), kPrev);
    {
        Database::Transaction tx(books);
        copyBooks(books, QStringLiteral("main"), kPrev);
        tx.commit();
    }
    books.detach(kPrev);
    return AccountDb::databasePath(accPath, plan.accId, plan.newYear);
}

namespace {
// The renamed books' name, and the year folder's in the set's folder, on disk before the system
// rows commit: a power cut after the commit never finds a year whose books' name was lost.
// (Backup's DurableFile does the same for its files; accounts sit below it.)
bool syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(CiFile::resolve(folder)).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void removeBooksFile(const QString& file)
{
    if (file.isEmpty())
        return;
    CiFile::remove(file + QStringLiteral("-journal"));
    CiFile::remove(file);
}

bool yearMade(Database& db, const NewYear::Plan& plan)
{
    try {
        return db.scalar(QStringLiteral("select count(*) from SM_Account where cAcc_Id=? and iYear=?"), {plan.accId, plan.newYear}).toInt() > 0;
    } catch (const DbError&) {
        return false;
    }
}
} // namespace

AccountSetOutcome NewYear::makeYear(const Plan& plan)
{
    const bool server = m_sysDb.engine() == Engine::PostgreSQL;
    QStringList made;
    QString placed, renamed, books;
    try {
        Database::Transaction tx(m_sysDb);
        if (const Words why = check(plan.accId, plan.fromYear, plan.operatorId); !why.stored.isEmpty())
            return failure(why);
        QString accPath;
        AccountDb::locate(m_sysDb, plan.accId, plan.fromYear, &accPath, nullptr);
        insertYearRows(m_sysDb, plan.accId, plan.fromYear, plan.newYear);
        books = server ? serverBooks(plan) : fileBooks(plan, accPath, made, placed);
        if (!server) {
            // Checked again just before: a rename would replace books put there meanwhile.
            if (CiFile::isFile(books) || !CiFile::rename(placed, books))
                throw DbError(Words::of("NewYear", QT_TRANSLATE_NOOP("NewYear", "无法把新账套库放到 %1"), books));
            renamed = CiFile::resolve(books);
            placed.clear();
            const QString folder = AccountDb::yearFolder(accPath, plan.accId, plan.newYear);
            if (!syncFolder(folder) || !syncFolder(AccountDb::accountFolder(accPath, plan.accId)))
                throw DbError(Words::of("NewYear", QT_TRANSLATE_NOOP("NewYear", "无法把新账套库写入磁盘：%1"), folder));
        }
        // The last statement before the commit; its failure takes the renamed books away again.
        AuditLog::write(m_sysDb, m_who, Audit::yearCreated(plan.accId, plan.fromYear, plan.newYear));
        tx.commit();
    } catch (const DbError& e) {
        removeBooksFile(placed);
        removeBooksFile(renamed);
        AccountDb::removeFolders(made);
        WriteErrLog(4, e.text(), QStringLiteral("NewYear"));
        // Another session made the year meanwhile: its row (or its books' schema) won the race
        // after this one's check, and this one's work is rolled back.
        if ((e.primaryCode() == 19 || e.nativeCode() == QLatin1String("42P06")) && yearMade(m_sysDb, plan))
            return failure(Words::of("NewYear", QT_TRANSLATE_NOOP("NewYear", "账套[%1]的%2年度已经存在，不能重复建立。"), plan.accId,
                                     QString::number(plan.newYear)));
        return failure(Words::of("NewYear", QT_TRANSLATE_NOOP("NewYear", "建立年度账失败：%1"), Words{e.reasonText(), e.userText()}));
    }
    AccountSetOutcome out;
    out.status = AccountSetOutcome::Status::Done;
    out.success = Notice{QCoreApplication::translate("NewYear", "账套[%1]%2的%3年度已建立。").arg(plan.accId, plan.accName, QString::number(plan.newYear)),
                         title(), Notice::Icon::Information};
    out.accId = plan.accId;
    out.accName = plan.accName;
    AccountDb::locate(m_sysDb, plan.accId, plan.newYear, &out.accPath, nullptr);
    out.accountDbPath = renamed.isEmpty() ? books : renamed;
    return out;
}
