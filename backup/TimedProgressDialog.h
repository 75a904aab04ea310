#pragma once
// The export's two waiting windows: one progress bar, and a timer that starts when the window
// is shown. What a tick does is up to each window; tests call Timer1_Timer themselves.
#include <QDialog>
#include <QTimer>

class QProgressBar;

class TimedProgressDialog : public QDialog {
    Q_OBJECT
public:
    QProgressBar* ProgressBar1 = nullptr;
    QTimer Timer1;

    virtual void Timer1_Timer() = 0;

protected:
    TimedProgressDialog(QWidget* parent, const QString& objectName, const QString& barName, int intervalMs);
    void showEvent(QShowEvent* event) override;
};
