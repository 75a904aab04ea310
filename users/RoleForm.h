#pragma once
// The layout the role dialogs share: three fields above the member list, buttons below.
#include <QString>

class QDialog;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace RoleForm {
struct Controls {
    QLineEdit* txtID;
    QLineEdit* txtName;
    QLineEdit* txtBZ;
    QTreeWidget* ListView1;
    QPushButton* cmdAction;   // "增加" or "修改"
    QPushButton* cmdChkAll;
    QPushButton* cmdChkC;
    QPushButton* cmdExit;
    QPushButton* cmdHelp;
};
Controls build(QDialog* form, const char* actionName, const QString& actionCaption);
}
