#include "filters/widgets/negationpicture.h"

#include "filters/textfiltermodel.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>

namespace lg::filters {

QString negationPictureKeyOf(bool negated, bool enabled)
{
    return negationPictureKey(negationPicture(negated, enabled));
}

QPixmap paintNegationPicture(bool negated, bool enabled, int size, qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(size, size) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);

    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, size - 1.0, size - 1.0);

    // A round badge: green with a tick when the condition holds as written,
    // red with a cross when it is negated; grey shades while inactive.
    QColor fill = negated ? QColor(0xC6, 0x28, 0x28) : QColor(0x2E, 0x8B, 0x3A);
    QColor edge = fill.darker(140);
    QColor mark = Qt::white;
    if (!enabled) {
        const int g = qGray(fill.rgb());
        fill = QColor(0xC8, 0xC8, 0xC8);
        edge = QColor(0x98, 0x98, 0x98);
        mark = QColor(g > 110 ? 0x70 : 0x80, 0x80, 0x80).lighter(110);
    }
    p.setPen(QPen(edge, 1.0));
    p.setBrush(fill);
    p.drawEllipse(r);

    QPen pen(mark, qMax(1.6, size / 8.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const qreal s = size;
    if (negated) {
        p.drawLine(QPointF(s * 0.32, s * 0.32), QPointF(s * 0.68, s * 0.68));
        p.drawLine(QPointF(s * 0.68, s * 0.32), QPointF(s * 0.32, s * 0.68));
    } else {
        QPainterPath tick;
        tick.moveTo(s * 0.27, s * 0.52);
        tick.lineTo(s * 0.44, s * 0.69);
        tick.lineTo(s * 0.74, s * 0.33);
        p.drawPath(tick);
    }
    return pixmap;
}

NegationPictureView::NegationPictureView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("img_not"));
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
}

void NegationPictureView::setNegated(bool negated)
{
    if (negated_ == negated)
        return;
    negated_ = negated;
    update();
}

void NegationPictureView::setActiveLook(bool active)
{
    if (active_ == active)
        return;
    active_ = active;
    update();
}

void NegationPictureView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int side = qMin(width(), height()) - 2;
    const QPixmap pm = paintNegationPicture(negated_, active_, side, devicePixelRatioF());
    p.drawPixmap((width() - side) / 2, (height() - side) / 2, pm);
}

void NegationPictureView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && isEnabled())
        Q_EMIT clicked();
}

}  // namespace lg::filters
