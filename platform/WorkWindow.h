#pragma once
// A window for one long piece of work run on a thread of its own once the window is painted: a
// sentence saying what is done, a progress bar and 取消. 取消, Escape or closing the window ask the
// work to stop (it looks at its cancel flag up to its commit); the window shows the work's notice
// and closes once the work has ended. A form derives from it and starts its work in startWork().
#include <Outcome.h>

#include <QDialog>
#include <QTimer>

#include <atomic>

class QLabel;
class QProgressBar;
class QPushButton;
class QThread;

class WorkWindow : public QDialog {
    Q_OBJECT
public:
    WorkWindow(const char* objectName, const QString& title, const QString& what, QWidget* parent = nullptr);

    QLabel* lblWhat = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* cmdCancel = nullptr;

    // True from the start of the work until its outcome has been shown.
    bool working() const { return m_worker != nullptr; }

public slots:
    // Starts the work, once (when the window is painted; a test calls it itself).
    void start();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Starts the work with `control` (the cancel flag, the bar's progress) through startOffThread
    // and returns its thread; the work's result reaches ended() on the window's thread.
    virtual QThread* startWork(const WorkControl& control) = 0;
    // Shows the notice and closes the window, accepted when the work succeeded.
    void ended(const Notice& notice, bool succeeded);

private:
    QTimer m_start;
    QThread* m_worker = nullptr;
    std::atomic<bool> m_cancel{false};
    bool m_started = false;
};
