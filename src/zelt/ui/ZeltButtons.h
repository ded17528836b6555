#pragma once

#include "ZeltButtonKinds.h"
#include "ZeltColors.h"

#include <QPixmap>
#include <QPushButton>
#include <QTimer>

class QPainter;

// The framework's owner-drawn push button. It keeps Qt's keyboard, focus and default-button handling
// and its clicked() signal; the framework paints it. A kind brings a caption, a modal result and a
// glyph; only one button of the process is lit (under the mouse or focused) at a time; a click
// that did not come from the mouse flashes the pressed look for 20 ms.
class TZeltNiceButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
public:
    explicit TZeltNiceButton(QWidget* parent = nullptr, TZeltButtonKind kind = mkCustom);
    ~TZeltNiceButton() override;

    TZeltButtonKind Kind() const { return FKind; }
    // The modal result and the caption follow the kind unless they were assigned.
    void SetKind(TZeltButtonKind kind);
    QString Caption() const { return text(); }
    void SetCaption(const QString& caption);
    bool CaptionAssigned() const { return FCaptionAssigned; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult result);
    bool ModalResultAssigned() const { return FModalResultAssigned; }

    bool CaptionVisible() const { return FCaptionVisible; }
    void SetCaptionVisible(bool visible);
    // Three images side by side: normal, disabled, lit.
    const QPixmap& Glyph() const { return FGlyph; }
    void SetGlyph(const QPixmap& glyph);
    bool ForcedDown() const { return FForcedDown; }
    void SetForcedDown(bool down);
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    // The font's colour (the caption's).
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor color);
    bool LightButton() const { return FLightButton; }
    void SetLightButton(bool value) { FLightButton = value; }
    int Tag() const { return FTag; }
    void SetTag(int tag);
    // The form presses the cancel button on Escape.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool value) { FCancel = value; }

    bool IsLit() const { return FDrawFace; }
    bool IsMouseDown() const { return FMouseDown; }
    // The lit button of the process, if any.
    static TZeltNiceButton* LitButton();

    // The colour of the disabled caption: DarkenColor(Color, 3), fixed when first needed.
    TColor DisableColor();

    bool IsColorButton = false;
    // The whole rectangle answers the mouse (touch buttons); else only the painted face band.
    bool SkipOverButton = false;
    TColor FDisableColor = -1;
    TColor BackColor = 0;
    TColor OldColor = 0;
    TColor LightColor = 0;
    TColor LightColor1 = 0;
    TColor LightColor2 = 0;
    TColor LightColor3 = 0;
    TColor LightColor4 = 0;
    bool FaraAddWiz = false;
    bool VoodooButton = false;
    int FaceStatus = 0;
    int GlyphWidth = 0;
    int GlyphHeight = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    virtual void PaintButton(QPainter& p);
    // Whether a point (in the button's coordinates) lies where the button answers the mouse.
    virtual bool InActiveArea(const QPoint& pos) const;
    bool Pressed() const { return FForcedDown || isDown(); }
    // The glyph picture the button paints: its own for the custom kind, else the kind's.
    QPixmap KindGlyph() const;
    void SetLit(bool lit);
    // When parented: BackColor and Color become the parent's colour.
    void TakeParentColor();
    // For painting code: changes the colour without asking for another paint.
    void SetColorNoPaint(TColor color) { FColor = color; }

    bool hitButton(const QPoint& pos) const override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void LightByMouse();
    void Clicked();
    void FlashEnded();

    TZeltButtonKind FKind = mkCustom;
    bool FCaptionAssigned = false;
    TModalResult FModalResult = mrNone;
    bool FModalResultAssigned = false;
    bool FCaptionVisible = true;
    QPixmap FGlyph;
    bool FForcedDown = false;
    TColor FColor = clBtnFace;
    TColor FFontColor = clWindowText;
    bool FLightButton = true;
    int FTag = 0;
    bool FCancel = false;
    bool FDrawFace = false;
    bool FMouseDown = false;
    bool FMouseClick = false;
    QTimer FFlashTimer;
};

enum TButtonLayout : int { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A flat button for touch screens: a plain coloured area with a caption and an optional glyph or
// badge, laid out by glyph position, margin and spacing.
class TZeltTouchButton : public TZeltNiceButton {
    Q_OBJECT
public:
    explicit TZeltTouchButton(QWidget* parent = nullptr, TZeltButtonKind kind = mkCustom);

    int TipBulina() const { return FTipBulina; }
    void SetTipBulina(int value);
    bool CaptionOver() const { return FCaptionOver; }
    void SetCaptionOver(bool value);
    bool Centered() const { return FCentered; }
    void SetCentered(bool value);
    // 0 reads as 3 when painted.
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int value);
    TButtonLayout ButtonLayout() const { return FLayout; }
    void SetButtonLayout(TButtonLayout value);
    int Margin() const { return FMargin; }
    void SetMargin(int value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value);
    bool UseBorderColor() const { return FUseBorderColor; }
    void SetUseBorderColor(bool value);
    TColor UsedBorderColor() const { return FUsedBorderColor; }
    void SetUsedBorderColor(TColor value);

    // Caption colour when lit; 0 means ShadeColor(font colour, 10, 5).
    TColor SelFontColor = 0;

    // Where the caption's and the glyph's top-left corners go for the given sizes; exposed for the
    // layout arithmetic's own sake.
    struct Layout {
        QPoint Glyph;
        QPoint Text;
    };
    Layout ComputeLayout(QSize glyph, QSize text, QSize button, bool emptyCustomGlyph) const;

protected:
    void PaintButton(QPainter& p) override;
    bool InActiveArea(const QPoint& pos) const override;

private:
    int FTipBulina = 0;
    bool FCaptionOver = false;
    bool FCentered = false;
    int FNumGlyphs = 3;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = -1;
    bool FUseBorderColor = false;
    TColor FUsedBorderColor = clWhite;
};
