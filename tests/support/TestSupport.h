#pragma once

#include "library/Clock.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QProcess>
#include <QString>

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

// The named child, which the test cannot go on without.
template <typename T = QObject> T* child(const QObject& parent, const QString& name)
{
    T* found = parent.findChild<T*>(name);
    if (!found)
        qFatal("no child named %s", qPrintable(name));
    return found;
}

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
