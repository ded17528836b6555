#include "ZeltMessage.h"

#include "ZeltActives.h"
#include "ZeltButtons.h"
#include "ZeltFonts.h"
#include "ZeltMessageDlg.h"
#include "ZeltPanel.h"
#include "ZeltTexte.h"
#include "ZeltTitle.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace {

constexpr int kLargePicture = 80;
constexpr int kCornerPicture = 32;
constexpr int kTitleHeight = 30;
constexpr int kButtonsHeight = 53;
constexpr int kButtonWidth = 95;
constexpr int kButtonMargin = 3;
constexpr int kMargineWidth = 15;
constexpr int kMaxWidth = 1000;
constexpr int kMinHeight = 300;
constexpr int kMinWidth = 500;
constexpr int kLabelTop = 8;
constexpr int kBoxSize = 18;

// Our own pictures of the kinds: a triangle with "!" for warnings, discs with a cross, an "i" and a
// "?" for errors, information and questions, in the kind's title colour.
QPixmap drawPicture(TMsgDlgType kind, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const TMsgDlgType shape = kind == mtCustom ? mtError : kind;
    const QColor fill = ZeltToQColor(ZeltMessageTitleColor(shape));
    const qreal s = size;
    const qreal pen = qMax<qreal>(2.0, s / 10.0);
    if (shape == mtWarning) {
        QPainterPath tri;
        tri.moveTo(s / 2, s * 0.06);
        tri.lineTo(s * 0.96, s * 0.92);
        tri.lineTo(s * 0.04, s * 0.92);
        tri.closeSubpath();
        p.fillPath(tri, fill);
        p.setPen(QPen(QColor(50, 55, 65), pen, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s / 2, s * 0.36), QPointF(s / 2, s * 0.64));
        p.drawPoint(QPointF(s / 2, s * 0.78));
        return pm;
    }
    const QRectF disc(s * 0.05, s * 0.05, s * 0.9, s * 0.9);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(disc);
    p.setPen(QPen(Qt::white, pen, Qt::SolidLine, Qt::RoundCap));
    if (shape == mtError) {
        p.drawLine(QPointF(s * 0.33, s * 0.33), QPointF(s * 0.67, s * 0.67));
        p.drawLine(QPointF(s * 0.67, s * 0.33), QPointF(s * 0.33, s * 0.67));
    } else if (shape == mtInformation) {
        p.drawPoint(QPointF(s / 2, s * 0.28));
        p.drawLine(QPointF(s / 2, s * 0.44), QPointF(s / 2, s * 0.72));
    } else {
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(int(s * 0.6));
        p.setFont(f);
        p.drawText(disc, Qt::AlignCenter, QStringLiteral("?"));
    }
    return pm;
}

QLabel* makePicture(QWidget* parent, const QString& name, const QPixmap& picture) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setPixmap(picture);
    l->resize(picture.size());
    l->hide();
    return l;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QFont& font, QColor colour) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setFont(font);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, colour);
    l->setPalette(pal);
    return l;
}

TZeltNiceButton* makeButton(QWidget* parent, const QString& name, TZeltButtonKind kind,
                            const QString& caption) {
    auto* b = new TZeltNiceButton(parent, kind);
    b->setObjectName(name);
    b->SetCaption(caption);
    b->resize(kButtonWidth, 57);
    b->hide();
    return b;
}

} // namespace

