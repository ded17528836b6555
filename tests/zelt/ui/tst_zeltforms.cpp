// The form chain: loading fix-ups, the system menu, disabling with the window, the frame and the
// pattern, customizers, modal showing, the right-click notification, transparent mode.
#include "ZeltActives.h"
#include "ZeltButtons.h"
#include "ZeltForms.h"
#include "ZeltMessage.h"
#include "ZeltTitle.h"
#include "ZeltUi.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// A title form that keeps what the layers told it.
class ProbeForm final : public TZeltTitleForm {
public:
    explicit ProbeForm(QWidget* owner = nullptr) : TZeltTitleForm(owner) {
        setObjectName(QStringLiteral("Probe"));
        setWindowTitle(QStringLiteral("Probe"));
        resize(400, 240);
    }
    QList<QPoint> RightClicks;

protected:
    void RightClickNotification(QPoint globalPos) override { RightClicks << globalPos; }
};

class CountingCustomizer final : public TZeltCustomizer {
public:
    QList<QWidget*> Told;
    void Customize(QWidget* sender) override { Told << sender; }
};

QImage grabForm(QWidget& form) {
    return form.grab().toImage();
}

QColor colourAt(const QImage& img, int x, int y) {
    return img.pixelColor(x, y);
}

// Runs `act` on the popup menu that `open` brings up.
QStringList menuTexts(QMenu* menu, QList<bool>* enabled = nullptr) {
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) {
            texts << a->text();
            if (enabled)
                *enabled << a->isEnabled();
        }
    return texts;
}

} // namespace

class TestZeltForms final : public QObject {
    Q_OBJECT

private slots:
    void loadingFixesColours_data();
    void loadingFixesColours();
    void missingTitleBarAndLabelAreCreated();
    void existingTitleBarIsKept();
    void captionGoesToTheTitleBar();
    void systemMenu();
    void systemMenuOnAltSpaceAndTitleBarRightClick_data();
    void systemMenuOnAltSpaceAndTitleBarRightClick();
    void buttonList();
    void modalWindowDisablesAndRestoresButtons();
    void disablingTheFormItself();
    void skipBotoaneLeavesButtons();
    void customizers();
    void hiddenColors();
    void frame_data();
    void frame();
    void patternBackground();
    void showModalResults_data();
    void showModalResults();
    void rightClickNotifiesTheActiveForm();
    void transparentModeCutsTheWindow();
};

void TestZeltForms::loadingFixesColours_data() {
    QTest::addColumn<int>("defined");
    QTest::addColumn<int>("shown");
    QTest::newRow("0x909090 shows as 0x808080") << 0x909090 << 0x808080;
    QTest::newRow("clDefault becomes 0x909090") << int(clDefault) << 0x909090;
    QTest::newRow("clOther stays") << int(clOther) << int(clOther);
}

void TestZeltForms::loadingFixesColours() {
    QFETCH(int, defined);
    QFETCH(int, shown);
    ProbeForm form;
    form.SetColor(defined);
    auto* bar = new TZeltTitleBar(&form);
    form.Loaded();
    QCOMPARE(form.Color(), TColor(shown));
    QCOMPARE(form.TitleBar(), bar);
    // A plain bar of the definition takes the form's colour (before the title layer's fix) as both
    // gradient colours.
    QCOMPARE(form.TitleBar()->StartColor(), defined == 0x909090 ? TColor(0x808080) : TColor(defined));
    QCOMPARE(form.TitleBar()->EndColor(), form.TitleBar()->StartColor());
}

void TestZeltForms::missingTitleBarAndLabelAreCreated() {
    ProbeForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TZeltTitleBar* bar = form.TitleBar();
    TZeltFmtLabel* label = form.LabelInfo();
    QVERIFY(bar && label);
    QCOMPARE(bar->objectName(), QStringLiteral("ZeltTitleBar1"));
    QCOMPARE(label->objectName(), QStringLiteral("FmtLabelInfo1"));
    QCOMPARE(bar->parentWidget(), &form);
    QVERIFY(!bar->Grayed());
    QCOMPARE(bar->TitleColor(), clWhite);
    QCOMPARE(label->Caption(), QString());
    QCOMPARE(label->Alignment(), taRightJustify);
    QVERIFY(label->Transparent());
    QCOMPARE(label->FontColor(), clWhite);
    QCOMPARE(label->ShadowColor(), clBlack);
    QCOMPARE(label->font().pixelSize(), 11);
    QVERIFY(label->testAttribute(Qt::WA_TransparentForMouseEvents));
    // The label sits at the right end of the bar.
    QCOMPARE(label->x(), form.width() - label->width() - 30);
    // The bar lies inside the frame, at the top of the client area; layouts begin below it.
    QCOMPARE(bar->geometry().topLeft(), form.ClientRect().topLeft());
    QCOMPARE(bar->width(), form.ClientRect().width());
    QCOMPARE(form.contentsRect().top(), bar->geometry().bottom() + 1);
}

