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
    // `plan`: what the command settled (the set, the backup set, the year folder).
    explicit frmInput(ImportPlan plan, QWidget* parent = nullptr);

    const ImportPlan& plan() const { return m_plan; }
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

    const ImportPlan m_plan;
    QThread* m_worker = nullptr;
    AccountImporter::Result m_result;
};
