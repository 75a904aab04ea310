#pragma once
// The plain grant dialog: permissions are marked by whole subsystem (left) or one by
// one (right) and added to the browser's member for its account set and year.
#include <QDialog>
#include <QList>
#include <QVector>

class FlexGrid;
class QGroupBox;
class QLabel;
class QPushButton;
class frmUserPop;

class frmAddPop : public QDialog {
    Q_OBJECT
public:
    explicit frmAddPop(frmUserPop* browser, QWidget* parent = nullptr);
    ~frmAddPop() override;

    void Form_Load();

    // The permissions that cmdOK would grant, in row order.
    QStringList markedPermissions() const;

    QGroupBox* Frame1 = nullptr;
    FlexGrid* MSFlexGrid1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    FlexGrid* MSFlexGrid2 = nullptr;
    QLabel* lblsm = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

public slots:
    void MSFlexGrid1_DblClick();
    void MSFlexGrid2_DblClick();
    // Row highlight only; no effect on what is granted.
    void MSFlexGrid1_MouseDown(int row, Qt::KeyboardModifiers modifiers);
    void MSFlexGrid2_MouseDown(int row, Qt::KeyboardModifiers modifiers);
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintHighlight(FlexGrid* grid, const QList<int>& rows);
    static void pressRow(QList<int>& selection, int& last, int row, Qt::KeyboardModifiers modifiers);

    frmUserPop* m_browser;
    QList<int> m_classes;            // left-grid rows granted as a class; 0 is a removed entry
    QVector<qint16> m_grant;         // per right-grid row: non-zero grants that row's permission
    QList<int> m_leftSelection, m_rightSelection;
    int m_leftLast = 0, m_rightLast = 0;
};
