#pragma once

#include <QProcess>
#include <QStringList>
#include <string>

namespace zrk::test {

// zrk-sim started as a child process for the length of one test: the pty it
// serves and nothing left running afterwards.
class SimProcess {
public:
    explicit SimProcess(const QStringList& arguments = {}) {
        process_.setProgram(QStringLiteral(ZRK_SIM_EXECUTABLE));
        process_.setArguments(arguments + QStringList{"--exit-on-eof"});
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
        if (process_.waitForStarted(5000) && process_.waitForReadyRead(5000))
            device_ = QString::fromUtf8(process_.readLine()).trimmed().toStdString();
    }
    ~SimProcess() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(2000)) {
            process_.kill();
            process_.waitForFinished(2000);
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& device() const { return device_; }

private:
    QProcess process_;
    std::string device_;
};

}  // namespace zrk::test
