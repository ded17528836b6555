#include "ZeltActives.h"

#include "ZeltFonts.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <cmath>

TZeltFmtLabel::TZeltFmtLabel(QWidget* parent) : QWidget(parent) {
    // Clicks go through to what lies beneath (the title bar that drags the window).
    setAttribute(Qt::WA_TransparentForMouseEvents);
    WatchParent();
}

void TZeltFmtLabel::SetCaption(const QString& caption) {
    if (caption == FCaption)
        return;
    FCaption = caption;
    update();
}

void TZeltFmtLabel::SetAlign(TZeltAlign align) {
    FAlign = align;
    update();
}

void TZeltFmtLabel::SetAlignment(TAlignment alignment) {
    FAlignment = alignment;
    update();
}

void TZeltFmtLabel::SetShadowColor(TColor color) {
    FShadowColor = color;
    update();
}

void TZeltFmtLabel::SetFontColor(TColor color) {
    FFontColor = color;
    update();
}

void TZeltFmtLabel::SetColor(TColor color) {
    FColor = color;
    update();
}

void TZeltFmtLabel::SetTransparent(bool transparent) {
    FTransparent = transparent;
    update();
}

void TZeltFmtLabel::Loaded() {
    QFont f = font();
    const int points = f.pointSize() > 0 ? f.pointSize() : int(std::lround(f.pixelSize() * 72.0 / 96.0));
    if (points == 9 || points == 10) {
        f.setPixelSize(ZeltFonts::PointsToPixels(8));
        setFont(f);
    }
}

QList<TZeltFmtLabel::Measured> TZeltFmtLabel::Measure() const {
    QList<Measured> out;
    for (const TZeltMarkupLine& line : ZeltParseLabelMarkup(FCaption, font(), FFontColor)) {
        Measured m;
        m.Line = line;
        for (const TZeltMarkupRun& r : line.Runs) {
            const QFontMetrics fm(r.Font);
            m.Width += fm.horizontalAdvance(r.Text);
            m.Ascent = std::max(m.Ascent, fm.ascent());
            m.Height = std::max(m.Height, fm.height());
        }
        out << m;
    }
    return out;
}

QSize TZeltFmtLabel::RequiredSize() const {
    if (FCaption.isEmpty())
        return QSize(0, 0);
    int w = 0;
    int h = 0;
    for (const Measured& m : Measure()) {
        h += m.Height;
        w = FAlignment == taCenter ? std::max(w, m.Width) : w + m.Width;
    }
    return QSize(w, h);
}

void TZeltFmtLabel::Arrange() {
    if (!FAcces)
        return;
    // Our own moves and resizes must not arrange again.
    FAcces = false;
    QRect g = geometry();
    if (!FCaption.isEmpty()) {
        const QSize need = RequiredSize();
        if (g.height() < need.height())
            g.setHeight(need.height());
        if (g.width() < need.width())
            g.setWidth(need.width());
    }
    if (const QWidget* p = parentWidget()) {
        const int H = p->contentsRect().height();
        const int W = p->contentsRect().width();
        switch (FAlign) {
        case alMTop:
            g.moveTop(1);
            break;
        case alMBottom:
            g.moveTop(H - g.height() - 1);
            break;
        case alMLeft:
            g.moveLeft(1);
            break;
        case alMRight:
            g.moveLeft(W - g.width() - 2);
            break;
        case alMCenter:
            g.moveLeft((p->width() - g.width()) / 2);
            g.moveTop((H - g.height()) / 2);
            break;
        case alMNone:
            break;
        }
    }
    if (g != geometry())
        setGeometry(g);
    FAcces = true;
}

void TZeltFmtLabel::paintEvent(QPaintEvent*) {
    if (!FAcces)
        return;
    Arrange();
    QPainter p(this);
    if (!FTransparent)
        p.fillRect(rect(), ZeltToQColor(FColor));
    if (FCaption.isEmpty())
        return;
    int y = 0;
    for (const Measured& m : Measure()) {
        int x = 0;
        if (FAlignment == taRightJustify)
            x = width() - m.Width;
        else if (FAlignment == taCenter)
            x = (width() - m.Width) / 2;
        for (const TZeltMarkupRun& r : m.Line.Runs) {
            const QFontMetrics fm(r.Font);
            const int baseline = y + m.Ascent;
            p.setFont(r.Font);
            if (r.Shadow) {
                p.setPen(ZeltToQColor(FShadowColor));
                ZeltFonts::DrawText(p, QPoint(x + 1, baseline + 1), r.Text);
            }
            p.setPen(ZeltToQColor(r.Color));
            ZeltFonts::DrawText(p, QPoint(x, baseline), r.Text);
            x += fm.horizontalAdvance(r.Text);
        }
        y += m.Height;
    }
}

void TZeltFmtLabel::WatchParent() {
    if (FWatched == parentWidget())
        return;
    if (FWatched)
        FWatched->removeEventFilter(this);
    FWatched = parentWidget();
    if (FWatched)
        FWatched->installEventFilter(this);
}

bool TZeltFmtLabel::event(QEvent* e) {
    if (e->type() == QEvent::ParentChange)
        WatchParent();
    else if (e->type() == QEvent::FontChange || e->type() == QEvent::Show)
        update();
    return QWidget::event(e);
}

bool TZeltFmtLabel::eventFilter(QObject* watched, QEvent* e) {
    if (watched == FWatched && e->type() == QEvent::Resize && FAlign != alMNone)
        Arrange();
    return QWidget::eventFilter(watched, e);
}
