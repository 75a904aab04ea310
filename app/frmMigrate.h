#pragma once
// "升级SQL Server数据": the move of the installation's files onto a server, once the window is
// painted, on a thread of its own with its own connection to the files' system database: the table
// being copied and the bytes sent so far, 取消 (or Escape) until the server's commit. When it has
// ended the window shows the notice and closes.
#include <ConnInfo.h>
#include <Migration.h>

#include <QDialog>
#include <QTimer>

#include <atomic>

class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
struct Session;

class frmMigrate : public QDialog {
    Q_OBJECT
public:
    frmMigrate(const Session& session, const ConnInfo& server, QWidget* parent = nullptr);

    QLabel* lblTable = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* cmdCancel = nullptr;

    bool working() const { return m_worker != nullptr; }
    const MigrationOutcome& outcome() const { return m_outcome; }

public slots:
    // Starts the move (once the window is painted; a test calls it itself).
    void start();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void finished(MigrationOutcome outcome);

    const Session& m_session;
    const ConnInfo m_server;
    QTimer m_start;
    QThread* m_worker = nullptr;
    std::atomic<bool> m_cancel{false};
    MigrationOutcome m_outcome;
    bool m_started = false;
};