TMessageForm::TMessageForm(QWidget* owner) : TZeltTitleForm(owner) {
    setObjectName(QStringLiteral("MessageForm"));
    SetBorderStyle(bsNone);
    SetBorderWidth(1);
    SetColor(0xFFFEFF);
    setFont(ZeltFonts::FromHeight(QStringLiteral("MS Sans Serif"), 13, true));
    SetPosition(poScreenCenter);

    auto* bar = new TZeltTitleBar(this);
    bar->setObjectName(QStringLiteral("ZeltTitleBar1"));
    bar->resize(bar->width(), 0);
    auto* info = new TZeltFmtLabel(this);
    info->setObjectName(QStringLiteral("FmtLabelInfo1"));
    info->SetTransparent(true);
    info->resize(0, 0);

    const QFont title = ZeltFonts::FromHeight(QStringLiteral("Tahoma"), 17, true);
    Ptitlu = new TZeltPanel(this, QStringLiteral("Ptitlu"));
    Ptitlu->SetColor(ZeltRGB(50, 55, 65));
    Panel3 = new TZeltPanel(Ptitlu, QStringLiteral("Panel3"));
    Panel3->SetColor(ZeltRGB(50, 55, 65));
    User = makeLabel(Ptitlu, QStringLiteral("User"), title, Qt::white);
    Titlu = makeLabel(Ptitlu, QStringLiteral("Titlu"), title, Qt::white);
    for (QLabel* l : {User, Titlu})
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    PBaza = new TZeltPanel(this, QStringLiteral("PBaza"));
    PBaza->SetColor(ZeltRGB(57, 62, 73));
    iAtentie = makePicture(PBaza, QStringLiteral("iAtentie"), LargePicture(mtWarning));
    iInfo = makePicture(PBaza, QStringLiteral("iInfo"), LargePicture(mtInformation));
    iConf = makePicture(PBaza, QStringLiteral("iConf"), LargePicture(mtConfirmation));
    iErr = makePicture(PBaza, QStringLiteral("iErr"), LargePicture(mtError));

    PMess = new TZeltPanel(PBaza, QStringLiteral("PMess"));
    PMess->SetColor(PBaza->Color());
    MsgLAbel =
        makeLabel(PMess, QStringLiteral("MsgLAbel"),
                  ZeltFonts::FromHeight(QStringLiteral("MS Sans Serif"), 13, true), ZeltToQColor(clSilver));
    MsgLAbel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    MsgLAbel->setWordWrap(true);
    MsgLAbel->setTextFormat(Qt::PlainText);
    MsgLAbel->move(0, kLabelTop);
    PButt = new TZeltPanel(PMess, QStringLiteral("PButt"));
    PButt->SetColor(ZeltRGB(52, 55, 63));
    Margine = new TZeltPanel(PButt, QStringLiteral("Margine"));
    Margine->SetColor(PButt->Color());
    Margine->resize(kMargineWidth, kButtonsHeight);
    BtnRenunt = makeButton(PButt, QStringLiteral("BtnRenunt"), mkCancel, QStringLiteral("Renunt"));
    BtnOk = makeButton(PButt, QStringLiteral("BtnOk"), mkOK, QStringLiteral("OK"));
    BtnDa = makeButton(PButt, QStringLiteral("BtnDa"), mkYes, QStringLiteral("Da"));
    BtnNu = makeButton(PButt, QStringLiteral("BtnNu"), mkNo, QStringLiteral("Nu"));

    CheckNuMaiAfisa = new QCheckBox(PMess);
    CheckNuMaiAfisa->setObjectName(QStringLiteral("CheckNuMaiAfisa"));
    CheckNuMaiAfisa->resize(kBoxSize, kBoxSize);
    {
        QPalette pal = CheckNuMaiAfisa->palette();
        pal.setColor(QPalette::Base, Qt::white);
        pal.setColor(QPalette::Window, ZeltToQColor(PButt->Color()));
        CheckNuMaiAfisa->setPalette(pal);
    }
    LCheckNuMaiAfisa = makeLabel(PMess, QStringLiteral("LCheckNuMaiAfisa"),
                                 ZeltFonts::FromHeight(QStringLiteral("Tahoma"), 11), ZeltToQColor(clSilver));

    ColtDS = new TZeltPanel(PBaza, QStringLiteral("ColtDS"));
    ColtDS->SetColor(PBaza->Color());
    cAtentie = makePicture(ColtDS, QStringLiteral("cAtentie"), CornerPicture(mtWarning));
    cInfo = makePicture(ColtDS, QStringLiteral("cInfo"), CornerPicture(mtInformation));
    cConf = makePicture(ColtDS, QStringLiteral("cConf"), CornerPicture(mtConfirmation));
    cErr = makePicture(ColtDS, QStringLiteral("cErr"), CornerPicture(mtError));

    for (QWidget* w : std::initializer_list<QWidget*>{Ptitlu, Panel3, User, Titlu, PBaza, PMess, PButt,
                                                      Margine, ColtDS, MsgLAbel, iAtentie, iInfo, iConf, iErr,
                                                      cAtentie, cInfo, cConf, cErr})
        WatchBackground(w);
    LCheckNuMaiAfisa->installEventFilter(this);

    // The creation handler.
    MinBaza = 225;
    Loaded();
}

