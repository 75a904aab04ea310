#pragma once
// The plain grant dialog: permissions are marked by whole subsystem (left) or one by
// one (right) and added to the browser's member for its account set and year.
#include "GrantDialog.h"

#include <QList>
#include <QVector>

class frmAddPop : public GrantDialog {
    Q_OBJECT
public:
    explicit frmAddPop(frmUserPop* browser, QWidget* parent = nullptr);

    void Form_Load();

    // The permissions that cmdOK would grant, in row order.
    QStringList markedPermissions() const;

public slots:
    void MSFlexGrid1_DblClick();
    void MSFlexGrid2_DblClick();
    // Row highlight only; no effect on what is granted.
    void MSFlexGrid1_MouseDown(int row, Qt::KeyboardModifiers modifiers);
    void MSFlexGrid2_MouseDown(int row, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStringList toGrant() const override { return markedPermissions(); }
    void paintHighlight(FlexGrid* grid, const QList<int>& rows);
    static void pressRow(QList<int>& selection, int& last, int row, Qt::KeyboardModifiers modifiers);

    QList<int> m_classes;            // left-grid rows granted as a class; 0 is a removed entry
    QVector<qint16> m_grant;         // per right-grid row: non-zero grants that row's permission
    QList<int> m_leftSelection, m_rightSelection;
    int m_leftLast = 0, m_rightLast = 0;
};
