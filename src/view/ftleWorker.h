// Computes FTLE fields on all cores off the GUI thread, one request at a time: a new request
// cancels and replaces the running one. Says on its own thread when a result is ready.
#pragma once

#include "ftle/ftleField.h"

#include <QObject>
#include <atomic>
#include <thread>
#include <vector>

class FtleWorker : public QObject
{
    Q_OBJECT

public:
    explicit FtleWorker(QObject* parent = nullptr);
    // Stops the running request and waits for it.
    ~FtleWorker() override;

    // Computes one field per settings on samples, which must stay valid until finished() is
    // emitted, cancel() returns or the worker is destroyed.
    void request(int3 size, const float2* samples, std::vector<FtleSettings> settings);
    // Stops the running request, if any, and waits for it; its result is never delivered.
    void cancel();
    bool busy() const { return bBusy.load(); }
    // Of the running request, 0 to 100.
    int percentDone() const;
    // The fields of the last finished request, in the order asked.
    std::vector<FtleField> takeResults();

signals:
    void finished();

private:
    void run(int3 size, const float2* samples, std::vector<FtleSettings> settings,
             unsigned generation);

    std::jthread thread;
    std::atomic<bool> bCancel{false};
    std::atomic<bool> bBusy{false};
    std::atomic<int> stepsDone{0};   // of the field being computed
    std::atomic<int> stepsBefore{0}; // of the fields before it
    int stepsTotal = 1;
    unsigned generation = 0;
    std::vector<FtleField> results; // written by the thread until it says finished
};
