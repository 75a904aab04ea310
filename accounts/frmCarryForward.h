#pragma once
// "结转上年数据": what carrying the previous year's configuration forward will change in the year
// logged into, one row per account (added or changed) and a line for the coding scheme and
// precision, shown before anything is written. 确定 accepts, 放弃 rejects; the caller writes.
#include <QDialog>
#include <QList>
#include <QString>

class FlexGrid;
class QLabel;
class QPushButton;

class frmCarryForward : public QDialog {
    Q_OBJECT
public:
    struct Row {
        QString code;
        QString name;
        QString change;   // what happens to it, in the console's language
    };
    // `summary` names the set and both years; `rows` may be empty when only the scheme follows.
    frmCarryForward(const QString& summary, const QList<Row>& rows, QWidget* parent = nullptr);

    QLabel* lblSummary = nullptr;
    FlexGrid* MSFlexGrid1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;
};
