#pragma once
// The controls and layout the role dialogs share: three fields above the member list,
// buttons below. A role dialog inherits them and builds them with setupUi.
#include <QString>

class QDialog;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace RoleForm {
struct Controls {
    QLineEdit* txtID = nullptr;
    QLineEdit* txtName = nullptr;
    QLineEdit* txtBZ = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QPushButton* cmdChkAll = nullptr;   // ticks every member
    QPushButton* cmdChkC = nullptr;     // unticks every member
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdHelp = nullptr;

    // Builds the form; returns its action button ("增加" or "修改"), the default one.
    QPushButton* setupUi(QDialog* form, const char* actionName, const QString& actionCaption);
};
}
