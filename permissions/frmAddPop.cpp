#include "frmAddPop.h"
#include "GrantUi.h"
#include "frmUserPop.h"

#include <FlexGrid.h>
#include <Module1.h>
#include <Session.h>
#include <Twips.h>

#include <QMouseEvent>

using namespace Module1;

frmAddPop::frmAddPop(frmUserPop* browser, QWidget* parent)
    : GrantDialog(browser, parent)
{
    setObjectName(QStringLiteral("frmAddPop"));
    setupUi(nullptr);
    resize(Twips::toPxX(8400), Twips::toPxY(6600));

    connect(MSFlexGrid1, &FlexGrid::DblClick, this, &frmAddPop::MSFlexGrid1_DblClick);
    connect(MSFlexGrid2, &FlexGrid::DblClick, this, &frmAddPop::MSFlexGrid2_DblClick);
    GrantUi::onActivateKeys(MSFlexGrid1, this, [this] { MSFlexGrid1_DblClick(); });
    GrantUi::onActivateKeys(MSFlexGrid2, this, [this] { MSFlexGrid2_DblClick(); });
    MSFlexGrid1->viewport()->installEventFilter(this);
    MSFlexGrid2->viewport()->installEventFilter(this);
}

void frmAddPop::Form_Load()
{
    setupGrids(true);
    try {
        loadSubsystems(QStringLiteral("select * from SM_SubSys order by cSub_Id"));
        // The supervisor right is the browser's box, never granted here.
        Recordset rs = m_browser->session().sysDb->query(QStringLiteral("select a.*,b.cSub_Name from SM_Auth a,SM_SubSys b where a.cAuth_Id<>'admin' "
                                                    "and substr(a.cAuth_Id,1,2)=b.cSub_Id COLLATE NOCASE order by a.cAuth_Id"));
        if (!rs.Eof()) {
            MSFlexGrid2->setRows(rs.RecordCount() + 1);
            for (int r = 1; !rs.Eof(); rs.MoveNext(), ++r) {
                MSFlexGrid2->setTextMatrix(r, 1, rs.text(QStringLiteral("cAuth_Id")));
                MSFlexGrid2->setTextMatrix(r, 2, rs.text(QStringLiteral("cAuth_Name")));
                MSFlexGrid2->setTextMatrix(r, 3, rs.text(QStringLiteral("cSub_Name")));
            }
        }
    } catch (const DbError& e) {
        report(e, QStringLiteral("Form_Load"));
    }
    m_grant = QVector<qint16>(MSFlexGrid2->Rows(), 0);
    m_classes.clear();
}

void frmAddPop::MSFlexGrid1_DblClick()
{
    const int R = MSFlexGrid1->Row();
    if (R < 1 || R >= MSFlexGrid1->Rows())
        return;
    const int at = m_classes.indexOf(R);
    if (at >= 0)
        m_classes[at] = 0;
    else
        m_classes.append(R);

    // Every mark is derived again from the class list: marks set one by one are lost.
    GrantUi::clearMarks(MSFlexGrid1);
    GrantUi::clearMarks(MSFlexGrid2);
    m_grant.fill(0);
    for (int C : std::as_const(m_classes)) {
        if (C == 0)
            continue;
        MSFlexGrid1->setCellBackColor(C, 0, GrantUi::kMarked);
        const QString name = MSFlexGrid1->TextMatrix(C, 2).toUpper();
        for (int J = 1; J < MSFlexGrid2->Rows(); ++J) {
            if (MSFlexGrid2->TextMatrix(J, 3).toUpper() == name) {
                MSFlexGrid2->setCellBackColor(J, 0, GrantUi::kMarked);
                m_grant[J] = qint16(J);
            }
        }
    }
    const QString sub = MSFlexGrid1->TextMatrix(R, 1).toUpper();
    for (int J = 1; J < MSFlexGrid2->Rows(); ++J) {
        if (MSFlexGrid2->TextMatrix(J, 1).left(2).toUpper() == sub) {
            MSFlexGrid2->setTopRow(J);
            break;
        }
    }
}

