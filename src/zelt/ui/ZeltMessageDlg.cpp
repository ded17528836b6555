#include "ZeltMessageDlg.h"

#include "ZeltButtons.h"
#include "ZeltCommonInfo.h"
#include "ZeltMessage.h"
#include "ZeltMessageMarkup.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QScreen>

#include <cstdio>
#include <map>
#include <memory>

namespace {

struct DialogState {
    // Answers the user asked not to be asked again, for the rest of the run.
    std::map<QString, TModalResult> remembered;
    bool autoAnswer = false;
    std::function<void(const TZeltAutoAnswer&)> observer;
    std::function<void()> beep = [] { QApplication::beep(); };
};

DialogState& state() {
    static DialogState s;
    return s;
}

const QString kIntegerOverflow = QStringLiteral("Integer overflow");

// What each answer button gives; the other members have none.
TModalResult resultOf(TMsgDlgBtn b) {
    switch (b) {
    case mbYes:
        return mrYes;
    case mbNo:
        return mrNo;
    case mbOK:
        return mrOk;
    case mbCancel:
        return mrCancel;
    default:
        return mrNone;
    }
}

QString titleFor(const QString& caption, TMsgDlgType kind) {
    return caption.isEmpty() ? ZeltMessageDefaultTitle(kind) : ZeltMessageCaption(caption);
}

TModalResult answerAutomatically(const TZeltMessageText& text, const QString& caption, TMsgDlgType kind,
                                 TMsgDlgButtons buttons, TMsgDlgBtn defaultButton) {
    TZeltAutoAnswer a;
    a.Title = titleFor(caption, kind);
    a.Message = TMessageForm::DisplayText(text.Shown);
    a.Kind = kind;
    a.Result = buttons.Contains(defaultButton) && resultOf(defaultButton) != mrNone ? resultOf(defaultButton)
                                                                                    : mrCancel;
    QString oneLine = a.Message;
    oneLine.replace(u'\n', QStringLiteral(" | "));
    const QByteArray line = QStringLiteral("ZeltMessageDlg, automatic answer %1: [%2] %3\n")
                                .arg(a.Result)
                                .arg(a.Title, oneLine)
                                .toLocal8Bit();
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
    if (state().observer)
        state().observer(a);
    return a.Result;
}

// The screen cursor is the arrow while the dialog is up.
class ArrowCursor {
public:
    ArrowCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowCursor() { QApplication::restoreOverrideCursor(); }
    ArrowCursor(const ArrowCursor&) = delete;
    ArrowCursor& operator=(const ArrowCursor&) = delete;
};

} // namespace

QString ZeltMessageDefaultTitle(TMsgDlgType kind) {
    return ZeltDefaultDialogTitle(kind);
}

TColor ZeltMessageTitleColor(TMsgDlgType kind) {
    switch (kind) {
    case mtWarning:
        return ZeltRGB(255, 198, 0);
    case mtError:
        return ZeltRGB(254, 80, 29);
    case mtInformation:
        return ZeltRGB(38, 217, 123);
    case mtConfirmation:
        return ZeltRGB(88, 201, 243);
    default:
        return ZeltRGB(255, 134, 134);
    }
}

void ZeltSetAutoAnswer(bool on) {
    state().autoAnswer = on;
}

bool ZeltAutoAnswer() {
    return state().autoAnswer;
}

void ZeltSetAutoAnswerObserver(std::function<void(const TZeltAutoAnswer&)> observer) {
    state().observer = std::move(observer);
}

void ZeltSetMessageBeep(std::function<void()> beep) {
    state().beep = std::move(beep);
}

TModalResult ZeltMessageDlg(const QString& Msg, const QString& Caption, TMsgDlgType DlgType,
                            TMsgDlgButtons Buttons, TMsgDlgBtn DefaultButton, int HelpCtx) {
    const TZeltMessageText text = ZeltMessageMarkup(Msg);
    if (text.Shown == kIntegerOverflow)
        return mrCancel;

    DialogState& s = state();
    if (const auto it = s.remembered.find(text.Key); it != s.remembered.end()) {
        if (s.beep)
            s.beep();
        return it->second;
    }
    if (s.autoAnswer || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return answerAutomatically(text, Caption, DlgType, Buttons, DefaultButton);

    ArrowCursor cursor;
    QPointer<QWidget> previouslyActive = QApplication::activeWindow();
    // Owner: the main form while it is visible; otherwise none.
    QWidget* main = ZeltCommonInfo::MainForm();
    auto form = std::make_unique<TMessageForm>(main && main->isVisible() ? main : nullptr);
    form->SetSystemMenuIcon(true);
    form->CurrentMess = text.Shown;
    form->Tip = DlgType;
    const bool box = HelpCtx >= 0;
    form->CheckNuMaiAfisa->setVisible(box);
    form->LCheckNuMaiAfisa->setVisible(box);

    const QSize measured = form->MeasureMessage(text.Shown);
    form->InfoSize = QPoint(measured.width() + 2 * TMessageForm::TextMargin,
                            measured.height() + 2 * TMessageForm::TextMargin);

    int counted = 0;
    for (int m = mbYes; m <= mbClose; ++m) {
        const auto member = TMsgDlgBtn(m);
        if (!Buttons.Contains(member))
            continue;
        ++counted;
        TZeltNiceButton* b = member == mbYes      ? form->BtnDa
                             : member == mbNo     ? form->BtnNu
                             : member == mbOK     ? form->BtnOk
                             : member == mbCancel ? form->BtnRenunt
                                                  : nullptr;
        if (!b)
            continue;
        b->show();
        b->resize(95, b->height());
        const bool isDefault = member == DefaultButton;
        b->setDefault(isDefault);
        if (isDefault)
            b->setFocus(Qt::OtherFocusReason);
    }
    if (counted == 3)
        form->MinBaza = 320;

    // The button Escape presses.
    TZeltNiceButton* cancel = nullptr;
    if (Buttons.Contains(mbNo) && Buttons.Contains(mbCancel))
        cancel = form->BtnRenunt;
    else if (Buttons.Contains(mbOK) && !Buttons.Contains(mbCancel))
        cancel = form->BtnOk;
    else if (Buttons.Contains(mbNo) && !Buttons.Contains(mbCancel))
        cancel = form->BtnNu;
    else if (Buttons.Contains(mbCancel))
        cancel = form->BtnRenunt;
    for (TZeltNiceButton* b : {form->BtnDa, form->BtnNu, form->BtnOk, form->BtnRenunt})
        b->SetCancel(b == cancel);

    form->Titlu->setText(titleFor(Caption, DlgType));
    const QString user = ZeltCommonInfo::UserName();
    form->User->setText(user.isEmpty() ? QString() : user.left(1).toUpper() + user.mid(1, 254) + u'!');
    form->SetHelpContext(qAbs(HelpCtx) == 1 ? 0 : qAbs(HelpCtx));
    form->setWindowTitle(form->Titlu->text());

    QPointer<TMessageForm> guard(form.get());
    const TModalResult result = form->ShowModal();
    if (!guard) {
        // The dialog was destroyed under us (its owner went away); nothing to read back.
        form.release();
        return result;
    }
    if (box && form->CheckNuMaiAfisa->isChecked())
        s.remembered[text.Key] = result;
    form.reset();

    if (DlgType == mtError)
        if (auto* titled = qobject_cast<TZeltTitleForm*>(previouslyActive.data()))
            titled->KillWizard();
    QCoreApplication::processEvents();
    return result;
}
