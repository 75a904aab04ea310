#pragma once
// The small date dialog of subsystem enabling: a calendar whose selected day is shown in
// Label1. The opener shows it, then reads `confirmed` and Label1's text (yyyy-MM-dd).
#include <QDialog>

class QCalendarWidget;
class QLabel;
class QPushButton;

class frmCnDate : public QDialog {
    Q_OBJECT
public:
    explicit frmCnDate(QWidget* parent = nullptr);

    QCalendarWidget* Calendar1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdExit = nullptr;

    // Set by "确定" (or by activating a day); false when the dialog was cancelled.
    bool confirmed = false;

    // The date format of Label1.
    static QString dateFormat() { return QStringLiteral("yyyy-MM-dd"); }

public slots:
    void Form_Load();
    void Calendar1_SelChange();
    void cmdOk_Click();
    void cmdExit_Click();
};
