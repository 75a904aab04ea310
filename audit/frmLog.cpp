#include "frmLog.h"
#include "AuditTableModel.h"

#include <AuditEvents.h>
#include <AuditQuery.h>
#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <ShowModal.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

using namespace Module1;

namespace {
QString allText()
{
    return QCoreApplication::translate("frmLog", "（全部）");
}

// The installation-wide rows, which belong to no set.
QString systemText()
{
    return QCoreApplication::translate("frmLog", "（系统）");
}

QLabel* caption(QWidget* parent, const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    // The caption without its shortcut and colon names the control: "日期从(&F)：" is "日期从",
    // "&From:" is "From".
    static const QRegularExpression decoration(QStringLiteral("\\(&.\\)|：|&|:$")); // not translated: a pattern
    buddy->setAccessibleName(QString(text).remove(decoration));
    return l;
}

template <typename W>
W* named(W* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}
} // namespace

frmLog::frmLog(const Session& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmLog"));
    setWindowTitle(tr("上机日志"));

    QLayout* top = buildFilters();
    QWidget* split = buildLog();
    QLayout* status = buildStatus();
    const int em = tblLog->fontMetrics().horizontalAdvance(QChar(0x4e2d));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    layout->addLayout(status);
    resize(100 * em, 46 * em);
    connectControls();
}

// The filters in two rows of three, the export and close buttons beside them.
QLayout* frmLog::buildFilters()
{
    dtFrom = named(new QDateEdit(this), "dtFrom");
    dtTo = named(new QDateEdit(this), "dtTo");
    for (QDateEdit* d : {dtFrom, dtTo}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    cboOperator = named(new QComboBox(this), "cboOperator");
    cboAcc = named(new QComboBox(this), "cboAcc");
    cboAction = named(new QComboBox(this), "cboAction");
    cboResult = named(new QComboBox(this), "cboResult");
    for (QComboBox* c : {cboOperator, cboAcc, cboAction, cboResult})
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    auto* filters = new QGridLayout;
    filters->addWidget(caption(this, tr("日期从(&F)："), dtFrom), 0, 0);
    filters->addWidget(dtFrom, 0, 1);
    filters->addWidget(caption(this, tr("到(&T)："), dtTo), 0, 2);
    filters->addWidget(dtTo, 0, 3);
    filters->addWidget(caption(this, tr("操作员(&O)："), cboOperator), 0, 4);
    filters->addWidget(cboOperator, 0, 5);
    filters->addWidget(caption(this, tr("账套(&A)："), cboAcc), 1, 0);
    filters->addWidget(cboAcc, 1, 1);
    filters->addWidget(caption(this, tr("动作(&K)："), cboAction), 1, 2);
    filters->addWidget(cboAction, 1, 3);
    filters->addWidget(caption(this, tr("结果(&R)："), cboResult), 1, 4);
    filters->addWidget(cboResult, 1, 5);
    filters->setColumnStretch(6, 1);

    cmdExport = named(new QPushButton(tr("导出(&E)..."), this), "cmdExport");
    cmdClose = named(new QPushButton(tr("关闭(&C)"), this), "cmdClose");
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdExport);
    buttons->addWidget(cmdClose);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(filters, 1);
    top->addLayout(buttons);
    return top;
}

// The rows above, the chosen row's detail below.
QWidget* frmLog::buildLog()
{
    tblLog = named(new QTableView(this), "tblLog");
    tblLog->setAccessibleName(tr("上机日志"));
    tblLog->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblLog->setSelectionMode(QAbstractItemView::SingleSelection);
    tblLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblLog->setWordWrap(false);
    tblLog->verticalHeader()->hide();
    // Every row the same height: the view then never measures the rows it does not show.
    tblLog->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tblLog->verticalHeader()->setDefaultSectionSize(tblLog->fontMetrics().height() + 8);
    tblLog->horizontalHeader()->setStretchLastSection(false);
    if (m_session.sysDb) {
        model = new AuditTableModel(*m_session.sysDb, this);
        tblLog->setModel(model);
    }
    sizeColumns();

    txtDetail = named(new QPlainTextEdit(this), "txtDetail");
    txtDetail->setReadOnly(true);
    txtDetail->setAccessibleName(tr("详细内容"));
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(tblLog);
    split->addWidget(txtDetail);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    txtDetail->setMinimumHeight(6 * fontMetrics().lineSpacing());
    return split;
}

