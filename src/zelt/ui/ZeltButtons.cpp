#include "ZeltButtons.h"

#include "ZeltCaptionText.h"
#include "ZeltFonts.h"
#include "ZeltPictures.h"

#include <QApplication>
#include <QDialog>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>

namespace {

QPointer<TZeltNiceButton> gLit;

constexpr QColor kRed(255, 0, 0);

int halfScreenWidth(const QWidget* w) {
    const QScreen* s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return s ? s->geometry().width() / 2 : 512;
}

// One image out of a strip of `count` images side by side.
QPixmap stripImage(const QPixmap& strip, int count, int index) {
    if (strip.isNull() || count <= 0)
        return QPixmap();
    const int w = strip.width() / count;
    if (w <= 0)
        return QPixmap();
    index = std::clamp(index, 0, count - 1);
    return ZeltKeyTransparent(strip.copy(index * w, 0, w, strip.height()));
}

bool isAddKind(TZeltButtonKind k) {
    return k == mkAdd || k == mkPlusAdd || k == mkMinusDel;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TZeltNiceButton

TZeltNiceButton::TZeltNiceButton(QWidget* parent, TZeltButtonKind kind) : QPushButton(parent) {
    FKind = kind;
    resize(120, 30);
    setMouseTracking(true);
    setAutoDefault(false);
    QFont f = font();
    f.setBold(true);
    setFont(f);
    FModalResult = ZeltButtonKindInfo(FKind).ModalResult;
    QPushButton::setText(ZeltButtonKindInfo(FKind).Caption);
    FFlashTimer.setSingleShot(true);
    FFlashTimer.setInterval(20);
    connect(&FFlashTimer, &QTimer::timeout, this, &TZeltNiceButton::FlashEnded);
    // Connected before any user of the button, so the modal result is set before its handlers run.
    connect(this, &QAbstractButton::clicked, this, &TZeltNiceButton::Clicked);
    TakeParentColor();
}

TZeltNiceButton::~TZeltNiceButton() {
    if (gLit == this)
        gLit = nullptr;
}

TZeltNiceButton* TZeltNiceButton::LitButton() {
    return gLit.data();
}

void TZeltNiceButton::SetKind(TZeltButtonKind kind) {
    FKind = kind;
    const TZeltButtonKindInfo& info = ZeltButtonKindInfo(kind);
    if (!FModalResultAssigned)
        FModalResult = info.ModalResult;
    if (!FCaptionAssigned)
        QPushButton::setText(info.Caption);
    update();
}

void TZeltNiceButton::SetCaption(const QString& caption) {
    FCaptionAssigned = true;
    QPushButton::setText(caption);
    update();
}

void TZeltNiceButton::SetModalResult(TModalResult result) {
    FModalResultAssigned = true;
    FModalResult = result;
}

void TZeltNiceButton::SetCaptionVisible(bool visible) {
    FCaptionVisible = visible;
    update();
}

void TZeltNiceButton::SetGlyph(const QPixmap& glyph) {
    FGlyph = glyph;
    update();
}

void TZeltNiceButton::SetForcedDown(bool down) {
    FForcedDown = down;
    update();
}

void TZeltNiceButton::SetColor(TColor color) {
    FColor = color;
    update();
}

void TZeltNiceButton::SetFontColor(TColor color) {
    FFontColor = color;
    update();
}

void TZeltNiceButton::SetTag(int tag) {
    FTag = tag;
    update();
}

TColor TZeltNiceButton::DisableColor() {
    if (FDisableColor == -1)
        FDisableColor = DarkenColor(FColor, 3);
    return FDisableColor;
}

void TZeltNiceButton::TakeParentColor() {
    if (QWidget* p = parentWidget()) {
        BackColor = ZeltColorOf(p);
        FColor = BackColor;
    }
}

void TZeltNiceButton::SetLit(bool lit) {
    if (lit) {
        if (gLit && gLit != this)
            gLit->SetLit(false);
        gLit = this;
    } else if (gLit == this) {
        gLit = nullptr;
    }
    if (FDrawFace != lit) {
        FDrawFace = lit;
        update();
    }
}

void TZeltNiceButton::LightByMouse() {
    if (!isEnabled())
        return;
    // The focus follows the mouse only from one framework button to another.
    QWidget* focused = QApplication::focusWidget();
    if (focused && focused != this && qobject_cast<TZeltNiceButton*>(focused))
        setFocus(Qt::MouseFocusReason);
    SetLit(true);
}

void TZeltNiceButton::Clicked() {
    QWidget* form = window();
    if (form && form != this) {
        if (form->metaObject()->indexOfProperty("ModalResult") >= 0)
            form->setProperty("ModalResult", FModalResult);
        else if (auto* dialog = qobject_cast<QDialog*>(form); dialog && FModalResult != mrNone)
            dialog->done(FModalResult);
    }
    if (!FMouseClick) {
        FForcedDown = true;
        update();
        FFlashTimer.start();
    }
    if (hasFocus())
        SetLit(true);
}

void TZeltNiceButton::FlashEnded() {
    FForcedDown = false;
    FMouseDown = false;
    update();
}

bool TZeltNiceButton::InActiveArea(const QPoint& pos) const {
    if (!rect().contains(pos))
        return false;
    if (SkipOverButton)
        return true;
    const QPixmap face = ZeltPicture(QStringLiteral("face"));
    const int fh = face.height();
    const int top = (height() - fh) / 2;
    if (pos.y() >= top && pos.y() < top + fh)
        return true;
    if (!FGlyph.isNull() && FCaptionVisible && !text().isEmpty()) {
        const int gw = FGlyph.width() / 3;
        const int gh = FGlyph.height();
        const QRect square(34 - gw, (height() - gh) / 2, gw, gh);
        return square.contains(pos);
    }
    return false;
}

bool TZeltNiceButton::hitButton(const QPoint& pos) const {
    return InActiveArea(pos);
}

bool TZeltNiceButton::event(QEvent* e) {
    if (e->type() == QEvent::ParentChange)
        TakeParentColor();
    return QPushButton::event(e);
}

void TZeltNiceButton::changeEvent(QEvent* e) {
    if (e->type() == QEvent::EnabledChange && !isEnabled()) {
        // A disabled button is no longer the lit one.
        if (gLit == this)
            gLit = nullptr;
        FDrawFace = false;
    }
    QPushButton::changeEvent(e);
    update();
}

void TZeltNiceButton::focusInEvent(QFocusEvent* e) {
    QPushButton::focusInEvent(e);
    SetLit(true);
}

void TZeltNiceButton::focusOutEvent(QFocusEvent* e) {
    QPushButton::focusOutEvent(e);
    SetLit(false);
}

void TZeltNiceButton::enterEvent(QEnterEvent* e) {
    QPushButton::enterEvent(e);
    if (InActiveArea(e->position().toPoint()))
        LightByMouse();
}

void TZeltNiceButton::leaveEvent(QEvent* e) {
    QPushButton::leaveEvent(e);
    if (isEnabled() && !hasFocus())
        SetLit(false);
}

void TZeltNiceButton::mouseMoveEvent(QMouseEvent* e) {
    QPushButton::mouseMoveEvent(e);
    const bool inside = InActiveArea(e->position().toPoint());
    if (inside && !FDrawFace)
        LightByMouse();
    else if (!inside && FDrawFace && isEnabled() && !hasFocus())
        SetLit(false);
}

void TZeltNiceButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && InActiveArea(e->position().toPoint())) {
        FMouseDown = true;
        update();
    }
    QPushButton::mousePressEvent(e);
}

