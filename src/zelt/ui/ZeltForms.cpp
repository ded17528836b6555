#include "ZeltForms.h"

#include "ZeltActives.h"
#include "ZeltButtons.h"
#include "ZeltCommonInfo.h"
#include "ZeltFonts.h"
#include "ZeltTitle.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTreeView>
#include <QWindow>

namespace {

constexpr int kFrameWidth = 6;
constexpr int kMaxButtons = 0xFFFF;
// The title bar answers as the caption from here on; before it lies its colour palette.
constexpr int kCaptionStart = 32;

QPixmap patternPixmap(TColor color) {
    QPixmap pm(8, 8);
    QPainter p(&pm);
    const QColor black = ZeltToQColor(color);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            p.setPen((x + y) % 2 == 0 ? black : QColor(Qt::white));
            p.drawPoint(x, y);
        }
    return pm;
}

// The dimming layer of the transparent-panel operations.
class DimmingPanel final : public QWidget {
public:
    explicit DimmingPanel(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("BackGroundPanel"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(0, 0, 0, 50));
    }
};

bool canTakeFocus(const QWidget* w) {
    return w && w->isEnabled() && w->isVisibleTo(w->window()) && w->focusPolicy() != Qt::NoFocus;
}

} // namespace

// ---------------------------------------------------------------------------------------------

void TZeltButtonList::Add(QAbstractButton* button, bool enabled) {
    if (FItems.size() >= kMaxButtons)
        return;
    if (FItems.size() >= FCapacity)
        FCapacity = qMin(FCapacity + 16, kMaxButtons);
    FItems.append({button, enabled});
}

QAbstractButton* TZeltButtonList::GetButton(int index) const {
    return index >= 0 && index < FItems.size() ? FItems[index].Button.data() : nullptr;
}

bool TZeltButtonList::GetEnabled(int index) const {
    return index >= 0 && index < FItems.size() ? FItems[index].Enabled : false;
}

void TZeltButtonList::SetEnabled(int index, bool value) {
    if (index >= 0 && index < FItems.size())
        FItems[index].Enabled = value;
}

void TZeltButtonList::Clear() {
    FItems.clear();
    FCapacity = 0;
}

// ---------------------------------------------------------------------------------------------

QEvent::Type TZeltRightClickEvent::EventType() {
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType(QEvent::User + 0x1401));
    return type;
}

TZeltRightClickEvent::TZeltRightClickEvent(QPoint globalPos) : QEvent(EventType()), FGlobalPos(globalPos) {}

// ---------------------------------------------------------------------------------------------

TZeltForm::TZeltForm(QWidget* owner) : QWidget(owner, Qt::Window | Qt::FramelessWindowHint) {
    UpdateContentsMargins();
}

TZeltForm::~TZeltForm() {
    if (FModalLoop)
        FModalLoop->exit();
    delete BackGroundPanel.data();
}

void TZeltForm::SetColor(TColor color) {
    if (color == FColor)
        return;
    FColor = color;
    update();
}

void TZeltForm::SetBorderStyle(TFormBorderStyle style) {
    FBorderStyle = style;
    UpdateContentsMargins();
    update();
}

void TZeltForm::SetBorderWidth(int width) {
    FBorderWidth = qMax(0, width);
    UpdateContentsMargins();
    update();
}

int TZeltForm::FrameWidth() const {
    return FBorderStyle == bsNone ? 0 : kFrameWidth;
}

QRect TZeltForm::ClientRect() const {
    const int m = FrameWidth() + FBorderWidth;
    return rect().adjusted(m, m, -m, -m);
}

void TZeltForm::SetClientSize(int width, int height) {
    const int m = FrameWidth() + FBorderWidth;
    resize(width + 2 * m, height + 2 * m);
}

double TZeltForm::Scale() const {
    return logicalDpiY() / 96.0;
}

void TZeltForm::UpdateContentsMargins() {
    const int m = FrameWidth() + FBorderWidth;
    setContentsMargins(m, m + TitleRoom(), m, m);
}

