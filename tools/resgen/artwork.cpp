#include "artwork.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace resgen {

namespace {

using R = Role;

QImage canvas(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void setup(QPainter& p, Look look) {
    p.setRenderHint(QPainter::Antialiasing, look.full);
    p.setRenderHint(QPainter::TextAntialiasing, look.full);
}

void background(QPainter& p, const QRect& r, Look look, R top, R bottom) {
    if (!look.full) {
        p.fillRect(r, look(top));
        return;
    }
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, look(top));
    g.setColorAt(1, look(bottom));
    p.fillRect(r, g);
}

// A wall-calendar page: binder rings, a red header and a grid of days with a few entries.
void calendarPage(QPainter& p, const QRectF& r, Look look) {
    p.save();
    p.setPen(Qt::NoPen);
    if (look.full) { // soft shadow
        p.setBrush(QColor(0, 0, 0, 60));
        p.drawRoundedRect(r.translated(r.width() * 0.03, r.width() * 0.04), 6, 6);
    }
    p.setBrush(look(R::Paper));
    p.setPen(QPen(look(R::Ink), look.full ? 1.5 : 1));
    p.drawRoundedRect(r, look.full ? 6 : 0, look.full ? 6 : 0);

    const qreal headerH = r.height() * 0.2;
    const QRectF header(r.left() + 1, r.top() + 1, r.width() - 2, headerH);
    if (look.full) {
        QLinearGradient g(header.topLeft(), header.bottomLeft());
        g.setColorAt(0, look(R::Red));
        g.setColorAt(1, look(R::DarkRed));
        p.fillRect(header, g);
    } else {
        p.fillRect(header, look(R::Red));
    }

    // binder rings
    const qreal ringW = r.width() * 0.05, ringH = headerH * 0.9;
    for (qreal fx : {0.25, 0.75}) {
        const QRectF ring(r.left() + r.width() * fx - ringW / 2, r.top() - ringH * 0.45, ringW,
                          ringH);
        p.setPen(QPen(look(R::Ink), 1));
        p.setBrush(look(R::Silver));
        p.drawRoundedRect(ring, look.full ? ringW / 2 : 0, look.full ? ringW / 2 : 0);
    }

    // grid of 7 x 5 days
    const QRectF body(r.left() + r.width() * 0.06, header.bottom() + r.height() * 0.06,
                      r.width() * 0.88, r.height() - headerH - r.height() * 0.12);
    const qreal cw = body.width() / 7, ch = body.height() / 5;
    struct Mark {
        int col, row;
        R colour;
    };
    const Mark entries[] = {{1, 0, R::Blue}, {3, 1, R::Green}, {5, 1, R::Red},  {0, 2, R::Green},
                            {4, 3, R::Blue}, {6, 3, R::Red},   {2, 4, R::Blue}, {2, 1, R::Red}};
    const Mark today{4, 2, R::Yellow};
    p.setPen(Qt::NoPen);
    p.setBrush(look(today.colour));
    p.drawRect(QRectF(body.left() + today.col * cw, body.top() + today.row * ch, cw, ch));
    p.setPen(QPen(look(R::Silver), 1));
    for (int c = 0; c <= 7; ++c)
        p.drawLine(QPointF(body.left() + c * cw, body.top()),
                   QPointF(body.left() + c * cw, body.bottom()));
    for (int row = 0; row <= 5; ++row)
        p.drawLine(QPointF(body.left(), body.top() + row * ch),
                   QPointF(body.right(), body.top() + row * ch));
    p.setPen(Qt::NoPen);
    for (const Mark& m : entries) {
        p.setBrush(look(m.colour));
        p.drawRect(QRectF(body.left() + m.col * cw + cw * 0.15, body.top() + m.row * ch + ch * 0.55,
                          cw * 0.7, qMax<qreal>(2, ch * 0.18)));
    }
    p.restore();
}

// A gold coin seen from the front.
void coin(QPainter& p, QPointF c, qreal radius, Look look) {
    p.save();
    p.setPen(QPen(look(R::Olive), look.full ? 1.5 : 1));
    if (look.full) {
        QRadialGradient g(c - QPointF(radius / 3, radius / 3), radius * 1.4);
        g.setColorAt(0, QColor(0xfff2b0));
        g.setColorAt(1, look(R::Yellow));
        p.setBrush(g);
    } else {
        p.setBrush(look(R::Yellow));
    }
    p.drawEllipse(c, radius, radius);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, radius * 0.72, radius * 0.72);
    p.restore();
}