void TZeltNiceButton::mouseReleaseEvent(QMouseEvent* e) {
    QPointer<TZeltNiceButton> self(this);
    FMouseClick = true;
    QPushButton::mouseReleaseEvent(e);
    if (!self)
        return;
    FMouseClick = false;
    FMouseDown = false;
    update();
}

QPixmap TZeltNiceButton::KindGlyph() const {
    if (FKind == mkCustom)
        return FGlyph;
    return ZeltPicture(ZeltButtonKindInfo(FKind).GlyphName);
}

void TZeltNiceButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintButton(p);
}

void TZeltNiceButton::PaintButton(QPainter& p) {
    const int W = width();
    const int H = height();
    const bool lit = FDrawFace;
    const bool pressed = Pressed();
    const bool enabled = isEnabled();
    const bool showCaption = FCaptionVisible && !text().isEmpty();

    const QPixmap glyph = (FKind == mkCustom || FCaptionVisible) ? FGlyph : KindGlyph();

    QColor fill = ZeltToQColor(FColor);
    if (FKind == mkBlueClose && !glyph.isNull() && glyph.width() > 1 && glyph.height() > 1)
        fill = glyph.toImage().pixelColor(1, 1);
    p.fillRect(rect(), fill);

    const QPixmap face = ZeltPicture(QStringLiteral("face"));
    const int slice = face.width() / 9;
    const int fh = face.height();
    const int faceTop = (H - fh) / 2;
    const int faceLeft = glyph.isNull() ? 0 : 35;
    if (showCaption && slice > 0) {
        const int look = pressed ? 6 : lit ? 3 : 0;
        // Both ends are keyed by the picture's top-left pixel; the middle is copied as it is.
        const QColor key = face.toImage().pixelColor(0, 0);
        const QPixmap left = ZeltKeyTransparent(face.copy((look + 0) * slice, 0, slice, fh), key);
        const QPixmap middle = face.copy((look + 1) * slice, 0, slice, fh);
        const QPixmap right = ZeltKeyTransparent(face.copy((look + 2) * slice, 0, slice, fh), key);
        p.drawPixmap(faceLeft, faceTop, left);
        for (int x = faceLeft + slice; x < W - slice; x += slice)
            p.drawPixmap(x, faceTop, middle);
        p.drawPixmap(W - slice, faceTop, right);

        p.setFont(font());
        const QFontMetrics fm(font());
        const TZeltCaptionText caption(text(), false, fm, 0);
        const int textHeight = fm.boundingRect(QStringLiteral("Wg")).height();
        const int left0 = faceLeft + slice / 2;
        const int right0 = W - slice / 2;
        int x = left0 + (right0 - left0 - caption.Width()) / 2;
        int y = faceTop + (fh - textHeight) / 2;
        if (!enabled) {
            caption.Draw(p, QPoint(x, y), ZeltToQColor(DisableColor()), QColor());
        } else if (lit) {
            if (pressed)
                ++x, ++y;
            caption.Draw(p, QPoint(x, y), kRed, kRed);
        } else {
            caption.Draw(p, QPoint(x, y), ZeltToQColor(FFontColor), kRed);
        }
    }

    if (!glyph.isNull()) {
        const int gw = glyph.width() / 3;
        const QPixmap image = stripImage(glyph, 3, !enabled ? 1 : lit ? 2 : 0);
        const int gx = showCaption ? 34 - gw : 0;
        p.drawPixmap(gx, (H - glyph.height()) / 2, image);
    }
}

