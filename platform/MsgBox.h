#pragma once
// Every message of the program goes through MsgBox, so that tests can answer
// and record them instead of blocking on a real box.
#include <Outcome.h>

#include <QString>
#include <functional>

namespace vb {
enum : int {
    vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4, vbRetryCancel = 5,
    vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
    vbDefaultButton1 = 0, vbDefaultButton2 = 256, vbDefaultButton3 = 512,
};
// Answers.
enum : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };
}

struct MsgBoxCall {
    QString text;
    int buttons = 0;   // button set | icon | default button, as passed
    QString title;
    int buttonSet() const { return buttons & 0x0F; }
    int icon() const { return buttons & 0xF0; }
    int defaultButton() const { return buttons & 0xF00; }
};

int MsgBox(const QString& text, int buttons = vb::vbOKOnly, const QString& title = QString());
// A work's notice as a message box with an OK button and the notice's icon; nothing for an empty one.
void ShowNotice(const Notice& notice);

using MsgBoxHandler = std::function<int(const MsgBoxCall&)>;
// Replaces the real box (tests); returns the previous handler. An empty handler restores the real box.
MsgBoxHandler setMsgBoxHandler(MsgBoxHandler handler);
