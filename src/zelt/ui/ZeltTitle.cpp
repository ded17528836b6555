#include "ZeltTitle.h"

#include "ZeltError.h"
#include "ZeltFonts.h"
#include "ZeltPictures.h"
#include "ZeltTitlePalette.h"

#include <QColorDialog>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr int kSwatch = 8;
constexpr int kPaletteSize = 26;
// Where the caption part of the bar (the window's drag area) begins.
constexpr int kCaptionHitStart = 32;
constexpr int kRightMargin = 15;
constexpr TColor kPaletteFrame = 0xAEADAE;
constexpr TColor kMainBackground = 0x1E1E1E;

int red(TColor c) {
    return int(c & 0xFF);
}
int green(TColor c) {
    return int((c >> 8) & 0xFF);
}
int blue(TColor c) {
    return int((c >> 16) & 0xFF);
}

} // namespace

TZeltTitleBar::TZeltTitleBar(QWidget* parent) : QWidget(parent) {
    // Our pixels are Qt's device-independent ones; scaling to the screen is Qt's business.
    FScara = 1.0;
    resize(parent ? parent->width() : 100, int(std::lround(25 * FScara)));
    ColorChooser = [this](TColor initial) {
        const QColor chosen = QColorDialog::getColor(ZeltToQColor(initial), this);
        return chosen.isValid() ? ZeltFromQColor(chosen) : initial;
    };
    FollowParent();
    Recompute();
}

void TZeltTitleBar::SetAlign(TZeltBarAlign align) {
    FAlign = align;
    FollowParent();
    update();
}

void TZeltTitleBar::SetGrayed(bool grayed) {
    if (!AllowGrayed)
        grayed = false;
    if (grayed == FGrayed)
        return;
    FGrayed = grayed;
    repaint();
}

void TZeltTitleBar::SetTitleColor(TColor color) {
    FTitleColor = color;
    update();
}

void TZeltTitleBar::SetIconStyle(TZeltIconStyle style) {
    FIconStyle = style;
    if (style == isDetail || style == isMain) {
        FMainBitmap = QPixmap();
        FMainBitmapGrayed = QPixmap();
    }
    Recompute();
    update();
}

void TZeltTitleBar::SetCaption(const QString& caption) {
    if (caption == FCaption)
        return;
    FCaption = caption;
    update();
}

void TZeltTitleBar::SetStartColor(TColor color) {
    FStartColor = color;
    update();
}

void TZeltTitleBar::SetEndColor(TColor color) {
    FEndColor = color;
    update();
}

void TZeltTitleBar::SetTag(int tag) {
    FTag = tag;
    update();
}

void TZeltTitleBar::SetEditForm(QWidget* form) {
    FEditForm = form;
    Recompute();
    update();
}

void TZeltTitleBar::Recompute() {
    switch (FIconStyle) {
    case isNone:
        FIconSpace = FEditForm ? 50 : 20;
        break;
    case isHoriz:
    case isVert:
        FIconSpace = 10;
        break;
    case isDetail:
        FIconSpace = ZeltPicture(QStringLiteral("dialog")).width() + 25;
        break;
    case isMain:
        FIconSpace = ZeltPicture(QStringLiteral("logo")).width() + 25;
        break;
    }
    FCaptionWidth = width() - FIconSpace - kRightMargin;
}

void TZeltTitleBar::FollowParent() {
    QWidget* p = parentWidget();
    if (FWatched != p) {
        if (FWatched)
            FWatched->removeEventFilter(this);
        FWatched = p;
        if (p)
            p->installEventFilter(this);
    }
    if (p && FAlign == alTop)
        setGeometry(0, 0, p->width(), height());
}

bool TZeltTitleBar::event(QEvent* e) {
    if (e->type() == QEvent::ParentChange)
        FollowParent();
    return QWidget::event(e);
}

bool TZeltTitleBar::eventFilter(QObject* watched, QEvent* e) {
    if (watched == FWatched && e->type() == QEvent::Resize && FAlign == alTop)
        setGeometry(0, 0, FWatched->width(), height());
    return QWidget::eventFilter(watched, e);
}

void TZeltTitleBar::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Recompute();
}

