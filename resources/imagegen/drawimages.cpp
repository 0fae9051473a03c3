// Paints every image of ":/image/" with QPainter and writes the PNGs into resources/image/.
// Each image is drawn at the size its widget shows it, so nothing is scaled at run time.
// Run: qcd_draw_images [output folder]   (default: the source tree's resources/image)

#include <QColor>
#include <QDir>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QTransform>
#include <QtMath>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QColor kBlue(0x27, 0x8C, 0xF8);
const QColor kBlueSoft(0xA9, 0xD0, 0xFC); // second figure of the group mark
const QColor kText(0x33, 0x33, 0x33);
const QColor kGrey(0x66, 0x66, 0x66);      // idle action glyphs
const QColor kGreyField(0x8A, 0x91, 0x9C); // contact-field icons beside #666666 labels
const QColor kGreyLight(0x99, 0x99, 0x99); // search glyph, idle delete button
const QColor kBorder(0xC2, 0xC7, 0xCF);    // unticked check box, switch off
const QColor kRed(0xF5, 0x48, 0x49);
const QColor kAmber(0xFA, 0x9E, 0x14);
const QColor kGreen(0x1F, 0xB2, 0x6B);

constexpr qreal kLine = 1.5; // stroke of the 20 px line glyphs

QPen linePen(const QColor &color, qreal width = kLine)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void prepare(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
}

// ---- shared shapes ---------------------------------------------------------------------------

QPainterPath circle(QPointF c, qreal r)
{
    QPainterPath path;
    path.addEllipse(c, r, r);
    return path;
}

// A head and shoulders, centred on cx; the shoulders' bottom edge is flat at `bottom`.
QPainterPath personPath(qreal cx, qreal headCy, qreal headR, qreal shoulderW, qreal bottom)
{
    QPainterPath path = circle(QPointF(cx, headCy), headR);
    const qreal top = headCy + headR + headR * 0.45;
    const qreal half = shoulderW / 2;
    QPainterPath body;
    body.moveTo(cx - half, bottom);
    body.cubicTo(cx - half, top + (bottom - top) * 0.05, cx - half * 0.55, top, cx, top);
    body.cubicTo(cx + half * 0.55, top, cx + half, top + (bottom - top) * 0.05, cx + half, bottom);
    body.closeSubpath();
    path.addPath(body);
    return path;
}

// The classic receiver, solid, earpiece top-left and mouthpiece bottom-right, in a 20 box.
QPainterPath handsetPath()
{
    QPainterPath handle;
    handle.moveTo(5.6, 5.0);
    handle.cubicTo(4.2, 10.0, 9.5, 15.6, 15.0, 14.4);
    QPainterPathStroker stroker;
    stroker.setWidth(3.4);
    stroker.setCapStyle(Qt::RoundCap);
    QPainterPath shape = stroker.createStroke(handle);

    auto pad = [](QPointF c, qreal angle) {
        QPainterPath r;
        r.addRoundedRect(QRectF(-3.3, -2.1, 6.6, 4.2), 1.6, 1.6);
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(angle);
        return t.map(r);
    };
    shape.addPath(pad(QPointF(5.5, 4.2), -22));
    shape.addPath(pad(QPointF(15.8, 14.5), -68));
    return shape.simplified();
}

void fillPath(QPainter &p, const QPainterPath &path, const QColor &color)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(path);
    p.restore();
}

void drawPlus(QPainter &p, QPointF c, qreal half, const QColor &color, qreal width = kLine)
{
    p.setPen(linePen(color, width));
    p.drawLine(QPointF(c.x() - half, c.y()), QPointF(c.x() + half, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - half), QPointF(c.x(), c.y() + half));
}

void drawTick(QPainter &p, const QPolygonF &points, const QColor &color, qreal width)
{
    p.setPen(linePen(color, width));
    p.drawPolyline(points);
}

// ---- tool bar (20 x 20, blue line glyphs) ----------------------------------------------------

