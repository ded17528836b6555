// The framework's message dialog: markup, the stop question, answers by key and mouse, the box for
// not asking again, the owner's state while it is open, the layout rules, automatic answers.
#include "ZeltButtons.h"
#include "ZeltDBEditForm.h"
#include "ZeltMessage.h"
#include "ZeltMessageDlg.h"
#include "ZeltMessageMarkup.h"
#include "ZeltPanel.h"
#include "ZeltTexte.h"
#include "ZeltTitle.h"
#include "ZeltUi.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const QString kStopQuestion = QStringLiteral("``Opresti procesul de actualizare ?  ");

TMessageForm* openDialog() {
    return qobject_cast<TMessageForm*>(QApplication::activeModalWidget());
}

// Runs `call` (which shows the dialog modally) and, once the dialog is up, `act` on it. `seen`
// tells whether a dialog was ever shown.
struct DialogRun {
    TModalResult Result = mrNone;
    bool Seen = false;
};

DialogRun withDialog(const std::function<TModalResult()>& call,
                     const std::function<void(TMessageForm*)>& act) {
    DialogRun run;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        TMessageForm* dlg = openDialog();
        if (!dlg || !dlg->isVisible())
            return;
        poll.stop();
        run.Seen = true;
        act(dlg);
    });
    poll.start();
    run.Result = call();
    poll.stop();
    return run;
}

TModalResult askStop() {
    return ZeltMessageDlg(kStopQuestion, TMl1->mlConfirmare->Text(), mtConfirmation, {mbYes, mbNo}, mbYes, 0);
}

QPoint centreOf(QWidget* w, QWidget* in) {
    return w->mapTo(in, w->rect().center());
}

// A right click as the user makes it: through the window, to whatever lies under the point.
void rightClick(TMessageForm* dlg, QWidget* on) {
    QTest::mouseClick(dlg->windowHandle(), Qt::RightButton, Qt::NoModifier, centreOf(on, dlg));
}

// The data-editing form with a stop button, as the main window has it.
struct OwnerForm {
    std::unique_ptr<TZeltDBEditForm> Form;
    TZeltTouchButton* Stop = nullptr;
};

OwnerForm makeOwner() {
    OwnerForm o;
    o.Form = std::make_unique<TZeltDBEditForm>();
    o.Form->setObjectName(QStringLiteral("Owner"));
    o.Form->setWindowTitle(QStringLiteral("GPS Tracking"));
    o.Form->SetColor(clOther);
    o.Form->resize(554, 203);
    o.Stop = new TZeltTouchButton(o.Form.get());
    o.Stop->setObjectName(QStringLiteral("ZeltTouchButton1"));
    o.Stop->SetCaption(QStringLiteral(" X"));
    o.Stop->setGeometry(o.Form->ClientRect().right() - 28, o.Form->ClientRect().top(), 28, 30);
    return o;
}

} // namespace

class TestZeltMessageDlg final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void markup_data();
    void markup();
    void markupShownInTheDialog_data();
    void markupShownInTheDialog();
    void stopQuestion_data();
    void stopQuestion();
    void integerOverflowShowsNothing();
    void kindsGiveTitlesAndColours_data();
    void kindsGiveTitlesAndColours();
    void escapePressesTheCancelButton_data();
    void escapePressesTheCancelButton();
    void layoutLimits_data();
    void layoutLimits();
    void copiesTheMessage();
    void boxCaptionTogglesTheBox();
    void negativeHelpContextHidesTheBox();
    void ownerIsDisabledWhileOpen();
    void automaticAnswers_data();
    void automaticAnswers();
    // Last: it leaves the stop question's answer remembered for the run.
    void rememberedAnswerBeepsWithoutWindow();

private:
    QTemporaryDir FDir;
};

void TestZeltMessageDlg::initTestCase() {
    QVERIFY(FDir.isValid());
    // The owner form writes its settings into the current directory.
    QVERIFY(QDir::setCurrent(FDir.path()));
    QVERIFY(TMl1);
    QCOMPARE(TMl1->mlConfirmare->Text(), QStringLiteral("Confirmare"));
}

void TestZeltMessageDlg::cleanup() {
    ZeltSetAutoAnswer(false);
    ZeltSetAutoAnswerObserver(nullptr);
    ZeltSetMessageBeep([] { QApplication::beep(); });
}

