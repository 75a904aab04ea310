#include "ManagerForm.h"
#include "UsersUi.h"

#include <FlexGrid.h>
#include <Twips.h>

#include <QAction>
#include <QLineEdit>
#include <QToolBar>
#include <QVBoxLayout>

ManagerForm::ManagerForm(QWidget* parent, const QString& name, const QString& title, const QStringList& tooltips,
                         const QString& records, int widthTwips)
    : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(title);

    Toolbar1 = UsersUi::managerToolbar(this, tooltips);
    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setAccessibleName(records);
    MSFlexGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    top->addWidget(Toolbar1);
    top->addWidget(MSFlexGrid1, 1);
    resize(Twips::toPxX(widthTwips), Twips::toPxY(5400));

    // The buttons open modal dialogs: let the click finish first.
    connect(Toolbar1, &QToolBar::actionTriggered, this, &ManagerForm::Toolbar1_ButtonClick, Qt::QueuedConnection);
}

void ManagerForm::Toolbar1_ButtonClick(QAction* Button)
{
    const QString key = Button->objectName().toLower();
    if (key == QLatin1String("add"))
        addRecord();
    else if (key == QLatin1String("delete"))
        deleteRecord();
    else if (key == QLatin1String("edit"))
        editRecord();
    else if (key == QLatin1String("refresh"))
        ShowMSFLG();
    else if (key == QLatin1String("exit"))
        reject();
}

QString ManagerForm::idList() const
{
    QString ids = QStringLiteral(",");
    for (int r = 1; r < MSFlexGrid1->Rows(); ++r)
        ids += MSFlexGrid1->TextMatrix(r, 0) + QLatin1Char(',');
    return ids;
}

void ManagerForm::fillFromGrid(QLineEdit* box, int row, int col) const
{
    const QString text = MSFlexGrid1->TextMatrix(row, col);
    box->setMaxLength(qMax(box->maxLength(), int(text.size())));
    box->setText(text);
}
