#include "base/QtScheduler.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace kestrune {

QtScheduler::QtScheduler()
    : context_(std::make_unique<QObject>())
    , start_(std::chrono::steady_clock::now())
{
}

QtScheduler::~QtScheduler() = default;

Millis QtScheduler::now() const
{
    return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - start_);
}

void QtScheduler::post(std::function<void()> work)
{
    // Queued events to one receiver are delivered in posting order, whichever
    // thread posted them.
    QMetaObject::invokeMethod(context_.get(), std::move(work), Qt::QueuedConnection);
}

WorkItemPtr QtScheduler::postAfter(Millis delay, std::function<void()> work)
{
    auto item = std::make_shared<WorkItem>();
    const Millis deadline = now() + std::max(delay, Millis{0});
    if (QThread::currentThread() == context_->thread()) {
        startSingleShot(deadline, item, std::move(work));
    } else {
        // A timer only fires on the thread that started it, so hop over first.
        QMetaObject::invokeMethod(
            context_.get(),
            [this, deadline, item, work = std::move(work)]() mutable { startSingleShot(deadline, item, std::move(work)); },
            Qt::QueuedConnection);
    }
    return item;
}

void QtScheduler::startSingleShot(Millis deadline, WorkItemPtr item, std::function<void()> work)
{
    const Millis remaining = std::max(deadline - now(), Millis{0});
    QTimer::singleShot(remaining, Qt::PreciseTimer, context_.get(), [item = std::move(item), work = std::move(work)] {
        if (!item->isCancelled())
            work();
    });
}

WorkItemPtr QtScheduler::repeat(Millis interval, std::function<void()> work)
{
    auto item = std::make_shared<WorkItem>();
    auto* timer = new QTimer(context_.get());
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(std::max(interval, Millis{1}));
    QObject::connect(timer, &QTimer::timeout, timer, [timer, item, work = std::move(work)] {
        if (!item->isCancelled())
            work();
        if (item->isCancelled()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
    return item;
}

} // namespace kestrune
