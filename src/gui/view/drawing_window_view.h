#pragma once

#include <QWidget>

#include "form/frm_dibujo.h"

namespace zrk::gui {

// The drawing window on screen: a plain top-level window that paints the
// model's circles (twips, scaled to the screen's pixels), shows and hides as
// the model says, and reports its place and size back to the model. Closing
// it by its close box unloads the model. The model must outlive the view.
class DrawingWindowView : public QWidget {
    Q_OBJECT
public:
    explicit DrawingWindowView(form::FrmDibujo& window, QWidget* parent = nullptr);
    ~DrawingWindowView() override;
    DrawingWindowView(const DrawingWindowView&) = delete;
    DrawingWindowView& operator=(const DrawingWindowView&) = delete;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void apply(form::Control& control, form::Prop prop);
    void applyVisible();
    void reportGeometry();
    int twipsX(int pixels) const;
    int twipsY(int pixels) const;

    form::FrmDibujo& window_;
    int hubToken_ = 0;
    int drawingToken_ = 0;
    bool applying_ = false;  // the model is being mirrored: no reports back
};

}  // namespace zrk::gui