void TestZeltMessageDlg::markup_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("key");
    QTest::newRow("# is a line break") << "a#b"
                                       << "a\rb"
                                       << "a\rb";
    QTest::newRow("## is one line break, not two") << "a##b"
                                                   << "a\rb"
                                                   << "a\rb";
    QTest::newRow("CR LF pair becomes # before the breaks") << QStringLiteral("a\r\nb#c") << "a\rb\rc"
                                                            << "a\rb\rc";
    QTest::newRow("a lone CR keeps every # as a character") << QStringLiteral("a\rb#c") << "a\rb#c"
                                                            << "a\rb#c";
    QTest::newRow("blanks and backquotes only: nothing visible") << " `` \t ` "
                                                                 << " \t "
                                                                 << " \t ";
    QTest::newRow("line breaks only") << "##\r\n#"
                                      << ""
                                      << "";
    QTest::newRow("the stop question") << kStopQuestion << "Opresti procesul de actualizare ?"
                                       << "Opresti procesul de actualizare ?";
    QTest::newRow("leading and trailing breaks dropped") << "#x#y##"
                                                         << "x\ry"
                                                         << "x\ry";
    QTest::newRow("once-only key") << "Salvez?<UNICK1UNIC> Sigur"
                                   << "Salvez? Sigur"
                                   << "K1";
    QTest::newRow("once-only text after the key is cut at 255")
        << "a<UNICkUNIC>" + QString(300, u'z') << "a" + QString(255, u'z') << "k";
    QTest::newRow("one marker only") << "a<UNIC b"
                                     << "a<UNIC b"
                                     << "a<UNIC b";
}

void TestZeltMessageDlg::markup() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QFETCH(QString, key);
    const TZeltMessageText t = ZeltMessageMarkup(message);
    QCOMPARE(t.Shown, shown);
    QCOMPARE(t.Key, key);
}

void TestZeltMessageDlg::markupShownInTheDialog_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("a#b shows two lines") << "a#b" << QStringList{"a", "b"};
    QTest::newRow("a##b shows two lines") << "a##b" << QStringList{"a", "b"};
    QTest::newRow("a CR LF b#c shows three lines")
        << QStringLiteral("a\r\nb#c") << QStringList{"a", "b", "c"};
    QTest::newRow("a lone CR keeps #") << QStringLiteral("a\rb#c") << QStringList{"a", "b#c"};
    QTest::newRow("blanks and backquotes show an empty dialog") << " `` ` " << QStringList{""};
}

void TestZeltMessageDlg::markupShownInTheDialog() {
    QFETCH(QString, message);
    QFETCH(QStringList, lines);
    QString text;
    const DialogRun run = withDialog(
        [&] { return ZeltMessageDlg(message, QStringLiteral("T"), mtInformation, {mbOK}, mbOK, -1); },
        [&](TMessageForm* dlg) {
            text = dlg->MsgLAbel->text();
            dlg->BtnOk->click();
        });
    QVERIFY(run.Seen);
    QCOMPARE(run.Result, mrOk);
    QStringList shown = text.split(u'\n');
    for (QString& line : shown)
        line = line.trimmed();
    QCOMPARE(shown, lines);
}

void TestZeltMessageDlg::stopQuestion_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter gives Yes") << "enter" << int(mrYes);
    QTest::newRow("Escape gives No") << "escape" << int(mrNo);
    QTest::newRow("right click on the message gives Yes") << "right click message" << int(mrYes);
    QTest::newRow("right click on the No button gives Yes") << "right click no" << int(mrYes);
    QTest::newRow("click on Nu gives No") << "click no" << int(mrNo);
    QTest::newRow("closing the window gives Cancel") << "close" << int(mrCancel);
}

void TestZeltMessageDlg::stopQuestion() {
    QFETCH(QString, answer);
    QFETCH(int, result);
    QString title, message, defaultCaption;
    bool daLeftOfNu = false, boxShown = false, noFrame = false;
    const DialogRun run = withDialog(askStop, [&](TMessageForm* dlg) {
        title = dlg->Titlu->text();
        message = dlg->MsgLAbel->text();
        defaultCaption = dlg->DefaultButton() ? dlg->DefaultButton()->Caption() : QString();
        daLeftOfNu = dlg->BtnDa->isVisible() && dlg->BtnNu->isVisible() && !dlg->BtnOk->isVisible() &&
                     !dlg->BtnRenunt->isVisible() && dlg->BtnDa->x() + dlg->BtnDa->width() <= dlg->BtnNu->x();
        boxShown = dlg->CheckNuMaiAfisa->isVisible() &&
                   dlg->LCheckNuMaiAfisa->text() == QStringLiteral(" nu mai afisa acest mesaj");
        noFrame = dlg->FrameWidth() == 0;
        QWidget* focus = dlg->focusWidget() ? dlg->focusWidget() : dlg;
        if (answer == "enter")
            QTest::keyClick(focus, Qt::Key_Return);
        else if (answer == "escape")
            QTest::keyClick(focus, Qt::Key_Escape);
        else if (answer == "right click message")
            rightClick(dlg, dlg->MsgLAbel);
        else if (answer == "right click no")
            rightClick(dlg, dlg->BtnNu);
        else if (answer == "click no")
            QTest::mouseClick(dlg->BtnNu, Qt::LeftButton);
        else
            dlg->close();
    });
    QVERIFY(run.Seen);
    QCOMPARE(run.Result, result);
    QCOMPARE(title, QStringLiteral("Confirmare"));
    QCOMPARE(message, QStringLiteral("Opresti procesul de actualizare ?"));
    QCOMPARE(defaultCaption, QStringLiteral("Da"));
    QVERIFY(daLeftOfNu);
    QVERIFY(boxShown);
    QVERIFY(noFrame);
    // The dialog is gone once the call returns.
    QVERIFY(!openDialog());
}

