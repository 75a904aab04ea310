#include "AccountSetCreator.h"
#include "AccountDb.h"
#include "AccountTemplate.h"
#include "BooksSearchPath.h"

#include <AuditEvents.h>
#include <CiFile.h>
#include <Database.h>
#include <ErrLog.h>
#include <Paths.h>
#include <Periods.h>
#include <SysInfo.h>

#include <QCoreApplication>
#include <QDir>

#include <cmath>
#include <memory>
#include <optional>

namespace {
QString createTitle()
{
    return QCoreApplication::translate("AccountSetCreator", "创建账套");
}
QString modifyTitle()
{
    return QCoreApplication::translate("AccountSetCreator", "修改帐套");
}

Notice exclamation(const QString& text, const QString& title)
{
    return Notice{text, title, Notice::Icon::Exclamation};
}

// A refusal or failure: the message, and the status the wizard acts on.
AccountSetOutcome failure(const Notice& notice, const QString& error,
                          AccountSetOutcome::Status status = AccountSetOutcome::Status::Failed)
{
    AccountSetOutcome out;
    out.status = status;
    out.notice = notice;
    out.error = error;
    return out;
}

// The four classification options: AccInformation.cCaption of each.
const QString kGoodClass = QStringLiteral("存货是否分类"); // not translated: a key
const QString kCustClass = QStringLiteral("客户是否分类"); // not translated: a key
const QString kProvClass = QStringLiteral("供应商是否分类"); // not translated: a key
const QString kFrgnCurrency = QStringLiteral("有无外币核算"); // not translated: a key

// The chart of accounts is coded 4-2-2 whatever the industry.
const QString kCodingRule = QStringLiteral("422");

QVariant nullWhenEmpty(const QString& text)
{
    const QString t = text.trimmed();
    return t.isEmpty() ? QVariant() : QVariant(t);
}

bool allDigits(const QString& s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

QString formatAccId(const QString& typed)
{
    return QStringLiteral("%1").arg(typed.trimmed().toInt(), 3, 10, QLatin1Char('0'));
}

Database::Statement optionsStatement(const AccountSetInput& in)
{
    const std::pair<const QString&, bool> options[] = {
        {kGoodClass, in.goodClass},
        {kCustClass, in.custClass},
        {kProvClass, in.provClass},
        {kFrgnCurrency, in.frgnCurrencyAcc},
    };
    // One statement for the four.
    QVariantList values;
    QVariantList captions;
    for (const auto& [caption, ticked] : options) {
        values << caption << (ticked ? QStringLiteral("True") : QStringLiteral("False"));
        captions << caption;
    }
    return {QStringLiteral("update AccInformation set cValue=case cCaption when ? then ? when ? then ? when ? then ? when ? then ? end "
                           "where cCaption in (?,?,?,?)"),
            values + captions};
}

void writeOptions(Database& accDb, const AccountSetInput& in)
{
    const Database::Statement options = optionsStatement(in);
    accDb.execute(options.sql, options.params);
}

// Makes sure CreateAcc exists; the table is made on first use. Errors are swallowed: the
// record is bookkeeping and never stops creation. (Asked, not tried: a refused statement would
// spoil the server's open transaction.)
bool ensureCreateAcc(Database& db)
{
    try {
        if (!db.hasTable(QStringLiteral("CreateAcc")))
            db.execute(QStringLiteral("Create Table CreateAcc (cAcc_Id TEXT COLLATE NOCASE,cAcc_Name TEXT COLLATE NOCASE)"));
        return true;
    } catch (const DbError&) {
        return false;
    }
}

// The industry's preset chart, read from the system database before the books are written.
Recordset presetChart(Database& sysDb, const AccountSetInput& in)
{
    if (!in.presetChart)
        return Recordset();
    return sysDb.query(QStringLiteral("select * from GL_DPrecode where itrade_id=?"), {in.tradeId});
}

// The preset chart's rows go into a server's books a few hundred at a time, each batch one
// statement (one round trip): thirteen values a row stays far below its limit. SQLite's driver
// looks each bound value up among all of a statement's, so there a statement takes a few rows.
constexpr int kChartRowsPerStatement = 400;
constexpr int kChartRowsPerFileStatement = 8;

QList<Database::Statement> chartStatements(Recordset& preset, Engine engine)
{
    const int perStatement = engine == Engine::PostgreSQL ? kChartRowsPerStatement : kChartRowsPerFileStatement;
    static const char* const kFrom[] = {"cclass", "cclass_engl", "cclassany", "cclassany_engl", "ccode", "ccode_name",
                                        "ccode_engl", "igrade", "bproperty", "bend"};
    QList<Database::Statement> out;
    int id = 0;
    while (!preset.Eof()) {
        QVariantList values;
        QStringList rows;
        for (; !preset.Eof() && rows.size() < perStatement; preset.MoveNext()) {
            values << ++id;
            for (const char* column : kFrom)
                values << preset.Fields(QString::fromLatin1(column));
            values << QStringLiteral("金额式") << QStringLiteral("JES"); // not translated: a stored value
            rows << QStringLiteral("(?,?,?,?,?,?,?,?,?,?,?,?,?,0)");
        }
        out.append({QStringLiteral("insert into code (i_id,cclass,cclass_engl,cclassany,cclassany_engl,ccode,"
                                   "ccode_name,ccode_engl,igrade,bproperty,bend,cbook_type,cbook_type_engl,iviewItem) values ")
                        + rows.join(QLatin1Char(',')),
                    values});
    }
    return out;
}

// The new set's choices in its books, in one batch (one round trip to a server): the options,
// the coding rule and the preset chart.
void writeBooks(Database& books, const AccountSetInput& in, Recordset& preset)
{
    WriteErrLog(33, QStringLiteral("update gradedef set codingrule='%1' where  keyword='code'").arg(kCodingRule),
                QStringLiteral("cmdOK_Click"));
    QList<Database::Statement> statements{optionsStatement(in),
                                          {QStringLiteral("update gradedef set codingrule=? where  keyword='code'"), {kCodingRule}}};
    if (in.presetChart)
        statements << Database::Statement{QStringLiteral("delete from code"), {}} << chartStatements(preset, books.engine());
    books.batch(statements);
}

// One row per created set; an identical row already there is kept rather than doubled.
void insertCreateAcc(Database& db, const QString& accId, const QString& accName)
{
    db.execute(QStringLiteral("Insert Into CreateAcc (cAcc_Id,cAcc_Name) select ?,? "
                              "where not exists (select 1 from CreateAcc where cAcc_Id=? and cAcc_Name=?)"),
               {accId, accName, accId, accName});
}

// The set's row, its twelve periods and the supervisor's holding (main and shadow database).
QList<Database::Statement> setRowStatements(const AccountSetInput& in, const QString& accId, const QString& masterId, bool replaceAccount)
{
    const int year = in.year.trimmed().toInt();
    QList<Database::Statement> out;
    out.append({QStringLiteral("insert %1 into SM_Account (iSysID,cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth,cAcc_Master,"
                               "cCurCode,cCurName,cUnitName,cUnitAbbre,cUnitAddr,cUnitZap,cUnitTel,cUnitFax,cUnitEMail,"
                               "cUnitTaxNo,cUnitLP,cFinKind,cFinType,cEntType,cTradeKind) "
                               "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
                    .arg(replaceAccount ? QStringLiteral("or replace") : QString()),
                {AccountSetCreator::nextSysId(), accId, in.accName.trimmed(), in.accPath.trimmed(), year,
                 in.month.trimmed().toInt(), masterId, in.curCode.trimmed(), in.curName.trimmed(),
                 in.unitName.trimmed(), nullWhenEmpty(in.unitAbbre), nullWhenEmpty(in.unitAddr),
                 nullWhenEmpty(in.unitZap), nullWhenEmpty(in.unitTel), nullWhenEmpty(in.unitFax),
                 nullWhenEmpty(in.unitEMail), nullWhenEmpty(in.unitTaxNo), nullWhenEmpty(in.unitLP),
                 nullWhenEmpty(in.finKind), nullWhenEmpty(in.finType), in.entType.trimmed(), in.tradeKind.trimmed()}});
    // Periods left behind by an earlier set of this number and year are replaced: the dates
    // depend only on the year.
    QVariantList periods;
    for (int i = 1; i <= 12; ++i)
        periods << accId << year << i << Periods::beginDate(year, i) << Periods::endDate(year, i);
    out.append({QStringLiteral("insert or replace into SM_Period (cAcc_Id,iYear,iId,dBegin,dEnd) values ")
                    + QStringList(12, QStringLiteral("(?,?,?,?,?)")).join(QLatin1Char(',')),
                periods});
    out.append({QStringLiteral("insert or ignore into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values (?,?,?,'admin')"),
                {accId, year, masterId}});
    return out;
}

void removeMade(const QString& copiedDb, const QStringList& folders)
{
    if (!copiedDb.isEmpty()) {
        CiFile::remove(copiedDb + QStringLiteral("-journal"));
        CiFile::remove(copiedDb);
    }
    AccountDb::removeFolders(folders);
}

// Writes the set's rows into the shadow system database when one exists; never creates it.
void writeShadow(const AccountSetInput& in, const QString& accId, const QString& masterId)
{
    const QString sysDir = SysInfo::systemDirectory();
    if (sysDir.isEmpty())
        return;
    const QString shadow = CiFile::resolve(Paths::join(sysDir, QStringLiteral("deZaduzi不执行/DeZaduzi.mdb"))); // not translated: a file name
    if (!CiFile::isFile(shadow))
        return;
    WriteErrLog(33, shadow, QStringLiteral("cmdOK_Click"));
    try {
        Database db(shadow);
        Database::Transaction t(db);
        db.batch(setRowStatements(in, accId, masterId, true));
        t.commit();
        WriteErrLog(1113, QStringLiteral("SM_HoldAuth"), QStringLiteral("cmdOK_Click"));
    } catch (const DbError& e) {
        WriteErrLog(4, e.text(), QStringLiteral("cmdOK_Click"));
    }
}

// The CreateAcc record in the mirror system database, when one exists.
void saveCreateAccMirror(const QString& accId, const QString& accName)
{
    const QString mirror = SysInfo::mirrorSysDbPath();
    if (mirror.isEmpty())
        return;
    try {
        Database db(mirror);
        if (ensureCreateAcc(db))
            insertCreateAcc(db, accId, accName);
    } catch (const DbError& e) {
        WriteErrLog(4, e.text(), QStringLiteral("SaveCreateAcc"));
    }
}

// A failure of the file system, told like an engine error so one handler reports both.
[[noreturn]] void fileFailure(const Words& text)
{
    throw DbError(text);
}
} // namespace

AccountSetCreator::AccountSetCreator(Database& sysDb, const AuditContext& who)
    : m_sysDb(sysDb)
    , m_who(who)
{
}

QString AccountSetCreator::masterId(const QString& entry)
{
    const QString t = entry.trimmed();
    const int close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return t;
    const int from = t.startsWith(QLatin1Char('[')) ? 1 : 0;
    return t.mid(from, close - from);
}

int AccountSetCreator::nextSysId()
{
    // The classic 24-bit linear congruential generator with its fixed start value.
    static quint32 seed = 0x50000;
    seed = (seed * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
    const double r = double(seed) / 16777216.0;
    return int(std::lrint(r * 100000.0));   // the column rounds half to even
}

namespace {
// The refusal of input that cannot make a set, or an empty text.
Words validate(const AccountSetInput& in, bool creating)
{
    const QString id = in.accId.trimmed();
    if (!allDigits(id) || id.size() > 3 || id.toInt() < 1)
        return Words::of("AccountSetCreator", QT_TRANSLATE_NOOP("AccountSetCreator", "账套号必须是001到999之间的数字。"));
    if (in.accName.trimmed().isEmpty())
        return Words::of("AccountSetCreator", QT_TRANSLATE_NOOP("AccountSetCreator", "账套名称不能为空。"));
    if (in.accPath.trimmed().isEmpty())
        return Words::of("AccountSetCreator", QT_TRANSLATE_NOOP("AccountSetCreator", "账套路径不能为空。"));
    const QString year = in.year.trimmed();
    if (!allDigits(year) || year.toInt() < 1 || year.toInt() > 9999)
        return Words::of("AccountSetCreator", QT_TRANSLATE_NOOP("AccountSetCreator", "启用会计期的年度不正确。"));
    if (creating) {
        if (!allDigits(in.month.trimmed()))
            return Words::of("AccountSetCreator", QT_TRANSLATE_NOOP("AccountSetCreator", "启用会计期的月份不正确。"));
        if (AccountSetCreator::masterId(in.master).isEmpty())
            return Words::of("AccountSetCreator", QT_TRANSLATE_NOOP("AccountSetCreator", "请选择账套主管。"));
    }
    return {};
}

// An engine or file-system failure: logged with the engine's text, told with `message`.
AccountSetOutcome engineFailure(const DbError& error, const QString& message, const QString& title)
{
    WriteErrLog(4, error.text(), QStringLiteral("cmdOK_Click"));
    return failure(exclamation(message, title), error.text());
}
} // namespace

AccountSetCreator::Outcome AccountSetCreator::create(const AccountSetInput& in)
{
    if (const Words bad = validate(in, true); !bad.stored.isEmpty())
        return failure(exclamation(bad.shown, createTitle()), bad.stored);
    const Outcome out = createSet(in);
    // The rows and their log row were rolled back together: the failure is written after.
    if (!out.done())
        AuditLog::record(m_sysDb, m_who, Audit::setCreated(formatAccId(in.accId), in.accName.trimmed(), in.year.trimmed().toInt(),
                                                           in.accPath.trimmed(), masterId(in.master)).failed(out.error));
    return out;
}

namespace {
// The bookkeeping record of created sets never stops creation: its own savepoint undoes just it.
void recordCreation(Database& sysDb, const QString& accId, const QString& accName)
{
    try {
        sysDb.execute(QStringLiteral("SAVEPOINT createacc"));
        try {
            if (ensureCreateAcc(sysDb))
                insertCreateAcc(sysDb, accId, accName);
            sysDb.execute(QStringLiteral("RELEASE createacc"));
        } catch (const DbError& e) {
            WriteErrLog(4, e.text(), QStringLiteral("SaveCreateAcc"));
            sysDb.execute(QStringLiteral("ROLLBACK TO createacc"));
            sysDb.execute(QStringLiteral("RELEASE createacc"));
        }
    } catch (const DbError& e) {
        WriteErrLog(4, e.text(), QStringLiteral("SaveCreateAcc"));
}
}

// A server set's books: a schema made, filled and written in the system database's transaction, so
// a failure anywhere leaves neither rows nor schema. Books already there (left by an earlier set of
// this number and year) are used as they are, as a file would be. Returns the schema.
QString writeServerBooks(Database& sysDb, const AccountSetInput& in, Recordset& preset, int year)
{
    const QString schema = AccountDb::booksSchema(in.accId, year);
    WriteErrLog(33, schema, QStringLiteral("cmdok_click"));
    const bool fresh = !sysDb.schemaExists(schema);
    if (fresh)
        sysDb.createSchema(schema);
    BooksSearchPath books(sysDb, schema);
    if (fresh)
        AccountTemplate::fill(sysDb);
    writeBooks(sysDb, in, preset);
    return schema;
}

// A file set's books, written in their own transaction; returns the file's path as opened.
QString writeFileBooks(const AccountSetInput& in, Recordset& preset, const QString& dbPath)
{
    WriteErrLog(33, dbPath, QStringLiteral("cmdok_click"));
    Database accDb(dbPath);
    Database::Transaction accTx(accDb);
    writeBooks(accDb, in, preset);
    accTx.commit();
    return accDb.path();
}

// A file set's year folder made and the template copied into it, unless books are there already.
// The folders made are listed in `madeFolders` and a copied file in `copiedDb`, for removal when
// creation fails later; a copy that fails is a refusal of its own.
std::optional<AccountSetOutcome> placeTemplate(const AccountSetInput& in, int year, QStringList& madeFolders, QString* copiedDb,
                                               QString* dbPath)
{
    const QString accPath = in.accPath.trimmed();
    const QString accId = in.accId;
    const QString yearFolder = AccountDb::yearFolder(accPath, accId, year);
    if (!AccountDb::makeFolders(yearFolder, madeFolders))
        fileFailure(Words::of("AccountSetCreator", QT_TRANSLATE_NOOP("AccountSetCreator", "无法创建文件夹：%1"), yearFolder));
    *dbPath = AccountDb::databasePath(accPath, accId, year);
    if (!CiFile::isFile(*dbPath)) {
        const QString tpl = in.templatePath.isEmpty() ? AccountDb::templatePath() : in.templatePath;
        if (!CiFile::isFile(tpl) || !CiFile::copy(tpl, *dbPath)) {
            WriteErrLog(4, QStringLiteral("%1 -> %2").arg(tpl, *dbPath), QStringLiteral("ExtractKdDataZip"));
            CiFile::remove(*dbPath);
            removeMade(QString(), madeFolders);
            return failure(Notice{QCoreApplication::translate("AccountSetCreator", "生成账套时出现异常，创建失败！"), QCoreApplication::translate("AccountSetCreator", "提示"), Notice::Icon::Information},
                           QStringLiteral("%1 -> %2").arg(tpl, *dbPath));
        }
        *copiedDb = CiFile::resolve(*dbPath);
    }
    return std::nullopt;
}

AccountSetOutcome created(const QString& accId, const QString& accName, const QString& accPath, const QString& dbPath)
{
    AccountSetOutcome out;
    out.status = AccountSetOutcome::Status::Done;
    out.success = exclamation(QCoreApplication::translate("AccountSetCreator", "创建账套{%1:[%2]}成功。").arg(accName, accId), createTitle());
    out.accId = accId;
    out.accName = accName;
    out.accPath = accPath;
    out.accountDbPath = dbPath;
    return out;
}
} // namespace

AccountSetCreator::Outcome AccountSetCreator::createSet(const AccountSetInput& input)
{
    AccountSetInput in = input;
    const QString accId = formatAccId(in.accId);
    in.accId = accId;
    const QString accName = in.accName.trimmed();
    const QString accPath = in.accPath.trimmed();
    const int year = in.year.trimmed().toInt();
    const QString master = masterId(in.master);

    const bool server = m_sysDb.engine() == Engine::PostgreSQL;
    const Words duplicate = Words::of("AccountSetCreator", QT_TRANSLATE_NOOP("AccountSetCreator", "账套[%1]的%2年度已经存在，不能重复创建。"), accId, QString::number(year));
    QStringList madeFolders;
    QString copiedDb;
    QString dbPath;
    try {
        if (in.tradeId <= 0 && in.presetChart)
            in.tradeId = m_sysDb.scalar(QStringLiteral("select itrade_id from GL_BTrade where ctrade_name=?"),
                                        {in.tradeKind.trimmed()}).toInt();

        Database::Transaction sysTx(m_sysDb);
        if (m_sysDb.scalar(QStringLiteral("select count(*) from SM_Account where cAcc_Id=? and iYear=?"), {accId, year}).toInt() > 0)
            return failure(exclamation(duplicate.shown, createTitle()), duplicate.stored);
        // The rows in one round trip. A supervisor of an earlier set already belongs to the role:
        // that membership is kept.
        m_sysDb.batch(setRowStatements(in, accId, master, false)
                      << Database::Statement{QStringLiteral("insert or ignore into SM_Role (cGroup_Id,cUser_Id) values ('DATA-MANAGER',?)"), {master}});
        WriteErrLog(33, accId, QStringLiteral("cmdOK_Click"));

        if (!server) {
            if (std::optional<AccountSetOutcome> refused = placeTemplate(in, year, madeFolders, &copiedDb, &dbPath))
                return *refused;
        }

        recordCreation(m_sysDb, accId, accName);

        Recordset preset = presetChart(m_sysDb, in);
        dbPath = server ? writeServerBooks(m_sysDb, in, preset, year) : writeFileBooks(in, preset, dbPath);
        // A server set's books are named by their schema; the path typed is only kept as text.
        AuditLog::write(m_sysDb, m_who, Audit::setCreated(accId, accName, year, server ? dbPath : accPath, master));
        sysTx.commit();
    } catch (const DbError& e) {
        removeMade(copiedDb, madeFolders);
        // Another session made the same set meanwhile: its row (or its books' schema) won the
        // race after this one's check, and this one's work is rolled back.
        if ((e.primaryCode() == 19 || e.nativeCode() == QLatin1String("42P06")) && setExists(accId, year))
            return failure(exclamation(duplicate.shown, createTitle()), duplicate.stored);
        return engineFailure(e, QCoreApplication::translate("AccountSetCreator", "创建账套失败：%1").arg(e.userText()), createTitle());
    }

    // A server installation has no shadow or mirror on the workstation.
    if (!server) {
        writeShadow(in, accId, master);
        saveCreateAccMirror(accId, accName);
    }

    return created(accId, accName, accPath, dbPath);
}

bool AccountSetCreator::setExists(const QString& accId, int year)
{
    try {
        return m_sysDb.scalar(QStringLiteral("select count(*) from SM_Account where cAcc_Id=? and iYear=?"), {accId, year}).toInt() > 0;
    } catch (const DbError&) {
        return false;
    }
}

AccountSetCreator::Outcome AccountSetCreator::modify(const AccountSetInput& in)
{
    if (const Words bad = validate(in, false); !bad.stored.isEmpty())
        return failure(exclamation(bad.shown, modifyTitle()), bad.stored);
    const QString accId = in.accId.trimmed();
    QString dbPath;
    const AuditEntry logged = Audit::setModified(accId, in.year.trimmed().toInt(), in.accName.trimmed());
    try {
        AuditLog::run(m_sysDb, m_who, logged, [&] {
            m_sysDb.execute(QStringLiteral("update SM_Account set cAcc_Name=?,cCurCode=?,cCurName=?,cUnitName=?,cUnitAbbre=?,"
                                           "cUnitAddr=?,cUnitZap=?,cUnitTel=?,cUnitFax=?,cUnitEMail=?,cUnitTaxNo=?,cUnitLP=?,"
                                           "cFinKind=?,cFinType=?,cTradeKind=? where cAcc_Id=?"),
                            {in.accName.trimmed(), in.curCode.trimmed(), in.curName.trimmed(), in.unitName.trimmed(),
                             nullWhenEmpty(in.unitAbbre), nullWhenEmpty(in.unitAddr), nullWhenEmpty(in.unitZap),
                             nullWhenEmpty(in.unitTel), nullWhenEmpty(in.unitFax), nullWhenEmpty(in.unitEMail),
                             nullWhenEmpty(in.unitTaxNo), nullWhenEmpty(in.unitLP), nullWhenEmpty(in.finKind),
                             nullWhenEmpty(in.finType), in.tradeKind.trimmed(), accId});
            if (m_sysDb.rowsAffected() == 0)
                throw DbError(Words::of("AccountSetCreator", QT_TRANSLATE_NOOP("AccountSetCreator", "账套[%1]不存在。"), accId));
        });

        // The books of the year typed: a file under the path typed, or on a server the set's schema.
        const int year = in.year.trimmed().toInt();
        const bool server = m_sysDb.engine() == Engine::PostgreSQL;
        dbPath = server ? AccountDb::booksSchema(accId, year) : AccountDb::databasePath(in.accPath.trimmed(), accId, year);
        if (server ? !m_sysDb.schemaExists(dbPath) : !CiFile::isFile(dbPath)) {
            const Words broken = Words::of("AccountSetCreator", QT_TRANSLATE_NOOP("AccountSetCreator", "账套出现异常，修改失败！"));
            // The set's rows are changed; its options in the books could not be.
            AuditLog::record(m_sysDb, m_who, logged.failed(QStringLiteral("找不到账套库 %1，账套选项未修改").arg(dbPath))); // not translated: the log keeps Chinese
            return failure(Notice{broken.shown, QCoreApplication::translate("AccountSetCreator", "提示"), Notice::Icon::Information}, broken.stored, Status::Abandoned);
        }
        Database accDb;
        if (server)
            accDb.openServer(m_sysDb.conninfo(), dbPath, false);
        else
            accDb.open(dbPath);
        {
            Database::Transaction accTx(accDb);
            writeOptions(accDb, in);
            accTx.commit();
        }
        if (!server)
            dbPath = accDb.path();
    } catch (const DbError& e) {
        return engineFailure(e, QCoreApplication::translate("AccountSetCreator", "修改账套失败：%1").arg(e.userText()), modifyTitle());
    }

    Outcome out;
    out.status = Status::Done;
    out.success = exclamation(QCoreApplication::translate("AccountSetCreator", "修改账套{%1:[%2]}成功。").arg(in.accName.trimmed(), accId), QCoreApplication::translate("AccountSetCreator", "修改账套"));
    out.accId = accId;
    out.accName = in.accName.trimmed();
    out.accPath = in.accPath.trimmed();
    out.accountDbPath = dbPath;
    return out;
}
