#include "FolderTree.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>

FolderTree::FolderTree(QWidget* parent)
    : QTreeView(parent)
{
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setReadOnly(true);
    m_model->setRootPath(QString());
    setModel(m_model);
    for (int c = 1; c < m_model->columnCount(); ++c)
        hideColumn(c);
    header()->hide();

    // The model reads a level in the background and sorts its entries a moment later; both
    // move the rows under the view, so the preset folder is brought back after each.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this](const QString&) { showPending(); });
    connect(m_model, &QAbstractItemModel::layoutChanged, this, [this] { showPending(); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &FolderTree::endPreset);
    connect(this, &QTreeView::expanded, this, &FolderTree::endPreset);
}

void FolderTree::showFolder(const QString& folder)
{
    m_pending = QDir(folder).absolutePath();
    showPending();
}

QString FolderTree::currentFolder() const
{
    const QModelIndex idx = currentIndex();
    return idx.isValid() ? m_model->filePath(idx) : QString();
}

void FolderTree::showPending()
{
    if (m_pending.isEmpty())
        return;
    const QModelIndex idx = m_model->index(m_pending);
    if (!idx.isValid())
        return;
    m_showing = true;
    for (QModelIndex p = idx.parent(); p.isValid(); p = p.parent())
        expand(p);
    setCurrentIndex(idx);
    scrollTo(idx, QAbstractItemView::PositionAtCenter);
    m_showing = false;
}

void FolderTree::endPreset()
{
    if (!m_showing)
        m_pending.clear();
}