// ---------------------------------------------------------------------------------------------
// TZeltTouchButton

TZeltTouchButton::TZeltTouchButton(QWidget* parent, TZeltButtonKind kind) : TZeltNiceButton(parent, kind) {
    IsColorButton = true;
    SkipOverButton = true;
    BackColor = 1;
    TakeParentColor();
}

void TZeltTouchButton::SetTipBulina(int value) {
    FTipBulina = value;
    update();
}

void TZeltTouchButton::SetCaptionOver(bool value) {
    FCaptionOver = value;
    update();
}

void TZeltTouchButton::SetCentered(bool value) {
    FCentered = value;
    update();
}

void TZeltTouchButton::SetNumGlyphs(int value) {
    FNumGlyphs = value;
    update();
}

void TZeltTouchButton::SetButtonLayout(TButtonLayout value) {
    FLayout = value;
    update();
}

void TZeltTouchButton::SetMargin(int value) {
    FMargin = value;
    update();
}

void TZeltTouchButton::SetSpacing(int value) {
    FSpacing = value;
    update();
}

void TZeltTouchButton::SetUseBorderColor(bool value) {
    FUseBorderColor = value;
    update();
}

void TZeltTouchButton::SetUsedBorderColor(TColor value) {
    FUsedBorderColor = value;
    update();
}

bool TZeltTouchButton::InActiveArea(const QPoint& pos) const {
    return rect().contains(pos);
}

