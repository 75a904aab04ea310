#pragma once
// "帐套引入": the import's progress window. On the first tick of its timer, once it is painted,
// it runs the restore (AccountImporter) for the set that the command prepared, shows its notice
// and closes.
#include <AccountImporter.h>

#include <QDialog>
#include <QTimer>

class QLabel;

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

public slots:
    void Timer1_Timer();

protected:
    void showEvent(QShowEvent* event) override;
};