void TestZeltMessageDlg::integerOverflowShowsNothing() {
    const DialogRun run = withDialog(
        [] {
            return ZeltMessageDlg(QStringLiteral("  Integer overflow`"), QString(), mtError, {mbOK}, mbOK, 0);
        },
        [](TMessageForm* dlg) { dlg->close(); });
    QVERIFY(!run.Seen);
    QCOMPARE(run.Result, mrCancel);
}

void TestZeltMessageDlg::kindsGiveTitlesAndColours_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("empty title of a question") << int(mtConfirmation) << ""
                                               << "Confirma :" << QColor(88, 201, 243);
    QTest::newRow("empty title of a warning") << int(mtWarning) << ""
                                              << "Atentie !" << QColor(255, 198, 0);
    QTest::newRow("empty title of an error") << int(mtError) << ""
                                             << "Eroare !" << QColor(254, 80, 29);
    QTest::newRow("empty title of information") << int(mtInformation) << ""
                                                << "Informatie :" << QColor(38, 217, 123);
    QTest::newRow("empty title of a custom message") << int(mtCustom) << ""
                                                     << "" << QColor(255, 134, 134);
    QTest::newRow("backquotes left out of a title") << int(mtError) << "`Eroare` "
                                                    << "Eroare " << QColor(254, 80, 29);
}

void TestZeltMessageDlg::kindsGiveTitlesAndColours() {
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(QString, title);
    QFETCH(QColor, colour);
    QString shownTitle;
    QColor shownColour;
    const DialogRun run = withDialog(
        [&] { return ZeltMessageDlg(QStringLiteral("x"), caption, TMsgDlgType(kind), {mbOK}, mbOK, -1); },
        [&](TMessageForm* dlg) {
            shownTitle = dlg->Titlu->text();
            shownColour = dlg->Titlu->palette().color(QPalette::WindowText);
            QTest::keyClick(dlg, Qt::Key_Return);
        });
    QVERIFY(run.Seen);
    QCOMPARE(run.Result, mrOk);
    QCOMPARE(shownTitle, title);
    QCOMPARE(shownColour, colour);
}

void TestZeltMessageDlg::escapePressesTheCancelButton_data() {
    QTest::addColumn<QList<int>>("buttons");
    QTest::addColumn<int>("result");
    QTest::newRow("No and Cancel: Cancel") << QList<int>{mbYes, mbNo, mbCancel} << int(mrCancel);
    QTest::newRow("OK alone: OK") << QList<int>{mbOK} << int(mrOk);
    QTest::newRow("Yes and No: No") << QList<int>{mbYes, mbNo} << int(mrNo);
    QTest::newRow("OK and Cancel: Cancel") << QList<int>{mbOK, mbCancel} << int(mrCancel);
}

void TestZeltMessageDlg::escapePressesTheCancelButton() {
    QFETCH(QList<int>, buttons);
    QFETCH(int, result);
    TMsgDlgButtons set;
    for (int b : buttons)
        set.Include(TMsgDlgBtn(b));
    const DialogRun run = withDialog(
        [&] {
            return ZeltMessageDlg(QStringLiteral("Continui?"), QString(), mtConfirmation, set,
                                  TMsgDlgBtn(buttons.first()), -1);
        },
        [&](TMessageForm* dlg) { QTest::keyClick(dlg, Qt::Key_Escape); });
    QVERIFY(run.Seen);
    QCOMPARE(run.Result, result);
}

