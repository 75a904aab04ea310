#include "CarryForward.h"
#include "AccountDb.h"
#include "YearConfig.h"

#include <AuditEvents.h>
#include <CiFile.h>
#include <Database.h>
#include <ErrLog.h>
#include <Words.h>

#include <QCoreApplication>

#include <memory>

namespace {
using Part = YearConfig::Part;

QString title()
{
    return QCoreApplication::translate("CarryForward", "结转上年数据");
}

// The year before's books, joined to the connection of the year's own. A comparison across the two
// names its collation: on a server each year's schema has a case-insensitive one of its own.
const QString kPrev = QStringLiteral("lastyear");

// The columns of an account compared between the years, with their names in a change's words.
struct Compared {
    const char* column;
    const char* label;
};
const Compared kCompared[] = {
    {"ccode_name", QT_TRANSLATE_NOOP("CarryForward", "科目名称")},  {"cclass", QT_TRANSLATE_NOOP("CarryForward", "科目类型")},
    {"cclassany", QT_TRANSLATE_NOOP("CarryForward", "科目性质")},   {"igrade", QT_TRANSLATE_NOOP("CarryForward", "级次")},
    {"bproperty", QT_TRANSLATE_NOOP("CarryForward", "余额方向")},   {"bend", QT_TRANSLATE_NOOP("CarryForward", "末级")},
    {"cbook_type", QT_TRANSLATE_NOOP("CarryForward", "账页格式")},  {"cexch_name", QT_TRANSLATE_NOOP("CarryForward", "外币币种")},
    {"cmeasure", QT_TRANSLATE_NOOP("CarryForward", "计量单位")},    {"bexchange", QT_TRANSLATE_NOOP("CarryForward", "外币核算")},
    {"bcash", QT_TRANSLATE_NOOP("CarryForward", "现金科目")},       {"bbank", QT_TRANSLATE_NOOP("CarryForward", "银行科目")},
    {"bperson", QT_TRANSLATE_NOOP("CarryForward", "个人往来")},     {"bcus", QT_TRANSLATE_NOOP("CarryForward", "客户往来")},
    {"bsup", QT_TRANSLATE_NOOP("CarryForward", "供应商往来")},      {"bdept", QT_TRANSLATE_NOOP("CarryForward", "部门核算")},
    {"bitem", QT_TRANSLATE_NOOP("CarryForward", "项目核算")},
};

Words joined(const QList<Words>& parts, const QString& sep)
{
    Words out;
    for (const Words& w : parts) {
        out.stored += (out.stored.isEmpty() ? QString() : sep) + w.stored;
        out.shown += (out.shown.isEmpty() ? QString() : sep) + w.shown;
    }
    return out;
}

// The year's books with the year before's attached as kPrev. Throws DbError when either is missing
// (a missing file is never attached: that would make it).
std::unique_ptr<Database> openYears(Database& sysDb, const QString& accId, int year)
{
    const QString last = QString::number(year - 1);
    if (!AccountDb::locate(sysDb, accId, year - 1, nullptr, nullptr))
        throw DbError(Words::of("CarryForward", QT_TRANSLATE_NOOP("CarryForward", "账套[%1]没有%2年度，无法结转上年数据。"), accId, last));
    const QString prev = AccountDb::location(sysDb, accId, year - 1);
    if (sysDb.engine() != Engine::PostgreSQL && !CiFile::isFile(prev))
        throw DbError(Words::of("CarryForward", QT_TRANSLATE_NOOP("CarryForward", "找不到账套[%1]%2年度的账套库：%3"), accId, last, prev));
    std::unique_ptr<Database> books = AccountDb::open(sysDb, accId, year);
    books->attach(prev, kPrev);
    return books;
}

// What differs in one account: "余额方向 0→1；末级 1→0", or empty when nothing does.
Words accountChange(const Recordset& rs, const QStringList& columns)
{
    QList<Words> what;
    for (const Compared& c : kCompared) {
        const int i = int(columns.indexOf(QLatin1String(c.column)));
        if (i < 0)
            continue;
        const QString before = rs.Fields(1 + 2 * i).toString(), now = rs.Fields(2 + 2 * i).toString();
        if (before != now)
            what << Words::of("CarryForward", QT_TRANSLATE_NOOP("CarryForward", "%1 %2→%3"), Words::of("CarryForward", c.label), now, before);
    }
    return joined(what, QStringLiteral("；"));
}

// The accounts the year before has that this year lacks, and those whose compared columns differ.
void compareAccounts(Database& books, CarryForward::Plan& p)
{
    Recordset added = books.query(QStringLiteral("select p.ccode,p.ccode_name from %1.code p where not exists "
                                                 "(select 1 from code c where c.ccode=p.ccode COLLATE NOCASE) order by p.ccode").arg(kPrev));
    for (; !added.Eof(); added.MoveNext()) {
        p.added << added.text(QStringLiteral("ccode"));
        p.lines << CarryForward::Line{p.added.last(), added.text(QStringLiteral("ccode_name")), QCoreApplication::translate("CarryForward", "新增")};
    }
    QStringList columns, pairs;
    for (const QString& c : YearConfig::sharedColumns(books, QStringLiteral("code"), QStringLiteral("main"), kPrev))
        for (const Compared& k : kCompared)
            if (c == QLatin1String(k.column)) {
                columns << c;
                pairs << QStringLiteral("p.%1,c.%1").arg(c);
            }
    Recordset both = books.query(QStringLiteral("select p.ccode,%1 from %2.code p join code c on c.ccode=p.ccode COLLATE NOCASE order by p.ccode")
                                     .arg(pairs.join(QLatin1Char(',')), kPrev));
    for (; !both.Eof(); both.MoveNext()) {
        const Words change = accountChange(both, columns);
        if (change.stored.isEmpty())
            continue;
        p.changed << both.text(QStringLiteral("ccode"));
        p.lines << CarryForward::Line{p.changed.last(), both.Fields(1 + 2 * int(columns.indexOf(QStringLiteral("ccode_name")))).toString(),
                                      QCoreApplication::translate("CarryForward", "修改：%1").arg(change.shown)};
    }
    std::sort(p.lines.begin(), p.lines.end(), [](const CarryForward::Line& a, const CarryForward::Line& b) { return a.code < b.code; });
}
} // namespace

