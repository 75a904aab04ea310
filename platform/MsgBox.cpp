#include "MsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
MsgBoxHandler& handlerSlot()
{
    static MsgBoxHandler h;
    return h;
}

int realBox(const MsgBoxCall& call)
{
    using namespace vb;
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(call.title.isEmpty() ? QApplication::applicationDisplayName() : call.title);
    box.setText(call.text);
    switch (call.icon()) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    struct B { QMessageBox::StandardButton sb; int answer; };
    QList<B> set;
    switch (call.buttonSet()) {
    case vbOKCancel: set = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}}; break;
    case vbAbortRetryIgnore: set = {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}}; break;
    case vbYesNoCancel: set = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}}; break;
    case vbYesNo: set = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}}; break;
    case vbRetryCancel: set = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}}; break;
    default: set = {{QMessageBox::Ok, vbOK}}; break;
    }
    for (const B& b : set)
        box.addButton(b.sb);
    const int def = call.defaultButton() / 256;
    if (def < set.size())
        box.setDefaultButton(set[def].sb);
    // Escape answers Cancel where there is one, else the only or last button.
    box.setEscapeButton(set.back().sb);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const B& b : set)
        if (b.sb == clicked)
            return b.answer;
    return set.size() == 1 ? vbOK : vbCancel;
}
} // namespace

int MsgBox(const QString& text, int buttons, const QString& title)
{
    MsgBoxCall call{text, buttons, title};
    if (handlerSlot())
        return handlerSlot()(call);
    return realBox(call);
}

MsgBoxHandler setMsgBoxHandler(MsgBoxHandler handler)
{
    MsgBoxHandler old = handlerSlot();
    handlerSlot() = std::move(handler);
    return old;
}

void ShowNotice(const Notice& notice)
{
    if (notice.isEmpty())
        return;
    int icon = 0;
    switch (notice.icon) {
    case Notice::Icon::Exclamation: icon = vb::vbExclamation; break;
    case Notice::Icon::Information: icon = vb::vbInformation; break;
    case Notice::Icon::Question: icon = vb::vbQuestion; break;
    case Notice::Icon::Critical: icon = vb::vbCritical; break;
    case Notice::Icon::None: break;
    }
    MsgBox(notice.text, icon | vb::vbOKOnly, notice.title);
}
