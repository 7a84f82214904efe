#pragma once
// The simulator's console: status lines go to the transcript as "print LINE".

#include "base/Console.h"
#include "platform/sim/SimTranscript.h"

#include <QStringList>
#include <mutex>

namespace kestrune {

// Thread-safe. The transcript must outlive the console.
class SimConsole final : public Console {
public:
    explicit SimConsole(SimTranscript& transcript);

    void printLine(const QString& line) override;

    // Every line printed so far, without time stamps.
    QStringList lines() const;
    void clear();

private:
    SimTranscript& transcript_;
    mutable std::mutex mutex_;
    QStringList lines_;
};

} // namespace kestrune
