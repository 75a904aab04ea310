#include "AccountTemplate.h"

#include <SqlScript.h>

namespace AccountTemplate {
void create(const QString& path)
{
    SqlScript::createFile(path, [](Database& db) { fill(db); });
}

void fill(Database& db)
{
    SqlScript::run(db, QStringLiteral(":/data/template.sql"));
}
}
