#pragma once
// The first start from the menu: how the person wants to begin. Nothing is made until a way is
// chosen: the person's own installation, the office's server (网络计算机浏览 gives its connection
// string), or neither.
#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;

namespace Launcher {
class frmFirstStart : public QDialog {
    Q_OBJECT
public:
    enum class Choice { Cancel, Own, Server };

    explicit frmFirstStart(const QString& root, QWidget* parent = nullptr);

    Choice choice = Choice::Cancel;
    QLabel* lblText = nullptr;
    QPushButton* cmdOwn = nullptr;
    QPushButton* cmdServer = nullptr;
    QPushButton* cmdCancel = nullptr;
};

// What the first start decided: make the own installation, start on a server, or nothing.
struct FirstStartPlan {
    frmFirstStart::Choice choice = frmFirstStart::Choice::Cancel;
    QString server;   // the connection string, for Choice::Server
};

// Asks until a way is chosen: a server browse given up returns to the question. `chooseServer`
// opens 网络计算机浏览 and gives the connection string chosen, empty when given up.
FirstStartPlan askFirstStart(const QString& root, const std::function<QString()>& chooseServer);
// The server browse of the console, for askFirstStart.
QString chooseServerInBrowser();
}
