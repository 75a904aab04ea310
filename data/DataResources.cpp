#include "DataResources.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE must be used outside any namespace.
void revoziInitDataResources()
{
    Q_INIT_RESOURCE(data);
}
