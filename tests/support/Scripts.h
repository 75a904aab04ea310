#pragma once
// Scripted answers for message boxes and modal dialogs, installed for one test's lifetime.
#include <MsgBox.h>
#include <ShowModal.h>

#include <QDialog>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class FlexGrid;
class QComboBox;

// Records every message; answers from a queue, then with `fallback` (OK / the first button).
class MsgBoxScript {
public:
    MsgBoxScript();
    ~MsgBoxScript();
    void answer(int reply) { m_answers << reply; }
    QList<MsgBoxCall> calls;
    QStringList texts() const;
    // Every message as seen() gives it.
    QStringList seenAll() const;
    bool saw(const QString& text) const { return texts().contains(text); }
    const MsgBoxCall& last() const { return calls.last(); }
    void clear() { calls.clear(); m_answers.clear(); }
    int fallback = -1;   // -1: the first button of the set (OK or Yes)

private:
    QList<int> m_answers;
    MsgBoxHandler m_old;
};

// Plays a reaction for a dialog by objectName; an unscripted dialog is recorded and rejected.
class ModalScript {
public:
    using Reaction = std::function<int(QDialog&)>;
    ModalScript();
    ~ModalScript();
    void on(const QString& objectName, Reaction r) { m_reactions[objectName] = std::move(r); }
    QStringList shown;   // objectNames, in order

private:
    QHash<QString, Reaction> m_reactions;
    ModalRunner m_old;
};

// A dialog's reaction that may stop at a failed check; the dialog's result is returned either way.
template <class Dialog>
ModalScript::Reaction act(std::function<void(Dialog&)> body)
{
    return [body](QDialog& d) {
        body(static_cast<Dialog&>(d));
        return d.result();
    };
}

// A message as a person sees it: text, title, button set and icon (the default button left out).
QString seen(const QString& text, const QString& title, int buttons);
QString seen(const MsgBoxCall& c);

// A list's entries, in order.
QStringList items(const QComboBox* box);

// The first `n` cells of a grid's row, joined by "|".
QString cells(const FlexGrid* g, int row, int n);
// A grid's column below its header row, and the row (from 1) holding `text` in it; 0 when none.
QStringList column(const FlexGrid* g, int col);
int rowOf(const FlexGrid* g, int col, const QString& text);
