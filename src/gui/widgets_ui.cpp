#include "gui/widgets_ui.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>

#include "gui/view/main_window_metrics.h"
#include "qt/paths.h"

namespace zrk::gui {
namespace {

int toTwips(int pixels, double dpi) { return static_cast<int>(pixels * 1440.0 / dpi); }

QMessageBox::Icon qtIcon(platform::UserInterface::Icon icon) {
    switch (icon) {
        case platform::UserInterface::Icon::Information:
            return QMessageBox::Information;
        case platform::UserInterface::Icon::Warning:
            return QMessageBox::Warning;
        case platform::UserInterface::Icon::Error:
            return QMessageBox::Critical;
        case platform::UserInterface::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void useReadableFace() {
    QFont font = QApplication::font();
    // A face set in pixels has no point size to compare.
    if (font.pointSizeF() <= 0 || font.pointSizeF() >= metrics::kLeastPointSize) return;
    font.setPointSizeF(metrics::kLeastPointSize);
    QApplication::setFont(font);
}

void WidgetsUserInterface::messageBox(const std::string& text, const std::string& title, Icon icon) {
    QMessageBox box(qtIcon(icon), QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void WidgetsUserInterface::beep() { QApplication::beep(); }

bool WidgetsUserInterface::confirm(const std::string& question, const std::string& details, const std::string& title) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title), QString::fromStdString(question),
                    QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
    box.setInformativeText(QString::fromStdString(details));
    box.setDefaultButton(QMessageBox::Ok);     // Enter
    box.setEscapeButton(QMessageBox::Cancel);  // Esc
    return box.exec() == QMessageBox::Ok;
}

bool WidgetsUserInterface::askDefaultNo(const std::string& question, const std::string& details,
                                        const std::string& title) {
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(title), QString::fromStdString(question),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setInformativeText(QString::fromStdString(details));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::int32_t WidgetsUserInterface::chooseColor(std::int32_t initial) {
    const QColor start(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF);
    QColorDialog dialog(start, QApplication::activeWindow());
    dialog.exec();
    // A cancelled dialog still hands back the colour it holds.
    const QColor chosen = dialog.result() == QDialog::Accepted ? dialog.selectedColor() : dialog.currentColor();
    return chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
}

std::optional<std::filesystem::path> WidgetsUserInterface::chooseFile(bool save, const std::string& filterName,
                                                                      const std::string& pattern,
                                                                      const std::string& allFiles) {
    QStringList filters{QString::fromStdString(filterName + " (" + pattern + ")")};
    if (!allFiles.empty()) filters << QString::fromStdString(allFiles + " (*)");
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setNameFilters(filters);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // "site40101" saves as "site40101.zrk", and the overwrite question is
    // asked of that name.
    const auto dot = pattern.rfind('.');
    if (save && dot != std::string::npos) dialog.setDefaultSuffix(QString::fromStdString(pattern.substr(dot + 1)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return qt::toPath(dialog.selectedFiles().front());
}

int WidgetsUserInterface::screenWidthTwips() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? toTwips(screen->size().width(), screen->logicalDotsPerInchX()) : 10200;
}

int WidgetsUserInterface::screenHeightTwips() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? toTwips(screen->size().height(), screen->logicalDotsPerInchY()) : 7575;
}

}  // namespace zrk::gui