TZeltTouchButton::Layout TZeltTouchButton::ComputeLayout(QSize glyph, QSize text, QSize button,
                                                         bool emptyCustomGlyph) const {
    const int gw = glyph.width(), gh = glyph.height();
    const int tw = text.width(), th = text.height();
    const int W = button.width(), H = button.height();
    const int sp = FSpacing;
    Layout l;
    if (FCentered) {
        l.Glyph = QPoint((W - gw) / 2, (H - gh) / 2);
        l.Text = QPoint((W - tw) / 2, (H - th) / 2);
    } else if (FMargin == -1) {
        const int a = (W - gw - tw - sp) / 3;
        const int c = (H - gh - th - sp) / 3;
        switch (FLayout) {
        case blGlyphLeft:
            l.Glyph = QPoint(a, (H - gh) / 2);
            l.Text = QPoint(2 * a + gw + sp, (H - th) / 2);
            break;
        case blGlyphRight:
            l.Text = QPoint(a, (H - th) / 2);
            l.Glyph = QPoint(2 * a + tw + sp, (H - gh) / 2);
            break;
        case blGlyphTop:
            l.Glyph = QPoint((W - gw) / 2, c);
            l.Text = QPoint((W - tw) / 2, 2 * c + gh + sp);
            break;
        case blGlyphBottom:
            l.Text = QPoint((W - tw) / 2, c);
            l.Glyph = QPoint((W - gw) / 2, 2 * c + th + sp);
            break;
        }
        if (emptyCustomGlyph)
            l.Text.setX(5);
    } else {
        const int m = FMargin;
        switch (FLayout) {
        case blGlyphLeft: {
            const int a = 2 * m + gw + sp;
            l.Glyph = QPoint(m, (H - gh) / 2);
            l.Text = QPoint(a + (W - a - tw) / 2, (H - th) / 2);
            break;
        }
        case blGlyphRight: {
            const int a = 2 * m + tw + sp;
            l.Text = QPoint(m, (H - th) / 2);
            l.Glyph = QPoint(a + (W - a - gw) / 2, (H - gh) / 2);
            break;
        }
        case blGlyphTop: {
            const int a = 2 * m + gh + sp;
            l.Glyph = QPoint((W - gw) / 2, m);
            l.Text = QPoint((W - tw) / 2, a + (H - a - th) / 2);
            break;
        }
        case blGlyphBottom: {
            const int a = 2 * m + th + sp;
            l.Text = QPoint((W - tw) / 2, m);
            l.Glyph = QPoint((W - gw) / 2, a + (H - a - gh) / 2);
            break;
        }
        }
    }
    if (FCaptionOver)
        l.Text = QPoint((W - tw) / 2, (H - th) / 2);
    return l;
}