void drawNewFile(QPainter &p)
{
    QPainterPath doc;
    doc.moveTo(4.75, 3.25);
    doc.lineTo(11.25, 3.25);
    doc.lineTo(15.25, 7.25);
    doc.lineTo(15.25, 16.75);
    doc.lineTo(4.75, 16.75);
    doc.closeSubpath();
    p.setPen(linePen(kBlue));
    p.drawPath(doc);
    p.drawPolyline(QPolygonF({QPointF(11.25, 3.25), QPointF(11.25, 7.25), QPointF(15.25, 7.25)}));
    drawPlus(p, QPointF(10, 12), 2.5, kBlue);
}

void drawImportFile(QPainter &p)
{
    p.setPen(linePen(kBlue));
    p.drawPolyline(QPolygonF(
        {QPointF(3.25, 11.5), QPointF(3.25, 16.75), QPointF(16.75, 16.75), QPointF(16.75, 11.5)}));
    p.drawLine(QPointF(10, 3), QPointF(10, 12.5));
    p.drawPolyline(QPolygonF({QPointF(6.25, 8.75), QPointF(10, 12.5), QPointF(13.75, 8.75)}));
}

void drawSaveFile(QPainter &p)
{
    QPainterPath body;
    body.moveTo(3.25, 4.75);
    body.quadTo(3.25, 3.25, 4.75, 3.25);
    body.lineTo(13.5, 3.25);
    body.lineTo(16.75, 6.5);
    body.lineTo(16.75, 15.25);
    body.quadTo(16.75, 16.75, 15.25, 16.75);
    body.lineTo(4.75, 16.75);
    body.quadTo(3.25, 16.75, 3.25, 15.25);
    body.closeSubpath();
    p.setPen(linePen(kBlue));
    p.drawPath(body);
    p.drawPolyline(QPolygonF(
        {QPointF(6.75, 3.5), QPointF(6.75, 7.25), QPointF(12.75, 7.25), QPointF(12.75, 3.5)}));
    p.drawPolyline(QPolygonF(
        {QPointF(6.25, 16.5), QPointF(6.25, 11.25), QPointF(13.75, 11.25), QPointF(13.75, 16.5)}));
}

void drawHistory(QPainter &p)
{
    const QRectF ring(3.25, 3.25, 13.5, 13.5);
    QPainterPath arc;
    arc.arcMoveTo(ring, 160);
    arc.arcTo(ring, 160, 310);
    p.setPen(linePen(kBlue));
    p.drawPath(arc);
    // Arrow head on the open end of the dial: the history runs backwards.
    QPainterPath start;
    start.arcMoveTo(ring, 160);
    const QPointF tip = start.currentPosition();
    p.drawPolyline(QPolygonF({tip + QPointF(-2.3, -1.6), tip, tip + QPointF(1.9, -2.1)}));
    p.drawPolyline(QPolygonF({QPointF(10, 6.5), QPointF(10, 10.25), QPointF(12.75, 12)}));
}

