#pragma once

#include <QWidget>
#include <unordered_map>

#include "form/frm_splash.h"

namespace zrk::gui {

// The splash window shown while the tool starts: frameless, centred on the
// screen, shown and hidden as the model's frmSplash says.
class SplashView : public QWidget {
    Q_OBJECT
public:
    explicit SplashView(form::FrmSplash& splash, QWidget* parent = nullptr);
    ~SplashView() override;
    SplashView(const SplashView&) = delete;
    SplashView& operator=(const SplashView&) = delete;

    // The widget that shows a control; the splash itself for frmSplash.
    QWidget* widgetFor(const form::Control& control) const;

private:
    void apply(form::Control& control, form::Prop prop);
    void applyVisible();

    form::FrmSplash& splash_;
    std::unordered_map<const form::Control*, QWidget*> widgets_;
    int hubToken_ = 0;
};

}  // namespace zrk::gui
