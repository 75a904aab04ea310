#pragma once
// The Chinese manual shipped inside the program (docs/manual, compiled in as resources under
// ":/manual"): its pages, the sections a form's help opens at, and a search over their text.
// A section is an anchor <a name="..."> in a page; a form's section is named after the form's
// objectName, so a page written for a form is found without a table to keep in step.
#include <QList>
#include <QString>
#include <QUrl>

class Manual {
public:
    struct Section {
        QString anchor;   // empty for the text before a page's first anchor
        QString title;    // the anchor's own text (a heading), or the page's title
        QString text;     // plain text of the section, for the search
    };
    struct Page {
        QString file;     // "users.html"
        QString title;    // its <title>
        QList<Section> sections;
    };
    struct Hit {
        QUrl url;
        QString title;    // "page title · section title"
        QString snippet;  // the words around the first match, on one line
    };

    // The manual as compiled in, read once.
    static const Manual& instance();
    // A manual made of the given pages (file name and HTML), in contents order.
    explicit Manual(const QList<QPair<QString, QString>>& pages);

    const QList<Page>& pages() const { return m_pages; }
    // The contents page.
    static QUrl contents();
    // The page and section of `topic` (a form's objectName); the contents when the manual has none.
    QUrl topic(const QString& topic) const;
    bool hasTopic(const QString& topic) const;
    // Sections holding every blank-separated word of `words`, without regard to letter case, in
    // contents order. Empty words find nothing.
    QList<Hit> search(const QString& words) const;

    static QUrl urlOf(const QString& file, const QString& anchor = QString());

private:
    QList<Page> m_pages;
};