void TestZeltForms::existingTitleBarIsKept() {
    ProbeForm form;
    auto* bar = new TZeltTitleBar(&form);
    bar->setObjectName(QStringLiteral("MyBar"));
    bar->SetIconStyle(isHoriz);
    bar->SetEndColor(TColor(0x80000000u));
    bar->SetGrayed(true);
    bar->SetTitleColor(clBlack);
    form.Loaded();
    QCOMPARE(form.TitleBar(), bar);
    QCOMPARE(form.findChildren<TZeltTitleBar*>().size(), 1);
    QVERIFY(!bar->Grayed());
    QCOMPARE(bar->TitleColor(), clWhite);
    QCOMPARE(bar->EndColor(), TColor(0x909090));
}

void TestZeltForms::captionGoesToTheTitleBar() {
    ProbeForm form;
    form.Loaded();
    form.SetCaption(QStringLiteral("GPS Tracking"));
    QCOMPARE(form.TitleBar()->Caption(), QStringLiteral("GPS Tracking"));
    QCOMPARE(form.Caption(), QStringLiteral("GPS Tracking"));
}

void TestZeltForms::systemMenu() {
    ProbeForm form;
    QList<bool> enabled;
    auto menu = form.BuildSystemMenu();
    QVERIFY(menu);
    QCOMPARE(menuTexts(menu.get(), &enabled),
             QStringList({"&Restaureaza", "&Muta", "&Dimensioneaza", "Mi&nimizeaza", "Ma&ximizeaza",
                          "&Inchide    ALT+F4"}));
    QCOMPARE(enabled.last(), false);
    // Not maximised: restore has nothing to do.
    QCOMPARE(enabled.first(), false);

    form.SetBorderStyle(bsNone);
    QVERIFY(!form.BuildSystemMenu());
    form.SetBorderStyle(bsSingle);
    form.SetSystemMenuIcon(false);
    QVERIFY(!form.BuildSystemMenu());
}

void TestZeltForms::systemMenuOnAltSpaceAndTitleBarRightClick_data() {
    QTest::addColumn<bool>("altSpace");
    QTest::newRow("Alt+Space") << true;
    QTest::newRow("right click on the title bar") << false;
}

void TestZeltForms::systemMenuOnAltSpaceAndTitleBarRightClick() {
    QFETCH(bool, altSpace);
    ProbeForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QStringList seen;
    QTimer::singleShot(50, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            seen = menuTexts(menu);
            menu->close();
        }
    });
    if (altSpace) {
        QTest::keyClick(form.windowHandle(), Qt::Key_Space, Qt::AltModifier);
    } else {
        TZeltTitleBar* bar = form.TitleBar();
        const QPoint at = bar->mapTo(&form, QPoint(60, bar->height() / 2));
        QTest::mouseClick(form.windowHandle(), Qt::RightButton, Qt::NoModifier, at);
    }
    QTRY_COMPARE(seen.size(), 6);
    QCOMPARE(seen.last(), QStringLiteral("&Inchide    ALT+F4"));
}

void TestZeltForms::buttonList() {
    TZeltButtonList list;
    QWidget host;
    QList<QPushButton*> buttons;
    for (int i = 0; i < 17; ++i) {
        buttons << new QPushButton(&host);
        list.Add(buttons.last(), i % 2 == 0);
        if (i == 0)
            QCOMPARE(list.Capacity(), 16);
    }
    QCOMPARE(list.Capacity(), 32);
    QCOMPARE(list.GetButton(16), buttons[16]);
    QCOMPARE(list.GetButton(17), nullptr);
    QCOMPARE(list.GetEnabled(16), true);
    QCOMPARE(list.GetEnabled(17), false);
    list.SetEnabled(17, true);
    QCOMPARE(list.GetEnabled(17), false);
    list.SetEnabled(1, true);
    QCOMPARE(list.GetEnabled(1), true);
    delete buttons[3];
    QCOMPARE(list.GetButton(3), nullptr);
}

