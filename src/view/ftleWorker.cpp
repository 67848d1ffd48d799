#include "view/ftleWorker.h"

#include <QMetaObject>

FtleWorker::FtleWorker(QObject* parent) : QObject(parent) {}

FtleWorker::~FtleWorker()
{
    cancel();
}

void FtleWorker::request(int3 size, const float2* samples, std::vector<FtleSettings> settings)
{
    cancel();
    stepsTotal = 0;
    for (const FtleSettings& s : settings)
        stepsTotal += FtleField::stepCount(s);
    stepsTotal = std::max(stepsTotal, 1);
    stepsDone = 0;
    stepsBefore = 0;
    bBusy = true;
    thread = std::jthread(&FtleWorker::run, this, size, samples, std::move(settings), ++generation);
}

void FtleWorker::cancel()
{
    if (thread.joinable())
    {
        bCancel = true;
        thread.join();
    }
    bCancel = false;
    bBusy = false;
}

int FtleWorker::percentDone() const
{
    return std::min(100, 100 * (stepsBefore.load() + stepsDone.load()) / stepsTotal);
}

std::vector<FtleField> FtleWorker::takeResults()
{
    return std::move(results);
}

void FtleWorker::run(int3 size, const float2* samples, std::vector<FtleSettings> settings,
                     unsigned ticket)
{
    std::vector<FtleField> fields(settings.size());
    for (std::size_t k = 0; k < settings.size(); ++k)
    {
        if (!fields[k].compute(size, samples, settings[k], &bCancel, &stepsDone) && bCancel)
            return;
        stepsBefore += FtleField::stepCount(settings[k]);
        stepsDone = 0;
    }
    results = std::move(fields);
    // Delivered on the worker's own thread; a request made meanwhile makes it stale.
    QMetaObject::invokeMethod(
        this,
        [this, ticket]
        {
            if (ticket != generation)
                return;
            bBusy = false;
            emit finished();
        },
        Qt::QueuedConnection);
}
