#pragma once
// The error log: what failed, where, for whoever turns the "revozi.errlog" logging category on.
// Nothing that a caller relies on is recorded here.
#include <QString>

void WriteErrLog(qint32 code, const QString& text, const QString& routine);