TModalResult TZeltForm::ShowModal() {
    FModalResult = mrNone;
    setWindowModality(Qt::ApplicationModal);
    QPointer<TZeltForm> self(this);
    QEventLoop loop;
    FModalLoop = &loop;
    show();
    raise();
    activateWindow();
    if (self && FModalResult == mrNone && isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (!self)
        return mrCancel;
    FModalLoop = nullptr;
    hide();
    setWindowModality(Qt::NonModal);
    return FModalResult == mrNone ? mrCancel : FModalResult;
}

void TZeltForm::SetModalResult(TModalResult result) {
    FModalResult = result;
    if (FModalLoop && result != mrNone)
        FModalLoop->exit();
}

void TZeltForm::Loaded() {
    if (FLoaded)
        return;
    FLoaded = true;
    DoLoaded();
}

void TZeltForm::DoLoaded() {
    if (FColor == TColor(0x909090))
        FColor = 0x808080;
    FOldColor = FColor;
    for (TZeltTitleBar* bar : findChildren<TZeltTitleBar*>()) {
        bar->SetGrayed(false);
        bar->SetTitleColor(clWhite);
        if (bar->IconStyle() == isNone) {
            bar->SetStartColor(FColor);
            bar->SetEndColor(FColor);
        }
        if (bar->EndColor() == TColor(0x80000000u))
            bar->SetEndColor(0x909090);
    }
}

void TZeltForm::AddOperand(double) {}

QWidget* TZeltForm::FirstControl(bool) {
    return focusWidget();
}

void TZeltForm::EnableBotoane(bool enabled) {
    if (SkipBotoane)
        return;
    for (int i = 0; i < Botoane.Count(); ++i)
        if (QAbstractButton* b = Botoane.GetButton(i)) {
            b->setEnabled(enabled);
            b->update();
        }
}

void TZeltForm::ClearGridsSelections() {}

void TZeltForm::CollectButtons() {
    if (!PrimaData)
        return;
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w->isWindow())
            continue;
        if (auto* b = qobject_cast<QPushButton*>(w))
            Botoane.Add(b, !b->testAttribute(Qt::WA_ForceDisabled));
        else if (qobject_cast<QTableView*>(w))
            Griduri.insert(w->objectName(), w);
        else if (qobject_cast<QTreeView*>(w))
            Treeuri.insert(w->objectName(), w);
    }
    PrimaData = false;
}

void TZeltForm::RefreshBotoane() {
    Griduri.clear();
    Taburi.clear();
    Treeuri.clear();
    Botoane.Clear();
    PrimaData = true;
    CollectButtons();
}

std::unique_ptr<QMenu> TZeltForm::BuildSystemMenu() {
    if (FBorderStyle == bsNone || !FSystemMenuIcon)
        return nullptr;
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("SystemMenu"));
    const bool maximized = isMaximized();
    const bool minimized = isMinimized();
    QAction* restore = menu->addAction(QStringLiteral("&Restaureaza"), this, [this] { showNormal(); });
    restore->setEnabled(maximized || minimized);
    QAction* move = menu->addAction(QStringLiteral("&Muta"), this, [this] { StartSystemMove(); });
    move->setEnabled(!maximized);
    QAction* size = menu->addAction(QStringLiteral("&Dimensioneaza"), this, [this] {
        if (QWindow* w = windowHandle())
            w->startSystemResize(Qt::RightEdge | Qt::BottomEdge);
    });
    size->setEnabled(Sizeable() && !maximized);
    QAction* minimize = menu->addAction(QStringLiteral("Mi&nimizeaza"), this, [this] { showMinimized(); });
    minimize->setEnabled(!minimized);
    QAction* maximize = menu->addAction(QStringLiteral("Ma&ximizeaza"), this, [this] { showMaximized(); });
    maximize->setEnabled(Sizeable() && !maximized);
    menu->addSeparator();
    // The window is closed by its own code only.
    QAction* close = menu->addAction(QStringLiteral("&Inchide    ALT+F4"));
    close->setEnabled(false);
    return menu;
}

