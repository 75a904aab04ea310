#include "Tasks.h"

#include <QCoreApplication>

namespace {
struct Named {
    Tasks::Function f;
    const char* name;
    bool exclusive;
};
const Named kFunctions[] = {
    {Tasks::Function::Login, QT_TRANSLATE_NOOP("Tasks", "登录账套"), false},
    {Tasks::Function::Export, QT_TRANSLATE_NOOP("Tasks", "输出账套"), false},
    {Tasks::Function::Import, QT_TRANSLATE_NOOP("Tasks", "引入账套"), true},
    {Tasks::Function::Delete, QT_TRANSLATE_NOOP("Tasks", "删除账套"), true},
    {Tasks::Function::YearCreate, QT_TRANSLATE_NOOP("Tasks", "建立年度账"), false},
    {Tasks::Function::YearClear, QT_TRANSLATE_NOOP("Tasks", "清空年度数据"), true},
    {Tasks::Function::YearImport, QT_TRANSLATE_NOOP("Tasks", "引入年度账"), true},
    {Tasks::Function::YearExport, QT_TRANSLATE_NOOP("Tasks", "输出年度账"), false},
    {Tasks::Function::CarryForward, QT_TRANSLATE_NOOP("Tasks", "结转上年数据"), false},
};
const char* const kSubsystems[] = {QT_TRANSLATE_NOOP("Tasks", "控制台"), QT_TRANSLATE_NOOP("Tasks", "备份")};

const Named& named(Tasks::Function f)
{
    for (const Named& n : kFunctions)
        if (n.f == f)
            return n;
    return kFunctions[0];
}

// A stored name translated when it is one of `names`, else as it stands (another version's).
template <typename Names, typename Source>
QString shown(const QString& stored, const Names& names, Source source)
{
    for (const auto& n : names)
        if (stored == QString::fromUtf8(source(n)))
            return QCoreApplication::translate("Tasks", source(n));
    return stored;
}
} // namespace

namespace Tasks {
bool exclusive(Function f)
{
    return named(f).exclusive;
}

Words name(Function f)
{
    return Words::of("Tasks", named(f).name);
}

QString subsystemShown(const QString& stored)
{
    return shown(stored, kSubsystems, [](const char* n) { return n; });
}

QString functionShown(const QString& stored)
{
    return shown(stored, kFunctions, [](const Named& n) { return n.name; });
}
} // namespace Tasks

QString TaskRow::stateShown() const
{
    return abnormal ? QCoreApplication::translate("Tasks", "异常") : QCoreApplication::translate("Tasks", "正常");
}