// Each column as wide as what it holds (the detail takes what is left and shows whole below).
void frmLog::sizeColumns()
{
    const QFontMetrics fm = tblLog->fontMetrics();
    const int em = fm.horizontalAdvance(QChar(0x4e2d));   // a wide character: the margin each column adds
    // The widest of the words a column shows, in the console's language.
    auto widest = [&fm](const QStringList& texts) {
        int w = 0;
        for (const QString& t : texts)
            w = std::max(w, fm.horizontalAdvance(t));
        return w;
    };
    QStringList actions;
    for (const auto& a : Audit::actions())
        actions << a.second;
    QStringList results;
    for (const QString& r : AuditTableModel::results())
        results << AuditTableModel::shownResult(r);
    AuditRow foreign;
    foreign.subId = QStringLiteral("ZZ");
    AuditRow imported;
    imported.subId = AuditLog::kSubId;
    imported.origin = QStringLiteral("backup");
    const int samples[] = {fm.horizontalAdvance(QStringLiteral("2026-12-31 23:59:59")),
                           fm.horizontalAdvance(QStringLiteral("财务-001")), // not translated: a station's name, a width sample
                           fm.horizontalAdvance(QStringLiteral("kuaiji")), fm.horizontalAdvance(QStringLiteral("DATA-MAN")),
                           fm.horizontalAdvance(QStringLiteral("999")), fm.horizontalAdvance(QStringLiteral("2026")), widest(actions),
                           widest(results), fm.horizontalAdvance(QString(10, QChar(0x4e2d))),
                           fm.horizontalAdvance(QString(34, QChar(0x4e2d))),
                           widest({foreign.checkText(false), imported.checkText(false), foreign.checkText(true)})};
    for (int c = 0; c < AuditTableModel::ColumnCount; ++c) {
        const int heading = fm.horizontalAdvance(model ? model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() : QString());
        tblLog->setColumnWidth(c, std::max(heading, samples[c]) + em);
    }
}

// The row count, the chain check's verdict and the button to the first changed row.
QLayout* frmLog::buildStatus()
{
    const int em = tblLog->fontMetrics().horizontalAdvance(QChar(0x4e2d));
    lblCount = named(new QLabel(this), "lblCount");
    lblCheck = named(new QLabel(this), "lblCheck");
    lblCheck->setWordWrap(true);
    cmdBreak = named(new QPushButton(tr("转到改动处(&G)"), this), "cmdBreak");
    cmdBreak->setEnabled(false);
    auto* status = new QHBoxLayout;
    status->addWidget(lblCount);
    status->addSpacing(2 * em);
    status->addWidget(lblCheck, 1);
    status->addWidget(cmdBreak);
    return status;
}