void TZeltTouchButton::PaintButton(QPainter& p) {
    const int W = width();
    const int H = height();
    const bool lit = IsLit();
    const bool pressed = Pressed();
    const bool enabled = isEnabled();
    const TZeltButtonKind kind = Kind();
    const bool addKind = isAddKind(kind);

    if (FNumGlyphs == 0)
        FNumGlyphs = 3;
    int numGlyphs = FNumGlyphs;
    if (numGlyphs == 3 && (kind == mkPrint || kind == mkMail))
        numGlyphs = 2;
    if (LightColor == 0)
        LightColor = LightenColor(Color(), 20);
    if (addKind && parentWidget() && !parentWidget()->isWindow())
        SetColorNoPaint(ZeltColorOf(parentWidget()));
    const bool iconStyle = numGlyphs == 2;

    // Face.
    const bool bright = (pressed || lit) && (iconStyle || !addKind);
    p.fillRect(rect(), ZeltToQColor(bright ? LightColor : Color()));

    // Glyph and badge. The icon strips of the icon style are not among our pictures, so only the
    // custom glyph shows there.
    const QPixmap glyphStrip = (iconStyle && kind != mkCustom) ? QPixmap() : KindGlyph();
    const int glyphCount = iconStyle ? 2 : numGlyphs;
    QSize glyphSize;
    if (!glyphStrip.isNull() && glyphCount > 0)
        glyphSize = QSize(glyphStrip.width() / glyphCount, glyphStrip.height());
    QPixmap badge;
    QSize badgeSize;
    if (FTipBulina > 0) {
        badge = ZeltPicture(QStringLiteral("badge/%1").arg(FTipBulina));
        const bool halves = FTipBulina == 1 || FTipBulina == 2 || FTipBulina >= 6;
        if (!badge.isNull()) {
            badge = stripImage(badge, halves ? 2 : 1, halves && !window()->isEnabled() ? 1 : 0);
            badgeSize = badge.size();
        }
    }
    const QSize area(std::max(glyphSize.width(), badgeSize.width()),
                     std::max(glyphSize.height(), badgeSize.height()));

    // Caption.
    QString caption = addKind ? QString() : text();
    if (caption != QLatin1String("#"))
        caption.replace(QLatin1Char('#'), QLatin1Char('\n'));
    p.setFont(font());
    const QFontMetrics fm(font());
    const bool wrap = caption.contains(QLatin1Char('\n'));
    const TZeltCaptionText ctext(caption, wrap, fm, halfScreenWidth(this));
    const QSize textSize = caption.isEmpty() ? QSize(0, 0) : QSize(ctext.Width(), ctext.Height());

    const Layout l = ComputeLayout(area, textSize, size(), kind == mkCustom && Glyph().isNull());

    if (!badge.isNull())
        p.drawPixmap(l.Glyph.x() + (area.width() - badgeSize.width()) / 2,
                     l.Glyph.y() + (area.height() - badgeSize.height()) / 2, badge);
    if (!glyphStrip.isNull()) {
        const QPixmap image = stripImage(glyphStrip, glyphCount, !enabled && glyphCount > 1 ? 1 : 0);
        const int shift = pressed ? 1 : 0;
        p.drawPixmap(l.Glyph.x() + (area.width() - glyphSize.width()) / 2 + shift,
                     l.Glyph.y() + (area.height() - glyphSize.height()) / 2 + shift, image);
    }

    QPoint textPos = l.Text;
    const bool menuMark = Tag() < -9989;
    if (menuMark)
        textPos.rx() += 8;
    textPos.setX(std::max(textPos.x(), 3));
    if (CaptionVisible() && !caption.isEmpty()) {
        const QColor fontColour = ZeltToQColor(FontColor());
        const QColor accel = caption == QLatin1String("&&") ? QColor() : kRed;
        if (!enabled) {
            ctext.DrawCentered(p, textPos.x(), textPos.y(), textSize.width(), ZeltToQColor(DisableColor()));
        } else if (lit) {
            const TColor sel = SelFontColor != 0 ? SelFontColor : ShadeColor(FontColor(), 10, 5);
            const QPoint at = pressed ? textPos + QPoint(1, 1) : textPos;
            ctext.Draw(p, at, ZeltToQColor(sel), accel);
        } else {
            ctext.Draw(p, textPos, fontColour, accel);
        }
    }

    if (menuMark) {
        const int tx = textPos.x() - 7;
        const int ty = textPos.y() + textSize.height() / 2 - 1;
        p.setPen(Qt::NoPen);
        p.setBrush(Tag() == -9990 ? kRed : QColor(Qt::white));
        p.drawPolygon(QPolygon{QPoint(tx - 1, ty), QPoint(tx + 5, ty), QPoint(tx + 2, ty + 3)});
        if (lit || pressed) {
            const int ks[4] = {40, 35, 30, 25};
            for (int i = 0; i < 4; ++i)
                p.fillRect(W - 1 - i, 0, 1, H, ZeltToQColor(LightenColor(Color(), ks[i])));
        }
    }

    QRect frame = rect();
    if (FUseBorderColor) {
        p.setBrush(Qt::NoBrush);
        p.setPen(ZeltToQColor(BackColor));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        p.setPen(ZeltToQColor(FUsedBorderColor));
        p.drawRect(rect().adjusted(1, 1, -2, -2));
        frame = rect().adjusted(2, 2, -2, -2);
    }
    if ((lit || pressed) && !addKind) {
        p.setBrush(Qt::NoBrush);
        p.setPen(ZeltToQColor(LightColor));
        p.drawRect(frame.adjusted(0, 0, -1, -1));
        if (pressed) {
            const QColor dark = ZeltToQColor(clBtnShadow);
            const QColor light = ZeltToQColor(clBtnHighlight);
            p.fillRect(frame.left(), frame.top(), frame.width(), 1, dark);
            p.fillRect(frame.left(), frame.top(), 1, frame.height(), dark);
            p.fillRect(frame.left(), frame.bottom(), frame.width(), 1, light);
            p.fillRect(frame.right(), frame.top(), 1, frame.height(), light);
        }
    }
}
