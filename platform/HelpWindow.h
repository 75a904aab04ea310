#pragma once
// 帮助: the manual in a window of its own beside the form it was asked from. The left list is the
// contents, or the sections a search found; the right side shows the page.
#include <QUrl>
#include <QWidget>

class QLayout;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTextBrowser;
class QToolButton;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("revozi 系统管理 帮助"); // not translated: the title of the manual, which is Chinese

    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows a page of the manual (qrc:/manual/...#section).
    void showUrl(const QUrl& url);
    // The page and section shown.
    QUrl shown() const;

    QToolButton* cmdContents = nullptr;
    QToolButton* cmdBack = nullptr;
    QToolButton* cmdForward = nullptr;
    QLineEdit* txtSearch = nullptr;
    QListWidget* lstTopics = nullptr;
    QTextBrowser* browser = nullptr;

public slots:
    // Lists the sections holding the words typed; the contents again when the box is empty.
    void search(const QString& words);

private:
    QLayout* buildBar();
    QWidget* buildPages();
    void connectControls();
    void listContents();
    void picked(QListWidgetItem* item);
    QUrl m_shown;
};