void TestZeltMessageDlg::layoutLimits_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QList<int>>("buttons");
    QTest::addColumn<int>("minMessPanel");
    QTest::newRow("short message: at least 500 wide, 300 high") << "Da?" << QList<int>{mbYes, mbNo} << 0;
    QTest::newRow("three buttons: message panel at least 320")
        << "Da?" << QList<int>{mbYes, mbNo, mbCancel} << 320;
    QTest::newRow("long message: at most 1000 wide, all of it shown")
        << QString(40, u'w').append(u' ').repeated(30) << QList<int>{mbOK} << 0;
}

void TestZeltMessageDlg::layoutLimits() {
    QFETCH(QString, message);
    QFETCH(QList<int>, buttons);
    QFETCH(int, minMessPanel);
    TMsgDlgButtons set;
    for (int b : buttons)
        set.Include(TMsgDlgBtn(b));
    QRect form, label, messPanel, screen;
    bool fits = false;
    int buttonsRight = 0;
    const DialogRun run = withDialog(
        [&] {
            return ZeltMessageDlg(message, QString(), mtInformation, set, TMsgDlgBtn(buttons.first()), 0);
        },
        [&](TMessageForm* dlg) {
            form = dlg->geometry();
            label = QRect(dlg->MsgLAbel->mapTo(dlg, QPoint(0, 0)), dlg->MsgLAbel->size());
            messPanel = dlg->PMess->geometry();
            fits = dlg->MsgLAbel->heightForWidth(dlg->MsgLAbel->width()) <= dlg->MsgLAbel->height();
            screen = dlg->screen()->geometry();
            buttonsRight =
                dlg->BtnDa->isVisible() ? dlg->BtnDa->mapTo(dlg, QPoint(dlg->BtnDa->width(), 0)).x() : 0;
            dlg->close();
        });
    QVERIFY(run.Seen);
    QVERIFY2(form.width() >= 500 && form.width() <= 1000, qPrintable(QString::number(form.width())));
    QVERIFY(form.height() >= 300);
    QVERIFY(messPanel.width() >= minMessPanel);
    // The whole message lies inside the window, above the buttons' band.
    QVERIFY(QRect(QPoint(0, 0), form.size()).contains(label));
    QVERIFY(fits);
    // Centred on the screen.
    QVERIFY(qAbs(form.center().x() - screen.center().x()) <= 1);
    if (buttonsRight)
        QVERIFY(buttonsRight < form.width());
}

void TestZeltMessageDlg::copiesTheMessage() {
    QGuiApplication::clipboard()->clear();
    const DialogRun run = withDialog(
        [] { return ZeltMessageDlg(QStringLiteral("Linia 1#Linia 2"), QString(), mtError, {mbOK}, mbOK, 0); },
        [](TMessageForm* dlg) {
            QTest::mouseDClick(dlg->MsgLAbel, Qt::LeftButton);
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Linia 1\nLinia 2"));
            QGuiApplication::clipboard()->clear();
            rightClick(dlg, dlg->PBaza);
        });
    QVERIFY(run.Seen);
    QCOMPARE(run.Result, mrOk);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Linia 1\nLinia 2"));
}

void TestZeltMessageDlg::boxCaptionTogglesTheBox() {
    const DialogRun run = withDialog(
        [] {
            return ZeltMessageDlg(QStringLiteral("Intrebare unica"), QString(), mtConfirmation, {mbYes, mbNo},
                                  mbNo, 0);
        },
        [](TMessageForm* dlg) {
            QVERIFY(!dlg->CheckNuMaiAfisa->isChecked());
            QTest::mouseClick(dlg->LCheckNuMaiAfisa, Qt::LeftButton);
            QVERIFY(dlg->CheckNuMaiAfisa->isChecked());
            QTest::mouseClick(dlg->LCheckNuMaiAfisa, Qt::LeftButton);
            QVERIFY(!dlg->CheckNuMaiAfisa->isChecked());
            dlg->BtnNu->click();
        });
    QVERIFY(run.Seen);
    QCOMPARE(run.Result, mrNo);
}

void TestZeltMessageDlg::negativeHelpContextHidesTheBox() {
    bool boxVisible = true;
    int helpContext = -1;
    const DialogRun run = withDialog(
        [] { return ZeltMessageDlg(QStringLiteral("Fara casuta"), QString(), mtWarning, {mbOK}, mbOK, -7); },
        [&](TMessageForm* dlg) {
            boxVisible = dlg->CheckNuMaiAfisa->isVisible() || dlg->LCheckNuMaiAfisa->isVisible();
            helpContext = dlg->HelpContext();
            dlg->BtnOk->click();
        });
    QVERIFY(run.Seen);
    QVERIFY(!boxVisible);
    QCOMPARE(helpContext, 7);
}