QPainterPath gearPath(QPointF c, qreal outer, qreal inner, int teeth, qreal toothShare)
{
    QPolygonF poly;
    const qreal step = 2 * M_PI / teeth;
    for (int i = 0; i < teeth; ++i) {
        const qreal a = i * step - M_PI / 2;
        const qreal half = step * toothShare / 2;
        const qreal slope = step * 0.08; // bevelled tooth flanks
        auto at = [c](qreal angle, qreal r) {
            return QPointF(c.x() + r * qCos(angle), c.y() + r * qSin(angle));
        };
        poly << at(a - half - slope, inner) << at(a - half + slope * 0.3, outer)
             << at(a + half - slope * 0.3, outer) << at(a + half + slope, inner);
    }
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

void drawSetup(QPainter &p)
{
    p.setPen(linePen(kBlue));
    p.drawPath(gearPath(QPointF(10, 10), 7.5, 5.6, 8, 0.42));
    p.drawEllipse(QPointF(10, 10), 2.4, 2.4);
}

// ---- title bar -------------------------------------------------------------------------------

// The product mark: a white speech bubble holding a contact, on a blue tile; bubble and tail
// also read as the "Q" of the name.
void drawLogo(QPainter &p, qreal size)
{
    p.scale(size / 20.0, size / 20.0);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0.5, 0.5, 19, 19), 4.6, 4.6);
    fillPath(p, tile, kBlue);

    const QPointF c(9.5, 9.3);
    QPainterPath bubble = circle(c, 6.6);
    QPainterPath tail;
    tail.moveTo(11.9, 14.5);
    tail.lineTo(16.4, 16.3);
    tail.quadTo(16.9, 16.5, 16.7, 16.0);
    tail.lineTo(15.2, 11.2);
    tail.closeSubpath();
    fillPath(p, bubble.united(tail), Qt::white);

    const QPainterPath inner = circle(c, 5.0);
    QPainterPath person = personPath(c.x(), c.y() - 1.5, 2.05, 7.6, c.y() + 6);
    fillPath(p, person.intersected(inner), kBlue);
}

void drawTitleMinimize(QPainter &p)
{
    p.fillRect(QRect(11, 16, 10, 1), kText);
}