namespace {
// Whether the part follows the year before (differs there, unchanged here since 建立); when it
// differs but this year changed it, `kept` gains the note that this year's stays.
bool follows(Database& books, Part part, QList<Words>& kept)
{
    if (YearConfig::fingerprint(books, part) == YearConfig::fingerprint(books, part, kPrev))
        return false;
    if (YearConfig::unchanged(books, part))
        return true;
    kept << (part == Part::Scheme ? Words::of("CarryForward", QT_TRANSLATE_NOOP("CarryForward", "本年度的编码方案已修改，保留不变"))
                                  : Words::of("CarryForward", QT_TRANSLATE_NOOP("CarryForward", "本年度的数据精度已修改，保留不变")));
    return false;
}

// The plan's words: what will change, then what stays though it differs.
void describe(CarryForward::Plan& p, const QList<Words>& kept)
{
    const QString last = QString::number(p.year - 1);
    QList<Words> parts;
    if (!p.added.isEmpty())
        parts << Words::of("CarryForward", QT_TRANSLATE_NOOP("CarryForward", "新增科目%1个"), QString::number(p.added.size()));
    if (!p.changed.isEmpty())
        parts << Words::of("CarryForward", QT_TRANSLATE_NOOP("CarryForward", "修改科目%1个"), QString::number(p.changed.size()));
    if (p.scheme)
        parts << Words::of("CarryForward", QT_TRANSLATE_NOOP("CarryForward", "编码方案沿用%1年度的"), last);
    if (p.precision)
        parts << Words::of("CarryForward", QT_TRANSLATE_NOOP("CarryForward", "数据精度沿用%1年度的"), last);
    Words text = p.nothing() ? Words::of("CarryForward", QT_TRANSLATE_NOOP("CarryForward", "没有需要结转的数据。"))
                             : Words::of("CarryForward", QT_TRANSLATE_NOOP("CarryForward", "账套[%1]从%2年度结转到%3年度：%4。"), p.accId, last,
                                         QString::number(p.year), joined(parts, QStringLiteral("；")));
    if (!kept.isEmpty())
        text = joined({text, joined(kept, QStringLiteral("；")), Words::same(QStringLiteral("。"))}, QString());
    p.summary = text.shown;
    // The log row names the accounts.
    p.stored = joined(parts, QStringLiteral("；")).stored;
    if (!p.added.isEmpty())
        p.stored += QStringLiteral("；新增：") + p.added.join(QStringLiteral("、")); // not translated: a stored detail
    if (!p.changed.isEmpty())
        p.stored += QStringLiteral("；修改：") + p.changed.join(QStringLiteral("、")); // not translated: a stored detail
}

// Detaches the year before's books when the work ends, however it ends.
struct DetachPrev {
    Database& db;
    ~DetachPrev()
    {
        try {
            db.detach(kPrev);
        } catch (const DbError&) {
        }
    }
};
} // namespace

CarryForward::CarryForward(Database& sysDb, const AuditContext& who)
    : m_sysDb(sysDb)
    , m_who(who)
{
}

CarryForward::Plan CarryForward::plan(const QString& accId, int year)
{
    Plan p;
    p.accId = accId.trimmed();
    p.year = year;
    try {
        std::unique_ptr<Database> books = openYears(m_sysDb, p.accId, year);
        DetachPrev detach{*books};
        compareAccounts(*books, p);
        QList<Words> kept;
        p.scheme = follows(*books, Part::Scheme, kept);
        p.precision = follows(*books, Part::Precision, kept);
        describe(p, kept);
    } catch (const DbError& e) {
        p.refusal = Notice{e.userText(), title(), Notice::Icon::Exclamation};
    }
    return p;
}

