#include "UsersUi.h"

#include <DbError.h>
#include <Module1.h>
#include <MsgBox.h>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>

namespace UsersUi {

QLineEdit* textBox(QWidget* parent, const char* name, int maxLength, const QString& caption)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(maxLength);
    e->setAccessibleName(accessibleText(caption));
    return e;
}

QLineEdit* passwordBox(QWidget* parent, const char* name, int maxLength, const QString& caption)
{
    QLineEdit* e = textBox(parent, name, maxLength, caption);
    e->setEchoMode(QLineEdit::Password);
    // The style's own mask character varies; these boxes show "*".
    e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    return e;
}

QLabel* caption(QWidget* parent, const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QString accessibleText(QString caption)
{
    caption.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    caption.remove(QLatin1Char('&'));
    while (caption.endsWith(QLatin1Char(':')) || caption.endsWith(QChar(0xFF1A)))
        caption.chop(1);
    return caption.trimmed();
}

QToolBar* managerToolbar(QWidget* parent, const QStringList& tooltips)
{
    struct Button { const char* key; QString caption; QStyle::StandardPixmap icon; };
    const Button buttons[] = {
        {"Add", QCoreApplication::translate("UsersUi", "增加"), QStyle::SP_FileIcon},
        {"delete", QCoreApplication::translate("UsersUi", "删除"), QStyle::SP_TrashIcon},
        {"edit", QCoreApplication::translate("UsersUi", "修改"), QStyle::SP_FileDialogDetailedView},
        {"refresh", QCoreApplication::translate("UsersUi", "刷新"), QStyle::SP_BrowserReload},
        {"help", QCoreApplication::translate("UsersUi", "帮助"), QStyle::SP_DialogHelpButton},
        {"exit", QCoreApplication::translate("UsersUi", "退出"), QStyle::SP_DialogCloseButton},
    };
    auto* bar = new QToolBar(parent);
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setMovable(false);
    bar->setFloatable(false);
    int i = 0;
    for (const Button& b : buttons) {
        auto* a = new QAction(bar->style()->standardIcon(b.icon), b.caption, bar);
        a->setObjectName(QString::fromLatin1(b.key));
        a->setToolTip(tooltips.value(i++));
        bar->addAction(a);
    }
    return bar;
}

QTreeWidget* checkList(QWidget* parent, const QString& caption)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QStringLiteral("ListView1"));
    list->setAccessibleName(accessibleText(caption));
    list->setColumnCount(2);
    list->setHeaderHidden(true);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(true);
    return list;
}

void addCheckItem(QTreeWidget* list, const QString& id, const QString& name, bool ticked)
{
    auto* item = new QTreeWidgetItem(list, QStringList{id, name});
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
}

void tickAll(QTreeWidget* list, bool ticked)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        list->topLevelItem(i)->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
}

QStringList tickedIds(const QTreeWidget* list)
{
    QStringList ids;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            ids << item->text(0);
    }
    return ids;
}

void followId(Database* db, QTreeWidget* list, const QString& id, bool& loaded, const QString& sql,
              const QString& idField, const QString& nameField, const QString& failure)
{
    using namespace Module1;
    if (id.isEmpty()) {
        clearList(list);
        loaded = false;
        return;
    }
    if (loaded || !db)
        return;
    try {
        Recordset rs = db->query(sql);
        for (; !rs.Eof(); rs.MoveNext())
            addCheckItem(list, rs.text(idField), rs.text(nameField));
        loaded = true;
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("txtID_Change"));
        MsgBox(failure.arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, shown(kTitleSys));
    }
}

QString shown(const QString& title)
{
    // The titles are the work's Chinese constants; these are their texts in the console's language.
    static const char* const titles[] = {
        QT_TRANSLATE_NOOP("UsersUi", " 〖系统管理〗"),
        QT_TRANSLATE_NOOP("UsersUi", "reredezozav【系统管理】"),
        QT_TRANSLATE_NOOP("UsersUi", "【系统管理】"),
    };
    Q_UNUSED(titles);
    return QCoreApplication::translate("UsersUi", title.toUtf8().constData());
}

void clearList(QTreeWidget* list)
{
    for (int i = list->topLevelItemCount() - 1; i >= 0; --i)
        delete list->takeTopLevelItem(i);
}
}
