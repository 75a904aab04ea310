#include "Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Language {

QString chosen()
{
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name).section(QLatin1Char(':'), 0, 0).trimmed();
        if (value.isEmpty())
            continue;
        const bool chinese = value == QLatin1String("C") || value.startsWith(QLatin1String("C."))
                             || value == QLatin1String("POSIX") || value.startsWith(QLatin1String("zh"));
        return chinese ? QStringLiteral("zh_CN") : QStringLiteral("en");
    }
    return QStringLiteral("zh_CN");
}

void install()
{
    auto* app = QCoreApplication::instance();
    const QString language = chosen();
    // The translators live as long as the application that owns them.
    auto load = [app](const QString& file, const QString& folder) {
        auto* t = new QTranslator(app);
        if (t->load(file, folder))
            QCoreApplication::installTranslator(t);
        else
            delete t;
    };
    if (language == QLatin1String("en")) {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const QDir built(QStringLiteral(":/i18n"));
        for (const QString& qm : built.entryList({QStringLiteral("*_en.qm")}, QDir::Files))
            load(qm, built.path());
    } else {
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
        load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
}

} // namespace Language
