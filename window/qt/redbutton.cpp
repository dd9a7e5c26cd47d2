#include "redbutton.h"

#include "qtform.h"

#include <QPainter>
#include <QPolygonF>

namespace {

constexpr int borderWidth = 3;

} // namespace

RedButton::RedButton(const QString &text, QWidget *parent)
    : QPushButton(text, parent)
{
}

void RedButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor face = qColor(form::buttonColour);
    const QColor ink = qColor(form::textOnFixedColour);
    const QRectF area = rect();
    painter.fillRect(rect(), face);

    painter.setPen(Qt::NoPen);
    if (hasFocus()) {
        painter.setBrush(ink);
        const QRectF inner = area.adjusted(borderWidth, borderWidth, -borderWidth, -borderWidth);
        painter.drawRect(QRectF(area.left(), area.top(), area.width(), borderWidth));
        painter.drawRect(QRectF(area.left(), inner.bottom(), area.width(), borderWidth));
        painter.drawRect(QRectF(area.left(), inner.top(), borderWidth, inner.height()));
        painter.drawRect(QRectF(inner.right(), inner.top(), borderWidth, inner.height()));
    } else {
        // Light from the top left: the lit edges are lighter, the others
        // keep the face's colour. Pressed, the light falls the other way.
        const bool down = isDown();
        const QColor light = face.lighter();
        const qreal w = borderWidth;
        const qreal right = area.right();
        const qreal bottom = area.bottom();
        painter.setRenderHint(QPainter::Antialiasing);
        const auto edge = [&painter](const QColor &colour, std::initializer_list<QPointF> corners) {
            painter.setBrush(colour);
            painter.drawConvexPolygon(QPolygonF(corners));
        };
        edge(down ? light : face,
            { { w, bottom - w }, { 0, bottom }, { right, bottom }, { right - w, bottom - w } });
        edge(down ? light : face,
            { { right - w, w }, { right, 0 }, { right, bottom }, { right - w, bottom - w } });
        edge(down ? face : light, { { 0, 0 }, { w, w }, { w, bottom - w }, { 0, bottom } });
        edge(down ? face : light, { { 0, 0 }, { w, w }, { right - w, w }, { right, 0 } });
        painter.setRenderHint(QPainter::Antialiasing, false);
    }

    painter.setPen(ink);
    painter.drawText(rect().adjusted(borderWidth, borderWidth, -borderWidth, -borderWidth),
        Qt::AlignCenter | Qt::TextShowMnemonic, text());
}
