#pragma once

#include "ZeltColors.h"

#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>

enum TZeltIconStyle : int { isNone, isHoriz, isDetail, isMain, isVert };
enum TZeltBarAlign : int { alNone, alTop };

// The painted caption of a framework form, in one of five styles. On a data-editing form (EditForm
// set) the plain style shows a 3 x 3 colour palette at its left end: a left click recolours the
// form, a right click lets the user pick the swatch's colour and saves it. The rest of the bar,
// from x = 32 on, acts as the window's caption: a left press drags the window, a right press asks
// for the system menu.
class TZeltTitleBar : public QWidget {
    Q_OBJECT
public:
    explicit TZeltTitleBar(QWidget* parent = nullptr);

    TZeltBarAlign Align() const { return FAlign; }
    void SetAlign(TZeltBarAlign align);
    bool Grayed() const { return FGrayed; }
    // Ignored (stays false) while AllowGrayed is off; a change paints at once.
    void SetGrayed(bool grayed);
    TColor TitleColor() const { return FTitleColor; }
    void SetTitleColor(TColor color);
    TZeltIconStyle IconStyle() const { return FIconStyle; }
    void SetIconStyle(TZeltIconStyle style);
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& caption);
    TColor StartColor() const { return FStartColor; }
    void SetStartColor(TColor color);
    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor color);
    int Tag() const { return FTag; }
    void SetTag(int tag);

    // The data-editing form the palette recolours; setting one switches the palette on.
    QWidget* EditForm() const { return FEditForm; }
    void SetEditForm(QWidget* form);

    // Given the swatch's colour, returns the chosen one (the same when cancelled). A colour dialog
    // unless replaced.
    std::function<TColor(TColor)> ColorChooser;

    bool AllowGrayed = true;
    QString FontName = QStringLiteral("Ms Sans Serif");
    int FontSize = 8;
    bool FontBold = true;
    bool FontItalic = false;
    TColor GrayedFontColor = 0;
    TColor FontColor = 0;
    TColor InactiveStartColor = 0;
    TColor InactiveEndColor = 0;
    bool Special = false;

    int IconSpace() const { return FIconSpace; }
    int CaptionWidth() const { return FCaptionWidth; }
    // The swatch (column, row) under a point, or false over the frame or outside the palette.
    static bool SwatchAt(QPoint pos, int& column, int& row);
    // What a click on the palette does, as a mouse release there.
    void PaletteClick(Qt::MouseButton button, QPoint pos);

    // The colours of the horizontal (or vertical) gradient over `length` pixels, column by column.
    static QList<TColor> GradientColors(TColor start, TColor end, int length);

signals:
    // The palette gave the editing form a new colour (the form's paint event, with the bar as
    // sender, in the original).
    void EditFormColorChanged(TColor color);
    // A right press on the caption part of the bar, at a global position.
    void SystemMenuRequested(QPoint globalPos);
    // Saving a swatch to DESIGN.INI failed; the swatch and the form changed all the same.
    void PaletteSaveFailed(const QString& message);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Recompute();
    void FollowParent();
    void PaintGradient(QPainter& p, TColor start, TColor end, bool vertical);
    void RebuildMainBitmaps();
    QFont CaptionFont() const;

    TZeltBarAlign FAlign = alTop;
    bool FGrayed = false;
    TColor FTitleColor = clWhite;
    TZeltIconStyle FIconStyle = isNone;
    QString FCaption;
    TColor FStartColor = clOther;
    TColor FEndColor = clActiveTitleBar;
    int FTag = 0;
    QPointer<QWidget> FEditForm;
    QPointer<QWidget> FWatched;
    double FScara = 1.0;
    int FIconSpace = 20;
    int FCaptionWidth = 0;
    QPixmap FMainBitmap;
    QPixmap FMainBitmapGrayed;
    bool FDragging = false;
    QPoint FDragOffset;
};