void TestZeltForms::modalWindowDisablesAndRestoresButtons() {
    ProbeForm form;
    CountingCustomizer customizer;
    form.AddCustomizer(&customizer);
    auto* stop = new TZeltTouchButton(&form);
    stop->setGeometry(300, 40, 28, 30);
    auto* off = new QPushButton(QStringLiteral("off"), &form);
    off->setGeometry(100, 100, 60, 30);
    off->setEnabled(false);
    auto* other = new QPushButton(QStringLiteral("other"), &form);
    other->setGeometry(180, 100, 60, 30);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    stop->setFocus();
    QCOMPARE(form.Botoane.Count(), 3);

    bool stopWhile = true, otherWhile = true, grayedWhile = false;
    QDialog modal;
    QTimer::singleShot(20, &modal, [&] {
        stopWhile = stop->isEnabled();
        otherWhile = other->isEnabled();
        grayedWhile = form.TitleBar()->Grayed();
        modal.reject();
    });
    modal.exec();
    QVERIFY(!stopWhile);
    QVERIFY(!otherWhile);
    QVERIFY(grayedWhile);
    QCOMPARE(customizer.Told.size(), 2);
    QCOMPARE(customizer.Told.first(), &form);
    QVERIFY(stop->isEnabled());
    QVERIFY(other->isEnabled());
    // A button that was disabled before stays disabled.
    QVERIFY(!off->isEnabled());
    QVERIFY(!form.TitleBar()->Grayed());
    QCOMPARE(form.focusWidget(), stop);
    QCOMPARE(form.FocusButton.data(), stop);
}

void TestZeltForms::disablingTheFormItself() {
    ProbeForm form;
    auto* b = new QPushButton(QStringLiteral("b"), &form);
    auto* off = new QPushButton(QStringLiteral("off"), &form);
    off->setEnabled(false);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.setEnabled(false);
    QVERIFY(form.TitleBar()->Grayed());
    form.setEnabled(true);
    QVERIFY(!form.TitleBar()->Grayed());
    QVERIFY(b->isEnabled());
    QVERIFY(!off->isEnabled());
}

void TestZeltForms::skipBotoaneLeavesButtons() {
    ProbeForm form;
    form.SkipBotoane = true;
    auto* b = new QPushButton(QStringLiteral("b"), &form);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    bool enabledWhile = false;
    QDialog modal;
    QTimer::singleShot(20, &modal, [&] {
        enabledWhile = b->isEnabled();
        modal.reject();
    });
    modal.exec();
    QVERIFY(enabledWhile);
    form.EnableBotoane(false);
    QVERIFY(b->isEnabled());
    form.SkipBotoane = false;
    form.EnableBotoane(false);
    QVERIFY(!b->isEnabled());
}

void TestZeltForms::customizers() {
    ProbeForm form;
    auto* a = new CountingCustomizer;
    auto* b = new CountingCustomizer;
    auto* c = new CountingCustomizer;
    form.AddCustomizer(nullptr);
    form.AddCustomizer(a);
    form.AddCustomizer(a);
    form.AddCustomizer(b);
    form.AddCustomizer(c);
    QCOMPARE(form.CustomizerCount(), 3);
    form.RemoveCustomizer(a);
    // The last one takes the removed one's place.
    QCOMPARE(form.Customizer(0), c);
    QCOMPARE(form.Customizer(1), b);
    QCOMPARE(form.Customizer(2), nullptr);
    QCOMPARE(form.Customizer(-1), nullptr);
    delete a;
    form.RemoveAll(true);
    QCOMPARE(form.CustomizerCount(), 0);
}

void TestZeltForms::hiddenColors() {
    ProbeForm form;
    QCOMPARE(form.GetHiddenColor(QStringLiteral("Edit1"), clRed), TColor(0x7C7DFC));
    QCOMPARE(form.GetHiddenColor(QStringLiteral("Edit1"), clBlue), clRed);
    QCOMPARE(form.GetHiddenColor(QStringLiteral("Edit1"), clBlue), TColor(0x7C7DFC));
}

void TestZeltForms::frame_data() {
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("borderStyle");
    QTest::addColumn<bool>("framed");
    QTest::newRow("a sizeable form gets the frame") << 0 << int(bsSizeable) << true;
    QTest::newRow("a single-border form gets the frame") << 0 << int(bsSingle) << true;
    QTest::newRow("Tag 1234 gets none") << 1234 << int(bsSizeable) << false;
    QTest::newRow("a borderless form gets none") << 0 << int(bsNone) << false;
}

