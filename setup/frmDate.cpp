#include "frmDate.h"

#include "AccInformation.h"
#include "PictureButton.h"

#include <Database.h>
#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using namespace Module1;

namespace {
QString title()
{
    return QCoreApplication::translate("frmDate", "数据精度定义");
}
const QString kDefault = QStringLiteral("2");

} // namespace

const QStringList& frmDate::captions()
{
    // The names of the set's information rows, stored and logged as they are; shown through tr().
    static const QStringList c{
        QStringLiteral(QT_TR_NOOP("存货数量小数位")), QStringLiteral(QT_TR_NOOP("存货单价小数位")), // not translated: keys
        QStringLiteral(QT_TR_NOOP("开票单价小数位")), QStringLiteral(QT_TR_NOOP("件数小数位数")), // not translated: keys
        QStringLiteral(QT_TR_NOOP("换算率小数位数")), // not translated: keys
    };
    return c;
}

frmDate::frmDate(const Session& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmDate"));
    setWindowTitle(title());

    Label1 = new QLabel(tr("请按您单位的需要认真填写"), this);
    Label1->setObjectName(QStringLiteral("Label1"));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-6]?")), this);
    for (int i = 0; i < captions().size(); ++i) {
        const QString shown = tr(captions()[i].toUtf8().constData());
        auto* l = new QLabel(shown, this);
        l->setObjectName(QStringLiteral("Label2_%1").arg(i));
        auto* t = new QLineEdit(kDefault, this);
        t->setObjectName(QStringLiteral("Text1_%1").arg(i));
        t->setMaxLength(1);
        t->setValidator(digits);
        t->setAccessibleName(shown);
        t->setAlignment(Qt::AlignCenter);
        t->setFixedWidth(t->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 14);
        t->installEventFilter(this);
        l->setBuddy(t);
        grid->addWidget(l, i, 0);
        grid->addWidget(t, i, 1);
        Label2 << l;
        Text1 << t;
    }
    grid->setColumnStretch(2, 1);

    QHBoxLayout* buttons = OkCancelHelpRow(this, cmdOK, cmdCancel, cmdHelp);
    cmdOK->setDefault(true);

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(Label1);
    lay->addSpacing(6);
    lay->addLayout(grid);
    lay->addSpacing(6);
    lay->addLayout(buttons);
    setMinimumWidth(300);

    QWidget* prev = Text1.last();
    for (QWidget* w : {static_cast<QWidget*>(cmdOK), static_cast<QWidget*>(cmdCancel), static_cast<QWidget*>(cmdHelp)}) {
        setTabOrder(prev, w);
        prev = w;
    }

    connect(cmdOK, &QPushButton::clicked, this, &frmDate::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDate::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmDate::cmdHelp_Click);
}

void frmDate::Form_Load()
{
    if (!Modifying)
        return;
    if (!AccDb) {
        MsgBox(tr("账套库未打开，无法读取数据精度。"), vb::vbExclamation | vb::vbOKOnly, title());
        return;
    }
    QStringList missing;
    try {
        for (int i = 0; i < captions().size(); ++i) {
            bool found = false;
            const QString v = AccInformation::value(*AccDb, captions()[i], &found);
            if (found)
                Text1[i]->setText(v);
            else
                missing << captions()[i];
        }
    } catch (const DbError& e) {
        WriteErrLog(4, e.text(), QStringLiteral("Form_Load"));
        MsgBox(tr("读取数据精度时出错：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, title());
        return;
    }
    if (!missing.isEmpty())
        MsgBox(AccInformation::missingRowText(missing.first()), vb::vbExclamation | vb::vbOKOnly, title());
}

bool frmDate::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && Text1.contains(box) && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        const QString t = k->text();
        // Only the characters 0 to 6; Backspace and every other character are discarded.
        // A digit replaces the box's one character, so typing a new value needs no deleting first.
        if (k->key() == Qt::Key_Backspace)
            return true;
        if (t.size() == 1 && t[0].isPrint() && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (t[0] >= QLatin1Char('0') && t[0] <= QLatin1Char('6'))
                box->setText(t);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool frmDate::save()
{
    for (QLineEdit* t : Text1) {
        if (t->text().isEmpty()) {
            MsgBox(tr("请为“%1”输入0到6之间的小数位数。").arg(t->accessibleName()), vb::vbExclamation | vb::vbOKOnly, title());
            t->setFocus();
            return false;
        }
    }
    if (!AccDb) {
        MsgBox(tr("账套库未打开，数据精度未能保存。"), vb::vbExclamation | vb::vbOKOnly, title());
        return false;
    }
    AuditLog::Attached log(*AccDb, m_session.sysDb ? m_session.sysDb->location() : QString());
    try {
        Database::Transaction tx(*AccDb);
        for (int i = 0; i < captions().size(); ++i)
            AccInformation::setValue(*AccDb, captions()[i], Text1[i]->text());
        log.write(m_session.auditContext(), Audit::precision(AccDb, AccId, Year, captions()));
        tx.commit();
    } catch (const DbError& e) {
        log.recordFailed(m_session.auditContext(), Audit::precision(nullptr, AccId, Year, captions()), e.reasonText());
        WriteErrLog(4, e.text(), QStringLiteral("cmdOK_Click"));
        MsgBox(tr("数据精度未能保存：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, title());
        return false;
    }
    return true;
}

bool frmDate::changed()
{
    if (Modifying) {
        if (!AccDb)
            return false;
        try {
            for (int i = 0; i < captions().size(); ++i)
                if (Text1[i]->text() != AccInformation::value(*AccDb, captions()[i]))
                    return true;
        } catch (const DbError& e) {
            // Unknown: ask, so that what was typed is not thrown away unasked.
            WriteErrLog(4, e.text(), QStringLiteral("Form_QueryUnload"));
            return true;
        }
        return false;
    }
    // An empty box reads as 0, so it counts as a change.
    for (QLineEdit* t : Text1)
        if (t->text().toInt() != 2)
            return true;
    return false;
}

void frmDate::cmdOK_Click()
{
    if (save())
        QDialog::accept();
}

void frmDate::cmdCancel_Click()
{
    reject();
}

void frmDate::reject()
{
    if (changed()) {
        const int answer = MsgBox(tr("数据精度的定义发生了改变，是否保存修改结果？"),
                                  vb::vbQuestion | vb::vbYesNoCancel, tr("提示！"));
        if (answer == vb::vbYes) {
            if (save())
                QDialog::accept();
            // A refused save keeps the dialog open, so nothing typed is lost.
            return;
        }
    }
    QDialog::reject();
}
