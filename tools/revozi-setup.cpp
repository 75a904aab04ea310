// revozi-setup ROOT [--demo]: makes a new installation root (ROOT/DeZaduzi/DeZaduzi.mdb).
// revozi-setup --template FILE: writes the account-database template.
#include <DbError.h>
#include <Installation.h>

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    QTextStream err(stderr);
    if (args.size() == 2 && args[0] == QLatin1String("--template")) {
        try {
            Installation::createAccountTemplate(args[1]);
        } catch (const DbError& e) {
            err << "revozi-setup: " << e.text() << Qt::endl;
            return 1;
        }
        return 0;
    }
    const bool demo = args.removeAll(QStringLiteral("--demo")) > 0;
    if (args.size() != 1 || args[0].startsWith(QLatin1Char('-'))) {
        err << "usage: revozi-setup ROOT [--demo]\n       revozi-setup --template FILE" << Qt::endl;
        return 2;
    }
    try {
        Installation::createRoot(args[0]);
    } catch (const DbError& e) {
        err << "revozi-setup: " << e.text() << Qt::endl;
        return 1;
    }
    Q_UNUSED(demo);
    QTextStream(stdout) << "installation created at " << args[0] << Qt::endl;
    return 0;
}
