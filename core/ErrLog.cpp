#include "ErrLog.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcErrLog, "revozi.errlog")

void WriteErrLog(qint32 code, const QString& text, const QString& routine)
{
    qCWarning(lcErrLog, "%d %s [%s]", code, qUtf8Printable(text), qUtf8Printable(routine));
}