void TZeltForm::ShowSystemMenu(QPoint globalPos) {
    if (auto menu = BuildSystemMenu())
        menu->exec(globalPos);
}

void TZeltForm::CreateTransparentPanel(bool withShow) {
    if (!BackGroundPanel)
        BackGroundPanel = new DimmingPanel(this);
    BackGroundPanel->setGeometry(rect());
    BackGroundPanel->raise();
    BackGroundPanel->setVisible(withShow);
}

void TZeltForm::ShowTransparentPanel() {
    if (!BackGroundPanel)
        return;
    BackGroundPanel->setGeometry(rect());
    BackGroundPanel->raise();
    BackGroundPanel->show();
}

void TZeltForm::HideTransparentPanel() {
    if (BackGroundPanel)
        BackGroundPanel->hide();
}

void TZeltForm::ApplyTransparentMode() {
    clearMask();
    IsTransparent = false;
    if (!TransparentMode)
        return;
    QRegion region(rect());
    region -= QRegion(ClientRect());
    for (QObject* o : children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && !w->isWindow() && w->isVisibleTo(this))
            region += w->geometry();
    }
    setMask(region);
    IsTransparent = true;
}

void TZeltForm::ApplyPlatformPosition() {
    QScreen* s = screen();
    if (!s)
        return;
    const QRect sg = s->geometry();
    QWidget* centreOn = nullptr;
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
        break;
    case poMainFormCenter:
        centreOn = ZeltCommonInfo::MainForm();
        break;
    case poOwnerFormCenter:
        centreOn = parentWidget();
        break;
    default:
        return;
    }
    const QRect around =
        centreOn && centreOn != this && centreOn->isVisible() ? centreOn->frameGeometry() : sg;
    int x = around.x() + (around.width() - width()) / 2;
    int y = around.y() + (around.height() - height()) / 2;
    x = qMax(x, sg.x());
    y = qMax(y, sg.y());
    move(x, y);
}

void TZeltForm::DoShow() {
    Loaded();
    CollectButtons();
    FormShow();
    emit Shown();
    ShowStart = QTime::currentTime();
    ApplyTransparentMode();
    raise();
}

void TZeltForm::DoHide() {}

void TZeltForm::DoClose(TCloseAction& action) {
    FormClose(action);
    emit Closing(action);
}

void TZeltForm::WindowEnabled(bool enabled) {
    if (!enabled)
        FocusButton = nullptr;
    if (!SkipBotoane && Botoane.Count() > 0) {
        QWidget* focused = focusWidget();
        for (int i = 0; i < Botoane.Count(); ++i) {
            QAbstractButton* b = Botoane.GetButton(i);
            if (!b)
                continue;
            if (!enabled) {
                Botoane.SetEnabled(i, !b->testAttribute(Qt::WA_ForceDisabled));
                if (focused == b)
                    FocusButton = b;
                b->setEnabled(false);
            } else {
                b->setEnabled(Botoane.GetEnabled(i));
            }
            b->update();
        }
    }
    if (enabled && canTakeFocus(FocusButton))
        FocusButton->setFocus(Qt::OtherFocusReason);
}

bool TZeltForm::PreviewKey(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::AltModifier) {
        ShowSystemMenu(mapToGlobal(ClientRect().topLeft()));
        return true;
    }
    return false;
}

void TZeltForm::RightClickNotification(QPoint) {}

void TZeltForm::WindowActivated() {
    if (isVisible())
        Activated = true;
}

void TZeltForm::PaintBackground(QPainter& p) {
    p.fillRect(rect(), ZeltToQColor(FColor));
}

