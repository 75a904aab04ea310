#include "frmGradeDef.h"

#include "AccInformation.h"
#include "PictureButton.h"

#include <Database.h>
#include <FlexGrid.h>
#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <Twips.h>

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

using namespace Module1;

namespace {
QString title()
{
    return QCoreApplication::translate("frmGradeDef", "分类编码方案");
}
constexpr int kFirstLevel = 5;   // column of level 1
constexpr int kLastLevel = 13;   // column of level 9
constexpr int kStoredRule = 14;

// The "是否分类" column's words, shown and read back.
QString yes()
{
    return QCoreApplication::translate("frmGradeDef", "是");
}

QString no()
{
    return QCoreApplication::translate("frmGradeDef", "否");
}

} // namespace

QColor frmGradeDef::cellColor() { return QColor(255, 255, 192); }
QColor frmGradeDef::currentColor() { return QColor(128, 255, 255); }

frmGradeDef::frmGradeDef(const Session& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmGradeDef"));
    setWindowTitle(title());

    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setAccessibleName(tr("分类编码方案"));
    MSFlexGrid1->setAccessibleDescription(tr("在第1级到第9级的格子里输入各级编码的长度；输入0或按Delete删除最后一级。"));
    MSFlexGrid1->setTabKeyNavigation(false);
    MSFlexGrid1->setFixedRows(1);
    MSFlexGrid1->setRows(1);
    // The current cell shows in light cyan, selected or not.
    QPalette pal = MSFlexGrid1->palette();
    pal.setColor(QPalette::Highlight, currentColor());
    pal.setColor(QPalette::HighlightedText, Qt::black);
    MSFlexGrid1->setPalette(pal);

    QHBoxLayout* buttons = OkCancelHelpRow(this, cmdOK, cmdCancel, cmdHelp);

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(MSFlexGrid1, 1);
    lay->addLayout(buttons);

    setTabOrder(MSFlexGrid1, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdHelp);

    connect(cmdOK, &QPushButton::clicked, this, &frmGradeDef::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmGradeDef::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmGradeDef::cmdHelp_Click);
    connect(MSFlexGrid1, &FlexGrid::keyPressed, this, &frmGradeDef::MSFlexGrid1_KeyPress);
    connect(MSFlexGrid1, &FlexGrid::EnterCell, this, &frmGradeDef::MSFlexGrid1_EnterCell);
}