namespace {
// The planned accounts written from the year before: added ones numbered after the last, changed
// ones given every column the year before has for them (the code stays the key).
void writeAccounts(Database& books, const CarryForward::Plan& p)
{
    QStringList columns = YearConfig::sharedColumns(books, QStringLiteral("code"), QStringLiteral("main"), kPrev);
    columns.removeAll(QStringLiteral("i_id"));
    columns.removeAll(QStringLiteral("ccode"));
    const QString list = columns.join(QLatin1Char(','));
    int id = books.scalar(QStringLiteral("select coalesce(max(i_id),0) from code")).toInt();
    for (const QString& code : p.added)
        books.execute(QStringLiteral("insert into code (i_id,ccode,%1) select ?,ccode,%1 from %2.code where ccode=?").arg(list, kPrev), {++id, code});
    for (const QString& code : p.changed)
        books.execute(QStringLiteral("update code set (%1)=(select %1 from %2.code p where p.ccode=?) where ccode=?").arg(list, kPrev), {code, code});
}

// The options of one kind (cID) take the year before's values.
void copyOptions(Database& books, const QString& kind)
{
    books.execute(QStringLiteral("update AccInformation set cValue=(select p.cValue from %1.AccInformation p where p.cID=? and p.cName=AccInformation.cName COLLATE NOCASE) "
                                 "where cID=? and cName COLLATE NOCASE in (select cName from %1.AccInformation where cID=?)").arg(kPrev),
                  {kind, kind, kind});
}

// The coding scheme of the year before: its classifications' rules (those this year lacks added),
// and the rules' copies among the options.
void copyScheme(Database& books)
{
    QStringList columns = YearConfig::sharedColumns(books, QStringLiteral("GradeDef"), QStringLiteral("main"), kPrev);
    columns.removeAll(QStringLiteral("keyword"));
    const QString list = columns.join(QLatin1Char(','));
    books.execute(QStringLiteral("update GradeDef set (%1)=(select %1 from %2.GradeDef p where p.keyword=GradeDef.keyword COLLATE NOCASE) "
                                 "where keyword COLLATE NOCASE in (select keyword from %2.GradeDef)").arg(list, kPrev));
    books.execute(QStringLiteral("insert into GradeDef (keyword,%1) select keyword,%1 from %2.GradeDef p "
                                 "where not exists (select 1 from GradeDef g where g.keyword=p.keyword COLLATE NOCASE)").arg(list, kPrev));
    copyOptions(books, QStringLiteral("GradeDef"));
}

CarryForward::Outcome refused(const Notice& notice)
{
    return CarryForward::Outcome{false, notice, notice.text};
}
} // namespace

CarryForward::Outcome CarryForward::apply(const Plan& p)
{
    if (!p.ok())
        return refused(p.refusal);
    if (p.nothing())
        return refused(Notice{p.summary, title(), Notice::Icon::Information});
    const AuditEntry entry = Audit::carriedForward(p.accId, p.year, p.stored);
    try {
        std::unique_ptr<Database> books;
        try {
            books = openYears(m_sysDb, p.accId, p.year);
        } catch (const DbError& e) {
            AuditLog::record(m_sysDb, m_who, entry.failed(e.reasonText()));
            throw;
        }
        DetachPrev detach{*books};
        // The log row commits with the books' changes: the system database joins their transaction.
        AuditLog::Attached log(*books, m_sysDb.location());
        try {
            Database::Transaction tx(*books);
            writeAccounts(*books, p);
            if (p.scheme) {
                copyScheme(*books);
                YearConfig::markCopied(*books, Part::Scheme);
            }
            if (p.precision) {
                copyOptions(*books, QStringLiteral("Precision"));
                YearConfig::markCopied(*books, Part::Precision);
            }
            log.write(m_who, entry);
            tx.commit();
        } catch (const DbError& e) {
            log.recordFailed(m_who, entry, e.reasonText());
            throw;
        }
    } catch (const DbError& e) {
        WriteErrLog(4, e.text(), QStringLiteral("CarryForward"));
        const Words why = Words::of("CarryForward", QT_TRANSLATE_NOOP("CarryForward", "结转上年数据失败：%1"), Words{e.reasonText(), e.userText()});
        return Outcome{false, Notice{why.shown, title(), Notice::Icon::Exclamation}, why.stored};
    }
    return Outcome{true, Notice{QCoreApplication::translate("CarryForward", "已从%1年度结转到%2年度。").arg(p.year - 1).arg(p.year), title(),
                                Notice::Icon::Information},
                   QString()};
}
