#pragma once

#include <QObject>

#include "texts/texts.h"

class QMainWindow;
class QProgressBar;
class QPushButton;

namespace zrk::form {
class OperationProgress;
}

namespace zrk::gui {

// A progress bar and a Cancel button in the status bar while a long device
// operation runs; Esc presses Cancel.
class OperationProgressView : public QObject {
    Q_OBJECT
public:
    OperationProgressView(form::OperationProgress& progress, QMainWindow& window, const texts::TextTable& texts);
    ~OperationProgressView() override;
    OperationProgressView(const OperationProgressView&) = delete;
    OperationProgressView& operator=(const OperationProgressView&) = delete;

private:
    void sync();

    form::OperationProgress& progress_;
    QProgressBar* bar_;
    QPushButton* cancel_;
};

}  // namespace zrk::gui
