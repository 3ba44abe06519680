#pragma once

#include <QByteArray>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace parlino {

// A private PulseAudio server with a null sink "test", reachable only through
// PULSE_SERVER in this process's environment, and a recording of the sink's
// monitor (16-bit mono at 22,050 Hz). Nothing touches the user's sound.
class PrivatePulse {
public:
    static constexpr int rate = 22050;

    ~PrivatePulse() {
        stopProcess(m_parec);
        stopProcess(m_server);
    }

    static bool installed() {
        return !QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() &&
               !QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty();
    }

    // Starts the server and the recording and waits until recorded data flows
    // (an idle null sink renders ahead, so the first data comes late).
    bool start() {
        if (!m_dir.isValid())
            return false;
        const QString run = m_dir.path();
        QFile::setPermissions(run, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ExeOwner);
        QFile conf(run + QStringLiteral("/client.conf"));
        if (!conf.open(QIODevice::WriteOnly))
            return false;
        conf.write("autospawn = no\n");
        conf.close();
        const QString socket = run + QStringLiteral("/pulse-native");
        qputenv("XDG_RUNTIME_DIR", run.toUtf8());
        qputenv("PULSE_CLIENTCONFIG", conf.fileName().toUtf8());
        qputenv("PULSE_SERVER", "unix:" + socket.toUtf8());
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start(
            QStringLiteral("pulseaudio"),
            {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
             QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disallow-exit"),
             QStringLiteral("--use-pid-file=no"), QStringLiteral("-L"),
             QStringLiteral("module-native-protocol-unix socket=%1 auth-anonymous=1").arg(socket),
             QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=test")});
        if (!m_server.waitForStarted())
            return false;
        if (!QTest::qWaitFor([] { return pactl({QStringLiteral("info")}); }, 10000))
            return false;
        pactl({QStringLiteral("set-default-sink"), QStringLiteral("test")});
        m_parec.start(QStringLiteral("parec"),
                      {QStringLiteral("-d"), QStringLiteral("test.monitor"),
                       QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                       QStringLiteral("--rate=%1").arg(rate), QStringLiteral("--channels=1"),
                       QStringLiteral("--latency-msec=20")});
        if (!m_parec.waitForStarted())
            return false;
        return QTest::qWaitFor([this] { return collect() > 0; }, 10000);
    }

    // Drops what was recorded so far.
    void reset() {
        collect();
        m_recorded.clear();
    }

    // Reads the recording's new data; returns how many bytes there are in all.
    qsizetype collect() {
        m_recorded += m_parec.readAllStandardOutput();
        return m_recorded.size();
    }

    // Seconds from the first to the last sample above the threshold; 0 for silence.
    double soundSeconds() {
        const auto [first, last] = soundEdges();
        return first < 0 ? 0.0 : double(last - first) / rate;
    }

    // Seconds of silence at the end of the recording so far.
    double silentTailSeconds() {
        const qsizetype count = collect() / 2;
        const qsizetype last = soundEdges().second;
        return double(count - 1 - last) / rate;
    }

private:
    static constexpr int threshold = 300; // about -40 dBFS

    // The first and last samples above the threshold, or -1.
    std::pair<qsizetype, qsizetype> soundEdges() {
        collect();
        const auto *samples = reinterpret_cast<const qint16 *>(m_recorded.constData());
        const qsizetype count = m_recorded.size() / 2;
        qsizetype first = -1;
        qsizetype last = -1;
        for (qsizetype i = 0; i < count; ++i) {
            if (std::abs(int(samples[i])) > threshold) {
                if (first < 0)
                    first = i;
                last = i;
            }
        }
        return {first, last};
    }

    static bool pactl(const QStringList &arguments) {
        QProcess process;
        process.start(QStringLiteral("pactl"), arguments);
        return process.waitForFinished(5000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

    static void stopProcess(QProcess &process) {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
        process.waitForFinished(3000);
    }

    QTemporaryDir m_dir;
    QProcess m_server;
    QProcess m_parec;
    QByteArray m_recorded;
};

} // namespace parlino