QList<TColor> TZeltTitleBar::GradientColors(TColor start, TColor end, int length) {
    QList<TColor> out;
    if (length <= 0)
        return out;
    const TColor s = ColorToRGB(start);
    const TColor e = ColorToRGB(end);
    double r = red(s), g = green(s), b = blue(s);
    const double dr = double(red(e) - red(s)) / length;
    const double dg = double(green(e) - green(s)) / length;
    const double db = double(blue(e) - blue(s)) / length;
    out.reserve(length);
    for (int i = 0; i < length; ++i) {
        out << ZeltRGB(int(std::trunc(r)), int(std::trunc(g)), int(std::trunc(b)));
        r += dr;
        g += dg;
        b += db;
    }
    return out;
}

void TZeltTitleBar::PaintGradient(QPainter& p, TColor start, TColor end, bool vertical) {
    const int length = vertical ? height() : width();
    const QList<TColor> colours = GradientColors(start, end, length);
    int runStart = 0;
    for (int i = 1; i <= length; ++i) {
        if (i < length && colours.at(i) == colours.at(runStart))
            continue;
        // The last run reaches the far edge.
        const QColor c = ZeltToQColor(colours.at(runStart));
        if (vertical)
            p.fillRect(0, runStart, width(), i - runStart, c);
        else
            p.fillRect(runStart, 0, i - runStart, height(), c);
        runStart = i;
    }
}

void TZeltTitleBar::RebuildMainBitmaps() {
    if (FMainBitmap.size() == size() && FMainBitmapGrayed.size() == size())
        return;
    auto build = [this](const QString& logoName) {
        QPixmap pm(size());
        pm.fill(ZeltToQColor(kMainBackground));
        QPainter p(&pm);
        const QPixmap logo = ZeltPicture(logoName);
        p.drawPixmap(5, (height() - logo.height()) / 2, logo);
        return pm;
    };
    FMainBitmap = build(QStringLiteral("logo"));
    FMainBitmapGrayed = build(QStringLiteral("logo-grayed"));
}

QFont TZeltTitleBar::CaptionFont() const {
    return ZeltFonts::FromPoints(FontName, FontSize, FontBold, FontItalic);
}

void TZeltTitleBar::paintEvent(QPaintEvent*) {
    QPainter p(this);

    // 1. Background.
    switch (FIconStyle) {
    case isHoriz: {
        const TColor s = FGrayed ? clInactiveCaption : FStartColor;
        const TColor e = FGrayed ? clInactiveCaption : FEndColor;
        PaintGradient(p, s, e, false);
        if (FAlign == alTop)
            p.fillRect(0, height() - 1, width(), 1, Qt::white);
        break;
    }
    case isVert: {
        TColor s = FStartColor;
        TColor e = FEndColor;
        if (FGrayed) {
            if (Special) {
                s = InactiveStartColor;
                e = InactiveEndColor;
            } else if (FTag == 999) {
                s = cl1;
                e = FStartColor != FEndColor ? cl2 : cl1;
            } else {
                s = e = clInactiveCaption;
            }
        }
        PaintGradient(p, s, e, true);
        if (FTag & 4)
            p.fillRect(0, height() - 1, width(), 1, Qt::white);
        break;
    }
    case isDetail: {
        const QPixmap pic = ZeltPicture(QStringLiteral("dialog"));
        if (!pic.isNull()) {
            p.fillRect(rect(), pic.toImage().pixelColor(0, 0));
            p.drawPixmap(5, 3, ZeltKeyTransparent(pic));
        }
        break;
    }
    case isMain:
        if (FAlign == alTop) {
            RebuildMainBitmaps();
            p.drawPixmap(0, 0, FGrayed ? FMainBitmapGrayed : FMainBitmap);
        }
        break;
    case isNone:
        break;
    }

    // 2. to 4. Font, rectangle and colour of the caption.
    p.setFont(CaptionFont());
    p.setBrush(Qt::NoBrush);
    QRect captionRect(FIconSpace, int(std::lround((FIconStyle == isMain ? 20 : 5) * FScara)), FCaptionWidth,
                      int(std::lround(20 * FScara)));
    TColor colour;
    if (Special) {
        captionRect.translate(2, 2);
        colour = FGrayed ? GrayedFontColor : FontColor;
    } else if (FTag == 999) {
        captionRect.translate(2, 2);
        colour = FGrayed ? clPaper : FTitleColor;
    } else if (FTag % 2 != 0) {
        colour = FGrayed ? ShadeColor(FEndColor, 20, 2) : clBlack;
    } else {
        colour = FGrayed ? ShadeColor(FEndColor, 20, 2) : FTitleColor;
    }

    // 5. The palette.
    if (FIconStyle == isNone && FEditForm) {
        p.setPen(ZeltToQColor(kPaletteFrame));
        p.drawRect(0, 0, kPaletteSize - 1, kPaletteSize - 1);
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j)
                p.fillRect((i - 1) * kSwatch + 1, (j - 1) * kSwatch + 1, kSwatch, kSwatch,
                           ZeltToQColor(ZeltTitlePaletteColor(i, j)));
    }

    // 6. The caption.
    if (!FCaption.isEmpty() && captionRect.width() > 0) {
        p.setClipRect(captionRect);
        p.setPen(ZeltToQColor(colour));
        const QFontMetrics fm(p.font());
        ZeltFonts::DrawText(p, captionRect.topLeft() + QPoint(0, fm.ascent()), FCaption);
    }
}

