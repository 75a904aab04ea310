// The settings windows, the permission windows and the log viewer as a person whose language is
// not Chinese sees them: with the English translations the program carries, nothing the windows
// say of themselves is left in Chinese - a text outside tr(), a text made before the translation
// was loaded, or a translation missing from the built program would show here. What the
// installation holds (names of sets, subsystems, permissions) is data and is not looked at.
#include "Scripts.h"
#include "TestEnv.h"
#include "TestText.h"

#include <AuditTableModel.h>
#include <Language.h>
#include <FrmDelAcc.h>
#include <frmAccPath.h>
#include <frmAccount.h>
#include <frmAddPop.h>
#include <frmAddRole.h>
#include <frmAddUser.h>
#include <frmCnDate.h>
#include <frmDate.h>
#include <frmEditRole.h>
#include <frmEditUser.h>
#include <frmGradeDef.h>
#include <frmLog.h>
#include <frmMenology.h>
#include <frmSysStart.h>
#include <frmWeb.h>
#include <frmrole.h>
#include <frmuser.h>
#include <frmUserPop.h>
#include <frmkmbrowser.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>
#include <QtTest>

namespace {
// The window's own words: titles, captions, headings, tips and the names given to assistive
// technology, each found in Chinese as "object what: text".
QStringList chineseTexts(QWidget* window)
{
    QStringList found;
    auto look = [&found](const QObject* o, const char* what, const QString& text) {
        if (hasChinese(text))
            found << QStringLiteral("%1 %2: %3").arg(o->objectName(), QLatin1String(what), text);
    };
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : std::as_const(widgets)) {
        look(w, "title", w->windowTitle());
        look(w, "tip", w->toolTip());
        look(w, "name", w->accessibleName());
        look(w, "description", w->accessibleDescription());
        if (auto* l = qobject_cast<QLabel*>(w))
            look(l, "text", l->text());
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            look(b, "text", b->text());
        if (auto* g = qobject_cast<QGroupBox*>(w))
            look(g, "title", g->title());
        if (auto* t = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < t->count(); ++i)
                look(t, "tab", t->tabText(i));
        if (auto* v = qobject_cast<QAbstractItemView*>(w); v && v->model())
            for (int c = 0; c < v->model()->columnCount(); ++c)
                look(v, "heading", v->model()->headerData(c, Qt::Horizontal).toString());
    }
    for (const QAction* a : window->findChildren<QAction*>()) {
        look(a, "text", a->text());
        look(a, "tip", a->toolTip());
    }
    return found;
}
} // namespace

class tst_english : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("LANGUAGE", "en");
        Language::install();
    }

    // The settings and permission windows, the log viewer, the operator and role managers and
    // their dialogs, the account-set wizard with its path chooser, the backup dialog and the
    // server browser.
    void windows_sayNothingInChinese()
    {
        TestEnv env;
        env.loginAdmin();
        MsgBoxScript msgs;
        frmSysStart start(env.session, env.session.account.id);
        start.Form_Load();
        frmMenology calendar;
        frmCnDate date;
        frmDate precision(env.session);
        frmGradeDef scheme(env.session);
        frmkmbrowser chart(env.session);
        frmUserPop browser(env.session);
        browser.Form_Load();
        frmAddPop grant(&browser);
        grant.Form_Load();
        frmLog log(env.session);
        frmuser users(env.session);
        users.Form_Load();
        frmrole roles(env.session);
        roles.Form_Load();
        frmAddUser addUser(env.session);
        frmEditUser editUser(env.session);
        frmAddRole addRole(env.session);
        frmEditRole editRole(env.session);
        frmAccount wizard(env.session, frmAccount::Mode::Create);
        wizard.Form_Load();
        frmAccPath path;
        FrmDelAcc backup(env.session);
        backup.Form_Load();
        frmWeb servers;
        for (QWidget* w : std::initializer_list<QWidget*>{&start, &calendar, &date, &precision, &scheme, &chart, &browser, &grant, &log,
                                                          &users, &roles, &addUser, &editUser, &addRole, &editRole, &wizard, &path,
                                                          &backup, &servers}) {
            const QStringList left = chineseTexts(w);
            QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char('\n'))));
        }
        QVERIFY2(msgs.calls.isEmpty(), qPrintable(msgs.texts().join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(tst_english)
#include "tst_english.moc"
