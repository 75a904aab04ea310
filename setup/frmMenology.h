#pragma once
// The accounting calendar "会计月历-建账": the twelve periods of a start year, with the start
// year and month chosen by up-down buttons only. It writes nothing to any database.
//
// Opening (the account-set wizard):
//   frmMenology dlg;
//   dlg.txtYear->setText(year);   dlg.udYear->setValue(year.toInt());    // a year outside 1990..2050
//   dlg.txtMonth->setText(month); dlg.udMonth->setValue(month.toInt());  //   is reported and replaced
//   dlg.Form_Load();                                                     //   by the current year
//   if (ShowModal(dlg) == QDialog::Accepted) { wizard.txtYear = dlg.txtYear->text(); ... txtMonth ... }
// (setYearMonth(year, month) does the four assignments.) Until seeded, it shows the current
// year and month. 确定 (cmdOK) accepts; 放弃 (cmdCancel) and the close box reject.
#include <QDialog>

class FlexGrid;
class QLayout;
class QLineEdit;
class QPushButton;
class UpDown;

class frmMenology : public QDialog {
    Q_OBJECT
public:
    explicit frmMenology(QWidget* parent = nullptr);

    QLineEdit* txtYear = nullptr;     // read-only: udYear changes it
    UpDown* udYear = nullptr;         // 1990..2050
    QLineEdit* txtMonth = nullptr;    // read-only: udMonth changes it
    UpDown* udMonth = nullptr;        // 1..12
    FlexGrid* MSFlexGrid1 = nullptr;  // periods 1..12: 期间, 起始日期, 结束日期
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void setYearMonth(const QString& year, const QString& month);

    // Background of the date cells: the periods before the start month, and those from it on.
    static QColor normalColor();
    static QColor startColor();

public slots:
    void Form_Load();
    void udYear_Change();
    void udMonth_Change();
    void txtYear_Change();
    void txtMonth_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLayout* buildYearMonth();
    void buildGrid();
    QLayout* buildButtons();
    void fitGrid();
    void showToday();
    void fillGrid(int year);
};