void frmLog::connectControls()
{
    for (QComboBox* c : {cboOperator, cboAcc, cboAction, cboResult})
        connect(c, &QComboBox::currentIndexChanged, this, &frmLog::refresh);
    for (QDateEdit* d : {dtFrom, dtTo})
        connect(d, &QDateEdit::dateChanged, this, &frmLog::refresh);
    if (model)
        connect(tblLog->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &frmLog::showDetail);
    connect(cmdExport, &QPushButton::clicked, this, &frmLog::cmdExport_Click, Qt::QueuedConnection);
    connect(cmdBreak, &QPushButton::clicked, this, &frmLog::cmdBreak_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
}

frmLog::~frmLog()
{
    if (m_checker) {
        m_checker->wait();
        delete m_checker;
    }
}

void frmLog::fillCombo(QComboBox* box, const QStringList& values, const QString& allText)
{
    box->clear();
    if (!allText.isEmpty())
        box->addItem(allText);
    for (const QString& v : values)
        box->addItem(v, v);
}

void frmLog::Form_Load(bool checkInBackground)
{
    if (!m_session.sysDb || !model)
        return;
    m_loading = true;
    try {
        // An installation from before the log gains its columns here, so the queries below find them.
        AuditLog::upgrade(*m_session.sysDb);
        AuditQuery q(*m_session.sysDb);
        fillCombo(cboOperator, q.operators(OnlyAccId), allText());
        if (OnlyAccId) {
            fillCombo(cboAcc, {*OnlyAccId}, QString());
            cboAcc->setEnabled(false);
        } else {
            fillCombo(cboAcc, q.sets(), allText());
            cboAcc->insertItem(1, systemText(), QString(QLatin1String("")));
        }
        cboAction->clear();
        cboAction->addItem(allText());
        for (const auto& [code, name] : Audit::actions())
            cboAction->addItem(name, code);
        // Shown in the console's words, filtered by the stored ones.
        cboResult->clear();
        cboResult->addItem(allText());
        for (const QString& r : AuditTableModel::results())
            cboResult->addItem(AuditTableModel::shownResult(r), r);
        const auto [first, last] = q.dateRange(OnlyAccId);
        const QDate today = QDate::currentDate();
        dtFrom->setDate(first.isValid() ? first : today);
        dtTo->setDate(last.isValid() && last > today ? last : today);
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("Form_Load"));
        MsgBox(tr("无法读取上机日志：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, windowTitle());
    }
    m_loading = false;
    refresh();

    lblCheck->setText(tr("正在校验日志……"));
    if (!checkInBackground)
        return;
    // The check reads every row: its own connection on its own thread, so the window stays usable.
    const Database* like = m_session.sysDb.get();
    const std::optional<QString> only = OnlyAccId;
    auto result = std::make_shared<AuditCheck>();
    m_checker = QThread::create([like, only, result] {
        try {
            Database db;
            db.openLike(*like);
            *result = only ? AuditChain::checkKey(db, *only) : AuditChain::check(db);
        } catch (const DbError& e) {
            result->error = e.userText();
        }
    });
    connect(m_checker, &QThread::finished, this, [this, result] { showCheck(*result); });
    m_checker->start();
}

void frmLog::checkChain()
{
    if (m_session.sysDb)
        showCheck(OnlyAccId ? AuditChain::checkKey(*m_session.sysDb, *OnlyAccId) : AuditChain::check(*m_session.sysDb));
}

void frmLog::showCheck(const AuditCheck& check)
{
    m_check = check;
    if (model)
        model->setBroken(check.broken);
    if (check.intact()) {
        lblCheck->setStyleSheet(QString());
        // What the check did not vouch for is said beside it.
        QString text = tr("日志校验通过：%1 条记录未被改动。").arg(check.checked);
        if (check.imported > 0)
            text += tr("另有引入的历史记录 %1 条，不属于本机日志，已单独校验。").arg(check.imported);
        if (check.foreign > 0)
            text += tr("其他模块的记录 %1 条不在校验之列。").arg(check.foreign);
        lblCheck->setText(text);
    } else {
        lblCheck->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
        lblCheck->setText(check.summary());
    }
    cmdBreak->setEnabled(!check.broken.isEmpty());
}

void frmLog::refresh()
{
    if (m_loading || !model)
        return;
    AuditFilter f;
    f.from = dtFrom->date();
    f.to = dtTo->date();
    f.operatorId = cboOperator->currentData().toString();
    if (OnlyAccId)
        f.accId = OnlyAccId;
    else if (cboAcc->currentData().isValid())
        f.accId = cboAcc->currentData().toString();
    f.action = cboAction->currentData().toString();
    f.result = cboResult->currentData().toString();
    try {
        model->setIds(AuditQuery(*m_session.sysDb).ids(f));
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("refresh"));
        model->setIds({});
        MsgBox(tr("无法读取上机日志：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, windowTitle());
    }
    lblCount->setText(tr("共 %1 条").arg(model->rowCount()));
    if (model->rowCount() > 0)
        tblLog->selectRow(0);
    else
        txtDetail->clear();
}

void frmLog::showDetail()
{
    const int row = tblLog->currentIndex().row();
    if (row < 0) {
        txtDetail->clear();
        return;
    }
    const AuditRow r = model->rowAt(row);
    QStringList lines;
    lines << tr("时间：%1 %2").arg(r.date, r.time)
          << tr("站点：%1    系统用户：%2    操作员：%3").arg(r.station, r.osUser, r.operatorId)
          << tr("账套：%1    年度：%2").arg(r.accId.isEmpty() ? systemText() : r.accId, r.year);
    if (r.ours())
        lines << tr("动作：%1    结果：%2%3").arg(r.actionText(), AuditTableModel::shownResult(r.result),
                                                        r.reason.isEmpty() ? QString() : tr("（%1）").arg(r.reason));
    else
        // Shown as the module wrote it, never in the console's words.
        lines << tr("模块：%1（不是系统管理的记录，不在校验之列）    动作代码：%2    结果：%3")
                     .arg(r.subId, r.action, r.result);
    if (r.imported())
        lines << tr("来源：随备份引入的账套历史记录，不属于本机日志");
    lines << tr("内容：%1").arg(r.detail);
    for (const AuditProblem& p : m_check.problems)
        if (p.id == r.id)
            lines << tr("校验：日志已被改动——%1").arg(p.text);
    txtDetail->setPlainText(lines.join(QLatin1Char('\n')));
}

void frmLog::cmdBreak_Click()
{
    // The earliest break among the rows shown.
    for (const AuditProblem& p : m_check.problems) {
        const qsizetype at = model->ids().indexOf(p.id);
        if (p.id >= 0 && at >= 0) {
            tblLog->selectRow(int(at));
            tblLog->scrollTo(model->index(int(at), 0), QAbstractItemView::PositionAtCenter);
            return;
        }
    }
    MsgBox(tr("改动处不在当前筛选的记录中。"), vb::vbInformation | vb::vbOKOnly, windowTitle());
}

void frmLog::cmdExport_Click()
{
    if (!m_session.sysDb || !model)
        return;
    QFileDialog dlg(this, tr("导出上机日志"));
    dlg.setObjectName(QStringLiteral("dlgExportLog"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilter(tr("CSV 文件 (*.csv)"));
    dlg.setDefaultSuffix(QStringLiteral("csv"));
    dlg.selectFile(QDir::home().filePath(tr("上机日志-%1.csv").arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")))));
    if (ShowModal(dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    const QString path = dlg.selectedFiles().constFirst();
    Words error;
    const bool written = AuditQuery(*m_session.sysDb).exportCsv(model->ids(), path, model->broken(), &error);
    const AuditEntry logged = Audit::logExported(OnlyAccId.value_or(QString()), OnlyAccId ? m_session.account.year.toInt() : 0, path,
                                                 int(model->ids().size()));
    AuditLog::record(*m_session.sysDb, m_session.auditContext(), written ? logged : logged.failed(error.stored));
    if (!written) {
        MsgBox(tr("上机日志未能导出：%1").arg(error.shown), vb::vbExclamation | vb::vbOKOnly, windowTitle());
        return;
    }
    MsgBox(tr("已导出 %1 条记录到 %2").arg(model->ids().size()).arg(path), vb::vbInformation | vb::vbOKOnly, windowTitle());
}
