#include "ErrLog.h"

#include <QLoggingCategory>

// Off by default: QT_LOGGING_RULES="revozi.errlog.warning=true" turns it on when tracing a fault.
Q_LOGGING_CATEGORY(lcErrLog, "revozi.errlog", QtCriticalMsg)

void WriteErrLog(qint32 code, const QString& text, const QString& routine)
{
    qCWarning(lcErrLog, "%d %s [%s]", code, qUtf8Printable(text), qUtf8Printable(routine));
}
