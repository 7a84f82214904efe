#pragma once
// Runs shell command lines, one after another, on a worker thread of its
// own, so that the command issued last is the one in force afterwards. The
// shell is /bin/zsh where it exists, else /bin/sh. Output is discarded.

#include "platform/System.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace kestrune {

class ProcessShellRunner final : public ShellRunner {
public:
    ProcessShellRunner();
    // Finishes the command under way; drops the ones not started.
    ~ProcessShellRunner() override;

    void run(const QString& commandLine) override;
    bool waitForIdle(Millis timeout) override;

    // The shell used: /bin/zsh, or /bin/sh where zsh is absent.
    static QString shellPath();

private:
    void workLoop();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<QString> queue_; // guarded by mutex_
    bool busy_ = false;         // guarded by mutex_
    bool quitting_ = false;     // guarded by mutex_
    std::thread worker_;
};

} // namespace kestrune
