#pragma once
// Long work of the export's windows (copying hundreds of megabytes) runs on a thread of its own
// while the window's thread keeps painting: the caller waits in an event loop that takes no
// input, so the windows repaint and move but no click reaches a form until the work is done.
// The work must open its own database connections (a connection belongs to its thread).
#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>
#include <QProgressBar>
#include <QThread>

#include <exception>
#include <optional>
#include <utility>

template <typename Work>
auto runOffThread(Work&& work) -> decltype(work())
{
    using Result = decltype(work());
    std::optional<Result> result;
    std::exception_ptr failure;
    QEventLoop loop;
    QThread* thread = QThread::create([&] {
        try {
            result.emplace(work());
        } catch (...) {
            failure = std::current_exception();
        }
    });
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    delete thread;
    if (failure)
        std::rethrow_exception(failure);
    return std::move(*result);
}

// A progress report from the work's thread, shown by the bar on the window's thread.
inline auto progressTo(QProgressBar* bar)
{
    return [bar = QPointer<QProgressBar>(bar)](int value) {
        QMetaObject::invokeMethod(
            bar.data(), [bar, value] {
                if (bar)
                    bar->setValue(value);
            },
            Qt::QueuedConnection);
    };
}
