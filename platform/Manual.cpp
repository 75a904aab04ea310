#include "Manual.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace {
const QString kRoot = QStringLiteral(":/manual/");

QString plain(const QString& html)
{
    return QTextDocumentFragment::fromHtml(html).toPlainText();
}

QString oneLine(QString text)
{
    return text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")).trimmed();
}

Manual::Page parse(const QString& file, const QString& html)
{
    Manual::Page page;
    page.file = file;
    static const QRegularExpression titleRx(QStringLiteral("<title>(.*?)</title>"), QRegularExpression::DotMatchesEverythingOption);
    page.title = oneLine(titleRx.match(html).captured(1));
    // Only the body is searched: the title and the style sheet are no text a person reads there.
    static const QRegularExpression bodyRx(QStringLiteral("<body[^>]*>(.*)</body>"), QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch body = bodyRx.match(html);
    const QString text = body.hasMatch() ? body.captured(1) : html;

    static const QRegularExpression anchorRx(QStringLiteral("<a\\s+name=\"([^\"]+)\"[^>]*>(.*?)</a>"), QRegularExpression::DotMatchesEverythingOption);
    qsizetype from = 0;
    Manual::Section current{QString(), page.title, QString()};
    for (auto it = anchorRx.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        current.text = plain(text.mid(from, m.capturedStart() - from));
        if (!current.anchor.isEmpty() || !oneLine(current.text).isEmpty())
            page.sections << current;
        current = Manual::Section{m.captured(1), oneLine(plain(m.captured(2))), QString()};
        from = m.capturedStart();
    }
    current.text = plain(text.mid(from));
    page.sections << current;
    return page;
}

QString snippet(const QString& text, qsizetype at, qsizetype length)
{
    constexpr qsizetype kAround = 24;
    const qsizetype begin = qMax<qsizetype>(0, at - kAround);
    const qsizetype end = qMin(text.size(), at + length + kAround);
    QString s = oneLine(text.mid(begin, end - begin));
    if (begin > 0)
        s.prepend(QStringLiteral("…"));
    if (end < text.size())
        s.append(QStringLiteral("…"));
    return s;
}
} // namespace

Manual::Manual(const QList<QPair<QString, QString>>& pages)
{
    for (const auto& [file, html] : pages)
        m_pages << parse(file, html);
}

const Manual& Manual::instance()
{
    static const Manual manual = [] {
        // The contents page lists the others in the order a person reads them.
        QList<QPair<QString, QString>> pages;
        auto read = [](const QString& file) {
            QFile f(kRoot + file);
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        };
        const QString index = read(QStringLiteral("index.html"));
        pages << qMakePair(QStringLiteral("index.html"), index);
        QStringList files;
        static const QRegularExpression linkRx(QStringLiteral("href=\"([a-z-]+\\.html)"));
        for (auto it = linkRx.globalMatch(index); it.hasNext();) {
            const QString file = it.next().captured(1);
            if (file != QLatin1String("index.html") && !files.contains(file))
                files << file;
        }
        // Pages the contents forgot are still searched and still found by a form.
        for (const QString& file : QDir(kRoot).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name))
            if (file != QLatin1String("index.html") && !files.contains(file))
                files << file;
        for (const QString& file : files)
            pages << qMakePair(file, read(file));
        return Manual(pages);
    }();
    return manual;
}

QUrl Manual::urlOf(const QString& file, const QString& anchor)
{
    QUrl url(QStringLiteral("qrc:/manual/") + file);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    return url;
}

QUrl Manual::contents()
{
    return urlOf(QStringLiteral("index.html"));
}

QUrl Manual::topic(const QString& topic) const
{
    if (!topic.isEmpty())
        for (const Page& page : m_pages)
            for (const Section& s : page.sections)
                if (s.anchor == topic)
                    return urlOf(page.file, s.anchor);
    return contents();
}

bool Manual::hasTopic(const QString& topic) const
{
    return topic.size() && this->topic(topic) != contents();
}

QList<Manual::Hit> Manual::search(const QString& words) const
{
    const QStringList terms = words.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QList<Hit> hits;
    if (terms.isEmpty())
        return hits;
    for (const Page& page : m_pages) {
        for (const Section& s : page.sections) {
            const QString haystack = s.title + QLatin1Char('\n') + s.text;
            bool all = true;
            for (const QString& t : terms)
                all = all && haystack.contains(t, Qt::CaseInsensitive);
            if (!all)
                continue;
            const qsizetype at = s.text.indexOf(terms.first(), 0, Qt::CaseInsensitive);
            const QString title = s.title == page.title ? page.title : page.title + QStringLiteral(" · ") + s.title;
            hits << Hit{urlOf(page.file, s.anchor), title, at < 0 ? QString() : snippet(s.text, at, terms.first().size())};
        }
    }
    return hits;
}
