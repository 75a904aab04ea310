#pragma once
// The small routines that several forms use. The state of a run is the console's Session, which
// each form is given; its type comes with this header.
#include "Session.h"

#include <ErrLog.h>

#include <QString>
#include <functional>

class QWidget;

namespace Module1 {
// "[" + id + "]" + name, and the identifier read back from between the first "[" and the first "]".
QString ListEntry(const QString& id, const QString& name);
QString ListEntryId(const QString& entry);
QString ListEntryName(const QString& entry);

void CloseWindowByName(const QString& name, bool byTitle, bool polite);
// Unloads every form and ends the program.
void UnloadAllForms();
// Ends the program at once (tests replace this to observe it).
void EndProgram(int code = 0);
void setEndProgramHandler(std::function<void(int)> handler);

// The error log of the core, reachable from the forms as Module1::WriteErrLog.
using ::WriteErrLog;
}
