#include "About.h"

#include <BuildInfo.h>
#include <MsgBox.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QStringList>

#include <libpq-fe.h>
#include <sodium.h>
#include <sqlite3.h>
#include <xxhash.h>
#ifdef REVOZI_WITH_ZSTD
#include <zstd.h>
#endif

namespace {
// Read when shown, so the language installed at start-up applies.
QString name()
{
    return QCoreApplication::translate("About", "revozi 系统管理");
}

About::UrlOpener& openerSlot()
{
    static About::UrlOpener opener;
    return opener;
}

QString xxhashVersion()
{
    const unsigned v = XXH_versionNumber();
    return QStringLiteral("%1.%2.%3").arg(v / 10000).arg(v / 100 % 100).arg(v % 100);
}

QString libpqVersion()
{
    const int v = PQlibVersion();
    return QStringLiteral("%1.%2").arg(v / 10000).arg(v % 10000);
}
} // namespace

namespace About {
QUrl homepage()
{
    return QUrl(QStringLiteral(REVOZI_HOMEPAGE));
}

UrlOpener setUrlOpener(UrlOpener opener)
{
    UrlOpener old = openerSlot();
    openerSlot() = std::move(opener);
    return old;
}

void openHomepage()
{
    const QUrl url = homepage();
    const bool opened = openerSlot() ? openerSlot()(url) : QDesktopServices::openUrl(url);
    if (!opened)
        MsgBox(QCoreApplication::translate("About", "这台计算机没有设置网页浏览器，无法打开项目的网页。\n请在浏览器中打开：%1").arg(url.toString()),
               vb::vbInformation | vb::vbOKOnly, name());
}

QString text(const QString& installation)
{
    QStringList lines;
    lines << name();
    lines << QCoreApplication::translate("About", "版本 %1（构建 %2）").arg(QStringLiteral(REVOZI_VERSION), QStringLiteral(REVOZI_BUILD).trimmed());
    lines << QCoreApplication::translate("About", "正在使用的安装：%1").arg(installation.isEmpty() ? QCoreApplication::translate("About", "（无）") : installation);
    lines << QString();
    lines << QCoreApplication::translate("About", "本程序是自由软件，按 GNU 通用公共许可证第 3 版或（由您选择）任何更新的版本（GPL-3.0-or-later）发布，不提供任何担保。");
    lines << QString();
    lines << QCoreApplication::translate("About", "所用程序库及其许可证：");
    lines << QStringLiteral("Qt %1 — LGPL-3.0").arg(QString::fromLatin1(qVersion()));
    lines << QCoreApplication::translate("About", "SQLite %1 — 公有领域（public domain）").arg(QString::fromLatin1(sqlite3_libversion()));
    lines << QStringLiteral("libsodium %1 — ISC").arg(QString::fromLatin1(sodium_version_string()));
    lines << QStringLiteral("xxHash %1 — BSD-2-Clause").arg(xxhashVersion());
    lines << QCoreApplication::translate("About", "libpq %1 — PostgreSQL 许可证").arg(libpqVersion());
#ifdef REVOZI_WITH_ZSTD
    lines << QCoreApplication::translate("About", "zstd %1 — BSD-3-Clause（或 GPL-2.0）").arg(QString::fromLatin1(ZSTD_versionString()));
#endif
    return lines.join(QLatin1Char('\n'));
}

void show(const QString& installation)
{
    MsgBox(text(installation), vb::vbInformation | vb::vbOKOnly, QCoreApplication::translate("About", "关于 %1").arg(name()));
}
}
