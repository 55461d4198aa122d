#pragma once

#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "platform/settings_store.h"

namespace zrk::bench {

// zrk-sim on a pseudo-terminal for the length of a benchmark.
class SimServer {
public:
    explicit SimServer(const QStringList& arguments = {}) {
        process_.setProgram(QStringLiteral(ZRK_SIM_EXECUTABLE));
        process_.setArguments(arguments + QStringList{"--exit-on-eof"});
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start();
        if (process_.waitForStarted(5000) && process_.waitForReadyRead(5000))
            device_ = QString::fromUtf8(process_.readLine()).trimmed().toStdString();
    }
    ~SimServer() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(2000)) process_.kill();
        process_.waitForFinished(2000);
    }
    const std::string& device() const { return device_; }

private:
    QProcess process_;
    std::string device_;
};

class NoStore : public platform::SettingsStore {
public:
    void setValue(const std::string&, const std::string&, const std::string&, const std::string&) override {}
    std::optional<std::string> value(const std::string&, const std::string&, const std::string&) const override {
        return std::nullopt;
    }
};

inline double cpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// The value below which the given share of the samples lie.
inline double percentile(std::vector<double> samples, double share) {
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[index];
}

constexpr double kByteSeconds = 10.0 / 9600.0;  // one byte, 8N1, at 9600 baud

}  // namespace zrk::bench