void TZeltForm::PaintFrame(QPainter& p) {
    if (!Sizeable() || FBorderWidth <= 0)
        return;
    // The grip shows in the border around the client area, at its bottom-right corner.
    const QRect client = ClientRect();
    const QRect widened = client.adjusted(-FBorderWidth, -FBorderWidth, FBorderWidth, FBorderWidth);
    const QRect square(widened.right() - 33, widened.bottom() - 33, 34, 34);
    p.save();
    p.setClipRegion(QRegion(square) - QRegion(client));
    p.fillRect(square, QBrush(patternPixmap(FColor)));
    p.setPen(Qt::black);
    p.drawLine(square.bottomLeft(), square.bottomRight());
    p.drawLine(square.topRight(), square.bottomRight());
    p.restore();
}

bool TZeltForm::StartSystemMove() {
    QWindow* w = windowHandle();
    return w && w->startSystemMove();
}

void TZeltForm::BeginHandDrag(QPoint globalPos) {
    FDrag.Active = true;
    FDrag.StartGlobal = globalPos;
    FDrag.StartPos = pos();
}

bool TZeltForm::HandDragMove(QPoint globalPos) {
    if (!FDrag.Active)
        return false;
    move(FDrag.StartPos + (globalPos - FDrag.StartGlobal));
    return true;
}

void TZeltForm::EndHandDrag() {
    FDrag.Active = false;
}

void TZeltForm::WatchWindowHandle() {
    QWindow* w = windowHandle();
    if (!w || w == FWatchedWindow)
        return;
    if (FWatchedWindow)
        FWatchedWindow->removeEventFilter(this);
    FWatchedWindow = w;
    w->installEventFilter(this);
}

bool TZeltForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FWatchedWindow) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::RightButton)
                if (auto* active = qobject_cast<TZeltForm*>(QApplication::activeWindow()))
                    QCoreApplication::postEvent(active,
                                                new TZeltRightClickEvent(me->globalPosition().toPoint()));
            break;
        }
        case QEvent::KeyPress:
            if (PreviewKey(static_cast<QKeyEvent*>(event)))
                return true;
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TZeltForm::SetBlocked(bool blocked) {
    FBlocked = blocked;
    EnabledStateChanged();
}

void TZeltForm::EnabledStateChanged() {
    const bool disabled = IsWindowDisabled();
    if (disabled == FEffectivelyDisabled)
        return;
    FEffectivelyDisabled = disabled;
    WindowEnabled(!disabled);
}

bool TZeltForm::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowBlocked:
        SetBlocked(true);
        break;
    case QEvent::WindowUnblocked:
        SetBlocked(false);
        break;
    case QEvent::WindowActivate:
        WindowActivated();
        break;
    default:
        if (event->type() == TZeltRightClickEvent::EventType()) {
            RightClickNotification(static_cast<TZeltRightClickEvent*>(event)->GlobalPos());
            return true;
        }
        break;
    }
    return QWidget::event(event);
}

void TZeltForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    WatchWindowHandle();
    Loaded();
    ApplyPlatformPosition();
    DoShow();
}

void TZeltForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    EndHandDrag();
    DoHide();
    if (FModalLoop) {
        if (FModalResult == mrNone)
            FModalResult = mrCancel;
        FModalLoop->exit();
    }
}

void TZeltForm::closeEvent(QCloseEvent* event) {
    if (!CloseQuery()) {
        event->ignore();
        return;
    }
    TCloseAction action = caHide;
    DoClose(action);
    ApplyCloseAction(event, action);
}

void TZeltForm::ApplyCloseAction(QCloseEvent* event, TCloseAction action) {
    switch (action) {
    case caNone:
        event->ignore();
        return;
    case caMinimize:
        event->ignore();
        showMinimized();
        return;
    case caFree:
        event->accept();
        deleteLater();
        break;
    case caHide:
        event->accept();
        break;
    }
    if (FModalLoop) {
        if (FModalResult == mrNone)
            FModalResult = mrCancel;
        FModalLoop->exit();
    }
}

void TZeltForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        EnabledStateChanged();
}

void TZeltForm::keyPressEvent(QKeyEvent* event) {
    const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // The focused button answers Enter, else the default button.
        QAbstractButton* target = qobject_cast<QPushButton*>(focusWidget());
        if (!target || !target->isEnabled() || !target->isVisible()) {
            target = nullptr;
            for (QPushButton* b : findChildren<QPushButton*>())
                if (b->isDefault() && b->isVisible() && b->isEnabled() && b->window() == this) {
                    target = b;
                    break;
                }
        }
        if (target) {
            target->click();
            event->accept();
            return;
        }
    } else if (plain && event->key() == Qt::Key_Escape) {
        for (TZeltNiceButton* b : findChildren<TZeltNiceButton*>())
            if (b->Cancel() && b->isVisible() && b->isEnabled() && b->window() == this) {
                b->click();
                event->accept();
                return;
            }
    }
    QWidget::keyPressEvent(event);
}

void TZeltForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintBackground(p);
    PaintFrame(p);
}

void TZeltForm::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && Sizeable() && !isMaximized() && !ClientRect().contains(pos)) {
        const int m = FrameWidth() + FBorderWidth;
        Qt::Edges edges;
        if (pos.x() < m)
            edges |= Qt::LeftEdge;
        if (pos.x() >= width() - m)
            edges |= Qt::RightEdge;
        if (pos.y() < m)
            edges |= Qt::TopEdge;
        if (pos.y() >= height() - m)
            edges |= Qt::BottomEdge;
        if (edges && windowHandle() && windowHandle()->startSystemResize(edges)) {
            event->accept();
            return;
        }
    }
    if (event->button() == Qt::LeftButton && FBackgroundMoveEnabled) {
        if (!StartSystemMove())
            BeginHandDrag(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void TZeltForm::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) && HandDragMove(event->globalPosition().toPoint())) {
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void TZeltForm::mouseReleaseEvent(QMouseEvent* event) {
    EndHandDrag();
    QWidget::mouseReleaseEvent(event);
}

// ---------------------------------------------------------------------------------------------

TZeltPaintedForm::TZeltPaintedForm(QWidget* owner) : TZeltForm(owner) {}

QPixmap TZeltPaintedForm::PatternBrush(TColor color) {
    return patternPixmap(color);
}

void TZeltPaintedForm::PaintBackground(QPainter& p) {
    if (!MustPaint) {
        TZeltForm::PaintBackground(p);
        return;
    }
    p.fillRect(rect(), ZeltToQColor(Color()));
    p.fillRect(ClientRect(), QBrush(patternPixmap(Color())));
}

// ---------------------------------------------------------------------------------------------

TZeltCustomizer::~TZeltCustomizer() = default;

void TZeltCustomizer::Customize(QWidget*) {}

namespace {

QWidget* resolveOwner(QWidget* owner) {
    if (owner)
        return owner;
    QWidget* main = ZeltCommonInfo::MainForm();
    return main && main->isVisible() ? main : nullptr;
}

} // namespace

TZeltTitleForm::TZeltTitleForm(QWidget* owner) : TZeltPaintedForm(resolveOwner(owner)) {
    BufMaxWidth = width();
    BufMaxHeight = height();
    BufTop = y();
    BufLeft = x();
}

TZeltTitleForm::~TZeltTitleForm() = default;

TZeltTitleBar* TZeltTitleForm::TitleBar() {
    Loaded();
    return FTitleBar;
}

TZeltFmtLabel* TZeltTitleForm::LabelInfo() {
    Loaded();
    return FLabelInfo;
}

void TZeltTitleForm::SetVisibleTitleBar(bool visible) {
    FVisibleTitleBar = visible;
    if (FTitleBar)
        FTitleBar->setVisible(visible);
    UpdateContentsMargins();
}

void TZeltTitleForm::SetVisibleLabelInfo(bool visible) {
    FVisibleLabelInfo = visible;
    if (FLabelInfo)
        FLabelInfo->setVisible(visible);
}

void TZeltTitleForm::DoLoaded() {
    TZeltPaintedForm::DoLoaded();
    if (Color() == clDefault)
        SetColor(0x909090);
    const double s = Scale();

    FTitleBar = findChild<TZeltTitleBar*>();
    FLabelInfo = findChild<TZeltFmtLabel*>(QStringLiteral("FmtLabelInfo1"));
    if (!FTitleBar) {
        FTitleBar = new TZeltTitleBar(this);
        FTitleBar->setObjectName(QStringLiteral("ZeltTitleBar1"));
        FTitleBar->SetGrayed(false);
        FTitleBar->SetTitleColor(clWhite);
        // Behind the controls that share its area.
        FTitleBar->lower();
        FTitleBar->show();
    }
    if (!FLabelInfo) {
        FLabelInfo = new TZeltFmtLabel(this);
        FLabelInfo->setObjectName(QStringLiteral("FmtLabelInfo1"));
        FLabelInfo->SetAutoSize(true);
        FLabelInfo->setGeometry(60, qRound(5 * s), FLabelInfo->width(), qRound(18 * s));
        FLabelInfo->SetAlignment(taRightJustify);
        FLabelInfo->SetTransparent(true);
        FLabelInfo->SetCaption(QString());
        FLabelInfo->setFont(ZeltFonts::FromHeight(QStringLiteral("MS Sans Serif"), qRound(11 * s)));
        FLabelInfo->SetFontColor(clWhite);
        FLabelInfo->SetShadowColor(clBlack);
        FLabelInfo->show();
    }
    BufMaxWidth = width();
    BufMaxHeight = height();
    BufTop = y();
    BufLeft = x();

    FTitleBar->SetCaption(windowTitle());
    FTitleBar->setVisible(FVisibleTitleBar);
    FLabelInfo->setVisible(FVisibleLabelInfo);
    // The label lies on the bar: presses go through to the bar, which drags the window.
    FLabelInfo->setAttribute(Qt::WA_TransparentForMouseEvents);
    FLabelInfo->raise();
    WatchTitleBar();
    UpdateContentsMargins();
    PlaceTitleBar();
    PlaceLabelInfo();
}

void TZeltTitleForm::WatchTitleBar() {
    FTitleBar->installEventFilter(this);
    connect(FTitleBar, &TZeltTitleBar::SystemMenuRequested, this,
            [this](QPoint globalPos) { ShowSystemMenu(globalPos); });
}

int TZeltTitleForm::TitleRoom() const {
    if (!FTitleBar || !FTitleBar->isVisibleTo(this) || FTitleBar->Align() != alTop)
        return 0;
    return FTitleBar->height();
}

void TZeltTitleForm::PlaceTitleBar() {
    if (!FTitleBar || FTitleBar->Align() != alTop)
        return;
    const QRect client = ClientRect();
    FTitleBar->setGeometry(client.x(), client.y(), client.width(), FTitleBar->height());
}

void TZeltTitleForm::PlaceLabelInfo() {
    if (!FLabelInfo || FPlacingLabel)
        return;
    FPlacingLabel = true;
    FLabelInfo->SetAutoSize(true);
    FLabelInfo->move(width() - FLabelInfo->width() - qRound(30 * Scale()), ClientRect().top() + 1);
    FPlacingLabel = false;
}

void TZeltTitleForm::AddCustomizer(TZeltCustomizer* customizer) {
    if (!customizer || std::find(FCustomizers.begin(), FCustomizers.end(), customizer) != FCustomizers.end())
        return;
    FCustomizers.push_back(customizer);
}

void TZeltTitleForm::RemoveCustomizer(TZeltCustomizer* customizer) {
    const auto it = std::find(FCustomizers.begin(), FCustomizers.end(), customizer);
    if (it == FCustomizers.end())
        return;
    *it = FCustomizers.back();
    FCustomizers.pop_back();
}

void TZeltTitleForm::RemoveAll(bool freeThem) {
    std::vector<TZeltCustomizer*> removed;
    removed.swap(FCustomizers);
    if (freeThem)
        for (TZeltCustomizer* c : removed)
            delete c;
}

TZeltCustomizer* TZeltTitleForm::Customizer(int index) const {
    return index >= 0 && index < int(FCustomizers.size()) ? FCustomizers[size_t(index)] : nullptr;
}

TColor TZeltTitleForm::GetHiddenColor(const QString& name, TColor color) {
    const auto it = FHiddenColors.find(name);
    if (it != FHiddenColors.end()) {
        const TColor remembered = it.value();
        FHiddenColors.erase(it);
        return remembered;
    }
    FHiddenColors.insert(name, color);
    return 0x7C7DFC;
}

void TZeltTitleForm::SetCommonInfo() {
    ZeltCommonInfo::Reset();
    ZeltCommonInfo::SetCurrentEditForm(this);
}

void TZeltTitleForm::DoMouse(QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}

void TZeltTitleForm::DoHide() {
    TZeltPaintedForm::DoHide();
    if (QWidget* paravan = ParavanFrm.data()) {
        ParavanFrm = nullptr;
        paravan->setWindowOpacity(0);
        paravan->hide();
        paravan->deleteLater();
    }
}

void TZeltTitleForm::WindowEnabled(bool enabled) {
    TZeltPaintedForm::WindowEnabled(enabled);
    if (FTitleBar)
        FTitleBar->SetGrayed(!enabled);
    if (FLabelInfo)
        FLabelInfo->update();
    // A customizer may remove itself while told.
    const std::vector<TZeltCustomizer*> customizers = FCustomizers;
    for (TZeltCustomizer* c : customizers)
        if (std::find(FCustomizers.begin(), FCustomizers.end(), c) != FCustomizers.end())
            c->Customize(this);
}

bool TZeltTitleForm::GetsFrame() const {
    return FrameWidth() > 0 && Tag() != 1234 && !inherits("TZeltMessageForm") &&
           qstrcmp(metaObject()->className(), "TMessageForm") != 0;
}

void TZeltTitleForm::PaintFrame(QPainter& p) {
    TZeltPaintedForm::PaintFrame(p);
    if (isMinimized() || !GetsFrame())
        return;
    const TColor inner = LightenColor(Color(), 25);
    const TColor second = LightenColor(inner, 10);
    p.save();
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < kFrameWidth; ++i) {
        p.setPen(QPen(i == 0 ? QColor(Qt::black) : ZeltToQColor(i == 1 ? second : inner), 1));
        p.drawRect(rect().adjusted(i, i, -i - 1, -i - 1));
    }
    p.restore();
}

bool TZeltTitleForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FTitleBar) {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            UpdateContentsMargins();
            break;
        case QEvent::MouseButtonPress: {
            // The caption part of the bar: the window manager moves the window where it can; the
            // bar moves it by hand elsewhere.
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton && me->position().x() >= kCaptionStart && StartSystemMove())
                return true;
            break;
        }
        case QEvent::MouseButtonDblClick: {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton && me->position().x() >= kCaptionStart && Sizeable()) {
                isMaximized() ? showNormal() : showMaximized();
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return TZeltPaintedForm::eventFilter(watched, event);
}

bool TZeltTitleForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowTitleChange && FTitleBar)
        FTitleBar->SetCaption(windowTitle());
    return TZeltPaintedForm::event(event);
}

void TZeltTitleForm::resizeEvent(QResizeEvent* event) {
    TZeltPaintedForm::resizeEvent(event);
    PlaceTitleBar();
    PlaceLabelInfo();
}

void TZeltTitleForm::mousePressEvent(QMouseEvent* event) {
    TZeltPaintedForm::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    DoMouse(this, event->button(), event->modifiers(), pos.x(), pos.y());
}
