#pragma once

#include "library/Clock.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

namespace pellora::test {

// A clock standing at a chosen local time of day.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QTime time = QTime(9, 0)) : m_now(QDate(2026, 12, 6), time) {}
    QDateTime now() const override { return m_now; }
    void set(QTime time) { m_now = QDateTime(QDate(2026, 12, 6), time); }

private:
    QDateTime m_now;
};

// Redirects the process's standard output into a file until finish(), to check the lines it printed.
class StdoutCapture {
public:
    StdoutCapture()
    {
        std::fflush(stdout);
        m_file.open();
        m_saved = ::dup(STDOUT_FILENO);
        ::dup2(m_file.handle(), STDOUT_FILENO);
    }
    ~StdoutCapture() { finish(); }

    QString finish()
    {
        if (m_saved >= 0) {
            std::fflush(stdout);
            ::dup2(m_saved, STDOUT_FILENO);
            ::close(m_saved);
            m_saved = -1;
            QFile reader(m_file.fileName());
            reader.open(QIODevice::ReadOnly);
            m_text = QString::fromUtf8(reader.readAll());
        }
        return m_text;
    }

private:
    QTemporaryFile m_file;
    int m_saved = -1;
    QString m_text;
};

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// What a command returned and printed.
struct CommandOutcome {
    int code;
    QString out;
    QString err;
};

// Runs the real binary (PELLORA_BINARY) with `input` on its standard input and `configHome` as its
// configuration folder.
inline CommandOutcome runBinary(const QStringList& arguments, const QString& configHome, const QByteArray& input = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable("PELLORA_BINARY"), arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, {}, process.errorString()};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace pellora::test
