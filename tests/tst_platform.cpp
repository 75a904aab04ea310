// The platform layer: paths, case-insensitive files, the grid, the window registry.
#include <CiFile.h>
#include <FlexGrid.h>
#include <Module1.h>
#include <Paths.h>
#include <SingleInstance.h>

#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>

class tst_platform : public QObject {
    Q_OBJECT
private slots:
    void paths_trailingSeparatorsOfEitherKind()
    {
        QCOMPARE(Paths::withTrailingSep(QStringLiteral("/a/b")), QStringLiteral("/a/b/"));
        QCOMPARE(Paths::withTrailingSep(QStringLiteral("/a/b\\")), QStringLiteral("/a/b/"));
        QCOMPARE(Paths::withTrailingSep(QStringLiteral("/a/b//")), QStringLiteral("/a/b/"));
        QCOMPARE(Paths::join(QStringLiteral("C:\\zt\\"), QStringLiteral("2026")), QStringLiteral("C:/zt/2026"));
        QCOMPARE(Paths::join(QStringLiteral("/r/"), QStringLiteral("/x")), QStringLiteral("/r/x"));
        QCOMPARE(Paths::parentDir(QStringLiteral("/a/b/c.txt")), QStringLiteral("/a/b"));
        QCOMPARE(Paths::fileName(QStringLiteral("/a/b/KdData.mdb")), QStringLiteral("KdData.mdb"));
    }

    void ciFile_matchesNamesWithoutCase()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("DeZaduzi")));
        QFile f(dir.path() + QStringLiteral("/DeZaduzi/DeZaduzi.mdb"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
        f.close();
        const QString lower = dir.path() + QStringLiteral("/dezaduzi/dezaduzi.MDB");
        QVERIFY(CiFile::isFile(lower));
        QCOMPARE(CiFile::resolve(lower), dir.path() + QStringLiteral("/DeZaduzi/DeZaduzi.mdb"));
        // A missing tail is kept as given after the matched part.
        QCOMPARE(CiFile::resolve(dir.path() + QStringLiteral("/dezaduzi/new/File")),
                 dir.path() + QStringLiteral("/DeZaduzi/new/File"));
        // mkpath reuses the existing folder rather than making a second one that differs in case.
        QVERIFY(CiFile::mkpath(dir.path() + QStringLiteral("/DEZADUZI/sub")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{QStringLiteral("DeZaduzi")});
        // Hidden and read-only files count.
        QFile h(dir.path() + QStringLiteral("/.Hidden"));
        QVERIFY(h.open(QIODevice::WriteOnly));
        h.close();
        h.setPermissions(QFileDevice::ReadOwner);
        QVERIFY(CiFile::exists(dir.path() + QStringLiteral("/.hidden")));
        QVERIFY(CiFile::remove(dir.path() + QStringLiteral("/.HIDDEN")));
        QVERIFY(!QFile::exists(h.fileName()));
    }

    void ciFile_copyRefusesExistingRenameReplaces()
    {
        QTemporaryDir dir;
        auto write = [&](const QString& name, const QByteArray& data) {
            QFile f(dir.path() + QLatin1Char('/') + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(data);
        };
        write(QStringLiteral("a"), "new");
        write(QStringLiteral("B"), "old");
        QVERIFY(!CiFile::copy(dir.path() + QStringLiteral("/a"), dir.path() + QStringLiteral("/b")));
        QVERIFY(CiFile::rename(dir.path() + QStringLiteral("/A"), dir.path() + QStringLiteral("/b")));
        QFile f(dir.path() + QStringLiteral("/B"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("new"));
        QVERIFY(!QFile::exists(dir.path() + QStringLiteral("/a")));
        QCOMPARE(CiFile::size(dir.path() + QStringLiteral("/b")), 3);
        QCOMPARE(CiFile::size(dir.path() + QStringLiteral("/none")), -1);
    }

    void flexGrid_formatTextAndHiddenRows()
    {
        FlexGrid g;
        g.setFormatString(QStringLiteral("^账套号|^年度|操作员|^执行功能"));
        QCOMPARE(g.Cols(), 4);
        QCOMPARE(g.TextMatrix(0, 0), QStringLiteral("账套号"));
        QCOMPARE(g.TextMatrix(0, 2), QStringLiteral("操作员"));
        QCOMPARE(g.Rows(), 2);   // the old grid's default: a heading and one row
        g.setRows(3);
        g.setTextMatrix(2, 3, QStringLiteral("x"));
        g.setRows(4);
        QCOMPARE(g.TextMatrix(2, 3), QStringLiteral("x"));   // growing keeps cells
        g.setRowHeight(1, 0);
        QCOMPARE(g.RowHeight(1), 0);
        g.setRowHeight(1, 300);
        QVERIFY(qAbs(g.RowHeight(1) - 300) <= 15);
        g.setColWidth(1, 0);
        QCOMPARE(g.ColWidth(1), 0);
        g.setColWidth(1, 1000);
        QVERIFY(qAbs(g.ColWidth(1) - 1000) <= 15);
        g.setRows(1);
        QCOMPARE(g.Rows(), 1);
        QCOMPARE(g.TextMatrix(0, 3), QStringLiteral("执行功能"));
        g.setRow(1);   // no data row: ignored
        QCOMPARE(g.TextMatrix(5, 5), QString());
    }

    void flexGrid_currentCellAndColours()
    {
        FlexGrid g;
        g.setCols(3);
        g.setRows(4);
        g.setFixedCols(1);
        g.setRow(2);
        g.setCol(1);
        QCOMPARE(g.Row(), 2);
        QCOMPARE(g.Col(), 1);
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
        // No window: returns at once, without the 100 ms pauses.
        QElapsedTimer t;
        t.start();
        Module1::CloseWindowByName(title, true, false);
        QVERIFY(t.elapsed() < 1000);

        int terminated = 0;
        WindowRegistry::setTerminateHandler([&] { ++terminated; });
        {
            WindowRegistry reg(title);
            QVERIFY(reg.isListening());
            QVERIFY(SingleInstance::windowExists(title));
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
};

QTEST_MAIN(tst_platform)
#include "tst_platform.moc"
