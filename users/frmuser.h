#pragma once
// The operator manager: lists every operator that is not an administrator and
// adds, changes and deletes them.
#include <QDialog>

class FlexGrid;
class QAction;
class QToolBar;

class frmuser : public QDialog {
    Q_OBJECT
public:
    explicit frmuser(QWidget* parent = nullptr);

    void Form_Load();
    // Reloads the grid from the system database.
    void ShowMSFLG();

    QToolBar* Toolbar1 = nullptr;
    FlexGrid* MSFlexGrid1 = nullptr;

public slots:
    void Toolbar1_ButtonClick(QAction* Button);

private:
    void addOperator();
    void deleteOperator();
    void editOperator();
};
