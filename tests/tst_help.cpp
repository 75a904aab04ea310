// The manual: every form with a 帮助 button opens it at the form's own section, by the button
// and by F1; the console's help menu opens the contents, the project's page and the about box.
#include "Scripts.h"
#include "TestEnv.h"

#include <About.h>
#include <BuildInfo.h>
#include <FirstStart.h>
#include <FrmDelAcc.h>
#include <Help.h>
#include <HelpWindow.h>
#include <Manual.h>
#include <Module1.h>
#include <WindowIcon.h>
#include <frmAccPath.h>
#include <frmCarryForward.h>
#include <frmAccount.h>
#include <frmAddPop.h>
#include <frmAddPopTree.h>
#include <frmAddRole.h>
#include <frmAddUser.h>
#include <frmDate.h>
#include <frmEditRole.h>
#include <frmEditUser.h>
#include <frmGradeDef.h>
#include <frmMain.h>
#include <frmSysStart.h>
#include <frmUserPop.h>
#include <frmrole.h>
#include <frmuser.h>

#include <QAbstractButton>
#include <QLabel>
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QListWidget>
#include <QTextBrowser>
#include <QtTest>

#include <functional>
#include <memory>

namespace {
using Factory = std::function<QDialog*(const Session&)>;

// The form's 帮助: a push button or a tool-bar action whose caption (or, for a picture button,
// accessible name) is 帮助 in any of the forms' spellings.
bool pressHelp(QDialog& form)
{
    for (QAbstractButton* b : form.findChildren<QAbstractButton*>())
        if (Help::isHelpCaption(b->text()) || (b->text().isEmpty() && Help::isHelpCaption(b->accessibleName()))) {
            b->click();
            return true;
        }
    for (QAction* a : form.findChildren<QAction*>())
        if (Help::isHelpCaption(a->text())) {
            a->trigger();
            return true;
        }
    return false;
}

QString sectionTitle(const QString& anchor)
{
    for (const Manual::Page& page : Manual::instance().pages())
        for (const Manual::Section& s : page.sections)
            if (s.anchor == anchor)
                return s.title;
    return QStringLiteral("(no section %1)").arg(anchor);
}

QUrl shownBy(QWidget& form)
{
    auto* w = form.findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    return w ? w->shown() : QUrl();
}
} // namespace

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void eachFormOpensItsSection_data()
    {
        QTest::addColumn<Factory>("make");
        // The grant dialogs' opener, gone with the dialog.
        const auto granting = [](const Session& s, auto make) -> QDialog* {
            auto* browser = new frmUserPop(s);
            QDialog* d = make(browser);
            QObject::connect(d, &QObject::destroyed, browser, &QObject::deleteLater);
            return d;
        };
        QTest::newRow("frmuser") << Factory([](const Session& s) { return new frmuser(s); });
        QTest::newRow("frmrole") << Factory([](const Session& s) { return new frmrole(s); });
        QTest::newRow("frmAddUser") << Factory([](const Session& s) { return new frmAddUser(s); });
        QTest::newRow("frmEditUser") << Factory([](const Session& s) { return new frmEditUser(s); });
        QTest::newRow("frmAddRole") << Factory([](const Session& s) { return new frmAddRole(s); });
        QTest::newRow("frmEditRole") << Factory([](const Session& s) { return new frmEditRole(s); });
        QTest::newRow("frmUserPop") << Factory([](const Session& s) { return new frmUserPop(s); });
        QTest::newRow("frmAddPop") << Factory([granting](const Session& s) { return granting(s, [](frmUserPop* b) { return new frmAddPop(b); }); });
        QTest::newRow("frmAddPopTree") << Factory([granting](const Session& s) { return granting(s, [](frmUserPop* b) { return new frmAddPopTree(b); }); });
        QTest::newRow("frmAccount") << Factory([](const Session& s) { return new frmAccount(s, frmAccount::Mode::Create); });
        QTest::newRow("frmAccPath") << Factory([](const Session&) { return new frmAccPath; });
        QTest::newRow("frmSysStart") << Factory([](const Session& s) { return new frmSysStart(s, s.account.id); });
        QTest::newRow("frmGradeDef") << Factory([](const Session& s) { return new frmGradeDef(s); });
        QTest::newRow("frmDate") << Factory([](const Session& s) { return new frmDate(s); });
        QTest::newRow("FrmDelAcc") << Factory([](const Session& s) { return new FrmDelAcc(s); });
        QTest::newRow("frmCarryForward") << Factory([](const Session&) { return new frmCarryForward(QString(), {}); });
    }

    void eachFormOpensItsSection()
    {
        QFETCH(Factory, make);
        TestEnv env;
        env.loginAdmin();
        MsgBoxScript boxes;
        std::unique_ptr<QDialog> form(make(env.session));
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        QCOMPARE(form->objectName(), name);
        // The manual has a section for the form, on a page of its own topic.
        QVERIFY2(Manual::instance().hasTopic(name), qPrintable(name));
        const QUrl section = Manual::instance().topic(name);
        QCOMPARE(section.fragment(), name);

        // 帮助, pressed while the form is shown as the console shows it.
        bool pressed = false;
        ModalRunner old = setModalRunner([&](QDialog& d) {
            pressed = pressHelp(d);
            return int(QDialog::Rejected);
        });
        ShowModal(*form);
        setModalRunner(old);
        QVERIFY2(pressed, "no 帮助 on the form");
        QCOMPARE(shownBy(*form), section);
        auto* help = form->findChild<HelpWindow*>();
        QVERIFY(help->isVisible());
        QVERIFY2(help->browser->toPlainText().contains(sectionTitle(name)), qPrintable(sectionTitle(name)));

        // F1 in the form, after the help window went: the same section again.
        delete help;
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_F1);
        QCOMPARE(shownBy(*form), section);
        QCOMPARE(form->findChildren<HelpWindow*>().size(), 1);
        // Nothing the form does is started by its help: no message, no second window.
        QVERIFY2(boxes.calls.isEmpty(), qPrintable(boxes.texts().join(QLatin1Char('|'))));
    }

    void manualSearchFindsSectionsWithEveryWord()
    {
        const QList<QPair<QString, QString>> pages = {
            {QStringLiteral("index.html"), QStringLiteral("<html><head><title>目录</title></head><body><p>开头</p></body></html>")},
            {QStringLiteral("a.html"), QStringLiteral("<html><head><title>甲</title></head><body><p>前言 输出</p>"
                                                      "<h2><a name=\"one\">第一节</a></h2><p>账套 输出 Backup</p>"
                                                      "<h2><a name=\"two\">第二节</a></h2><p>账套 引入</p></body></html>")},
        };
        const Manual m(pages);
        auto anchors = [&](const QString& words) {
            QStringList out;
            for (const Manual::Hit& h : m.search(words))
                out << h.url.fileName() + QLatin1Char('#') + h.url.fragment();
            return out;
        };
        QCOMPARE(anchors(QStringLiteral("账套")), QStringList({QStringLiteral("a.html#one"), QStringLiteral("a.html#two")}));
        // Every word, in the same section; letter case ignored.
        QCOMPARE(anchors(QStringLiteral("账套  backup")), QStringList({QStringLiteral("a.html#one")}));
        QCOMPARE(anchors(QStringLiteral("引入 backup")), QStringList());
        // The text before the first section is a section of the page itself.
        QCOMPARE(anchors(QStringLiteral("前言")), QStringList({QStringLiteral("a.html#")}));
        QVERIFY(m.search(QStringLiteral("   ")).isEmpty());
        // A section's title is searched too, and named in the hit.
        const QList<Manual::Hit> hits = m.search(QStringLiteral("第二节"));
        QCOMPARE(hits.size(), 1);
        QCOMPARE(hits.first().title, QStringLiteral("甲 · 第二节"));
        QCOMPARE(m.topic(QStringLiteral("two")).fragment(), QStringLiteral("two"));
        QCOMPARE(m.topic(QStringLiteral("none")), Manual::contents());
        QVERIFY(!m.hasTopic(QString()));
    }

    void helpWindowContentsAndSearch()
    {
        HelpWindow w;
        w.showUrl(Manual::contents());
        QVERIFY(w.browser->toPlainText().contains(QStringLiteral("目录")));
        // Every page the contents link to is in the manual, and every link resolves to a section.
        for (const Manual::Page& page : Manual::instance().pages())
            QVERIFY2(!page.title.isEmpty(), qPrintable(page.file));
        const int contentsRows = w.lstTopics->count();
        QVERIFY(contentsRows > 20);

        // The search lists the sections that hold the words; picking one shows it.
        w.txtSearch->setText(QStringLiteral("revozi-backup verify"));
        QVERIFY(w.lstTopics->count() > 0);
        QVERIFY(w.lstTopics->count() < contentsRows);
        QListWidgetItem* first = w.lstTopics->item(0);
        emit w.lstTopics->itemClicked(first);
        QVERIFY(w.shown().toString().startsWith(QStringLiteral("qrc:/manual/")));
        QVERIFY(w.browser->textCursor().hasSelection());
        QCOMPARE(w.browser->textCursor().selectedText(), QStringLiteral("revozi-backup"));

        w.txtSearch->setText(QStringLiteral("没有这样的词语"));
        QCOMPARE(w.lstTopics->count(), 1);
        QVERIFY(w.lstTopics->item(0)->text().startsWith(QStringLiteral("没有找到")));
        w.txtSearch->clear();
        QCOMPARE(w.lstTopics->count(), contentsRows);
    }

    void homepageWithoutBrowserTellsTheAddress()
    {
        MsgBoxScript boxes;
        QList<QUrl> asked;
        About::UrlOpener old = About::setUrlOpener([&](const QUrl& url) { asked << url; return false; });
        About::openHomepage();
        QCOMPARE(asked, QList<QUrl>{About::homepage()});
        QCOMPARE(boxes.calls.size(), 1);
        QVERIFY(boxes.last().text.contains(QStringLiteral("浏览器")) && boxes.last().text.contains(About::homepage().toString()));

        // With a browser, nothing is said.
        boxes.clear();
        About::setUrlOpener([&](const QUrl& url) { asked << url; return true; });
        About::openHomepage();
        QCOMPARE(asked.size(), 2);
        QVERIFY(boxes.calls.isEmpty());
        About::setUrlOpener(old);
    }

    void aboutNamesVersionInstallationAndLicences()
    {
        MsgBoxScript boxes;
        About::show(QStringLiteral("/srv/revozi/"));
        QCOMPARE(boxes.calls.size(), 1);
        const QString text = boxes.last().text;
        QCOMPARE(boxes.last().icon(), int(vb::vbInformation));
        for (const QString& part : {QStringLiteral("revozi 系统管理"), QString::fromLatin1(REVOZI_VERSION), QStringLiteral("/srv/revozi/"),
                                    QStringLiteral("GPL-3.0-or-later"), QStringLiteral("Qt"), QStringLiteral("LGPL-3.0"),
                                    QStringLiteral("SQLite"), QStringLiteral("libsodium"), QStringLiteral("ISC"), QStringLiteral("xxHash"),
                                    QStringLiteral("BSD-2-Clause"), QStringLiteral("libpq"), QStringLiteral("PostgreSQL")})
            QVERIFY2(text.contains(part), qPrintable(part));

        // The console passes the installation it works on: the root, or the server. Its first item
        // opens the manual's contents, saying nothing.
        TestEnv env;
        frmMain console(env.session);
        QVERIFY(console.Form_Load());
        boxes.clear();
        console.mnuHelpAbort->trigger();
        console.mnuHelpI->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(boxes.calls.size(), 1);
        QVERIFY2(boxes.last().text.contains(env.session.root), qPrintable(boxes.last().text));
        QCOMPARE(shownBy(console), Manual::contents());
    }

    // The menu's first start: each of the three ways, a server browse given up returns to the
    // question, and closing the question chooses nothing.
    void firstStartAsksUntilAWayIsChosen()
    {
        using Choice = Launcher::frmFirstStart::Choice;
        ModalScript modals;
        QStringList presses;   // the button pressed each time the question is shown; "" closes it
        QString text;
        modals.on(QStringLiteral("frmFirstStart"), [&](QDialog& d) {
            auto& f = static_cast<Launcher::frmFirstStart&>(d);
            text = f.lblText->text();
            const QString button = presses.takeFirst();
            if (button.isEmpty())
                f.reject();
            else
                f.findChild<QPushButton*>(button)->click();
            return f.result();
        });
        QStringList servers;   // what 网络计算机浏览 gives each time; "" is giving up
        int browsed = 0;
        auto browse = [&] {
            ++browsed;
            return servers.takeFirst();
        };
        const QString root = QStringLiteral("/home/li/.local/share/revozi");

        presses = {QStringLiteral("cmdCancel")};
        Launcher::FirstStartPlan plan = Launcher::askFirstStart(root, browse);
        QCOMPARE(plan.choice, Choice::Cancel);
        QVERIFY(text.contains(root));
        presses = {QString()};
        QCOMPARE(Launcher::askFirstStart(root, browse).choice, Choice::Cancel);
        presses = {QStringLiteral("cmdOwn")};
        plan = Launcher::askFirstStart(root, browse);
        QCOMPARE(plan.choice, Choice::Own);
        QVERIFY(plan.server.isEmpty());
        QCOMPARE(browsed, 0);

        presses = {QStringLiteral("cmdServer"), QStringLiteral("cmdServer")};
        servers = {QString(), QStringLiteral(" host=srv dbname=revozi ")};
        plan = Launcher::askFirstStart(root, browse);
        QCOMPARE(plan.choice, Choice::Server);
        QCOMPARE(plan.server, QStringLiteral("host=srv dbname=revozi"));
        QCOMPARE(browsed, 2);
        // Given up on the server, the person may still cancel: nothing chosen, nothing made.
        presses = {QStringLiteral("cmdServer"), QStringLiteral("cmdCancel")};
        servers = {QString()};
        QCOMPARE(Launcher::askFirstStart(root, browse).choice, Choice::Cancel);
        QVERIFY(presses.isEmpty());
        // Asked once for each press above: never again after a way is chosen or the question cancelled.
        QCOMPARE(modals.shown.count(QStringLiteral("frmFirstStart")), 7);
    }

    // Without an icon theme that has it, the windows carry the icon compiled into the program.
    void windowIconIsTheProgramsOwn()
    {
        WindowIcon::install();
        const QIcon icon = QApplication::windowIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.pixmap(48).size(), QSize(48, 48));
        if (!QIcon::hasThemeIcon(QStringLiteral("revozi")))
            QCOMPARE(icon.pixmap(256).toImage(), QIcon(QStringLiteral(":/icons/revozi.png")).pixmap(256).toImage());
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
