#include "frmAccPath.h"

#include <CiFile.h>
#include <FolderTree.h>
#include <Paths.h>

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmAccPath::frmAccPath(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAccPath"));
    setWindowTitle(tr("账套存放路径"));

    lblDir = new QLabel(tr("目录列表(&R):"), this);
    lblDir->setObjectName(QStringLiteral("lblDir"));
    Dir1 = new FolderTree(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setAccessibleName(tr("目录列表"));
    Dir1->setMinimumSize(360, 300);
    lblDir->setBuddy(Dir1);

    lblPath = new QLabel(tr("所选路径(&S):"), this);
    lblPath->setObjectName(QStringLiteral("lblPath"));
    txtPath = new QLineEdit(this);
    txtPath->setObjectName(QStringLiteral("txtPath"));
    txtPath->setAccessibleName(tr("所选路径"));
    lblPath->setBuddy(txtPath);

    cmdOK = new QPushButton(tr("确认(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(tr("放弃(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdHelp = new QPushButton(tr("帮助(&H)"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    for (QPushButton* b : {cmdOK, cmdCancel, cmdHelp})
        b->setAutoDefault(false);
    cmdOK->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblDir, 0, 0);
    grid->addWidget(Dir1, 1, 0, 1, 2);
    grid->addWidget(lblPath, 2, 0, 1, 2);
    grid->addWidget(txtPath, 3, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addSpacing(lblDir->sizeHint().height());
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 4, 1);
    grid->setColumnStretch(1, 1);

    setTabOrder(Dir1, txtPath);
    setTabOrder(txtPath, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdHelp);

    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmAccPath::Dir1_Change);
    connect(cmdOK, &QPushButton::clicked, this, &frmAccPath::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAccPath::cmdCancel_Click);
    // Closing by the window's box counts as 放弃.
    connect(this, &QDialog::rejected, this, [this] { SelectedPath.clear(); });

    setPath(QDir::homePath());
}

frmAccPath::~frmAccPath() = default;

void frmAccPath::setPath(const QString& path)
{
    const QString real = CiFile::resolve(Paths::normalize(path.trimmed()));
    if (!CiFile::isDir(real))
        return;
    Dir1->showFolder(real);
    txtPath->setText(Paths::withoutTrailingSep(real));
}

QString frmAccPath::Path() const
{
    return txtPath->text().trimmed();
}

void frmAccPath::Dir1_Change()
{
    const QString folder = Dir1->currentFolder();
    if (!folder.isEmpty())
        txtPath->setText(folder);
}

void frmAccPath::cmdOK_Click()
{
    if (Caller == QLatin1String("AddAcc")) {
        if (AccPathBox)
            AccPathBox->setText(Path());
    } else if (Caller == QLatin1String("Acc2")) {
        SelectedPath = Path();
    }
    accept();
}

void frmAccPath::cmdCancel_Click()
{
    SelectedPath.clear();
    reject();
}
