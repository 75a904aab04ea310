#pragma once
// Pieces shared by the operator and role forms: the widths of the columns the
// text boxes feed, the managers' toolbar, password boxes and the ticked lists.
#include <PasswordHash.h>
#include <UsersOutcome.h>

#include <QString>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QWidget;

class Database;

namespace UsersUi {
// Widths of the system database's text columns (characters); a box never takes more.
constexpr int kUserIdLen = 20;      // SM_User.cUser_Id, SM_Role.cUser_Id
constexpr int kUserNameLen = 40;    // SM_User.cUser_Name
constexpr int kPasswordLen = PasswordHash::kMaxLength;   // one limit for every password box
constexpr int kDeptLen = 40;        // SM_User.cDept
constexpr int kTkLen = 20;          // SM_User.cTkAccount
constexpr int kGroupIdLen = 20;     // SM_Group.cGroup_Id, SM_Role.cGroup_Id
constexpr int kGroupNameLen = 40;   // SM_Group.cGroup_Name
constexpr int kMemoLen = 255;       // SM_Group.cMemo

// Titles the forms' messages carry, the same as the work's notices.
using UsersNotice::kTitleSys;
using UsersNotice::kTitleDup;
using UsersNotice::kTitleBracket;
// One of those titles as the console's language shows it.
QString shown(const QString& title);

// A text box named `name`, limited to `maxLength`, whose accessible name is its caption.
QLineEdit* textBox(QWidget* parent, const char* name, int maxLength, const QString& caption);
// The same, showing "*" for every character typed.
QLineEdit* passwordBox(QWidget* parent, const char* name, int maxLength, const QString& caption);
// A caption label pointing at its control.
QLabel* caption(QWidget* parent, const QString& text, QWidget* buddy);
// A button named `name` that Enter presses only when it is made the default.
QPushButton* button(QWidget* parent, const char* name, const QString& caption);
// A caption without "&", its "(&X)" suffix and a trailing colon: the control's accessible name.
QString accessibleText(QString caption);

// The managers' six buttons (keys "Add", "delete", "edit", "refresh", "help", "exit"); the tooltips
// are given in that order. Each button is a QAction whose objectName is its key.
QToolBar* managerToolbar(QWidget* parent, const QStringList& tooltips);

// A list of identifiers with a name beside each, ticked by check boxes.
QTreeWidget* checkList(QWidget* parent, const QString& caption);
void addCheckItem(QTreeWidget* list, const QString& id, const QString& name, bool ticked = false);
void tickAll(QTreeWidget* list, bool ticked);
// The identifiers of the ticked items, in list order.
QStringList tickedIds(const QTreeWidget* list);
// An add dialog's list follows its identifier box: emptied when the box is emptied, filled
// once from `sql` (fields `idField` and `nameField`) when it holds text again. `loaded` says
// which; a refusal is logged and told with `failure` ("…%1", the reason).
void followId(Database* db, QTreeWidget* list, const QString& id, bool& loaded, const QString& sql,
              const QString& idField, const QString& nameField, const QString& failure);
// Removes every item, from the last to the first.
void clearList(QTreeWidget* list);
}
