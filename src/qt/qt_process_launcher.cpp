#include "qt/qt_process_launcher.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace zrk::qt {

platform::ProcessLauncher::Outcome QtProcessLauncher::startDetached(const std::string& program,
                                                                    const std::vector<std::string>& arguments) {
    const QString path = QStandardPaths::findExecutable(QString::fromStdString(program));
    if (path.isEmpty()) return {Outcome::Kind::NotFound, program + ": not found on the search path"};
    QStringList list;
    // The arguments are UTF-8 (a help file in a folder such as "C:\\Señales").
    for (const auto& argument : arguments)
        list << QString::fromUtf8(argument.data(), static_cast<qsizetype>(argument.size()));
    QProcess process;
    process.setProgram(path);
    process.setArguments(list);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached()) {
        QString reason = process.errorString();
        if (reason.isEmpty()) reason = QStringLiteral("the system refused to start it");
        return {Outcome::Kind::Failed, path.toStdString() + ": " + reason.toStdString()};
    }
    return {Outcome::Kind::Started, {}};
}

}  // namespace zrk::qt
