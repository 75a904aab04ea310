#pragma once
// Long work of a window (copying hundreds of megabytes, hashing passwords) runs on a thread of its
// own while the window's thread keeps painting. The work must open its own database connections
// (a connection belongs to its thread).
#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>
#include <QProgressBar>
#include <QThread>

#include <exception>
#include <memory>
#include <optional>
#include <utility>

// Runs `work` and returns its result (or rethrows its exception). The caller waits in an event loop
// that takes no input, so the windows repaint and move but no click reaches a form until it is done.
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

// Starts `work` and returns at once; `done` gets its result on `owner`'s thread once the thread has
// ended, and the thread is deleted after it. The window's own event loop keeps taking input meanwhile,
// so it can offer to stop the work (through the work's cancel flag). `work` must not throw: it turns
// its failures into its result. Nothing is called when `owner` is gone by then.
template <typename Work, typename Done>
QThread* startOffThread(QObject* owner, Work work, Done done)
{
    using Result = decltype(work());
    auto result = std::make_shared<std::optional<Result>>();
    QThread* thread = QThread::create([work = std::move(work), result]() mutable { result->emplace(work()); });
    QObject::connect(thread, &QThread::finished, owner, [thread, result, done = std::move(done)]() mutable {
        thread->wait();
        delete thread;
        done(std::move(**result));
    });
    thread->start();
    return thread;
}
