#include "platform/posix/ProcessShellRunner.h"

#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kestrune {

namespace {
void runToCompletion(const QByteArray& shell, const QByteArray& command)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char dashC[] = "-c";
    char* argv[] = {const_cast<char*>(shell.constData()), dashC, const_cast<char*>(command.constData()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, shell.constData(), &actions, nullptr, argv, environ) == 0) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    posix_spawn_file_actions_destroy(&actions);
}
} // namespace

ProcessShellRunner::ProcessShellRunner()
    : worker_([this] { workLoop(); })
{
}

ProcessShellRunner::~ProcessShellRunner()
{
    {
        std::lock_guard lock(mutex_);
        quitting_ = true;
        queue_.clear();
    }
    changed_.notify_all();
    worker_.join();
}

QString ProcessShellRunner::shellPath()
{
    static const QString path =
        QFileInfo(QStringLiteral("/bin/zsh")).isExecutable() ? QStringLiteral("/bin/zsh") : QStringLiteral("/bin/sh");
    return path;
}

void ProcessShellRunner::run(const QString& commandLine)
{
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(commandLine);
    }
    changed_.notify_all();
}

bool ProcessShellRunner::waitForIdle(Millis timeout)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return queue_.empty() && !busy_; });
}

void ProcessShellRunner::workLoop()
{
    const QByteArray shell = shellPath().toLocal8Bit();
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return quitting_ || !queue_.empty(); });
        if (quitting_)
            return;
        const QByteArray command = queue_.front().toLocal8Bit();
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        runToCompletion(shell, command);
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

} // namespace kestrune
