#include "frmAccPath.h"

#include <CiFile.h>
#include <Paths.h>

#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

frmAccPath::frmAccPath(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAccPath"));
    setWindowTitle(QStringLiteral("账套存放路径"));

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setReadOnly(true);
    m_model->setRootPath(QString());

    lblDir = new QLabel(QStringLiteral("目录列表(&R):"), this);
    lblDir->setObjectName(QStringLiteral("lblDir"));
    Dir1 = new QTreeView(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setModel(m_model);
    for (int c = 1; c < m_model->columnCount(); ++c)
        Dir1->hideColumn(c);
    Dir1->header()->hide();
    Dir1->setAccessibleName(QStringLiteral("目录列表"));
    Dir1->setMinimumSize(360, 300);
    lblDir->setBuddy(Dir1);

    lblPath = new QLabel(QStringLiteral("所选路径(&S):"), this);
    lblPath->setObjectName(QStringLiteral("lblPath"));
    txtPath = new QLineEdit(this);
    txtPath->setObjectName(QStringLiteral("txtPath"));
    txtPath->setAccessibleName(QStringLiteral("所选路径"));
    lblPath->setBuddy(txtPath);

    cmdOK = new QPushButton(QStringLiteral("确认(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("放弃(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdHelp = new QPushButton(QStringLiteral("帮助(&H)"), this);
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
    // The tree fills in the background: once the levels above the preset folder are read,
    // bring it into view again. A folder the person picks ends the preset.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this](const QString&) { showPending(); });
    // It sorts a folder's entries a moment after reading them, which moves the rows under the view.
    connect(m_model, &QAbstractItemModel::layoutChanged, this, [this] { showPending(); });
    connect(Dir1, &QTreeView::expanded, this, [this] {
        if (!m_showing)
            m_pending.clear();
    });
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
    m_pending = QDir(real).absolutePath();
    showPending();
    txtPath->setText(Paths::withoutTrailingSep(real));
}

void frmAccPath::showPending()
{
    if (m_pending.isEmpty())
        return;
    const QModelIndex idx = m_model->index(m_pending);
    if (!idx.isValid())
        return;
    m_showing = true;
    for (QModelIndex p = idx.parent(); p.isValid(); p = p.parent())
        Dir1->expand(p);
    Dir1->setCurrentIndex(idx);
    Dir1->scrollTo(idx, QAbstractItemView::PositionAtCenter);
    m_showing = false;
}

QString frmAccPath::Path() const
{
    return txtPath->text().trimmed();
}

void frmAccPath::Dir1_Change()
{
    const QModelIndex idx = Dir1->currentIndex();
    if (!idx.isValid())
        return;
    txtPath->setText(m_model->filePath(idx));
    if (!m_showing)
        m_pending.clear();
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