// The program's name, bold, fitted into the width and centred on the point.
void name(QPainter& p, QPointF centre, qreal maxWidth, qreal pixelSize, const QColor& colour,
          Look look) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setStyleStrategy(look.full ? QFont::PreferAntialias : QFont::NoAntialias);
    font.setPixelSize(int(pixelSize));
    const QString text = QStringLiteral("Mirovanta");
    while (QFontMetricsF(font).horizontalAdvance(text) > maxWidth && font.pixelSize() > 8)
        font.setPixelSize(font.pixelSize() - 1);
    p.save();
    p.setFont(font);
    const QFontMetricsF m(font);
    const QRectF box(centre.x() - maxWidth / 2, centre.y() - m.height() / 2, maxWidth, m.height());
    if (look.full) {
        p.setPen(QColor(0, 0, 0, 90));
        p.drawText(box.translated(1.5, 1.5), Qt::AlignCenter, text);
    }
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
}

} // namespace

QImage splashPicture(Look look) {
    QImage image = canvas(399, 281);
    QPainter p(&image);
    setup(p, look);
    background(p, image.rect(), look, R::Navy, R::Teal);
    calendarPage(p, QRectF(30, 42, 148, 150), look);
    coin(p, QPointF(182, 190), 17, look);
    coin(p, QPointF(160, 204), 13, look);
    name(p, QPointF(292, 100), 190, 40, look(R::Paper), look);
    p.fillRect(QRectF(212, 128, 160, 3), look(R::Yellow));
    // a calm band for the status line and the progress bar
    if (look.full)
        p.fillRect(QRectF(0, 226, 399, 55), QColor(0, 0, 0, 70));
    else
        p.fillRect(QRectF(0, 226, 399, 55), look(R::Teal));
    p.fillRect(QRectF(0, 226, 399, 1), look(R::Aqua));
    return image;
}

QImage startLogo(Look look) {
    QImage image = canvas(405, 381);
    QPainter p(&image);
    setup(p, look);
    background(p, image.rect(), look, R::Paper, R::PaperShade);
    calendarPage(p, QRectF(92, 46, 220, 210), look);
    coin(p, QPointF(300, 250), 26, look);
    coin(p, QPointF(268, 268), 20, look);
    name(p, QPointF(202.5, 318), 300, 52, look(R::Navy), look);
    p.fillRect(QRectF(122, 350, 161, 3), look(R::Red));
    return image;
}

QImage aboutLogo(Look look) {
    QImage image = canvas(141, 300);
    QPainter p(&image);
    setup(p, look);
    background(p, image.rect(), look, R::Navy, R::Teal);
    calendarPage(p, QRectF(18, 30, 105, 104), look);
    coin(p, QPointF(112, 134), 13, look);
    name(p, QPointF(70.5, 186), 127, 24, look(R::Paper), look);
    p.fillRect(QRectF(30, 204, 81, 2), look(R::Yellow));
    coin(p, QPointF(52, 252), 14, look);
    coin(p, QPointF(80, 244), 18, look);
    return image;
}

QImage passwordPicture(Look look) {
    QImage image = canvas(69, 134);
    QPainter p(&image);
    setup(p, look);
    background(p, image.rect(), look, R::Navy, R::Teal);
    // padlock: shackle, then the body with its keyhole
    p.setPen(QPen(look(R::Silver), 6, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath shackle;
    shackle.moveTo(22, 46);
    shackle.lineTo(22, 32);
    shackle.arcTo(QRectF(22, 18, 25, 28), 180, -180);
    shackle.lineTo(47, 46);
    p.drawPath(shackle);
    p.setPen(QPen(look(R::Olive), 1));
    if (look.full) {
        QLinearGradient g(0, 44, 0, 78);
        g.setColorAt(0, QColor(0xffe58a));
        g.setColorAt(1, look(R::Olive));
        p.setBrush(g);
    } else {
        p.setBrush(look(R::Yellow));
    }
    p.drawRoundedRect(QRectF(13, 44, 43, 34), look.full ? 5 : 0, look.full ? 5 : 0);
    p.setPen(Qt::NoPen);
    p.setBrush(look(R::Ink));
    p.drawEllipse(QPointF(34.5, 57), 4, 4);
    p.drawPolygon(QPolygonF({{32.5, 58}, {36.5, 58}, {38, 70}, {31, 70}}));
    // a key below
    p.setPen(QPen(look(R::Olive), 1));
    p.setBrush(look(R::Yellow));
    p.drawEllipse(QPointF(20, 106), 9, 9);
    p.setBrush(look.full ? QColor(0x23888f) : look(R::Navy));
    p.drawEllipse(QPointF(20, 106), 3.5, 3.5);
    p.setBrush(look(R::Yellow));
    p.drawRect(QRectF(28, 103, 30, 6));
    p.drawRect(QRectF(46, 109, 4, 7));
    p.drawRect(QRectF(53, 109, 4, 5));
    return image;
}

} // namespace resgen
