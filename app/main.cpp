// revozi-admin ROOT[,...]: the administration console on the installation at ROOT.
#include "Startup.h"
#include "frmMain.h"

#include <Module1.h>

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("revozi-admin"));
    QApplication::setApplicationDisplayName(QStringLiteral("revozi〖系统管理〗"));
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    Startup::closeEarlierInstances();
    Module1::gEdition = 0;
    Module1::gEdition = Startup::edition();

    QStringList args = QApplication::arguments();
    args.removeFirst();
    const QString root = Startup::rootFromCommandLine(args.join(QLatin1Char(' ')));
    if (root.isEmpty())
        return 0;
    Module1::setRoot(root);

    frmMain console;
    if (!console.Form_Load()) {
        Module1::gSysDb.reset();
        return 0;
    }
    console.show();
    const int code = app.exec();
    // The kept handle must close while the SQL driver is still loaded.
    Module1::gSysDb.reset();
    return code;
}
