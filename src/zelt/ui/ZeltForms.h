#pragma once

#include "ZeltButtonKinds.h"
#include "ZeltColors.h"

#include <QDateTime>
#include <QEvent>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QRegion>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

class QAbstractButton;
class QEventLoop;
class QMenu;
class QWindow;
class TZeltFmtLabel;
class TZeltTitleBar;

// The framework's form chain on top-level QWidgets without the system caption:
//   TZeltForm         buttons disabled with the window, Romanian system menu, right-click
//                     notification, transparent mode, colour fix-ups at load, modal showing
//   TZeltPaintedForm  an optional patterned background
//   TZeltTitleForm    the painted title bar and information label, dragging by the bar,
//                     the six-pixel frame, the customizer list
//   TZeltDBEditForm   (ZeltDBEditForm.h) settings persisted between runs, placement, macros
//
// Geometry. The window's outer rectangle is the form's rect(). Forms with a border keep a
// six-pixel frame along the outer edges (where the window can be sized), plus BorderWidth; the
// rest is the client area, ClientRect(), which holds the title bar at its top. The contents
// margins leave out frame, border and title bar, so a layout set on the form fills the area below
// the bar.
//
// Loading. What the platform did after reading a stored window definition (colour fix-ups,
// finding or creating the title bar and label) happens in Loaded(): a subclass that builds its
// own controls may call it at the end of its constructor; otherwise it runs before the first show.
//
// Closing. closeEvent() runs CloseQuery(), then DoClose(action): the layers' close steps, the
// data-editing layer's settings first, and last the window's own FormClose(action) and the
// signal Closing(). Subclasses put their close handler in FormClose.

// The form's buttons with the Enabled each had when the window was last disabled.
class TZeltButtonList {
public:
    void Add(QAbstractButton* button, bool enabled);
    // None at or past the count (or when the button is gone).
    QAbstractButton* GetButton(int index) const;
    // False at or past the count.
    bool GetEnabled(int index) const;
    // Ignored at or past the count.
    void SetEnabled(int index, bool value);
    int Count() const { return int(FItems.size()); }
    // Grows in steps of 16, as far as 16 bits go.
    int Capacity() const { return FCapacity; }
    void Clear();

private:
    struct Item {
        QPointer<QAbstractButton> Button;
        bool Enabled;
    };
    QList<Item> FItems;
    int FCapacity = 0;
};

enum TFormBorderStyle : int { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition : int {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TCloseAction : int { caNone, caHide, caFree, caMinimize };

// The framework's right-click notification: a right-button press over a framework form, posted
// to the active form with the cursor's screen position.
class TZeltRightClickEvent final : public QEvent {
public:
    static QEvent::Type EventType();
    explicit TZeltRightClickEvent(QPoint globalPos);
    QPoint GlobalPos() const { return FGlobalPos; }

private:
    QPoint FGlobalPos;
};

class TZeltForm : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
public:
    // A top-level window; `owner` becomes the Qt parent (the window stays above it).
    explicit TZeltForm(QWidget* owner = nullptr);
    ~TZeltForm() override;

    // Published settings.
    bool DynamicWidth = false;
    bool TransparentMode = false;

    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle style);
    bool SystemMenuIcon() const { return FSystemMenuIcon; }
    void SetSystemMenuIcon(bool on) { FSystemMenuIcon = on; }
    // Room between the frame and the client area.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int width);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition position) { FPosition = position; }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int context) { FHelpContext = context; }
    bool Sizeable() const { return FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin; }

    // The frame drawn or kept along the outer edges, in pixels.
    int FrameWidth() const;
    QRect ClientRect() const;
    // Resizes the window so that the client area gets this size.
    void SetClientSize(int width, int height);
    // The form's pixels per inch over 96.
    double Scale() const;

    // Modal showing, as the platform's: the window is shown application-modal and the call
    // returns once ModalResult is set (a button of the form with a modal result, or a close,
    // which gives mrCancel).
    TModalResult ShowModal();
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult result);
    bool InModalLoop() const { return FModalLoop != nullptr; }

    void Loaded();
    bool IsLoaded() const { return FLoaded; }

    // Operations of the form classes.
    virtual void AddOperand(double value);
    virtual QWidget* FirstControl(bool);
    virtual void EnableBotoane(bool enabled);
    virtual void ClearGridsSelections();
    void RefreshBotoane();
    // The system menu with the Romanian commands, close greyed; none for a form without a border
    // or without the system-menu icon. Shown on Alt+Space and a right press on the title bar.
    std::unique_ptr<QMenu> BuildSystemMenu();
    void ShowSystemMenu(QPoint globalPos);
    void CreateTransparentPanel(bool withShow);
    void ShowTransparentPanel();
    void HideTransparentPanel();

    // Fields.
    bool PrimaData = true;
    QPointer<QAbstractButton> FocusButton;
    TZeltButtonList Botoane;
    QMap<QString, QPointer<QWidget>> Griduri;
    QMap<QString, QPointer<QWidget>> Taburi;
    QMap<QString, QPointer<QWidget>> Treeuri;
    bool FBackgroundMoveEnabled = false;
    QTime ShowStart;
    TColor FOldColor = clBtnFace;
    bool IsTransparent = false;
    bool WM_SkipWiz = false;
    QStringList Ascunse;
    bool IsColorForm = false;
    bool SkipBotoane = false;
    bool Activated = false;
    QPointer<QWidget> BackGroundPanel;

    // The window is disabled in effect: by a modal window or by setEnabled(false).
    bool IsWindowDisabled() const { return FBlocked || !isEnabled(); }

signals:
    void Shown();
    void Closing(TCloseAction& action);

