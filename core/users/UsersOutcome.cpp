#include "UsersOutcome.h"

#include <DbError.h>

namespace UsersNotice {
bool isDuplicateKey(const DbError& e)
{
    return e.text().contains(QLatin1String("UNIQUE constraint"), Qt::CaseInsensitive)
        || e.text().contains(QLatin1String("PRIMARY KEY"), Qt::CaseInsensitive);
}
}
