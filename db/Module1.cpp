#include "Module1.h"

#include <SingleInstance.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QThread>
#include <QWidget>

#include <cstdlib>

namespace {
std::function<void(int)>& endSlot()
{
    static std::function<void(int)> h;
    return h;
}
} // namespace

namespace Module1 {
QString ListEntry(const QString& id, const QString& name)
{
    return QLatin1Char('[') + id + QLatin1Char(']') + name;
}

QString ListEntryId(const QString& entry)
{
    const int open = entry.indexOf(QLatin1Char('['));
    const int close = entry.indexOf(QLatin1Char(']'));
    if (open < 0 || close < 0 || close < open)
        return QString();
    return entry.mid(open + 1, close - open - 1);
}

QString ListEntryName(const QString& entry)
{
    const int close = entry.indexOf(QLatin1Char(']'));
    return close < 0 ? QString() : entry.mid(close + 1);
}

void CloseWindowByName(const QString& name, bool byTitle, bool polite)
{
    // Titles and class names share one namespace of registered windows here.
    Q_UNUSED(byTitle);
    for (int pass = 0; pass < 101; ++pass) {
        if (!SingleInstance::signalWindow(name, polite))
            return;
        QThread::msleep(100);
    }
}

void UnloadAllForms()
{
    // Dialogs first, the console last, then the program ends.
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget* w : tops)
        if (qobject_cast<QDialog*>(w))
            w->close();
    for (QWidget* w : tops)
        if (!qobject_cast<QDialog*>(w) && w->isVisible())
            w->hide();
    EndProgram(0);
}

void EndProgram(int code)
{
    if (endSlot()) {
        endSlot()(code);
        return;
    }
    if (QThread::currentThread()->loopLevel() > 0) {
        QCoreApplication::exit(code);
        return;
    }
    std::exit(code);
}

void setEndProgramHandler(std::function<void(int)> handler)
{
    endSlot() = std::move(handler);
}
}
