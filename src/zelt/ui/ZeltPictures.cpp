#include "ZeltPictures.h"

#include <QBitmap>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kKey(255, 0, 255);

QImage keyed(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(kKey);
    return img;
}

// One slice set of the face: left end, middle, right end, in one look.
void drawFaceLook(QPainter& p, int x0, int slice, int h, QColor top, QColor bottom, QColor edge) {
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    QPainterPath path;
    path.addRoundedRect(QRectF(x0 + 0.5, 0.5, 3 * slice - 1, h - 1), 6, 6);
    p.setPen(edge);
    p.setBrush(g);
    p.drawPath(path);
}

QPixmap makeFace() {
    const int slice = 12;
    const int h = 36;
    QImage img = keyed(9 * slice, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    drawFaceLook(p, 0, slice, h, QColor(96, 104, 122), QColor(62, 68, 82), QColor(30, 33, 40));
    drawFaceLook(p, 3 * slice, slice, h, QColor(128, 140, 166), QColor(84, 94, 114), QColor(200, 60, 60));
    drawFaceLook(p, 6 * slice, slice, h, QColor(52, 57, 70), QColor(84, 92, 110), QColor(20, 22, 28));
    p.end();
    img.setPixelColor(0, 0, kKey);
    return QPixmap::fromImage(img);
}

enum class Mark { Check, Cross, Left, Right, First, Last, Plus, Minus, Question, Dot };

void drawMark(QPainter& p, Mark m, QRect r, QColor c) {
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(c, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(c);
    const QRectF f = QRectF(r).adjusted(4, 4, -4, -4);
    switch (m) {
    case Mark::Check:
        p.drawPolyline(QPolygonF{QPointF(f.left(), f.center().y()), QPointF(f.center().x() - 1, f.bottom()),
                                 QPointF(f.right(), f.top())});
        break;
    case Mark::Cross:
        p.drawLine(f.topLeft(), f.bottomRight());
        p.drawLine(f.topRight(), f.bottomLeft());
        break;
    case Mark::Left:
    case Mark::First:
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF{QPointF(f.right(), f.top()), QPointF(f.left() + 3, f.center().y()),
                                QPointF(f.right(), f.bottom())});
        if (m == Mark::First)
            p.drawRect(QRectF(f.left(), f.top(), 2, f.height()));
        break;
    case Mark::Right:
    case Mark::Last:
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF{QPointF(f.left(), f.top()), QPointF(f.right() - 3, f.center().y()),
                                QPointF(f.left(), f.bottom())});
        if (m == Mark::Last)
            p.drawRect(QRectF(f.right() - 2, f.top(), 2, f.height()));
        break;
    case Mark::Plus:
        p.drawLine(QPointF(f.center().x(), f.top()), QPointF(f.center().x(), f.bottom()));
        [[fallthrough]];
    case Mark::Minus:
        p.drawLine(QPointF(f.left(), f.center().y()), QPointF(f.right(), f.center().y()));
        break;
    case Mark::Question: {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(r.height() - 4);
        font.setBold(true);
        p.setFont(font);
        p.drawText(r, Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case Mark::Dot:
        p.setPen(Qt::NoPen);
        p.drawEllipse(f);
        break;
    }
}

QPixmap makeGlyph(Mark m, QColor c) {
    const int s = 20;
    QImage img = keyed(3 * s, s);
    QPainter p(&img);
    drawMark(p, m, QRect(0, 0, s, s), c);
    drawMark(p, m, QRect(s, 0, s, s), QColor(150, 150, 150));
    drawMark(p, m, QRect(2 * s, 0, s, s), c.lighter(140));
    p.end();
    // Smoothed edges must not leave key-coloured fringes, and the key must stay at (0, 0).
    img.setPixelColor(0, 0, kKey);
    return QPixmap::fromImage(img);
}

QPixmap makeGlyphFor(const QString& kind) {
    static const struct {
        const char* kind;
        Mark mark;
        QColor colour;
    } marks[] = {
        {"OK", Mark::Check, QColor(40, 190, 90)},       {"Yes", Mark::Check, QColor(40, 190, 90)},
        {"YesToAll", Mark::Check, QColor(40, 190, 90)}, {"All", Mark::Check, QColor(40, 150, 220)},
        {"No", Mark::Cross, QColor(235, 70, 50)},       {"NoToAll", Mark::Cross, QColor(235, 70, 50)},
        {"Cancel", Mark::Cross, QColor(235, 70, 50)},   {"Close", Mark::Cross, QColor(235, 70, 50)},
        {"Abort", Mark::Cross, QColor(235, 70, 50)},    {"Prev", Mark::Left, QColor(60, 120, 220)},
        {"Next", Mark::Right, QColor(60, 120, 220)},    {"First", Mark::First, QColor(60, 120, 220)},
        {"Last", Mark::Last, QColor(60, 120, 220)},     {"Add", Mark::Plus, QColor(40, 190, 90)},
        {"Delete", Mark::Minus, QColor(235, 70, 50)},   {"Help", Mark::Question, QColor(60, 120, 220)},
        {"Retry", Mark::Right, QColor(240, 160, 30)},   {"Ignore", Mark::Dot, QColor(150, 150, 150)},
    };
    for (const auto& e : marks) {
        if (kind == QLatin1String(e.kind))
            return makeGlyph(e.mark, e.colour);
    }
    return QPixmap();
}

QPixmap makeBadge(int n) {
    static const QColor colours[] = {QColor(),
                                     QColor(60, 190, 90),
                                     QColor(245, 150, 40),
                                     QColor(230, 230, 236),
                                     QColor(230, 230, 236),
                                     QColor(230, 230, 236),
                                     QColor(60, 130, 230),
                                     QColor(240, 120, 180),
                                     QColor(150, 110, 210)};
    if (n < 1 || n > 8)
        return QPixmap();
    QSize size(28, 28);
    if (n == 3)
        size = QSize(22, 22);
    else if (n == 4)
        size = QSize(40, 28);
    else if (n == 5)
        size = QSize(28, 40);
    const bool halves = n == 1 || n == 2 || n >= 6;
    QImage img = keyed(halves ? 2 * size.width() : size.width(), size.height());
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(colours[n]);
    p.drawRoundedRect(QRectF(1, 1, size.width() - 2, size.height() - 2), 9, 9);
    if (halves) {
        p.setBrush(QColor(140, 140, 140));
        p.drawRoundedRect(QRectF(size.width() + 1, 1, size.width() - 2, size.height() - 2), 9, 9);
    }
    p.end();
    img.setPixelColor(0, 0, kKey);
    return QPixmap::fromImage(img);
}

QPixmap makeDialogPicture() {
    // Filled with its own background colour, which the detail bar also takes.
    QImage img(26, 20, QImage::Format_RGB32);
    img.fill(QColor(50, 55, 65));
    QPainter p(&img);
    p.setPen(QColor(200, 205, 215));
    p.setBrush(QColor(88, 139, 169));
    p.drawRect(2, 2, 21, 15);
    p.fillRect(3, 3, 20, 4, QColor(232, 190, 128));
    return QPixmap::fromImage(img);
}

QPixmap makeLogo(bool grayed) {
    QImage img(120, 40, QImage::Format_RGB32);
    img.fill(QColor(0x1E, 0x1E, 0x1E));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor ring = grayed ? QColor(110, 110, 110) : QColor(46, 121, 167);
    const QColor hand = grayed ? QColor(150, 150, 150) : QColor(240, 111, 104);
    p.setPen(QPen(ring, 4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(6, 6, 28, 28));
    p.setPen(QPen(hand, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20, 20), QPointF(29, 12));
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(18);
    f.setBold(true);
    p.setFont(f);
    p.setPen(grayed ? QColor(150, 150, 150) : QColor(235, 235, 235));
    p.drawText(QRect(40, 0, 80, 40), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Odolink"));
    return QPixmap::fromImage(img);
}

QPixmap make(const QString& name) {
    if (name == QLatin1String("face"))
        return makeFace();
    if (name.startsWith(QLatin1String("glyph/")))
        return makeGlyphFor(name.mid(6));
    if (name.startsWith(QLatin1String("badge/")))
        return makeBadge(name.mid(6).toInt());
    if (name == QLatin1String("dialog"))
        return makeDialogPicture();
    if (name == QLatin1String("logo"))
        return makeLogo(false);
    if (name == QLatin1String("logo-grayed"))
        return makeLogo(true);
    return QPixmap();
}

QHash<QString, QPixmap>& cache() {
    static QHash<QString, QPixmap> c;
    return c;
}

} // namespace

QPixmap ZeltPicture(const QString& name) {
    auto& cache = ::cache();
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.insert(name, make(name));
    return it.value();
}

void ZeltPicturesClear() {
    cache().clear();
}

QPixmap ZeltKeyTransparent(const QPixmap& picture) {
    if (picture.isNull())
        return picture;
    return ZeltKeyTransparent(picture, picture.toImage().pixelColor(0, 0));
}

QPixmap ZeltKeyTransparent(const QPixmap& picture, const QColor& key) {
    if (picture.isNull())
        return picture;
    const QImage img = picture.toImage().convertToFormat(QImage::Format_RGB32);
    QPixmap out = picture;
    out.setMask(QBitmap::fromImage(img.createMaskFromColor(key.rgb(), Qt::MaskInColor)));
    return out;
}
