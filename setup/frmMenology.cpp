#include "frmMenology.h"

#include "Periods.h"
#include "UpDown.h"

#include <FlexGrid.h>
#include <MsgBox.h>
#include <Twips.h>

#include <QDate>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kMinYear = 1990;
constexpr int kMaxYear = 2050;

QLineEdit* numberBox(QWidget* parent, const char* name, const QString& accessible, int maxLength)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    // The up-down buttons are the only way to change the number.
    e->setReadOnly(true);
    e->setMaxLength(maxLength);
    e->setAccessibleName(accessible);
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14);
    return e;
}
} // namespace

QColor frmMenology::normalColor() { return QColor(192, 255, 255); }
QColor frmMenology::startColor() { return QColor(255, 224, 128); }

frmMenology::frmMenology(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMenology"));
    setWindowTitle(tr("会计月历-建账"));

    QLayout* top = buildYearMonth();
    buildGrid();
    QLayout* buttons = buildButtons();
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addWidget(MSFlexGrid1);
    lay->addLayout(buttons);
    lay->setSizeConstraint(QLayout::SetFixedSize);

    fitGrid();

    setTabOrder(txtYear, udYear);
    setTabOrder(udYear, txtMonth);
    setTabOrder(txtMonth, udMonth);
    setTabOrder(udMonth, MSFlexGrid1);
    setTabOrder(MSFlexGrid1, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    // The arrow keys in a box step its up-down buttons; typed characters are still discarded.
    txtYear->installEventFilter(this);
    txtMonth->installEventFilter(this);

    // Until the caller seeds it, the calendar shows the current year and month.
    showToday();

    connect(udYear, &UpDown::Change, this, &frmMenology::udYear_Change);
    connect(udMonth, &UpDown::Change, this, &frmMenology::udMonth_Change);
    connect(txtYear, &QLineEdit::textChanged, this, &frmMenology::txtYear_Change);
    connect(txtMonth, &QLineEdit::textChanged, this, &frmMenology::txtMonth_Change);
    connect(cmdOK, &QPushButton::clicked, this, &frmMenology::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMenology::cmdCancel_Click);
}

// The start year and month, each a read-only box with its up-down buttons, captioned in a row.
QLayout* frmMenology::buildYearMonth()
{
    txtYear = numberBox(this, "txtYear", tr("启用年度"), 4);
    udYear = new UpDown(this);
    udYear->setObjectName(QStringLiteral("udYear"));
    udYear->setRange(kMinYear, kMaxYear);
    udYear->setAccessibleBaseName(tr("启用年度"));
    txtMonth = numberBox(this, "txtMonth", tr("月度"), 2);
    udMonth = new UpDown(this);
    udMonth->setObjectName(QStringLiteral("udMonth"));
    udMonth->setRange(1, 12);
    udMonth->setAccessibleBaseName(tr("月度"));

    auto* lblYear = new QLabel(tr("启用年度:"), this);
    lblYear->setBuddy(txtYear);
    auto* lblMonth = new QLabel(tr("月度:"), this);
    lblMonth->setBuddy(txtMonth);

    auto* top = new QHBoxLayout;
    top->addWidget(lblYear);
    top->addWidget(txtYear);
    top->addWidget(udYear);
    top->addSpacing(16);
    top->addWidget(lblMonth);
    top->addWidget(txtMonth);
    top->addWidget(udMonth);
    top->addStretch();
    return top;
}

// The twelve periods with their first and last days.
void frmMenology::buildGrid()
{
    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setAccessibleName(tr("会计期间"));
    MSFlexGrid1->setFixedRows(1);
    MSFlexGrid1->setFormatString(tr("^期间   |^起始日期   |^结束日期   "));
    MSFlexGrid1->setFixedCols(1);
    MSFlexGrid1->setRows(13);
    MSFlexGrid1->setBackColor(normalColor());
    MSFlexGrid1->setRowHeight(0, 300);
    MSFlexGrid1->setColWidth(0, 800);
    MSFlexGrid1->setColWidth(1, 1500);
    MSFlexGrid1->setColWidth(2, 1500);
    MSFlexGrid1->setTabKeyNavigation(false);
    MSFlexGrid1->horizontalHeader()->setStretchLastSection(true);
    for (int p = 1; p <= 12; ++p) {
        MSFlexGrid1->setTextMatrix(p, 0, QString::number(p));
        MSFlexGrid1->setRowHeight(p, 285);
    }
    MSFlexGrid1->setColAlignment(0, Qt::AlignCenter);
}

QLayout* frmMenology::buildButtons()
{
    cmdOK = new QPushButton(tr("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(tr("放弃"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    return buttons;
}

// The grid shows every period without scrolling.
void frmMenology::fitGrid()
{
    int w = 2 * MSFlexGrid1->frameWidth() + 2;
    for (int c = 0; c < 3; ++c)
        w += MSFlexGrid1->columnWidth(c);
    int h = 2 * MSFlexGrid1->frameWidth() + Twips::toPxY(300) + 2;
    for (int r = 0; r < 12; ++r)
        h += MSFlexGrid1->rowHeight(r);
    MSFlexGrid1->setMinimumSize(w, h);
    MSFlexGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MSFlexGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void frmMenology::showToday()
{
    const QDate today = QDate::currentDate();
    udYear->setValue(today.year());
    txtYear->setText(QString::number(today.year()));
    udMonth->setValue(today.month());
    txtMonth->setText(QString::number(today.month()));
    fillGrid(today.year());
    txtMonth_Change();
}

void frmMenology::setYearMonth(const QString& year, const QString& month)
{
    txtYear->setText(year);
    udYear->setValue(txtYear->text().toInt());
    txtMonth->setText(month);
    udMonth->setValue(txtMonth->text().toInt());
}

void frmMenology::Form_Load()
{
    // The inputs are set before this runs: show what they say.
    bool ok = false;
    const int year = txtYear->text().trimmed().toInt(&ok);
    if (ok && year >= kMinYear && year <= kMaxYear)
        fillGrid(year);
    txtMonth_Change();
    txtYear->setFocus();
}

bool frmMenology::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == txtYear || watched == txtMonth)) {
        UpDown* ud = watched == txtYear ? udYear : udMonth;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up: case Qt::Key_PageUp: ud->stepUp(); return true;
        case Qt::Key_Down: case Qt::Key_PageDown: ud->stepDown(); return true;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmMenology::udYear_Change()
{
    const QString t = QString::number(udYear->Value());
    if (txtYear->text() != t)
        txtYear->setText(t);
}

void frmMenology::udMonth_Change()
{
    const QString t = QString::number(udMonth->Value());
    if (txtMonth->text() != t)
        txtMonth->setText(t);
}

void frmMenology::txtYear_Change()
{
    bool ok = false;
    const int year = txtYear->text().trimmed().toInt(&ok);
    if (!ok || year < kMinYear || year > kMaxYear) {
        MsgBox(tr("会计年度设置错误！"), vb::vbExclamation | vb::vbOKOnly, tr("系统管理"));
        // Setting the text runs this again with a valid year, which fills the grid.
        txtYear->setText(QString::number(QDate::currentDate().year()));
        return;
    }
    udYear->setValue(year);
    fillGrid(year);
}

void frmMenology::txtMonth_Change()
{
    // The periods from the start month on are shaded; the contents stay.
    bool ok = false;
    const int month = txtMonth->text().trimmed().toInt(&ok);
    if (!ok)
        return;
    if (month >= 1 && month <= 12)
        udMonth->setValue(month);
    for (int p = 1; p <= 12; ++p) {
        const bool used = month >= 1 && p >= month;
        for (int c = 1; c <= 2; ++c)
            MSFlexGrid1->setCellBackColor(p, c, used ? startColor() : normalColor());
        QFont f = MSFlexGrid1->font();
        f.setBold(p == month);
        for (int c = 0; c <= 2; ++c)
            if (QTableWidgetItem* it = MSFlexGrid1->item(p - 1, c))
                it->setFont(f);
    }
}

void frmMenology::fillGrid(int year)
{
    for (int p = 1; p <= 12; ++p) {
        MSFlexGrid1->setTextMatrix(p, 0, QString::number(p));
        MSFlexGrid1->setTextMatrix(p, 1, Periods::beginDate(year, p));
        MSFlexGrid1->setTextMatrix(p, 2, Periods::endDate(year, p));
    }
}

void frmMenology::cmdOK_Click()
{
    accept();
}

void frmMenology::cmdCancel_Click()
{
    reject();
}
