#include "HelpWindow.h"
#include "Manual.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QToolButton* tool(QWidget* parent, const char* name, QStyle::StandardPixmap icon, const QString& text)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(parent->style()->standardIcon(icon));
    b->setText(text);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    return b;
}

constexpr int kUrlRole = Qt::UserRole;
constexpr int kWordsRole = Qt::UserRole + 1;
} // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(900, 620);

    QLayout* bar = buildBar();
    QWidget* split = buildPages();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(split, 1);

    connectControls();
    cmdBack->setEnabled(false);
    cmdForward->setEnabled(false);
    listContents();
}

// Contents, back and forward, and the search box, in a row above the pages.
QLayout* HelpWindow::buildBar()
{
    cmdContents = tool(this, "cmdContents", QStyle::SP_DirHomeIcon, QCoreApplication::translate("HelpWindow", "目录(&C)"));
    cmdBack = tool(this, "cmdBack", QStyle::SP_ArrowBack, QCoreApplication::translate("HelpWindow", "后退(&B)"));
    cmdForward = tool(this, "cmdForward", QStyle::SP_ArrowForward, QCoreApplication::translate("HelpWindow", "前进(&F)"));
    txtSearch = new QLineEdit(this);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setAccessibleName(QCoreApplication::translate("HelpWindow", "搜索"));
    txtSearch->setPlaceholderText(QCoreApplication::translate("HelpWindow", "输入要查找的词，以空格分开"));
    txtSearch->setClearButtonEnabled(true);
    auto* searchLabel = new QLabel(QCoreApplication::translate("HelpWindow", "搜索(&S)"), this);
    searchLabel->setBuddy(txtSearch);

    auto* bar = new QHBoxLayout;
    bar->addWidget(cmdContents);
    bar->addWidget(cmdBack);
    bar->addWidget(cmdForward);
    bar->addSpacing(16);
    bar->addWidget(searchLabel);
    bar->addWidget(txtSearch, 1);
    return bar;
}

// The topics on the left, the page on the right.
QWidget* HelpWindow::buildPages()
{
    lstTopics = new QListWidget(this);
    lstTopics->setObjectName(QStringLiteral("lstTopics"));
    lstTopics->setAccessibleName(QCoreApplication::translate("HelpWindow", "目录"));
    lstTopics->setWordWrap(true);
    browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("browser"));
    browser->setAccessibleName(QCoreApplication::translate("HelpWindow", "帮助内容"));
    // Links out of the manual (the project's page) go to the desktop's browser.
    browser->setOpenLinks(false);

    auto* split = new QSplitter(this);
    split->addWidget(lstTopics);
    split->addWidget(browser);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 3);
    split->setSizes({240, 660});
    return split;
}

void HelpWindow::connectControls()
{
    connect(cmdContents, &QToolButton::clicked, this, [this] {
        txtSearch->clear();
        showUrl(Manual::contents());
    });
    connect(cmdBack, &QToolButton::clicked, browser, &QTextBrowser::backward);
    connect(cmdForward, &QToolButton::clicked, browser, &QTextBrowser::forward);
    connect(browser, &QTextBrowser::backwardAvailable, cmdBack, &QToolButton::setEnabled);
    connect(browser, &QTextBrowser::forwardAvailable, cmdForward, &QToolButton::setEnabled);
    connect(browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() == QLatin1String("qrc") || url.isRelative())
            showUrl(browser->source().resolved(url));
        else
            QDesktopServices::openUrl(url);
    });
    connect(browser, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) { m_shown = url; });
    connect(txtSearch, &QLineEdit::textChanged, this, &HelpWindow::search);
    connect(lstTopics, &QListWidget::itemActivated, this, &HelpWindow::picked);
    connect(lstTopics, &QListWidget::itemClicked, this, &HelpWindow::picked);
}

void HelpWindow::showUrl(const QUrl& url)
{
    // setSource does not scroll again to a section of the page already shown.
    if (browser->source().adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment) && url.hasFragment()) {
        browser->setSource(url);
        browser->scrollToAnchor(url.fragment());
    } else {
        browser->setSource(url);
    }
    m_shown = url;
}

QUrl HelpWindow::shown() const
{
    return m_shown;
}

void HelpWindow::listContents()
{
    lstTopics->clear();
    for (const Manual::Page& page : Manual::instance().pages()) {
        auto* item = new QListWidgetItem(page.title, lstTopics);
        item->setData(kUrlRole, Manual::urlOf(page.file));
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
        for (const Manual::Section& s : page.sections) {
            if (s.anchor.isEmpty())
                continue;
            auto* sub = new QListWidgetItem(QStringLiteral("    ") + s.title, lstTopics);
            sub->setData(kUrlRole, Manual::urlOf(page.file, s.anchor));
        }
    }
}

void HelpWindow::search(const QString& words)
{
    if (words.trimmed().isEmpty()) {
        listContents();
        return;
    }
    lstTopics->clear();
    const QList<Manual::Hit> hits = Manual::instance().search(words);
    if (hits.isEmpty()) {
        auto* none = new QListWidgetItem(QCoreApplication::translate("HelpWindow", "没有找到“%1”。").arg(words.trimmed()), lstTopics);
        none->setFlags(Qt::ItemIsEnabled);
        return;
    }
    for (const Manual::Hit& hit : hits) {
        auto* item = new QListWidgetItem(hit.title + QLatin1Char('\n') + hit.snippet, lstTopics);
        item->setData(kUrlRole, hit.url);
        item->setData(kWordsRole, words.trimmed());
        item->setToolTip(hit.snippet);
    }
}

void HelpWindow::picked(QListWidgetItem* item)
{
    const QUrl url = item->data(kUrlRole).toUrl();
    if (url.isEmpty())
        return;
    showUrl(url);
    // A search's first word is marked where it stands in the section.
    const QString first = item->data(kWordsRole).toString().section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    if (!first.isEmpty())
        browser->find(first);
}
