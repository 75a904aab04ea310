// The platform layer: the grid and the window registry.
#include <FlexGrid.h>
#include <Module1.h>
#include <SingleInstance.h>

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

class tst_platform : public QObject {
    Q_OBJECT
private slots:
    void flexGrid_formatTextRowsAndTheCurrentCell()
    {
        FlexGrid g;
        g.setFormatString(QStringLiteral("^账套号|^年度|操作员|^执行功能"));
        QCOMPARE(g.Cols(), 4);
        QCOMPARE(g.TextMatrix(0, 0) + "|" + g.TextMatrix(0, 2), QStringLiteral("账套号|操作员"));
        QCOMPARE(g.Rows(), 2);   // a new grid has its heading and one empty row
        g.setRows(3);
        g.setTextMatrix(2, 3, QStringLiteral("x"));
        g.setRows(4);
        QCOMPARE(g.TextMatrix(2, 3), QStringLiteral("x"));   // growing keeps cells
        // Sizes are in twips; 0 hides a row or a column.
        g.setRowHeight(1, 0);
        g.setColWidth(1, 0);
        QVERIFY(g.RowHeight(1) == 0 && g.ColWidth(1) == 0);
        g.setRowHeight(1, 300);
        g.setColWidth(1, 1000);
        QVERIFY(qAbs(g.RowHeight(1) - 300) <= 15 && qAbs(g.ColWidth(1) - 1000) <= 15);
        // Down to the heading alone, which stays.
        g.setRows(1);
        QCOMPARE(g.Rows(), 1);
        QCOMPARE(g.TextMatrix(0, 3), QStringLiteral("执行功能"));
        g.setRow(1);   // no data row: ignored
        QCOMPARE(g.TextMatrix(5, 5), QString());

        // The current cell takes text and colour; an invalid colour is the base colour again.
        g.setCols(3);
        g.setRows(4);
        g.setFixedCols(1);
        g.setRow(2);
        g.setCol(1);
        g.setText(QStringLiteral("v"));
        QCOMPARE(g.TextMatrix(2, 1), QStringLiteral("v"));
        g.setCellBackColor(QColor(Qt::blue));
        QCOMPARE(g.CellBackColor(2, 1), QColor(Qt::blue));
        g.setCellBackColor(2, 1, QColor());
        QCOMPARE(g.CellBackColor(2, 1), g.palette().color(QPalette::Base));
    }

    void windowRegistry_closeByTitle()
    {
        const QString title = QStringLiteral("测试窗口〖%1〗").arg(QCoreApplication::applicationPid());
        QVERIFY(!SingleInstance::windowExists(title));
        Module1::CloseWindowByName(title, true, false);   // no such window: returns

        int terminated = 0;
        WindowRegistry::setTerminateHandler([&] { ++terminated; });
        {
            WindowRegistry reg(title);
            QVERIFY(reg.isListening() && SingleInstance::windowExists(title));
            QLocalSocket s;
            s.connectToServer(SingleInstance::socketName(title));
            QVERIFY(s.waitForConnected(1000));
            s.write("terminate\n");
            s.flush();
            QTRY_COMPARE(terminated, 1);
        }
        WindowRegistry::setTerminateHandler({});
        QVERIFY(!SingleInstance::windowExists(title));
    }

    void earlierConsoles_ofThisDisplayOnlyAndAFrozenOneIsKilled()
    {
        const QString title = QStringLiteral("冻结窗口〖%1〗").arg(QCoreApplication::applicationPid());
        const QByteArray display = qgetenv("DISPLAY");
        qputenv("DISPLAY", ":71");
        {
            WindowRegistry reg(title);
            QVERIFY(SingleInstance::windowExists(title));
            qputenv("DISPLAY", ":72");
            QVERIFY(!SingleInstance::windowExists(title));   // another display's console is left alone
            qputenv("DISPLAY", ":71");
        }
        // A console that listens but never answers, as a frozen one: ended by its process id.
        const QByteArray path = QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + SingleInstance::socketName(title));
        ::unlink(path.constData());
        const pid_t child = ::fork();
        if (child == 0) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un a {};
            a.sun_family = AF_UNIX;
            std::strncpy(a.sun_path, path.constData(), sizeof a.sun_path - 1);
            if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 64) != 0)
                ::_exit(3);
            for (;;)
                ::pause();
        }
        QTRY_VERIFY(SingleInstance::windowExists(title));
        QElapsedTimer t;
        t.start();
        Module1::CloseWindowByName(title, true, false);
        qInfo("a frozen console was ended after %lld ms", t.elapsed());
        int status = 0;
        pid_t ended = 0;
        (void)QTest::qWaitFor([&] { return (ended = ::waitpid(child, &status, WNOHANG)) != 0; }, 1000); // `ended` tells
        if (ended == 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
        }
        QCOMPARE(ended, child);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        ::unlink(path.constData());
        if (display.isEmpty())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", display);
    }
};

QTEST_MAIN(tst_platform)
#include "tst_platform.moc"
