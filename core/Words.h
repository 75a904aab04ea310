#pragma once
// One of the program's own sentences in its two forms: as written, in Chinese, which is what the
// audit log and the error log keep in every language (a row reads and chains the same wherever it
// was written), and as the person is shown it, in the console's language. Its source is marked
// where it is written, QT_TRANSLATE_NOOP(context, "…"), so the translations carry it.
#include <QCoreApplication>
#include <QString>

struct Words {
    QString stored;   // Chinese
    QString shown;    // in the console's language

    // The sentence `source` of `context` with %1… filled from `args` (texts, or Words, whose
    // stored form goes into the stored sentence and shown form into the shown one).
    template <typename... Args>
    static Words of(const char* context, const char* source, const Args&... args)
    {
        return {fill(QString::fromUtf8(source), false, args...),
                fill(QCoreApplication::translate(context, source), true, args...)};
    }
    // A text that is the same in both forms (a name, the engine's own words).
    static Words same(const QString& text) { return {text, text}; }

private:
    template <typename A>
    static const A& form(const A& a, bool) { return a; }
    static const QString& form(const Words& w, bool shown) { return shown ? w.shown : w.stored; }
    template <typename... Args>
    static QString fill(const QString& text, bool shown, const Args&... args)
    {
        if constexpr (sizeof...(Args) == 0)
            return text;
        else
            return text.arg(form(args, shown)...);
    }
};
