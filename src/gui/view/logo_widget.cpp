#include "gui/view/logo_widget.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace zrk::gui {
namespace {

// The drawing is laid out on a 160 x 105 board and scaled to the widget.
constexpr qreal kBoardWidth = 160.0;
constexpr qreal kBoardHeight = 105.0;
const QPointF kLight(112.0, 38.0);  // centre of the lantern glass

void drawSky(QPainter& p) {
    QLinearGradient sky(0, 0, 0, kBoardHeight);
    sky.setColorAt(0.0, QColor(12, 32, 60));
    sky.setColorAt(1.0, QColor(30, 78, 120));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(0, 0, kBoardWidth, kBoardHeight), 6, 6);
}

void drawBeam(QPainter& p, qreal endX, qreal spread) {
    QPainterPath beam;
    beam.moveTo(kLight.x(), kLight.y() - 3);
    beam.lineTo(endX, kLight.y() - spread - 6);
    beam.lineTo(endX, kLight.y() + spread - 6);
    beam.lineTo(kLight.x(), kLight.y() + 3);
    beam.closeSubpath();
    QLinearGradient fade(kLight, QPointF(endX, kLight.y()));
    fade.setColorAt(0.0, QColor(255, 236, 150, 190));
    fade.setColorAt(1.0, QColor(255, 236, 150, 0));
    p.setBrush(fade);
    p.drawPath(beam);
}

void drawSea(QPainter& p) {
    QPainterPath sea;
    sea.moveTo(0, 90);
    for (int i = 0; i < 8; ++i) {
        const qreal x = i * 20.0;
        sea.quadTo(x + 5, 86, x + 10, 90);
        sea.quadTo(x + 15, 94, x + 20, 90);
    }
    sea.lineTo(kBoardWidth, kBoardHeight);
    sea.lineTo(0, kBoardHeight);
    sea.closeSubpath();
    p.setBrush(QColor(14, 44, 74));
    p.drawPath(sea);
}

void drawTower(QPainter& p) {
    const QColor steel(52, 58, 66);
    // Tower in white with one red band.
    QPolygonF tower({{103, 54}, {121, 54}, {127, 92}, {97, 92}});
    p.setBrush(QColor(236, 238, 240));
    p.drawPolygon(tower);
    QPolygonF band({{101.4, 64}, {122.6, 64}, {124.1, 74}, {99.9, 74}});
    p.setBrush(QColor(190, 38, 38));
    p.drawPolygon(band);
    // Gallery and lantern room.
    p.setBrush(steel);
    p.drawRect(QRectF(98, 50, 28, 4));
    QRadialGradient glow(kLight, 12);
    glow.setColorAt(0.0, QColor(255, 255, 235));
    glow.setColorAt(1.0, QColor(255, 214, 90));
    p.setBrush(glow);
    p.drawRect(QRectF(103, 29, 18, 21));
    p.setPen(QPen(steel, 1.2));
    for (qreal x : {109.0, 115.0}) p.drawLine(QPointF(x, 29), QPointF(x, 50));
    p.setPen(Qt::NoPen);
    // Roof and vent.
    p.setBrush(QColor(150, 30, 30));
    p.drawPolygon(QPolygonF({{100, 30}, {112, 19}, {124, 30}}));
    p.setBrush(steel);
    p.drawEllipse(QPointF(112, 17), 2.6, 2.6);
}

void drawName(QPainter& p) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(26);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(245, 247, 250));
    p.drawText(QRectF(8, 58, 80, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ZRK"));
}

}  // namespace

LogoWidget::LogoWidget(QSize size, QWidget* parent) : QWidget(parent) { setFixedSize(size); }

void LogoWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(width() / kBoardWidth, height() / kBoardHeight);
    p.setClipPath([] {
        QPainterPath board;
        board.addRoundedRect(QRectF(0, 0, kBoardWidth, kBoardHeight), 6, 6);
        return board;
    }());
    drawSky(p);
    drawBeam(p, 0, 22);
    drawBeam(p, kBoardWidth, 12);
    drawSea(p);
    drawTower(p);
    drawName(p);
}

}  // namespace zrk::gui
