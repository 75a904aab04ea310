#pragma once
// A tree of folders only, read in the background. showFolder opens the tree at a folder and
// keeps that folder current and in view while the levels above it are read and sorted, until
// the person picks or opens another folder.
#include <QTreeView>

class QFileSystemModel;

class FolderTree : public QTreeView {
    Q_OBJECT
public:
    explicit FolderTree(QWidget* parent = nullptr);

    QFileSystemModel* folderModel() const { return m_model; }
    // `folder`: an existing folder's absolute path.
    void showFolder(const QString& folder);
    // The current folder's path; empty when none is current.
    QString currentFolder() const;
    // Stops keeping the folder of showFolder in view: the person has gone elsewhere.
    void endPreset();

private:
    void showPending();

    QFileSystemModel* m_model = nullptr;
    QString m_pending;   // the folder to keep in view, until the person picks or opens another
    bool m_showing = false;
};
