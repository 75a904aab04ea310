#pragma once
// "帐套引入": the import's progress window. On the first tick of its timer, once it is painted,
// it starts the restore (AccountImporter) for the set that the command prepared in a worker
// thread with its own connection to the system database, so the window keeps painting and shows
// how far the restore is; when the worker has finished (and its transaction is closed) it shows
// the notice and closes. Escape or closing the window stops the restore until its commit.
#include <AccountImporter.h>

#include <QDialog>
#include <QTimer>

#include <atomic>

class QLabel;
class QThread;

struct Session;

class frmInput : public QDialog {
    Q_OBJECT
public:
    // `plan`: what the command settled (the set, the backup set, the year folder).
    explicit frmInput(const Session& session, ImportPlan plan, QWidget* parent = nullptr);

    const ImportPlan& plan() const { return m_plan; }
    // True when the set was restored.
    bool Succeeded = false;
    // True when the restore was stopped (Escape or closing) before its commit: nothing changed.
    bool stopped() const { return m_result.status == AccountImporter::Result::Status::Cancelled; }

    QLabel* Label1 = nullptr;
    QTimer Timer1;

    // True from the first tick until the outcome has been shown.
    bool working() const { return m_worker != nullptr; }

public slots:
    void Timer1_Timer();
    // While the restore runs: asks it to stop (the window closes when it has).
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showProgress(int percent);
    void finished(AccountImporter::Result result);

    const ImportPlan m_plan;
    QThread* m_worker = nullptr;
    std::atomic<bool> m_cancel{false};
    QString m_caption;  // Label1's sentence while the progress is shown below it
    AccountImporter::Result m_result;
private:
    const Session& m_session;
};