bool frmGradeDef::Form_Load()
{
    m_loaded = false;
    cmdOK->setEnabled(false);
    if (!AccDb) {
        MsgBox(tr("账套库未打开，无法设置分类编码方案。"), vb::vbExclamation | vb::vbOKOnly, title());
        return false;
    }
    Recordset rs;
    try {
        rs = AccDb->query(QStringLiteral("select * from GradeDef order by keyword"));
    } catch (const DbError& e) {
        WriteErrLog(4, e.text(), QStringLiteral("Form_Load"));
        MsgBox(tr("读取分类编码方案时出错：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, title());
        return false;
    }
    rs.MoveLast();
    const int count = rs.RecordCount();

    setupColumns(count);
    m_keywords.clear();
    rs.MoveFirst();
    for (int r = 1; !rs.Eof(); rs.MoveNext(), ++r)
        fillRow(r, rs);
    fitToRows();

    if (count > 0) {
        MSFlexGrid1->setCurrentCell(0, kFirstLevel);
        MSFlexGrid1_EnterCell();
    }
    m_loaded = true;
    cmdOK->setEnabled(true);
    return true;
}

// The headings, the narrow level columns and the tall heading row, for `rows` schemes.
void frmGradeDef::setupColumns(int rows)
{
    FlexGrid* g = MSFlexGrid1;
    g->setFormatString(tr("^项目|^最大级数|^最大长度|^单级最大长度|^是否分类|^第1级|^第2级|^第3级|^第4级|^第5级|^第6级|^第7级|^第8级|^第9级|"));
    g->setCols(15);
    g->setRows(rows + 1);
    g->setFixedCols(4);
    g->setBackColor(cellColor());
    // The tall heading stacks the narrow columns' captions line by line.
    for (int c = 0; c < g->Cols(); ++c)
        if (QTableWidgetItem* h = g->horizontalHeaderItem(c))
            h->setData(Qt::TextAlignmentRole, int(Qt::AlignCenter | Qt::TextWordWrap));

    g->setColWidth(0, 2000);
    // Narrow columns, yet wide enough for two digits and one character of the heading per line.
    const int narrow = qMax(320, Twips::fromPxX(qMax(g->fontMetrics().horizontalAdvance(QStringLiteral("88")),
                                                     g->horizontalHeader()->fontMetrics().horizontalAdvance(
                                                         //: The widest word a narrow column's heading puts on one line.
                                                         tr("级"))) + 10));
    for (int c = 1; c <= kLastLevel; ++c)
        g->setColWidth(c, narrow);
    g->setTextElideMode(Qt::ElideNone);
    g->setColWidth(kStoredRule, 0);
    // Tall enough for the longest narrow heading, wrapped in its column, in this font.
    const int margin = g->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, g->horizontalHeader());
    const QRect needed = g->horizontalHeader()->fontMetrics().boundingRect(
        QRect(0, 0, g->columnWidth(3) - 2 * margin, 2000), Qt::AlignCenter | Qt::TextWordWrap, g->TextMatrix(0, 3));
    g->setRowHeight(0, qMax(1300, Twips::fromPxY(needed.height() + 2 * margin + 6)));
}

// One scheme of GradeDef (the recordset's current row) in grid row `r`.
void frmGradeDef::fillRow(int r, Recordset& rs)
{
    FlexGrid* g = MSFlexGrid1;
    m_keywords << rs.text(QStringLiteral("keyword"));
    const QString name = rs.text(QStringLiteral("GRADECLSNAME"));
    const QString rule = rs.text(QStringLiteral("CODINGRULE")).trimmed();
    g->setRowHeight(r, 300);
    g->setTextMatrix(r, 0, name);
    g->setTextMatrix(r, 1, rs.text(QStringLiteral("LGRADE")));
    g->setTextMatrix(r, 2, rs.text(QStringLiteral("LGRADELEN")));
    g->setTextMatrix(r, 3, r == 7 ? QStringLiteral("5") : r == 8 ? QStringLiteral("3") : QStringLiteral("9"));
    g->setTextMatrix(r, 4, classifiedText(name));
    for (int c = kFirstLevel; c <= kLastLevel; ++c)
        g->setTextMatrix(r, c, QString());
    for (int i = 0; i < rule.size() && kFirstLevel + i <= kLastLevel; ++i)
        g->setTextMatrix(r, kFirstLevel + i, rule.mid(i, 1));
    g->setTextMatrix(r, kStoredRule, rule);
    for (int c = 1; c < kStoredRule; ++c)
        if (QTableWidgetItem* it = g->item(r - 1, c))
            it->setTextAlignment(Qt::AlignCenter);
    for (int c = 4; c < kStoredRule; ++c)
        g->setCellBackColor(r, c, cellColor());
}

// "是" or "否" under 是否分类: the wizard's box of the same kind, matched by the first two characters
// of the scheme's name; a scheme without a box is classified.
QString frmGradeDef::classifiedText(const QString& name) const
{
    const QList<QPair<QString, bool>> boxes{
        {QStringLiteral("存货是否分类(&V)"), bGoodClass}, // not translated: matched with the scheme's stored name
        {QStringLiteral("客户是否分类(&C)"), bCustClass}, // not translated: matched with the scheme's stored name
        {QStringLiteral("供应商是否分类(&P)"), bProvClass}, // not translated: matched with the scheme's stored name
    };
    const QString head = name.trimmed().left(2);
    for (const auto& box : boxes)
        if (box.first.left(2) == head)
            return box.second ? yes() : no();
    return yes();
}

// Room for every row and column without scrolling (the heading is tall).
void frmGradeDef::fitToRows()
{
    FlexGrid* g = MSFlexGrid1;
    int w = 2 * g->frameWidth() + 2;
    for (int c = 0; c < g->Cols(); ++c)
        if (!g->isColumnHidden(c))
            w += g->columnWidth(c);
    int h = 2 * g->frameWidth() + g->horizontalHeader()->height() + 2;
    for (int r = 0; r < g->rowCount(); ++r)
        h += g->rowHeight(r);
    g->setMinimumSize(w, qMin(h, 600));
    g->setVerticalScrollBarPolicy(h > 600 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

int frmGradeDef::CountTotal(int row, int col) const
{
    int total = 0;
    for (int c = kFirstLevel; c <= kLastLevel; ++c) {
        const QString t = MSFlexGrid1->TextMatrix(row, c);
        if (t.isEmpty())
            break;
        if (c != col)
            total += t.toInt();
    }
    return total;
}

void frmGradeDef::MSFlexGrid1_EnterCell()
{
    FlexGrid* g = MSFlexGrid1;
    if (m_prevRow >= 1 && m_prevRow < g->Rows() && m_prevCol >= 4)
        g->setCellBackColor(m_prevRow, m_prevCol, cellColor());
    m_prevRow = g->Row();
    m_prevCol = g->Col();
    if (m_prevRow >= 1 && m_prevCol >= 4)
        g->setCellBackColor(m_prevRow, m_prevCol, currentColor());
}

void frmGradeDef::MSFlexGrid1_KeyPress(QKeyEvent* event)
{
    if (!m_loaded || MSFlexGrid1->Rows() < 2)
        return;
    if (event->key() == Qt::Key_Delete) {
        event->accept();
        typeDigit(0);
        return;
    }
    const QString t = event->text();
    if (t.size() != 1 || !t[0].isPrint() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return;   // navigation keys move the current cell as usual
    // Every printable key is taken here, so none of them jumps to a matching cell.
    event->accept();
    if (t[0] >= QLatin1Char('0') && t[0] <= QLatin1Char('9'))
        typeDigit(t[0].digitValue());
}

void frmGradeDef::typeDigit(int digit)
{
    FlexGrid* g = MSFlexGrid1;
    const int row = g->Row();
    const int col = g->Col();
    if (row < 1 || col < kFirstLevel || col > kLastLevel)
        return;
    if (digit == 0 && col == kFirstLevel)
        return;
    // With a preset chart, an unclassified row keeps the levels it came with.
    if (bPreset && g->TextMatrix(row, 4) == no() && col <= g->TextMatrix(row, kStoredRule).size() + 4)
        return;
    // Levels are filled without gaps.
    if (g->TextMatrix(row, col - 1).isEmpty())
        return;
    if (digit == 0) {
        // Only the last level can be removed; there is no level after level 9.
        if (col == kLastLevel || g->TextMatrix(row, col + 1).isEmpty())
            g->setTextMatrix(row, col, QString());
        return;
    }
    if (col - 4 > g->TextMatrix(row, 1).toInt())
        return;
    if (digit > g->TextMatrix(row, 3).toInt())
        return;
    if (CountTotal(row, col) + digit > g->TextMatrix(row, 2).toInt())
        return;
    g->setTextMatrix(row, col, QString::number(digit));
}

void frmGradeDef::cmdOK_Click()
{
    if (!m_loaded || !AccDb)
        return;
    FlexGrid* g = MSFlexGrid1;
    // The rules live in the set's books; the system database joins their transaction for the log row.
    AuditLog::Attached log(*AccDb, m_session.sysDb ? m_session.sysDb->location() : QString());
    // A scheme whose row has gone: the log keeps the reason in Chinese, the person reads it in
    // the console's language.
    QString gone;
    try {
        Database::Transaction tx(*AccDb);
        for (int r = 1; r < g->Rows(); ++r) {
            // An empty rule is an empty text in both tables, never Null.
            QString rule = QStringLiteral("");
            for (int c = kFirstLevel; c <= kLastLevel; ++c)
                rule += g->TextMatrix(r, c);
            rule = rule.trimmed();
            if (rule.isNull())
                rule = QStringLiteral("");
            AccDb->execute(QStringLiteral("update GradeDef set CODINGRULE=? where keyword=?"), {rule, m_keywords.value(r - 1)});
            if (AccDb->rowsAffected() == 0) {
                gone = g->TextMatrix(r, 0);
                throw DbError(QStringLiteral("编码方案“%1”已不在账套库中。").arg(gone)); // not translated: logged as the reason
            }
            AccInformation::setValue(*AccDb, g->TextMatrix(r, 0), rule);
        }
        log.write(m_session.auditContext(), Audit::codingScheme(AccDb, AccId, Year));
        tx.commit();
    } catch (const DbError& e) {
        log.recordFailed(m_session.auditContext(), Audit::codingScheme(nullptr, AccId, Year), e.reasonText());
        WriteErrLog(4, e.text(), QStringLiteral("cmdOK_Click"));
        const QString reason = gone.isEmpty() ? e.userText() : tr("编码方案“%1”已不在账套库中。").arg(gone);
        MsgBox(tr("分类编码方案未能保存：%1").arg(reason), vb::vbExclamation | vb::vbOKOnly, title());
        return;
    }
    accept();
}

void frmGradeDef::cmdCancel_Click()
{
    reject();
}
