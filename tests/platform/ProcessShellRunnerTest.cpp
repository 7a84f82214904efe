// Commands run one after another in a real shell: the last issued wins.

#include "platform/posix/ProcessShellRunner.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrune {
namespace {

TEST(ProcessShellRunner, RunsInIssueOrderAndWaitsForIdle)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("order");
    {
        ProcessShellRunner shell;
        for (int i = 0; i < 20; ++i)
            shell.run(QStringLiteral("echo %1 >> '%2'").arg(i).arg(file));
        shell.run(QStringLiteral("echo last > '%1.final'; exit 3").arg(file)); // status is ignored
        ASSERT_TRUE(shell.waitForIdle(Millis{20'000}));
    }
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QStringList expected;
    for (int i = 0; i < 20; ++i)
        expected << QString::number(i);
    EXPECT_EQ(QString::fromUtf8(f.readAll()).trimmed().split('\n'), expected);
    QFile final(file + ".final");
    ASSERT_TRUE(final.open(QIODevice::ReadOnly));
    EXPECT_EQ(final.readAll(), QByteArray("last\n"));
}

} // namespace
} // namespace kestrune
