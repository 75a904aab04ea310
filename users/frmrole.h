#pragma once
// The role manager: lists the roles and adds, changes and deletes them.
#include <QDialog>

class FlexGrid;
class QAction;
class QToolBar;

class frmrole : public QDialog {
    Q_OBJECT
public:
    explicit frmrole(QWidget* parent = nullptr);

    void Form_Load();
    // Reloads the grid from the system database.
    void ShowMSFLG();

    QToolBar* Toolbar1 = nullptr;
    FlexGrid* MSFlexGrid1 = nullptr;

public slots:
    void Toolbar1_ButtonClick(QAction* Button);

private:
    void addRole();
    void deleteRole();
    void editRole();
};
