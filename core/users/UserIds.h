#pragma once
// Operator and role identifiers travel in lists written "[id]name" and ",id,id,": an identifier
// holding "[", "]" or "," would be read back as another one, so it is refused when added.
#include <QString>

namespace UserIds {
bool breaksLists(const QString& id);
// The refusal for a new identifier, naming what it is (operator, role: in the console's
// language); empty when it is fine.
QString refusal(const QString& kind, const QString& id);
}
