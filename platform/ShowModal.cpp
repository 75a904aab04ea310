#include "ShowModal.h"

#include <QDialog>

namespace {
ModalRunner& runnerSlot()
{
    static ModalRunner r;
    return r;
}
} // namespace

int ShowModal(QDialog& dialog)
{
    if (runnerSlot())
        return runnerSlot()(dialog);
    return dialog.exec();
}

ModalRunner setModalRunner(ModalRunner runner)
{
    ModalRunner old = runnerSlot();
    runnerSlot() = std::move(runner);
    return old;
}
