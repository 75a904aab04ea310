#include "frmInput.h"

#include <Module1.h>
#include <MsgBox.h>
#include <Twips.h>

#include <QLabel>
#include <QVBoxLayout>

using namespace Module1;

frmInput::frmInput(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInput"));
    setWindowTitle(QStringLiteral("帐套引入"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    // Unwrapped: a folder path has no place to break, so the window widens to show it whole.
    Label1->setMinimumHeight(Twips::toPxY(600));
    auto* top = new QVBoxLayout(this);
    top->addWidget(Label1);
    setMinimumWidth(Twips::toPxX(6000));

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &frmInput::Timer1_Timer);
}

void frmInput::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Timer1.start();
}

void frmInput::Timer1_Timer()
{
    Timer1.stop();
    if (!gSysDb) {
        MsgBox(QStringLiteral("系统库未打开，无法引入帐套！"), vb::vbExclamation | vb::vbOKOnly, AccountImporter::title());
        reject();
        return;
    }
    const AccountImporter::Result result = AccountImporter::restore(*gSysDb, Plan);
    ShowNotice(result.notice);
    Succeeded = result.done();
    if (Succeeded)
        accept();
    else
        reject();
}