bool TZeltTitleBar::SwatchAt(QPoint pos, int& column, int& row) {
    if (pos.x() < 0 || pos.y() < 0 || pos.x() >= kPaletteSize || pos.y() >= kPaletteSize)
        return false;
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j) {
            const int x0 = (i - 1) * kSwatch + 1;
            const int y0 = (j - 1) * kSwatch + 1;
            if (pos.x() >= x0 && pos.x() < x0 + kSwatch && pos.y() >= y0 && pos.y() < y0 + kSwatch) {
                column = i;
                row = j;
                return true;
            }
        }
    }
    return false;
}

void TZeltTitleBar::PaletteClick(Qt::MouseButton button, QPoint pos) {
    if (!FEditForm)
        return;
    int i = 0;
    int j = 0;
    if (!SwatchAt(pos, i, j))
        return;
    const TColor swatch = ZeltTitlePaletteColor(i, j);
    TColor chosen = 0;
    if (button == Qt::LeftButton) {
        chosen = swatch;
    } else if (button == Qt::RightButton) {
        const TColor picked = ColorChooser ? ColorChooser(swatch) : swatch;
        if (picked == swatch)
            return;
        try {
            ZeltTitlePaletteSave(i, j, picked);
        } catch (const EZeltError& e) {
            // No error may leave an event handler; the colour is used all the same.
            emit PaletteSaveFailed(e.Message());
        }
        chosen = picked;
    } else {
        return;
    }
    if (chosen == 0 || chosen == ZeltColorOf(FEditForm))
        return;
    ZeltSetColorOf(FEditForm, chosen);
    emit EditFormColorChanged(chosen);
    // One pixel wider makes the form lay out and repaint.
    if (FEditForm)
        FEditForm->resize(FEditForm->width() + 1, FEditForm->height());
    update();
}

void TZeltTitleBar::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (pos.x() >= kCaptionHitStart) {
        if (e->button() == Qt::LeftButton) {
            if (QWidget* w = window(); w && w != this) {
                FDragging = true;
                FDragOffset = e->globalPosition().toPoint() - w->frameGeometry().topLeft();
            }
        } else if (e->button() == Qt::RightButton) {
            emit SystemMenuRequested(e->globalPosition().toPoint());
        }
        e->accept();
        return;
    }
    e->accept();
}

void TZeltTitleBar::mouseMoveEvent(QMouseEvent* e) {
    if (FDragging && (e->buttons() & Qt::LeftButton)) {
        window()->move(e->globalPosition().toPoint() - FDragOffset);
        e->accept();
        return;
    }
    QWidget::mouseMoveEvent(e);
}

void TZeltTitleBar::mouseReleaseEvent(QMouseEvent* e) {
    if (FDragging) {
        FDragging = false;
        e->accept();
        return;
    }
    const QPoint pos = e->position().toPoint();
    if (pos.x() < kCaptionHitStart && rect().contains(pos))
        PaletteClick(e->button(), pos);
    e->accept();
}
