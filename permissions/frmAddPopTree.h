#pragma once
// The tree grant dialog: a subsystem's permissions as a two-level tree with check
// boxes; what is checked is added to the browser's member for its set and year.
#include "GrantDialog.h"

class QTreeWidget;
class QTreeWidgetItem;

class frmAddPopTree : public GrantDialog {
    Q_OBJECT
public:
    explicit frmAddPopTree(frmUserPop* browser, QWidget* parent = nullptr);

    void Form_Load();

    // The node of a permission ("ka" + identifier or "kc" + identifier), or null.
    QTreeWidgetItem* node(const QString& key) const;
    // The permissions that cmdOK would write, in row order.
    QStringList listedPermissions() const;

    QTreeWidget* TreeView1 = nullptr;   // beside the right grid

public slots:
    void MSFlexGrid1_DblClick();
    void MSFlexGrid2_DblClick();
    void TreeView1_NodeCheck(QTreeWidgetItem* node);

private:
    QStringList toGrant() const override { return listedPermissions(); }
    int listedRow(const QString& authId) const;

    bool m_building = false;
};