QPixmap TMessageForm::LargePicture(TMsgDlgType kind) {
    return drawPicture(kind, kLargePicture);
}

QPixmap TMessageForm::CornerPicture(TMsgDlgType kind) {
    return drawPicture(kind, kCornerPicture);
}

int TMessageForm::MessageWrapWidth() const {
    const QScreen* s = screen();
    const int half = (s ? s->geometry().width() : 1024) / 2;
    return qMax(1, qMin(half, kMaxWidth - 2 * BorderWidth() - kLargePicture - kMargineWidth - 7));
}

QString TMessageForm::DisplayText(const QString& message) {
    QString s = message;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(u'\r', u'\n');
    return s;
}

QSize TMessageForm::MeasureMessage(const QString& message) const {
    const QString text = DisplayText(message);
    if (text.isEmpty())
        return {0, 0};
    const QFontMetrics fm(MsgLAbel->font());
    return fm.boundingRect(QRect(0, 0, MessageWrapWidth(), 1 << 20), Qt::TextWordWrap | Qt::AlignRight, text)
        .size();
}

TZeltNiceButton* TMessageForm::DefaultButton() const {
    for (TZeltNiceButton* b : {BtnRenunt, BtnOk, BtnDa, BtnNu})
        if (b->isDefault() && b->isVisibleTo(this))
            return b;
    return nullptr;
}

void TMessageForm::CopyMessage() const {
    if (QClipboard* c = QGuiApplication::clipboard())
        c->setText(DisplayText(CurrentMess));
}

void TMessageForm::WatchBackground(QWidget* w) {
    w->installEventFilter(this);
}

void TMessageForm::FormShow() {
    // 1. The kind's colour and pictures.
    {
        QPalette pal = Titlu->palette();
        pal.setColor(QPalette::WindowText, ZeltToQColor(ZeltMessageTitleColor(Tip)));
        Titlu->setPalette(pal);
    }
    QLabel* large = Tip == mtWarning        ? iAtentie
                    : Tip == mtInformation  ? iInfo
                    : Tip == mtConfirmation ? iConf
                                            : iErr;
    QLabel* corner = Tip == mtWarning        ? cAtentie
                     : Tip == mtInformation  ? cInfo
                     : Tip == mtConfirmation ? cConf
                                             : cErr;
    for (QLabel* l : {iAtentie, iInfo, iConf, iErr, cAtentie, cInfo, cConf, cErr})
        l->setVisible(l == large || l == corner);

    // 2. Title band and size limits.
    Ptitlu->resize(Ptitlu->width(), kTitleHeight);
    SetBorderWidth(1);
    setMinimumSize(qMax(kMinWidth, corner->width() + MinBaza + 2), kMinHeight);
    setMaximumWidth(kMaxWidth);

    // 3. Buttons' band; the message panel right of the large picture.
    PButt->resize(PButt->width(), kButtonsHeight);
    FMessLeft = large->width();
    FMessRight = 0;

    // 4. First size from the measured message.
    resize(InfoSize.x() + large->width() + Margine->width() + 7,
           MsgLAbel->y() + InfoSize.y() + 2 * PButt->height() + 8);

    // 5. The label takes the message; the width follows the label.
    MsgLAbel->setText(DisplayText(CurrentMess));
    MsgLAbel->resize(MeasureMessage(CurrentMess));
    resize(MsgLAbel->width() + large->width() + Margine->width() + 7, height());
    LayoutPanels();
    MsgLAbel->move(0, (PBaza->height() - PButt->height() - MsgLAbel->height()) / 2);

    // 6. The box for not showing the message again, at the bottom left of the message panel.
    LCheckNuMaiAfisa->setText(u' ' + (TMLCtrl32 ? TMLCtrl32->mlNuMaiAfisaAcestMesaj->Text()
                                                : QStringLiteral("nu mai afisa acest mesaj")));
    CheckNuMaiAfisa->setGeometry(0, PBaza->height() - kBoxSize, kBoxSize, kBoxSize);
    LCheckNuMaiAfisa->adjustSize();
    LCheckNuMaiAfisa->move(20, CheckNuMaiAfisa->y() + (kBoxSize - LCheckNuMaiAfisa->height()) / 2);

    // 7. Centred on the screen.
    if (const QScreen* s = screen()) {
        const QRect sg = s->geometry();
        move(sg.x() + sg.width() / 2 - width() / 2, sg.y() + sg.height() / 2 - height() / 2);
    }

    // 8. The message panel is at least MinBaza wide.
    const int d = MinBaza - PMess->width();
    if (d > 0) {
        resize(width() + d, height());
        LayoutPanels();
        MsgLAbel->move(d, MsgLAbel->y());
    }

    // 9. Pictures in their corners.
    LayoutPanels();
    large->move(0, PBaza->height() - large->height());
    corner->move(0, 0);
    ColtDS->resize(corner->size());
    ColtDS->move(PBaza->width() - ColtDS->width(), 0);
    ColtDS->raise();
    CheckNuMaiAfisa->raise();
    LCheckNuMaiAfisa->raise();
    FLaidOut = true;
}