void TestZeltForms::frame() {
    QFETCH(int, tag);
    QFETCH(int, borderStyle);
    QFETCH(bool, framed);
    ProbeForm form;
    form.SetColor(clOther);
    form.SetTag(tag);
    form.SetBorderStyle(TFormBorderStyle(borderStyle));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QImage img = grabForm(form);
    const int y = form.height() - 20;
    const QColor body = ZeltToQColor(clOther);
    const QColor inner = ZeltToQColor(LightenColor(clOther, 25));
    const QColor second = ZeltToQColor(LightenColor(LightenColor(clOther, 25), 10));
    if (!framed) {
        QCOMPARE(colourAt(img, 0, y), body);
        return;
    }
    QCOMPARE(colourAt(img, 0, y), QColor(Qt::black));
    QCOMPARE(colourAt(img, 1, y), second);
    for (int i = 2; i < 6; ++i)
        QCOMPARE(colourAt(img, i, y), inner);
    QCOMPARE(colourAt(img, 6, y), body);
    // All four edges.
    QCOMPARE(colourAt(img, form.width() - 1, y), QColor(Qt::black));
    QCOMPARE(colourAt(img, 100, 0), QColor(Qt::black));
    QCOMPARE(colourAt(img, 100, form.height() - 1), QColor(Qt::black));
    QCOMPARE(colourAt(img, 100, form.height() - 2), second);
}

void TestZeltForms::patternBackground() {
    ProbeForm form;
    form.SetColor(clOther);
    form.MustPaint = true;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QImage img = grabForm(form);
    const QPoint p = form.contentsRect().center();
    const QColor a = colourAt(img, p.x(), p.y());
    const QColor b = colourAt(img, p.x() + 1, p.y());
    QVERIFY(a != b);
    QVERIFY(a == QColor(Qt::white) || a == ZeltToQColor(clOther));
    QVERIFY(b == QColor(Qt::white) || b == ZeltToQColor(clOther));
    QCOMPARE(colourAt(img, p.x() + 1, p.y() + 1), a);
}

void TestZeltForms::showModalResults_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::newRow("a button with a modal result") << "button" << int(mrOk);
    QTest::newRow("closing the window") << "close" << int(mrCancel);
    QTest::newRow("hiding the window") << "hide" << int(mrCancel);
    QTest::newRow("a button without a modal result leaves it open") << "plain then close" << int(mrCancel);
}

void TestZeltForms::showModalResults() {
    QFETCH(QString, how);
    QFETCH(int, result);
    ProbeForm form;
    auto* ok = new TZeltNiceButton(&form, mkOK);
    ok->setGeometry(20, 60, 95, 40);
    auto* plain = new TZeltNiceButton(&form, mkCustom);
    plain->setGeometry(140, 60, 95, 40);
    bool stillOpen = false;
    QTimer::singleShot(20, &form, [&] {
        if (how == "button") {
            ok->click();
        } else if (how == "close") {
            form.close();
        } else if (how == "hide") {
            form.hide();
        } else {
            plain->click();
            QTimer::singleShot(20, &form, [&] {
                stillOpen = form.isVisible();
                form.close();
            });
        }
    });
    QCOMPARE(form.ShowModal(), result);
    QVERIFY(!form.isVisible());
    if (how == "plain then close")
        QVERIFY(stillOpen);
}

void TestZeltForms::rightClickNotifiesTheActiveForm() {
    ProbeForm form;
    auto* child = new QPushButton(QStringLiteral("child"), &form);
    child->setGeometry(50, 80, 100, 30);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &form);
    QTest::mouseClick(form.windowHandle(), Qt::RightButton, Qt::NoModifier, QPoint(60, 90));
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
    QTRY_COMPARE(form.RightClicks.size(), 1);
    QCOMPARE(form.RightClicks.first(), form.mapToGlobal(QPoint(60, 90)));
}

void TestZeltForms::transparentModeCutsTheWindow() {
    ProbeForm form;
    form.TransparentMode = true;
    auto* child = new QPushButton(QStringLiteral("child"), &form);
    child->setGeometry(50, 80, 100, 30);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.IsTransparent);
    const QRegion mask = form.mask();
    QVERIFY(mask.contains(QPoint(2, 2)));      // the frame
    QVERIFY(mask.contains(QPoint(60, 90)));    // a control
    QVERIFY(!mask.contains(QPoint(300, 200))); // the bare client area
    QVERIFY(mask.contains(form.TitleBar()->geometry().center()));
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ZeltUiSession ui;
    TestZeltForms t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_zeltforms.moc"
