#pragma once
// The frame the operator and role managers share: the six-button toolbar over a grid
// of records, each button handled by the manager.
#include <QDialog>

class FlexGrid;
class QAction;
class QLineEdit;
class QToolBar;

class ManagerForm : public QDialog {
    Q_OBJECT
public:
    // Reloads the grid from the system database.
    virtual void ShowMSFLG() = 0;

    QToolBar* Toolbar1 = nullptr;
    FlexGrid* MSFlexGrid1 = nullptr;

public slots:
    void Toolbar1_ButtonClick(QAction* Button);

protected:
    // `tooltips` as UsersUi::managerToolbar takes them; `records` names the grid's rows.
    ManagerForm(QWidget* parent, const QString& name, const QString& title, const QStringList& tooltips,
                const QString& records, int widthTwips);

    virtual void addRecord() = 0;
    virtual void deleteRecord() = 0;
    virtual void editRecord() = 0;

    // The identifiers of column 0 as the add dialogs take them: "," and each followed by ",".
    QString idList() const;
    // Puts a grid cell into a box; a value stored longer than the box allows (written by
    // another program) is shown whole.
    void fillFromGrid(QLineEdit* box, int row, int col) const;
};
