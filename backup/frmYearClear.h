#pragma once
// "清空年度数据": the clearing's progress window. Once painted it writes the year's backup set into
// the chosen folder and then empties the year (YearClearer) on a thread of its own with its own
// connection to the system database, showing how far it is; 取消 (or Escape) stops it until the
// emptying's commit. When the work has ended it shows the notice and closes.
#include <YearClearer.h>

#include <QDialog>
#include <QTimer>

#include <atomic>

class QLabel;
class QProgressBar;
class QPushButton;
class QThread;

struct Session;

class frmYearClear : public QDialog {
    Q_OBJECT
public:
    frmYearClear(const Session& session, const QString& accId, int year, const QString& folder, QWidget* parent = nullptr);

    QLabel* lblWhat = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* cmdCancel = nullptr;

    // True from the start of the work until its outcome has been shown.
    bool working() const { return m_worker != nullptr; }
    const YearClearer::Result& result() const { return m_result; }

public slots:
    // Starts the work (once the window is painted; a test calls it itself).
    void start();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void finished(YearClearer::Result result);

    const Session& m_session;
    const QString m_accId;
    const int m_year;
    const QString m_folder;
    QTimer m_start;
    QThread* m_worker = nullptr;
    std::atomic<bool> m_cancel{false};
    YearClearer::Result m_result;
};
