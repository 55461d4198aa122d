#include "gui/view/operation_progress_view.h"

#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>

#include "form/operation_progress.h"
#include "texts/text_ids.h"

namespace zrk::gui {

OperationProgressView::OperationProgressView(form::OperationProgress& progress, QMainWindow& window,
                                             const texts::TextTable& texts)
    : QObject(&window), progress_(progress) {
    QStatusBar* status = window.statusBar();
    bar_ = new QProgressBar(status);
    bar_->setObjectName(QStringLiteral("operationProgress"));
    bar_->setMaximumWidth(160);
    bar_->setFormat(QStringLiteral("%v / %m"));
    cancel_ = new QPushButton(QString::fromStdString(texts.CargarTexto(texts::id::kCancel)), status);
    cancel_->setObjectName(QStringLiteral("cancelOperation"));
    cancel_->setToolTip(QString::fromStdString(texts.CargarTexto(texts::id::kCancelTooltip)));
    cancel_->setFocusPolicy(Qt::NoFocus);  // the operator's place in the form stays where it was
    status->addPermanentWidget(bar_);
    status->addPermanentWidget(cancel_);
    connect(cancel_, &QPushButton::clicked, this, [this] { progress_.requestCancel(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] { progress_.requestCancel(); });
    progress_.changed = [this] { sync(); };
    sync();
}

OperationProgressView::~OperationProgressView() { progress_.changed = nullptr; }

void OperationProgressView::sync() {
    bar_->setVisible(progress_.active());
    cancel_->setVisible(progress_.active());
    bar_->setRange(0, progress_.total() > 0 ? progress_.total() : 1);
    bar_->setValue(progress_.done());
    cancel_->setEnabled(progress_.active() && !progress_.cancelRequested());
}

}  // namespace zrk::gui
