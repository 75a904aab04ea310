#pragma once
// One page of the account-set wizard: its heading and explanation above a line, its fields below.
// Each page says whether it holds what the next one needs and puts what it holds into the set's
// input; the wizard only moves between them.
#include <QFrame>
#include <QString>

#include <utility>

struct AccountSetInput;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

class WizardPage : public QFrame {
public:
    // `name` is the page's object name, `number` (1..5) names its labels lblTitle_n and lblNote_n.
    WizardPage(QWidget* parent, const char* name, int number, const QString& title, const QString& note);

    QLabel* lblTitle = nullptr;
    QLabel* lblNote = nullptr;

    // Whether every box the set needs from this page is filled (blanks do not count).
    virtual bool complete() const { return true; }
    // Puts what the page holds into `in`.
    virtual void writeTo(AccountSetInput& in) const = 0;

protected:
    // The grid of captioned fields, kept at the top of the page.
    QGridLayout* fieldGrid();
    QVBoxLayout* body = nullptr;
};

namespace WizardUi {
// Whether a box holds more than blanks.
bool filled(const QLineEdit* box);
// A caption without its access key and colon, as assistive technology should read it.
QString plain(const QString& caption);
QLabel* captionFor(QWidget* parent, const char* name, const QString& caption, QWidget* buddy);
QLineEdit* textBox(QWidget* parent, const char* name, int maxLength);
QPushButton* button(QWidget* parent, const char* name, const QString& caption);

// A widget of type W built from args, under the object name the tests and styles look for.
template <class W, class... Args>
W* named(const char* name, Args&&... args)
{
    auto* w = new W(std::forward<Args>(args)...);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// Puts field into the grid with its caption on the left: the caption at (row, col), the field
// after it across span columns.
void place(QGridLayout* g, int row, int col, int span, QLabel* caption, QWidget* field, Qt::Alignment align);
template <class W>
W* captioned(QGridLayout* g, int row, int col, int span, const char* label, const QString& caption, W* field,
             Qt::Alignment align = {})
{
    place(g, row, col, span, captionFor(field->parentWidget(), label, caption, field), field, align);
    return field;
}
}
