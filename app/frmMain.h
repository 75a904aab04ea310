#pragma once
// The console: the program's only top-level window. It holds the run's session and hands it to
// each form it opens. The login form writes its grids, status panels and menu states directly,
// so what the console shows is always the session the login has just set up.
#include <QMainWindow>
#include <QTimer>

#include <memory>

class FlexGrid;
struct Session;
class StatusBar1;
class QAction;
class QMenu;
class WindowRegistry;
class ServerMenu;
class TaskGrids;
class YearMenu;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // The window's title as written: the key other instances find it by. shownCaption() is the
    // title in the console's language.
    static inline const QString kCaption = QStringLiteral(QT_TR_NOOP("revozi〖系统管理〗"));
    static QString shownCaption() { return tr(kCaption.toUtf8().constData()); }

    // `session` is the run's, kept by the caller for as long as the console lives.
    explicit frmMain(Session& session, QWidget* parent = nullptr);
    ~frmMain() override;

    // Runs the load; false when the program is to end (no system database).
    bool Form_Load();
    // The 年度账 menu after a login: every item for a supervisor (结转上年数据 only when the year
    // logged into has a year before it), the whole menu disabled for the administrator.
    void enableYearMenu(bool supervisor);
    // The grids of every workstation's tasks, which the login and the logout start and end.
    TaskGrids& tasks() { return *m_tasks; }

    // The text of a line of a text file, counting from 1, without its line end; empty when
    // there is no such file or line.
    static QString GetTxtFileMatter(const QString& path, qint16 lineNo);

    // The date, a blank, hours and minutes.
    static QString clockText();

    FlexGrid* MSFlexGrid1 = nullptr;
    FlexGrid* MSFlexGrid2 = nullptr;
    StatusBar1* statusBar1 = nullptr;
    QTimer Timer1;
    QTimer Timer2;

    QMenu* mnuSys = nullptr;
    QAction* mnuSysReg = nullptr;
    QAction* mnuSysLogin = nullptr;
    QAction* mnuSysData = nullptr;
    QAction* mnuSysU = nullptr;
    QAction* mnuSysExit = nullptr;
    QMenu* mnuAcc = nullptr;
    QAction* mnuAccCreate = nullptr;
    QAction* mnuAccEdit = nullptr;
    QAction* mnuAccInput = nullptr;
    QAction* mnuAccExport = nullptr;
    QAction* mnuAccUse = nullptr;
    QMenu* mnuYear = nullptr;
    QAction* mnuYearCreate = nullptr;
    QAction* mnuYearDel = nullptr;
    QAction* mnuYearInput = nullptr;
    QAction* mnuYearExport = nullptr;
    QMenu* mnuAccT = nullptr;
    QAction* mnuAccT1 = nullptr;
    QMenu* mnuPop = nullptr;
    QAction* mnuPopG = nullptr;
    QAction* mnuPopUser = nullptr;
    QAction* mnuPopJ = nullptr;
    QMenu* mnuView = nullptr;
    QAction* mnuViewRef = nullptr;
    QAction* mnuViewClear = nullptr;
    QAction* mnuViewU = nullptr;
    QAction* mnuViewSys = nullptr;
    QAction* mnuViewLog = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpI = nullptr;
    QAction* mnuHelpWeb = nullptr;
    QAction* mnuHelpAbort = nullptr;

public slots:
    void Timer1_Timer();
    void Timer2_Timer();
    void Form_Resize();
    void mnuSysReg_Click();
    void mnuSysU_Click();
    void mnuSysExit_Click();
    void mnuAccCreate_Click();
    void mnuAccEdit_Click();
    void mnuAccInput_Click();
    void mnuAccExport_Click();
    void mnuAccUse_Click();
    void mnuYearCreate_Click();
    void mnuYearDel_Click();
    void mnuYearInput_Click();
    void mnuYearExport_Click();
    void mnuAccT1_Click();
    void mnuViewRef_Click();
    void mnuSysLogin_Click();
    void mnuSysData_Click();
    void mnuViewClear_Click();
    void mnuViewU_Click();
    void mnuPopG_Click();
    void mnuPopUser_Click();
    void mnuPopJ_Click();
    void mnuViewLog_Click();
    void mnuViewSys_Click();
    void mnuHelpI_Click();
    void mnuHelpWeb_Click();
    void mnuHelpAbort_Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    QMenu* topMenu(const char* name, const QString& caption);
    void buildSystemMenu();
    void buildAccountMenus();   // 账套 and 年度账
    void buildPermissionAndViewMenus();
    void buildHelpMenu();
    void connectMenu();
    QAction* item(QMenu* menu, const char* name, const QString& caption, bool enabled = true);
    // A menu action that opens a modal dialog: queued, so the menu returns first.
    void onTriggered(QAction* action, void (frmMain::*slot)());
    int formHeightTw() const;
    int formWidthTw() const;

    Session& m_session;
    QWidget* m_client = nullptr;
    WindowRegistry* m_registry = nullptr;
    std::unique_ptr<YearMenu> m_years;
    std::unique_ptr<TaskGrids> m_tasks;
    std::unique_ptr<ServerMenu> m_server;
    bool m_loaded = false;
    // Design sizes taken on load, in twips.
    int m_formHeight = 0, m_formWidth = 0;
    int m_grid1Height = 0, m_grid1Width = 0;
    int m_grid2Height = 0, m_grid2Width = 0;
};
