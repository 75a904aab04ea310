#pragma once
// The tree grant dialog: a subsystem's permissions as a two-level tree with check
// boxes; what is checked is added to the browser's member for its set and year.
#include <QDialog>

class FlexGrid;
class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class frmUserPop;

class frmAddPopTree : public QDialog {
    Q_OBJECT
public:
    explicit frmAddPopTree(frmUserPop* browser, QWidget* parent = nullptr);
    ~frmAddPopTree() override;

    void Form_Load();

    // The node of a permission ("ka" + identifier or "kc" + identifier), or null.
    QTreeWidgetItem* node(const QString& key) const;
    // The permissions that cmdOK would write, in row order.
    QStringList listedPermissions() const;

    QGroupBox* Frame1 = nullptr;
    FlexGrid* MSFlexGrid1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    FlexGrid* MSFlexGrid2 = nullptr;
    QLabel* lblsm = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

public slots:
    void MSFlexGrid1_DblClick();
    void MSFlexGrid2_DblClick();
    void TreeView1_NodeCheck(QTreeWidgetItem* node);
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

private:
    int listedRow(const QString& authId) const;

    frmUserPop* m_browser;
    bool m_building = false;
};
