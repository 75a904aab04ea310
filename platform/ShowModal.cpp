#include "ShowModal.h"
#include "Help.h"

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
    // Every modal form gets its 帮助 and F1 here, whoever shows it.
    Help::attach(dialog);
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
