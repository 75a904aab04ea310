#pragma once
// The forms' 帮助 buttons and F1 open the manual at the form's own section, named after the
// form's objectName. ShowModal attaches every dialog it shows, so no form wires this itself.
#include <QString>

class QDialog;
class QWidget;
class HelpWindow;

namespace Help {
// Opens the manual at `topic` (a form's objectName; empty: the contents) in the help window of
// `from`'s window, made on first use and kept until that window goes.
HelpWindow* open(QWidget* from, const QString& topic = QString());
// Connects the form's 帮助 buttons and tool-bar actions (caption or accessible name 帮助) and
// F1 to open(form, form's objectName). Attaching a form twice changes nothing.
void attach(QDialog& form);
// True for a caption that means 帮助 ("帮助", "帮助(&H)", "&帮助").
bool isHelpCaption(const QString& caption);
}