void frmAddPop::MSFlexGrid2_DblClick()
{
    const int J = MSFlexGrid2->Row();
    if (J < 1 || J >= MSFlexGrid2->Rows() || J >= m_grant.size())
        return;
    if (m_grant[J] != 0) {
        MSFlexGrid2->setCellBackColor(J, 0, GrantUi::kUnmarked);
        m_grant[J] = 0;
    } else {
        MSFlexGrid2->setCellBackColor(J, 0, GrantUi::kMarked);
        m_grant[J] = qint16(J);
    }
}

QStringList frmAddPop::markedPermissions() const
{
    QStringList ids;
    for (int J = 1; J < m_grant.size() && J < MSFlexGrid2->Rows(); ++J)
        if (m_grant[J] != 0)
            ids << MSFlexGrid2->TextMatrix(J, 1);
    return ids;
}

void frmAddPop::pressRow(QList<int>& selection, int& last, int row, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ShiftModifier && last > 0) {
        selection.clear();
        for (int r = qMin(last, row); r <= qMax(last, row); ++r)
            selection << r;
        return;   // the anchor stays where the range began
    }
    if (modifiers & Qt::ControlModifier) {
        if (!selection.contains(row))
            selection << row;
    } else {
        selection = {row};
    }
    last = row;
}

void frmAddPop::paintHighlight(FlexGrid* grid, const QList<int>& rows)
{
    const QColor back = palette().color(QPalette::Highlight);
    const QColor fore = palette().color(QPalette::HighlightedText);
    for (int r = 1; r < grid->Rows(); ++r) {
        const bool on = rows.contains(r);
        for (int c = 1; c <= 2; ++c) {
            grid->setCellBackColor(r, c, on ? back : QColor(Qt::white));
            grid->setCellForeColor(r, c, on ? fore : QColor(Qt::black));
        }
    }
}

void frmAddPop::MSFlexGrid1_MouseDown(int row, Qt::KeyboardModifiers modifiers)
{
    if (row < 1 || row >= MSFlexGrid1->Rows())
        return;
    pressRow(m_leftSelection, m_leftLast, row, modifiers);
    paintHighlight(MSFlexGrid1, m_leftSelection);
    // The permissions of the highlighted classes are highlighted with them.
    QStringList names;
    for (int C : std::as_const(m_leftSelection))
        names << MSFlexGrid1->TextMatrix(C, 2).toUpper();
    m_rightSelection.clear();
    for (int J = 1; J < MSFlexGrid2->Rows(); ++J)
        if (names.contains(MSFlexGrid2->TextMatrix(J, 3).toUpper()))
            m_rightSelection << J;
    m_rightLast = 0;
    paintHighlight(MSFlexGrid2, m_rightSelection);
    if (!m_rightSelection.isEmpty())
        MSFlexGrid2->setTopRow(m_rightSelection.first());
}

void frmAddPop::MSFlexGrid2_MouseDown(int row, Qt::KeyboardModifiers modifiers)
{
    if (row < 1 || row >= MSFlexGrid2->Rows())
        return;
    pressRow(m_rightSelection, m_rightLast, row, modifiers);
    paintHighlight(MSFlexGrid2, m_rightSelection);
}

bool frmAddPop::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        for (FlexGrid* g : {MSFlexGrid1, MSFlexGrid2}) {
            if (watched != g->viewport())
                continue;
            const int tableRow = g->rowAt(me->position().toPoint().y());
            if (tableRow >= 0) {
                if (g == MSFlexGrid1)
                    MSFlexGrid1_MouseDown(tableRow + 1, me->modifiers());
                else
                    MSFlexGrid2_MouseDown(tableRow + 1, me->modifiers());
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