void drawTitleClose(QPainter &p)
{
    p.setPen(QPen(kText, 1.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
    p.drawLine(QPointF(21, 11), QPointF(11, 21));
}

// 30 x 14 toggle.
void drawSwitch(QPainter &p, bool on)
{
    QPainterPath track;
    track.addRoundedRect(QRectF(0, 0, 30, 14), 7, 7);
    fillPath(p, track, on ? kBlue : kBorder);
    fillPath(p, circle(QPointF(on ? 23 : 7, 7), 5), Qt::white);
}

void drawOpenHttp(QPainter &p)
{
    p.setPen(linePen(kBlue));
    p.drawEllipse(QPointF(10, 10), 6.75, 6.75);
    p.drawEllipse(QPointF(10, 10), 2.9, 6.75);
    p.drawLine(QPointF(3.5, 10), QPointF(16.5, 10));
}

// ---- panes: action buttons (grey idle, blue hovered) -----------------------------------------

void drawAddGroup(QPainter &p, bool hot)
{
    const QColor c = hot ? kBlue : kGrey;
    QPainterPath folder;
    folder.moveTo(2.75, 15.25);
    folder.lineTo(2.75, 4.5);
    folder.quadTo(2.75, 3.75, 3.5, 3.75);
    folder.lineTo(7.5, 3.75);
    folder.lineTo(9.25, 5.75);
    folder.lineTo(16.5, 5.75);
    folder.quadTo(17.25, 5.75, 17.25, 6.5);
    folder.lineTo(17.25, 15.25);
    folder.quadTo(17.25, 16.25, 16.25, 16.25);
    folder.lineTo(3.75, 16.25);
    folder.quadTo(2.75, 16.25, 2.75, 15.25);
    if (hot) {
        fillPath(p, folder, c);
        drawPlus(p, QPointF(10, 11), 2.75, Qt::white);
    } else {
        p.setPen(linePen(c));
        p.drawPath(folder);
        drawPlus(p, QPointF(10, 11), 2.5, c);
    }
}

void drawAddContact(QPainter &p, bool hot)
{
    const QColor c = hot ? kBlue : kGrey;
    if (hot) {
        fillPath(p, personPath(8, 6.5, 3.25, 12, 16.75), c);
    } else {
        p.setPen(linePen(c));
        p.drawEllipse(QPointF(8, 6.5), 3, 3);
        QPainterPath body;
        body.moveTo(2.25, 16.25);
        body.cubicTo(2.25, 13.0, 4.8, 11.25, 8, 11.25);
        body.cubicTo(11.2, 11.25, 13.75, 13.0, 13.75, 16.25);
        body.closeSubpath();
        p.drawPath(body);
    }
    drawPlus(p, QPointF(15.75, 6.5), 2.5, c);
}

void drawMore(QPainter &p, bool hot)
{
    const QColor c = hot ? kBlue : kGrey;
    const qreal r = hot ? 1.9 : 1.6;
    for (qreal x : {4.5, 10.0, 15.5})
        fillPath(p, circle(QPointF(x, 10), r), c);
}

QPainterPath pencilPath()
{
    // Drawn along the x axis, then turned to lie from bottom-left to top-right.
    QPainterPath path;
    path.moveTo(-7.5, 0);
    path.lineTo(-4.5, -2.1);
    path.lineTo(6.0, -2.1);
    path.quadTo(7.6, -2.1, 7.6, -0.5);
    path.lineTo(7.6, 0.5);
    path.quadTo(7.6, 2.1, 6.0, 2.1);
    path.lineTo(-4.5, 2.1);
    path.closeSubpath();
    QTransform t;
    t.translate(10.5, 9.5);
    t.rotate(-45);
    return t.map(path);
}

void drawEdit(QPainter &p, bool hot)
{
    const QColor c = hot ? kBlue : kGrey;
    const QPainterPath pencil = pencilPath();
    if (hot) {
        fillPath(p, pencil, c);
    } else {
        p.setPen(linePen(c, 1.4));
        p.drawPath(pencil);
    }
    // The collar between lead and wood.
    QTransform t;
    t.translate(10.5, 9.5);
    t.rotate(-45);
    p.setPen(linePen(hot ? QColor(Qt::white) : c, 1.2));
    p.drawLine(t.map(QLineF(3.6, -2.1, 3.6, 2.1)));
    p.setPen(linePen(c));
    p.drawLine(QPointF(10.5, 17.25), QPointF(17, 17.25));
}

void drawCopy(QPainter &p, bool hot)
{
    const QColor c = hot ? kBlue : kGrey;
    QPainterPath back;
    back.moveTo(7.25, 4.75);
    back.lineTo(7.25, 3.75);
    back.quadTo(7.25, 2.75, 8.25, 2.75);
    back.lineTo(16.25, 2.75);
    back.quadTo(17.25, 2.75, 17.25, 3.75);
    back.lineTo(17.25, 11.75);
    back.quadTo(17.25, 12.75, 16.25, 12.75);
    back.lineTo(15.25, 12.75);
    QPainterPath front;
    front.addRoundedRect(QRectF(2.75, 7.25, 10, 10), 1, 1);
    p.setPen(linePen(c));
    p.drawPath(back);
    if (hot)
        fillPath(p, front, c);
    else
        p.drawPath(front);
}

void drawSearch(QPainter &p)
{
    p.setPen(linePen(kGreyLight, 1.6));
    p.drawEllipse(QPointF(8.75, 8.75), 5.5, 5.5);
    p.setPen(linePen(kGreyLight, 1.8));
    p.drawLine(QPointF(12.9, 12.9), QPointF(16.5, 16.5));
}

// 24 x 24: removes one number of a contact in edit mode.
void drawDelete(QPainter &p, bool hot)
{
    if (hot) {
        fillPath(p, circle(QPointF(12, 12), 8.5), kRed);
        p.setPen(linePen(Qt::white, 1.6));
    } else {
        p.setPen(linePen(kGreyLight, 1.5));
        p.drawEllipse(QPointF(12, 12), 7.75, 7.75);
    }
    p.drawLine(QPointF(8.25, 12), QPointF(15.75, 12));
}

void drawFinish(QPainter &p, bool filled)
{
    if (filled) {
        fillPath(p, circle(QPointF(10, 10), 8.5), kBlue);
        drawTick(p, QPolygonF({QPointF(6, 10.25), QPointF(8.75, 13), QPointF(14, 7.5)}), Qt::white,
                 1.7);
    } else {
        drawTick(p, QPolygonF({QPointF(3.75, 10.5), QPointF(8, 14.5), QPointF(16.25, 5.75)}), kBlue,
                 1.8);
    }
}

// ---- tree branches (16 x 16 chevrons) --------------------------------------------------------

void drawChevron(QPainter &p, int direction)
{
    // direction: 0 down, 1 right, 2 up
    QPolygonF down({QPointF(4.5, 6.25), QPointF(8, 9.75), QPointF(11.5, 6.25)});
    QTransform t;
    t.translate(8, 8);
    t.rotate(direction == 1 ? -90 : direction == 2 ? 180 : 0);
    t.translate(-8, -8);
    if (direction == 2)
        down.translate(0, -0.5);
    p.setPen(linePen(kGrey, 1.5));
    p.drawPolyline(t.map(down));
}

// ---- group marks -----------------------------------------------------------------------------

void drawGroup(QPainter &p)
{
    // A second contact behind the first one: a group of people.
    fillPath(p, personPath(14.2, 6.0, 2.4, 7.6, 14.2), kBlueSoft);
    QPainterPath front = personPath(7.8, 7.2, 3.2, 11.2, 17);
    QPainterPathStroker halo;
    halo.setWidth(2.4);
    // Clear a thin gap around the front figure so the two stay apart.
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    fillPath(p, halo.createStroke(front).united(front), Qt::black);
    p.restore();
    fillPath(p, front, kBlue);
}

void drawGroupSmall(QPainter &p)
{
    fillPath(p, personPath(13.6, 7.0, 2.0, 6.4, 14.0), kGreyField.lighter(125));
    QPainterPath front = personPath(8.0, 7.8, 2.6, 9.2, 15.75);
    QPainterPathStroker halo;
    halo.setWidth(2.2);
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    fillPath(p, halo.createStroke(front).united(front), Qt::black);
    p.restore();
    fillPath(p, front, kGreyField);
}

// ---- contact fields (20 x 20, solid grey) ----------------------------------------------------

void drawOfficeNumber(QPainter &p)
{
    // A desk phone: receiver resting on the body, keypad below.
    QPainterPath receiver;
    receiver.moveTo(2.5, 7.2);
    receiver.lineTo(2.5, 5.0);
    receiver.quadTo(2.5, 3.0, 4.5, 3.0);
    receiver.lineTo(15.5, 3.0);
    receiver.quadTo(17.5, 3.0, 17.5, 5.0);
    receiver.lineTo(17.5, 7.2);
    receiver.quadTo(17.5, 7.8, 16.9, 7.8);
    receiver.lineTo(14.2, 7.8);
    receiver.quadTo(13.6, 7.8, 13.6, 7.2);
    receiver.lineTo(13.6, 6.0);
    receiver.lineTo(6.4, 6.0);
    receiver.lineTo(6.4, 7.2);
    receiver.quadTo(6.4, 7.8, 5.8, 7.8);
    receiver.lineTo(3.1, 7.8);
    receiver.quadTo(2.5, 7.8, 2.5, 7.2);
    fillPath(p, receiver, kGreyField);

    QPainterPath body;
    body.moveTo(5.2, 9.0);
    body.lineTo(14.8, 9.0);
    body.lineTo(17.0, 15.5);
    body.quadTo(17.4, 17.0, 15.8, 17.0);
    body.lineTo(4.2, 17.0);
    body.quadTo(2.6, 17.0, 3.0, 15.5);
    body.closeSubpath();
    QPainterPath keys;
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            keys.addRoundedRect(QRectF(6.6 + col * 2.6, 11.0 + row * 2.6, 1.6, 1.6), 0.4, 0.4);
    fillPath(p, body.subtracted(keys), kGreyField);
}

void drawMobileNumber(QPainter &p)
{
    QPainterPath body;
    body.addRoundedRect(QRectF(5.5, 2.25, 9, 15.5), 2, 2);
    QPainterPath screen;
    screen.addRect(QRectF(7, 4.5, 6, 9.25));
    QPainterPath button = circle(QPointF(10, 15.6), 0.95);
    fillPath(p, body.subtracted(screen).subtracted(button), kGreyField);
}

void drawOtherNumber(QPainter &p)
{
    fillPath(p, handsetPath(), kGreyField);
}

void drawAutoDivert(QPainter &p)
{
    // A receiver with a call being passed on to the right.
    QTransform t;
    t.translate(0.2, 3.8);
    t.scale(0.8, 0.8);
    fillPath(p, t.map(handsetPath()), kGreyField);
    p.setPen(linePen(kGreyField, 1.6));
    QPainterPath bend;
    bend.moveTo(10.5, 8.5);
    bend.lineTo(10.5, 6.5);
    bend.quadTo(10.5, 4.25, 12.75, 4.25);
    bend.lineTo(17.25, 4.25);
    p.drawPath(bend);
    p.drawPolyline(QPolygonF({QPointF(15, 2), QPointF(17.25, 4.25), QPointF(15, 6.5)}));
}

void drawRing(QPainter &p)
{
    QPainterPath bell;
    bell.moveTo(3.0, 14.6);
    bell.quadTo(4.8, 13.0, 4.8, 10.6);
    bell.lineTo(4.8, 8.6);
    bell.cubicTo(4.8, 5.4, 7.0, 3.4, 10.0, 3.4);
    bell.cubicTo(13.0, 3.4, 15.2, 5.4, 15.2, 8.6);
    bell.lineTo(15.2, 10.6);
    bell.quadTo(15.2, 13.0, 17.0, 14.6);
    bell.quadTo(17.4, 15.1, 16.8, 15.3);
    bell.lineTo(3.2, 15.3);
    bell.quadTo(2.6, 15.1, 3.0, 14.6);
    bell.closeSubpath();
    QPainterPath knob;
    knob.addRoundedRect(QRectF(9.0, 1.8, 2.0, 2.4), 1, 1);
    QPainterPath clapper;
    clapper.moveTo(7.8, 16.3);
    clapper.lineTo(12.2, 16.3);
    clapper.cubicTo(12.2, 17.5, 11.2, 18.4, 10.0, 18.4);
    clapper.cubicTo(8.8, 18.4, 7.8, 17.5, 7.8, 16.3);
    fillPath(p, bell.united(knob).united(clapper), kGreyField);
}

void drawAccount(QPainter &p)
{
    // A line account: an ID card with its owner's head and two lines of text.
    QPainterPath card;
    card.addRoundedRect(QRectF(1.75, 4, 16.5, 12), 2, 2);
    QPainterPath holes;
    holes.addPath(circle(QPointF(6.6, 8.6), 1.7));
    QPainterPath shoulders;
    shoulders.moveTo(3.8, 13.3);
    shoulders.cubicTo(3.8, 11.7, 5.0, 10.9, 6.6, 10.9);
    shoulders.cubicTo(8.2, 10.9, 9.4, 11.7, 9.4, 13.3);
    shoulders.closeSubpath();
    holes.addPath(shoulders);
    holes.addRoundedRect(QRectF(11.0, 7.9, 5.2, 1.4), 0.7, 0.7);
    holes.addRoundedRect(QRectF(11.0, 10.9, 3.8, 1.4), 0.7, 0.7);
    fillPath(p, card.subtracted(holes), kGreyField);
}

// ---- check boxes, toasts ---------------------------------------------------------------------

void drawCheck(QPainter &p, int state)
{
    // state: 0 off, 1 on, 2 some but not all
    const QRectF box(2, 2, 16, 16);
    QPainterPath shape;
    if (state == 0) {
        shape.addRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
        p.setPen(QPen(kBorder, 1));
        p.setBrush(Qt::white);
        p.drawPath(shape);
        return;
    }
    shape.addRoundedRect(box, 3, 3);
    fillPath(p, shape, kBlue);
    if (state == 1) {
        drawTick(p, QPolygonF({QPointF(6, 10.2), QPointF(8.8, 13), QPointF(14.1, 7.4)}), Qt::white,
                 1.8);
    } else {
        p.setPen(linePen(Qt::white, 1.8));
        p.drawLine(QPointF(6.25, 10), QPointF(13.75, 10));
    }
}

void drawToast(QPainter &p, int kind)
{
    // kind: 0 warning, 1 success, 2 failure
    const QColor disc = kind == 0 ? kAmber : kind == 1 ? kGreen : kRed;
    fillPath(p, circle(QPointF(10, 10), 9), disc);
    if (kind == 0) {
        QPainterPath mark;
        mark.addRoundedRect(QRectF(9.1, 4.6, 1.8, 7.2), 0.9, 0.9);
        mark.addEllipse(QPointF(10, 14.3), 1.15, 1.15);
        fillPath(p, mark, Qt::white);
    } else if (kind == 1) {
        drawTick(p, QPolygonF({QPointF(5.6, 10.2), QPointF(8.6, 13.1), QPointF(14.4, 7.2)}),
                 Qt::white, 1.8);
    } else {
        p.setPen(linePen(Qt::white, 1.8));
        p.drawLine(QPointF(6.9, 6.9), QPointF(13.1, 13.1));
        p.drawLine(QPointF(13.1, 6.9), QPointF(6.9, 13.1));
    }
}

// ---- avatars ---------------------------------------------------------------------------------

// Placeholder photo of a contact: a person on a pale blue disc, drawn at its own size.
void drawAvatar(QPainter &p, qreal size)
{
    p.scale(size / 24.0, size / 24.0);
    const QPainterPath disc = circle(QPointF(12, 12), 12);
    fillPath(p, disc, QColor(0xE1, 0xEE, 0xFE));
    QPainterPath person = personPath(12, 9.6, 4.0, 15.0, 24);
    fillPath(p, person.intersected(disc), QColor(0x8C, 0xC0, 0xFA));
}

// ---- window background (1280 x 720) ----------------------------------------------------------

// Matches the main window's frame: white tool bar, grey page, white card under the three panes.
void drawBackground(QPainter &p)
{
    p.fillRect(QRect(0, 0, 1280, 720), QColor(0xF0, 0xF2, 0xF5));
    p.fillRect(QRect(0, 0, 1280, 88), Qt::white);
    p.fillRect(QRect(0, 88, 1280, 1), QColor(0xE4, 0xE7, 0xEC));
    QPainterPath card;
    card.addRoundedRect(QRectF(16.5, 104.5, 1247, 599), 6, 6);
    p.setPen(QPen(QColor(0xE4, 0xE7, 0xEC), 1));
    p.setBrush(Qt::white);
    p.drawPath(card);
    // Divider between the group tree and the contact list; the list draws its own right edge.
    p.fillRect(QRect(16 + 287, 105, 1, 598), QColor(0, 0, 0, 26));
    // A hairline round the frameless window so it stands off the desktop.
    p.setPen(QPen(QColor(0xD5, 0xD9, 0xDF), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 1279, 719));
}

// ---- table -----------------------------------------------------------------------------------

struct ImageSpec
{
    const char *name;
    QSize size;
    std::function<void(QPainter &)> draw;
};

std::vector<ImageSpec> images()
{
    const QSize s20(20, 20);
    return {
        {"new_file.png", s20, drawNewFile},
        {"import_file.png", s20, drawImportFile},
        {"savefile.png", s20, drawSaveFile},
        {"history.png", s20, drawHistory},
        {"setup.png", s20, drawSetup},
        {"logo.png", s20, [](QPainter &p) { drawLogo(p, 20); }},
        {"logo_large.png", QSize(62, 62), [](QPainter &p) { drawLogo(p, 62); }},
        {"title_minimize.png", QSize(32, 32), drawTitleMinimize},
        {"title_close.png", QSize(32, 32), drawTitleClose},
        {"switch_on.png", QSize(30, 14), [](QPainter &p) { drawSwitch(p, true); }},
        {"switch_off.png", QSize(30, 14), [](QPainter &p) { drawSwitch(p, false); }},
        {"openhttp.png", s20, drawOpenHttp},
        {"add group.png", s20, [](QPainter &p) { drawAddGroup(p, false); }},
        {"add group_click.png", s20, [](QPainter &p) { drawAddGroup(p, true); }},
        {"add contact.png", s20, [](QPainter &p) { drawAddContact(p, false); }},
        {"add contact_click.png", s20, [](QPainter &p) { drawAddContact(p, true); }},
        {"more.png", s20, [](QPainter &p) { drawMore(p, false); }},
        {"more_click.png", s20, [](QPainter &p) { drawMore(p, true); }},
        {"edit.png", s20, [](QPainter &p) { drawEdit(p, false); }},
        {"edit_click.png", s20, [](QPainter &p) { drawEdit(p, true); }},
        {"copy.png", s20, [](QPainter &p) { drawCopy(p, false); }},
        {"copy_press.png", s20, [](QPainter &p) { drawCopy(p, true); }},
        {"search.png", s20, drawSearch},
        {"delete.png", QSize(24, 24), [](QPainter &p) { drawDelete(p, false); }},
        {"delete_press.png", QSize(24, 24), [](QPainter &p) { drawDelete(p, true); }},
        {"finish_nor.png", s20, [](QPainter &p) { drawFinish(p, false); }},
        {"finish.png", s20, [](QPainter &p) { drawFinish(p, true); }},
        {"arrow_dow.png", QSize(16, 16), [](QPainter &p) { drawChevron(p, 0); }},
        {"arrow_right.png", QSize(16, 16), [](QPainter &p) { drawChevron(p, 1); }},
        {"arrow_up.png", QSize(16, 16), [](QPainter &p) { drawChevron(p, 2); }},
        {"group.png", s20, drawGroup},
        {"group_small.png", s20, drawGroupSmall},
        {"office_number.png", s20, drawOfficeNumber},
        {"mobile_number.png", s20, drawMobileNumber},
        {"other_number.png", s20, drawOtherNumber},
        {"auto_divert.png", s20, drawAutoDivert},
        {"Ring.png", s20, drawRing},
        {"account.png", s20, drawAccount},
        {"check_off.png", s20, [](QPainter &p) { drawCheck(p, 0); }},
        {"check_on.png", s20, [](QPainter &p) { drawCheck(p, 1); }},
        {"check_no_all.png", s20, [](QPainter &p) { drawCheck(p, 2); }},
        {"tic_toast_warn.png", s20, [](QPainter &p) { drawToast(p, 0); }},
        {"tic_toast_success.png", s20, [](QPainter &p) { drawToast(p, 1); }},
        {"ic_toast_fail.png", s20, [](QPainter &p) { drawToast(p, 2); }},
        {"default_image.png", QSize(24, 24), [](QPainter &p) { drawAvatar(p, 24); }},
        {"default_big_image.png", QSize(90, 90), [](QPainter &p) { drawAvatar(p, 90); }},
        {"background.png", QSize(1280, 720), drawBackground},
    };
}

} // namespace

int main(int argc, char *argv[])
{
    const QString outDir =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::cleanPath(QStringLiteral(QCD_IMAGE_DIR));
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    int failures = 0;
    const std::vector<ImageSpec> all = images();
    for (const ImageSpec &spec : all) {
        QImage image(spec.size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            prepare(p);
            spec.draw(p);
        }
        const QString path = QDir(outDir).filePath(QString::fromLatin1(spec.name));
        if (!image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ++failures;
        }
    }
    std::printf("%d images written to %s\n", int(all.size()) - failures, qPrintable(outDir));
    return failures == 0 ? 0 : 1;
}
