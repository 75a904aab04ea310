#pragma once
// What the two grant dialogs share: the subsystem grid on the left, the permission grid
// on the right, the note and the buttons, and handing what cmdOK grants to the browser.
#include <QDialog>

class DbError;
class FlexGrid;
class QGroupBox;
class QLabel;
class QPushButton;
class frmUserPop;

class GrantDialog : public QDialog {
    Q_OBJECT
public:
    QGroupBox* Frame1 = nullptr;
    FlexGrid* MSFlexGrid1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    FlexGrid* MSFlexGrid2 = nullptr;
    QLabel* lblsm = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

public slots:
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

protected:
    GrantDialog(frmUserPop* browser, QWidget* parent);

    // Builds the frames, grids, note and buttons; `rightExtra` (the tree) goes into Frame2
    // before the right grid.
    void setupUi(QWidget* rightExtra);
    // Heads both grids; the left one shows its "授权" mark column only with `leftMarks`.
    void setupGrids(bool leftMarks);
    // Fills the left grid with the subsystems `sql` selects; throws when the system database is closed.
    void loadSubsystems(const QString& sql);
    // Logs a refused statement of `where` and tells the reason.
    static void report(const DbError& e, const QString& where);

    // What cmdOK grants, in row order.
    virtual QStringList toGrant() const = 0;

    frmUserPop* m_browser;
};
