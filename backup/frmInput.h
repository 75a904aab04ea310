#pragma once
// "帐套引入": the import's progress window. On the first tick of its timer, once it is painted,
// it starts the restore (AccountImporter) for the set that the command prepared in a worker
// thread with its own connection to the system database, so the window keeps painting; when the
// worker has finished (and its transaction is closed) it shows the notice and closes.
#include <AccountImporter.h>

#include <QDialog>
#include <QTimer>

class QLabel;
class QThread;

class frmInput : public QDialog {
    Q_OBJECT
public:
    explicit frmInput(QWidget* parent = nullptr);

    // Handed over by the command before the window is shown.
    ImportPlan Plan;
    // True when the set was restored.
    bool Succeeded = false;

    QLabel* Label1 = nullptr;
    QTimer Timer1;

    // True from the first tick until the outcome has been shown.
    bool working() const { return m_worker != nullptr; }

public slots:
    void Timer1_Timer();
    // Not while the restore runs: it cannot be stopped halfway from here.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void finished();

    QThread* m_worker = nullptr;
    AccountImporter::Result m_result;
};