protected:
    // Layers override these, calling the base where it says so.
    virtual void DoLoaded();
    // The show step; the base runs the button collection, FormShow, and transparent mode.
    virtual void DoShow();
    virtual void DoHide();
    // The close steps; the base runs FormClose and Closing().
    virtual void DoClose(TCloseAction& action);
    // WM_ENABLE: the window became enabled or disabled.
    virtual void WindowEnabled(bool enabled);
    // Keys before the focused control sees them; true consumes the key.
    virtual bool PreviewKey(QKeyEvent* event);
    virtual void RightClickNotification(QPoint globalPos);
    virtual void WindowActivated();
    // Painting, in this order: background (form colour), then the frame area.
    virtual void PaintBackground(QPainter& p);
    virtual void PaintFrame(QPainter& p);

    // The window's own handlers, as its events OnShow, OnClose and OnCloseQuery.
    virtual void FormShow() {}
    virtual void FormClose(TCloseAction&) {}
    virtual bool CloseQuery() { return true; }

    void CollectButtons();
    void ApplyTransparentMode();
    void UpdateContentsMargins();
    // The top room the title layer keeps for its bar.
    virtual int TitleRoom() const { return 0; }
    // Starts moving the window with the mouse; false when the platform cannot.
    bool StartSystemMove();

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    // Mouse moves of the window made by hand where the platform has no system move.
    struct HandDrag {
        bool Active = false;
        QPoint StartGlobal;
        QPoint StartPos;
    };
    void BeginHandDrag(QPoint globalPos);
    bool HandDragMove(QPoint globalPos);
    void EndHandDrag();

private:
    void ApplyPlatformPosition();
    void WatchWindowHandle();
    void SetBlocked(bool blocked);
    void EnabledStateChanged();
    void ApplyCloseAction(QCloseEvent* event, TCloseAction action);

    TColor FColor = clBtnFace;
    int FTag = 0;
    TFormBorderStyle FBorderStyle = bsSizeable;
    bool FSystemMenuIcon = true;
    int FBorderWidth = 0;
    TPosition FPosition = poDesigned;
    int FHelpContext = 0;
    TModalResult FModalResult = mrNone;
    QEventLoop* FModalLoop = nullptr;
    bool FLoaded = false;
    bool FBlocked = false;
    bool FEffectivelyDisabled = false;
    QPointer<QWindow> FWatchedWindow;
    HandDrag FDrag;
};

class TZeltPaintedForm : public TZeltForm {
    Q_OBJECT
public:
    explicit TZeltPaintedForm(QWidget* owner = nullptr);
    // The client area is painted with the framework's pattern in the form's colour.
    bool MustPaint = false;

    // The 8 x 8 one-pixel checkerboard, black at (0, 0), with black replaced by `color`.
    static QPixmap PatternBrush(TColor color);

protected:
    void PaintBackground(QPainter& p) override;
};

// Told when its form is enabled or disabled.
class TZeltCustomizer {
public:
    virtual ~TZeltCustomizer();
    virtual void Customize(QWidget* sender);
};

class TZeltTitleForm : public TZeltPaintedForm {
    Q_OBJECT
public:
    // An owner that is none is replaced by the application's main form when that is visible.
    explicit TZeltTitleForm(QWidget* owner = nullptr);
    ~TZeltTitleForm() override;

    TZeltTitleBar* TitleBar();
    TZeltFmtLabel* LabelInfo();
    bool VisibleTitleBar() const { return FVisibleTitleBar; }
    void SetVisibleTitleBar(bool visible);
    bool VisibleLabelInfo() const { return FVisibleLabelInfo; }
    void SetVisibleLabelInfo(bool visible);

    // The caption is the title bar's.
    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& caption) { setWindowTitle(caption); }

    // Customizers are not owned, unless RemoveAll is told to free them.
    void AddCustomizer(TZeltCustomizer* customizer);
    void RemoveCustomizer(TZeltCustomizer* customizer);
    void RemoveAll(bool freeThem);
    TZeltCustomizer* Customizer(int index) const;
    int CustomizerCount() const { return int(FCustomizers.size()); }

    // The hide mode's memory of control colours: the remembered colour (then forgotten), or, for
    // a name not yet listed, 0x7C7DFC after listing the name with `color`.
    TColor GetHiddenColor(const QString& name, TColor color);

    virtual void KillWizard() {}
    virtual void SetCommonInfo();
    virtual void DoMouse(QWidget* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    // Keeps the label at the right end of the title bar.
    void PlaceLabelInfo();

    QPointer<QWidget> ParavanFrm;
    bool SkipRightClick = false;
    int Clickuri = 0;
    int LoadedCount = 0;
    int BufMaxWidth = 0;
    int BufMaxHeight = 0;
    int BufTop = 0;
    int BufLeft = 0;
    bool FixedPosition = false;
    bool SavePosition = false;
    bool SkipAutoClose = false;

protected:
    void DoLoaded() override;
    void DoHide() override;
    void WindowEnabled(bool enabled) override;
    void PaintFrame(QPainter& p) override;
    int TitleRoom() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // The frame of six lines along the outer edges is drawn on this form.
    virtual bool GetsFrame() const;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void PlaceTitleBar();
    void WatchTitleBar();

    QPointer<TZeltTitleBar> FTitleBar;
    QPointer<TZeltFmtLabel> FLabelInfo;
    bool FVisibleTitleBar = true;
    bool FVisibleLabelInfo = true;
    std::vector<TZeltCustomizer*> FCustomizers;
    QMap<QString, TColor> FHiddenColors;
    bool FPlacingLabel = false;
};
