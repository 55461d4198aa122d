#include "gui/view/splash_view.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "gui/view/logo_widget.h"
#include "gui/view/model_text.h"
#include "gui/view/twips.h"

namespace zrk::gui {

SplashView::SplashView(form::FrmSplash& splash, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), splash_(splash) {
    setObjectName(toQt(splash.frmSplash.key()));
    const int dpi = logicalDpiY();
    const auto px = [dpi](int twips) { return twipsToPixels(twips, dpi); };
    setFixedSize(px(7200), px(3450));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    frame->setLineWidth(2);
    outer->addWidget(frame);

    auto* logo = new LogoWidget(QSize(px(2415 * 5 / 4), px(1575 * 5 / 4)), frame);
    auto* name = new QLabel(frame);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    name->setFont(big);
    auto* version = new QLabel(frame);
    QFont medium = version->font();
    medium.setPointSizeF(medium.pointSizeF() * 1.2);
    version->setFont(medium);
    for (QLabel* label : {name, version}) label->setTextFormat(Qt::PlainText);

    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(px(300), px(300), px(300), px(300));
    row->setSpacing(px(360));
    row->addWidget(logo, 0, Qt::AlignVCenter);
    auto* texts = new QVBoxLayout;
    texts->addStretch(1);
    texts->addWidget(name);
    texts->addWidget(version);
    texts->addStretch(1);
    row->addLayout(texts, 1);

    widgets_ = {{&splash.frmSplash, this},
                {&splash.fraMainFrame, frame},
                {&splash.Image1, logo},
                {&splash.lblProductName, name},
                {&splash.lblVersion, version}};
    for (auto& [control, widget] : widgets_)
        if (widget != this) widget->setObjectName(toQt(control->key()));

    for (const auto& control : splash.controls().all())
        for (form::Prop prop : {form::Prop::Caption, form::Prop::Visible}) apply(*control, prop);
    hubToken_ =
        splash.controls().hub().subscribe([this](form::Control& control, form::Prop prop) { apply(control, prop); });
}

SplashView::~SplashView() { splash_.controls().hub().unsubscribe(hubToken_); }

QWidget* SplashView::widgetFor(const form::Control& control) const {
    auto it = widgets_.find(&control);
    return it == widgets_.end() ? nullptr : it->second;
}

void SplashView::apply(form::Control& control, form::Prop prop) {
    QWidget* widget = widgetFor(control);
    if (widget == nullptr) return;
    if (widget == this) {
        if (prop == form::Prop::Visible) applyVisible();
        if (prop == form::Prop::Caption) setWindowTitle(toQt(splash_.frmSplash.Caption()));
        return;
    }
    if (prop == form::Prop::Visible) widget->setVisible(control.Visible());
    if (prop == form::Prop::Caption)
        if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(toQt(static_cast<const form::LabelControl&>(control).Caption()));
}

void SplashView::applyVisible() {
    if (!splash_.frmSplash.Visible()) {
        hide();
        return;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect place = rect();
        place.moveCenter(screen->availableGeometry().center());
        move(place.topLeft());
    }
    show();
    // The start-up blocks the event loop for a while: paint now, not later.
    repaint();
}

}  // namespace zrk::gui
