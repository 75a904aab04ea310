// The platform layer: the grid and the window registry.
#include <FlexGrid.h>
#include <Module1.h>
#include <SingleInstance.h>

#include <QLocalSocket>
#include <QtTest>

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
        QCOMPARE(QPoint(g.Row(), g.Col()), QPoint(2, 1));
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
};

QTEST_MAIN(tst_platform)
#include "tst_platform.moc"
