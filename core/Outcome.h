#pragma once
// What a piece of work has to tell the person who started it. The work never shows anything
// itself: the console shows a Notice in a message box, a command-line tool prints its text.
#include <QString>

#include <atomic>
#include <functional>

struct Notice {
    // The symbol a message box shows beside the text.
    enum class Icon { None, Exclamation, Information, Question, Critical };
    QString text;     // empty: nothing to say
    QString title;    // empty: the program's own title
    Icon icon = Icon::None;

    bool isEmpty() const { return text.isEmpty(); }
};

// Long work reports how far it is (0..100) and looks at a cancel flag between steps; both may be
// left empty. A cancelled job stops before it changes anything that is not undone again.
struct WorkControl {
    std::function<void(int)> progress;
    const std::atomic<bool>* cancel = nullptr;

    void report(int percent) const
    {
        if (progress)
            progress(percent);
    }
    bool cancelled() const { return cancel && cancel->load(); }
};
