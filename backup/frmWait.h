#pragma once
// "压缩进程，请等待...": on its first tick prepares the backup data (transfer tables and the
// compacted copy), then opens frmAccExport for the target folder and closes.
#include <QDialog>
#include <QTimer>

class QProgressBar;

class frmWait : public QDialog {
    Q_OBJECT
public:
    explicit frmWait(QWidget* parent = nullptr);

    QProgressBar* ProgressBar1 = nullptr;
    QTimer Timer1;

public slots:
    void Form_Load();
    void Timer1_Timer();

protected:
    void showEvent(QShowEvent* event) override;
};
