#pragma once
// 网络计算机浏览: the server an installation is kept on, typed as a connection string or picked
// from the servers this workstation has used and the services of pg_service.conf, tested, chosen.
#include <ConnInfo.h>

#include <QDialog>

class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class frmWeb : public QDialog {
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral(QT_TR_NOOP("网络计算机浏览"));
    // kCaption in the console's language.
    static QString shownCaption() { return tr(kCaption.toUtf8().constData()); }

    explicit frmWeb(QWidget* parent = nullptr);

    // Set by the opener: the server in use (empty: the installation root's files).
    void setCurrent(const ConnInfo& server);
    // After 选择: the server chosen, read once from what was typed or picked.
    ConnInfo chosen() const { return m_chosen; }

    QGroupBox* fraWeb = nullptr;
    QListWidget* lstUsed = nullptr;
    QListWidget* lstServices = nullptr;
    QLineEdit* txtServer = nullptr;
    QLabel* lblCurrent = nullptr;
    QPushButton* cmdTest = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The services named in the pg_service.conf files that libpq reads.
    static QStringList services();

public slots:
    void cmdTest_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    void buildLists();
    QLayout* buildTyped();
    QLayout* buildButtons();
    void fillLists();
    void connectControls();
    void picked(QListWidgetItem* item);
    // What is typed, read as a connection string; empty (and said) when nothing is.
    ConnInfo typed() const;

    ConnInfo m_chosen;
};
