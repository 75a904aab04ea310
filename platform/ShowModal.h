#pragma once
// Every modal dialog is shown through ShowModal, so that tests can play a
// scripted reaction instead of running a nested event loop.
#include <functional>

class QDialog;

// Shows the dialog modally and returns its result (QDialog::Accepted/Rejected).
int ShowModal(QDialog& dialog);

using ModalRunner = std::function<int(QDialog&)>;
// Replaces the default runner (exec()); returns the previous one. Empty restores exec().
ModalRunner setModalRunner(ModalRunner runner);
