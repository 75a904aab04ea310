#include "frmCarryForward.h"

#include <FlexGrid.h>
#include <Help.h>
#include <PictureButton.h>

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmCarryForward::frmCarryForward(const QString& summary, const QList<Row>& rows, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCarryForward"));
    setWindowTitle(tr("结转上年数据"));
    resize(640, 420);

    lblSummary = new QLabel(summary, this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);

    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setAccessibleName(tr("将要结转的科目"));
    MSFlexGrid1->setTabKeyNavigation(false);
    MSFlexGrid1->setFormatString(tr("<科目编码|<科目名称|<结转内容"));
    const int widths[] = {1500, 2800, 4200};
    for (int c = 0; c < 3; ++c)
        MSFlexGrid1->setColWidth(c, widths[c]);
    MSFlexGrid1->setRows(rows.size() + 1);
    for (int r = 0; r < rows.size(); ++r) {
        MSFlexGrid1->setTextMatrix(r + 1, 0, rows[r].code);
        MSFlexGrid1->setTextMatrix(r + 1, 1, rows[r].name);
        MSFlexGrid1->setTextMatrix(r + 1, 2, rows[r].change);
    }
    // A long account name or change is shown whole: the grid scrolls sideways instead.
    for (int c = 1; c < 3; ++c)
        MSFlexGrid1->fitColWidth(c);

    QHBoxLayout* buttons = OkCancelHelpRow(this, cmdOK, cmdCancel, cmdHelp);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(lblSummary);
    lay->addWidget(MSFlexGrid1, 1);
    lay->addLayout(buttons);
    setTabOrder(MSFlexGrid1, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdHelp);
    cmdOK->setDefault(true);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdHelp, &QPushButton::clicked, this, [this] { Help::open(this, objectName()); });
}
