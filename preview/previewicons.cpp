#include "previewicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace previewicons {

namespace {

// Draws on a 32 x 32 grid, scaled to each size a button may ask for.
using Drawing = std::function<void(QPainter &)>;

QPixmap render(const Drawing &draw, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    return pixmap;
}

QIcon icon(const Drawing &off, const Drawing &on = {}) {
    QIcon result;
    for (int size : {16, 20, 24, 32, 48}) {
        result.addPixmap(render(off, size), QIcon::Normal, QIcon::Off);
        if (on) result.addPixmap(render(on, size), QIcon::Normal, QIcon::On);
    }
    return result;
}

const QColor kOutline(60, 60, 60);

void printer(QPainter &p, const Drawing &onSheet) {
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10)); // the sheet going in
    p.setBrush(QColor(170, 175, 185));
    p.drawRoundedRect(QRectF(3, 11, 26, 12), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 170, 60));
    p.drawEllipse(QPointF(25, 15), 1.6, 1.6); // the power light
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 18, 16, 12)); // the sheet coming out
    onSheet(p);
}

void textLines(QPainter &p) {
    p.setPen(QPen(QColor(110, 110, 110), 1.2));
    for (qreal y : {22.0, 25.0, 28.0})
        p.drawLine(QPointF(11, y), QPointF(21, y));
}

void numberOne(QPainter &p) {
    p.setPen(QPen(QColor(20, 60, 160), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(14, 22.5), QPointF(16.5, 20.5), QPointF(16.5, 28)}));
    p.drawLine(QPointF(14, 28), QPointF(19, 28));
}

// A pin: round red head, grey needle, seen from the side; `angle` tilts it about the head.
void pin(QPainter &p, QPointF head, qreal angle, qreal needle) {
    p.save();
    p.translate(head);
    p.rotate(angle);
    p.setPen(QPen(QColor(90, 90, 90), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, 4), QPointF(0, 4 + needle));
    p.setPen(QPen(QColor(120, 10, 10), 1.2));
    p.setBrush(QColor(210, 30, 30));
    p.drawRoundedRect(QRectF(-5, 1, 10, 4), 1.5, 1.5); // the collar
    p.drawEllipse(QRectF(-4.5, -8, 9, 9));             // the head
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 190, 190));
    p.drawEllipse(QRectF(-2.5, -6, 3, 3)); // its shine
    p.restore();
}

void board(QPainter &p) {
    p.setPen(QPen(QColor(120, 85, 40), 1.2));
    p.setBrush(QColor(205, 160, 95));
    p.drawRect(QRectF(2, 24, 28, 6));
}

} // namespace

QIcon print() {
    return icon([](QPainter &p) { printer(p, textLines); });
}

QIcon printThisPage() {
    return icon([](QPainter &p) { printer(p, numberOne); });
}

QIcon pushPin() {
    const Drawing out = [](QPainter &p) {
        board(p);
        pin(p, QPointF(12, 12), -60, 12); // lying loose above the board
    };
    const Drawing in = [](QPainter &p) {
        board(p);
        pin(p, QPointF(16, 14), 0, 6); // its needle in the board
        p.setPen(QPen(QColor(120, 85, 40), 1.8));
        p.drawLine(QPointF(16, 24), QPointF(16, 27));
    };
    return icon(out, in);
}

} // namespace previewicons
