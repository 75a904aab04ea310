#pragma once
// The controls the operator dialogs share: the six boxes of an operator's row and the
// buttons at the foot. An operator dialog inherits them and builds them with these.
#include <QString>

class QDialog;
class QFormLayout;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace UserForm {
struct Controls {
    QLineEdit* txtID = nullptr;
    QLineEdit* txtName = nullptr;
    QLineEdit* txtPassword = nullptr;
    QLineEdit* txtAffirmPassword = nullptr;
    QLineEdit* txtDept = nullptr;
    QLineEdit* txtTk = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdHelp = nullptr;

    // The six boxes, each beside its caption; the forms spell the Tk caption differently.
    QFormLayout* setupFields(QDialog* form, const QString& tkCaption);
    // The action button (the default), 退出 and 帮助, right-aligned in `row` and in that
    // order after `before` in the tab order; returns the action.
    QPushButton* setupButtons(QDialog* form, const char* actionName, const QString& actionCaption, QHBoxLayout* row,
                              QWidget* before);
};
}