void TMessageForm::LayoutTitleBand() {
    Panel3->setGeometry(0, 0, 28, Ptitlu->height());
    const int userWidth = User->text().isEmpty() ? 0 : User->fontMetrics().horizontalAdvance(User->text());
    User->setGeometry(Panel3->width(), 0, userWidth, Ptitlu->height());
    Titlu->setGeometry(User->x() + User->width(), 0, qMax(0, Ptitlu->width() - User->x() - User->width()),
                       Ptitlu->height());
}

void TMessageForm::LayoutButtons() {
    int x = PButt->width() - Margine->width();
    Margine->setGeometry(x, 0, Margine->width(), PButt->height());
    // From the right: Renunt, OK, Nu, Da; hidden buttons take no room.
    for (TZeltNiceButton* b : {BtnRenunt, BtnOk, BtnNu, BtnDa}) {
        if (!b->isVisibleTo(this))
            continue;
        x -= kButtonMargin + b->width();
        b->setGeometry(x, kButtonMargin, b->width(), qMax(0, PButt->height() - 2 * kButtonMargin));
        x -= kButtonMargin;
    }
}

void TMessageForm::LayoutPanels() {
    const QRect client = ClientRect();
    if (TZeltTitleBar* bar = TitleBar())
        bar->setGeometry(client.x(), client.y(), client.width(), 0);
    Ptitlu->setGeometry(client.x(), client.y(), client.width(), Ptitlu->height());
    PBaza->setGeometry(client.x(), client.y() + Ptitlu->height(), client.width(),
                       qMax(0, client.height() - Ptitlu->height()));
    PMess->setGeometry(FMessLeft, 0, qMax(0, PBaza->width() - FMessLeft - FMessRight), PBaza->height());
    PButt->setGeometry(0, PMess->height() - PButt->height(), PMess->width(), PButt->height());
    LayoutTitleBand();
    LayoutButtons();
}

void TMessageForm::resizeEvent(QResizeEvent* event) {
    TZeltTitleForm::resizeEvent(event);
    if (FLaidOut)
        LayoutPanels();
}

void TMessageForm::RightClickNotification(QPoint) {
    // A right click answers as Enter does.
    QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier));
}

void TMessageForm::DoMouse(QWidget*, Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
    if (button != Qt::RightButton)
        return;
    CopyMessage();
    if (TZeltNiceButton* b = DefaultButton(); b && b->isEnabled())
        b->click();
}

bool TMessageForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LCheckNuMaiAfisa) {
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            CheckNuMaiAfisa->toggle();
            return true;
        }
        return TZeltTitleForm::eventFilter(watched, event);
    }
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this)
        return TZeltTitleForm::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton && (w == Ptitlu || w->parentWidget() == Ptitlu)) {
            if (!StartSystemMove())
                BeginHandDrag(me->globalPosition().toPoint());
            return true;
        }
        if (me->button() == Qt::RightButton) {
            const QPoint p = w->mapTo(this, me->position().toPoint());
            DoMouse(w, me->button(), me->modifiers(), p.x(), p.y());
            return true;
        }
        break;
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        if ((me->buttons() & Qt::LeftButton) && HandDragMove(me->globalPosition().toPoint()))
            return true;
        break;
    }
    case QEvent::MouseButtonRelease:
        EndHandDrag();
        break;
    case QEvent::MouseButtonDblClick:
        if (w == MsgLAbel && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            CopyMessage();
            return true;
        }
        break;
    default:
        break;
    }
    return TZeltTitleForm::eventFilter(watched, event);
}
