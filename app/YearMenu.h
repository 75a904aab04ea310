#pragma once
// The 年度账 menu: the work on the years of the set a supervisor logged into (建立 the next year,
// 清空年度数据, 引入 and 输出 one year as a backup set, 结转上年数据). It reads the session, asks
// the person, calls the core and shows its notice; the console holds one and connects the items.
#include <QCoreApplication>
#include <QString>

class HeldClaim;
class QWidget;
struct Session;

class YearMenu {
    Q_DECLARE_TR_FUNCTIONS(YearMenu)
public:
    YearMenu(Session& session, QWidget* parent);

    // Whether the set and year logged into have a previous year: 结转上年数据 carries from it.
    static bool hasPreviousYear(const Session& session);

    void create();
    void clear();
    void importYear();
    void exportYear();
    void carryForward();

private:
    // The logged-in year, or 0 (said) when the session has none.
    int year() const;
    // Whether the function was claimed; another workstation's work in the way is said.
    static bool granted(const HeldClaim& held);
    // The folder for a year's backup set, `offered` preselected; empty when the person cancels.
    QString backupFolder(const QString& offered);
    Session& m_session;
    QWidget* m_parent;
};
