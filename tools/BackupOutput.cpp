#include "BackupOutput.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QLocale>
#include <QTextStream>

#include <unistd.h>

namespace {
QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

// One line: a message that spans lines in a dialog becomes one line for logs and mail.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text.trimmed();
}
} // namespace

namespace Say {
Mode& mode()
{
    static Mode m;
    return m;
}

void line(const QString& text)
{
    if (!mode().json && !mode().quiet)
        out() << text << Qt::endl;
}

void object(const QJsonObject& o)
{
    if (mode().json)
        out() << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) << Qt::endl;
}

void note(const QString& text)
{
    if (!mode().quiet) {
        endProgress();
        err() << "revozi-backup: " << oneLine(text) << Qt::endl;
    }
}

int fail(const QString& text, int status)
{
    endProgress();
    err() << "revozi-backup: " << oneLine(text) << Qt::endl;
    return status;
}

bool progressOnTerminal()
{
    return isatty(STDERR_FILENO) != 0;
}

bool showsProgress()
{
    return !mode().quiet && (mode().progress || progressOnTerminal());
}

QString size(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

QString duration(qint64 seconds)
{
    if (seconds < 60)
        return QCoreApplication::translate("BackupOutput", "%1 秒").arg(seconds);
    if (seconds < 3600)
        return QCoreApplication::translate("BackupOutput", "%1 分 %2 秒").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QCoreApplication::translate("BackupOutput", "%1 小时 %2 分").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'));
}
} // namespace Say

Progress::Progress(const QString& label, qint64 total)
    : m_label(label)
    , m_total(qMax<qint64>(total, 0))
{
}

QString Progress::text(qint64 done, qint64 elapsedMs)
{
    m_done = qBound(m_done, done, m_total);
    const qint64 ms = qMax<qint64>(elapsedMs, 1);
    const double rate = double(m_done) * 1000.0 / double(ms);
    QString left = QCoreApplication::translate("BackupOutput", "剩余时间未知");
    if (m_done >= m_total)
        left = QCoreApplication::translate("BackupOutput", "用时 %1").arg(Say::duration((ms + 500) / 1000));
    else if (rate > 0)
        left = QCoreApplication::translate("BackupOutput", "剩余约 %1").arg(Say::duration(qint64(double(m_total - m_done) / rate + 0.5)));
    return QCoreApplication::translate("BackupOutput", "%1：%2 / %3，%4/s，%5")
        .arg(m_label, Say::size(m_done), Say::size(m_total), Say::size(qint64(rate)), left);
}

void Progress::show(qint64 done, qint64 elapsedMs)
{
    if (!Say::showsProgress())
        return;
    const QString line = text(done, elapsedMs);
    QTextStream e(stderr);
    if (Say::progressOnTerminal())
        e << "\r\033[K" << line << Qt::flush;
    else
        e << line << Qt::endl;
}

void Progress::finish(qint64 elapsedMs)
{
    if (!Say::showsProgress())
        return;
    const QString line = text(m_total, elapsedMs);
    if (Say::progressOnTerminal())
        endProgress();
    else
        QTextStream(stderr) << line << Qt::endl;
}

void endProgress()
{
    if (Say::showsProgress() && Say::progressOnTerminal())
        QTextStream(stderr) << "\r\033[K" << Qt::flush;
}