void TestZeltMessageDlg::ownerIsDisabledWhileOpen() {
    OwnerForm owner = makeOwner();
    owner.Form->show();
    QVERIFY(QTest::qWaitForWindowExposed(owner.Form.get()));
    owner.Form->activateWindow();
    owner.Stop->setFocus();
    QCOMPARE(owner.Form->focusWidget(), owner.Stop);
    QVERIFY(owner.Stop->isEnabled());

    bool stopEnabled = true, barGrayed = false;
    const DialogRun run = withDialog(askStop, [&](TMessageForm* dlg) {
        stopEnabled = owner.Stop->isEnabled();
        barGrayed = owner.Form->TitleBar()->Grayed();
        QTest::keyClick(dlg, Qt::Key_Escape);
    });
    QVERIFY(run.Seen);
    QCOMPARE(run.Result, mrNo);
    QVERIFY(!stopEnabled);
    QVERIFY(barGrayed);
    QVERIFY(owner.Stop->isEnabled());
    QVERIFY(!owner.Form->TitleBar()->Grayed());
    QCOMPARE(owner.Form->focusWidget(), owner.Stop);
    owner.Form->close();
}

void TestZeltMessageDlg::automaticAnswers_data() {
    QTest::addColumn<QList<int>>("buttons");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<int>("result");
    QTest::newRow("the stop question answers Yes") << QList<int>{mbYes, mbNo} << int(mbYes) << int(mrYes);
    QTest::newRow("an error answers OK") << QList<int>{mbOK} << int(mbOK) << int(mrOk);
    QTest::newRow("a default not offered answers Cancel")
        << QList<int>{mbYes, mbNo} << int(mbOK) << int(mrCancel);
    QTest::newRow("a default without a button answers Cancel")
        << QList<int>{mbYes, mbHelp} << int(mbHelp) << int(mrCancel);
}

void TestZeltMessageDlg::automaticAnswers() {
    QFETCH(QList<int>, buttons);
    QFETCH(int, defaultButton);
    QFETCH(int, result);
    TMsgDlgButtons set;
    for (int b : buttons)
        set.Include(TMsgDlgBtn(b));
    QList<TZeltAutoAnswer> answers;
    ZeltSetAutoAnswerObserver([&](const TZeltAutoAnswer& a) { answers << a; });
    ZeltSetAutoAnswer(true);
    const DialogRun run = withDialog(
        [&] {
            return ZeltMessageDlg(QStringLiteral("``Prima#A doua  "), QString(), mtConfirmation, set,
                                  TMsgDlgBtn(defaultButton), 0);
        },
        [](TMessageForm* dlg) { dlg->close(); });
    QVERIFY(!run.Seen);
    QCOMPARE(run.Result, result);
    QCOMPARE(answers.size(), 1);
    QCOMPARE(answers[0].Title, QStringLiteral("Confirma :"));
    QCOMPARE(answers[0].Message, QStringLiteral("Prima\nA doua"));
    QCOMPARE(answers[0].Result, result);
    QCOMPARE(int(answers[0].Kind), int(mtConfirmation));
}

void TestZeltMessageDlg::rememberedAnswerBeepsWithoutWindow() {
    int beeps = 0;
    ZeltSetMessageBeep([&] { ++beeps; });
    const DialogRun first = withDialog(askStop, [](TMessageForm* dlg) {
        dlg->CheckNuMaiAfisa->setChecked(true);
        QTest::keyClick(dlg, Qt::Key_Return);
    });
    QVERIFY(first.Seen);
    QCOMPARE(first.Result, mrYes);
    QCOMPARE(beeps, 0);
    for (int i = 0; i < 2; ++i) {
        const DialogRun again = withDialog(askStop, [](TMessageForm* dlg) { dlg->close(); });
        QVERIFY(!again.Seen);
        QCOMPARE(again.Result, mrYes);
        QCOMPARE(beeps, i + 1);
    }
    // Another question is still asked.
    const DialogRun other = withDialog(
        [] {
            return ZeltMessageDlg(QStringLiteral("Alta intrebare"), QString(), mtConfirmation, {mbYes, mbNo},
                                  mbYes, 0);
        },
        [](TMessageForm* dlg) { QTest::keyClick(dlg, Qt::Key_Escape); });
    QVERIFY(other.Seen);
    QCOMPARE(other.Result, mrNo);
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ZeltUiSession ui;
    TestZeltMessageDlg t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_zeltmessagedlg.moc"
