// The data-editing form: its settings file, placement on screen, close order, hidden controls and
// the keyboard macro keys.
#include "ZeltAccel.h"
#include "ZeltButtons.h"
#include "ZeltDBEditForm.h"
#include "ZeltIniFile.h"
#include "ZeltMessageDlg.h"
#include "ZeltPanel.h"
#include "ZeltPersistent.h"
#include "ZeltTitle.h"
#include "ZeltUi.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

namespace {

const QString kKey = QStringLiteral("FORM@DEZERIRAZ_0");
const QString kFile = QStringLiteral("DEzeriRAZ_0");

// A window as the main window is made: component name DEzeriRAZ, Tag 0, colour clOther.
class MainLike final : public TZeltDBEditForm {
public:
    MainLike() {
        setObjectName(QStringLiteral("DEzeriRAZ"));
        setWindowTitle(QStringLiteral("GPS Tracking"));
        SetColor(clOther);
        setMinimumHeight(150);
        SetClientSize(542, 191);
        SetPosition(poScreenCenter);
        Edit = new QLineEdit(this);
        Edit->setObjectName(QStringLiteral("Edit1"));
        Edit->setGeometry(20, 60, 200, 24);
    }
    QLineEdit* Edit;
    // What the window's own close handler found on disk.
    std::optional<bool> FileWrittenAtFormClose;

protected:
    void FormClose(TCloseAction&) override {
        TZeltXMLControlReader r(kFile);
        FileWrittenAtFormClose = r.Loaded() && !r.ReadProperty(kKey, QStringLiteral("WIDTH")).isEmpty();
    }
};

void showAndClose(TZeltDBEditForm& form) {
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.close();
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeRows(const QList<std::pair<QString, QString>>& rows) {
    TZeltXMLControlWriter w(kFile);
    for (const auto& [property, value] : rows)
        w.WriteProperty(kKey, property, value);
    w.Flush();
}

} // namespace

class TestZeltDBEditForm final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void closeWritesSizeAndPositionOnly();
    void colourRowRecoloursNextShow();
    void changedColourIsWrittenAndUndoneColourDropped();
    void dynamicWidthRestoresSizeAndPosition();
    void unreadableFileIgnoredAndReplaced_data();
    void unreadableFileIgnoredAndReplaced();
    void closeWithoutWritableFolderStillCloses();
    void placement_data();
    void placement();
    void hiddenControlsFileHidesControls();
    void f7ChangesNothingUnlessPrepared_data();
    void f7ChangesNothingUnlessPrepared();
    void macroRecordedSavedAndPlayed();

private:
    std::unique_ptr<QTemporaryDir> FDir;
    QString FOldCurrent;
};

void TestZeltDBEditForm::init() {
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    FOldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(FDir->path()));
    TZeltAccel::SetNamePrompt(nullptr);
}

void TestZeltDBEditForm::cleanup() {
    QDir::setCurrent(FOldCurrent);
    FDir.reset();
}

void TestZeltDBEditForm::closeWritesSizeAndPositionOnly() {
    MainLike form;
    showAndClose(form);
    QCOMPARE(form.SaveName, kFile);
    QCOMPARE(form.KeySaveName, QStringLiteral("Form@DEzeriRAZ_0"));
    QVERIFY(QFile::exists(FDir->filePath(kFile)));
    const auto table = TZeltSettingsTable::FromBytes(fileBytes(FDir->filePath(kFile)));
    QVERIFY(table);
    QCOMPARE(table->Value(kKey, QStringLiteral("WIDTH")), QString::number(form.width()));
    QCOMPARE(table->Value(kKey, QStringLiteral("HEIGHT")), QString::number(form.height()));
    QCOMPARE(table->Value(kKey, QStringLiteral("TOP")), QString::number(form.y()));
    QCOMPARE(table->Value(kKey, QStringLiteral("LEFT")), QString::number(form.x()));
    QCOMPARE(table->Value(kKey, QStringLiteral("COLOR")), QString());
    QCOMPARE(table->RowCount(), 4);
    // Stored in upper case, under the form's key.
    QVERIFY(fileBytes(FDir->filePath(kFile)).contains("Key=\"FORM@DEZERIRAZ_0\""));
    // The settings were on disk before the window's own close handler ran.
    QCOMPARE(form.FileWrittenAtFormClose, std::optional<bool>(true));
}

void TestZeltDBEditForm::colourRowRecoloursNextShow() {
    const TColor stored = ZeltRGB(232, 190, 128);
    writeRows({{QStringLiteral("Color"), QString::number(stored)},
               {QStringLiteral("Width"), QStringLiteral("900")},
               {QStringLiteral("Height"), QStringLiteral("700")}});
    MainLike form;
    const QSize defined = form.size();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.Color(), stored);
    // The size rows are not read: the window keeps its definition's size.
    QCOMPARE(form.size(), defined);
    QCOMPARE(form.LoadedCount, 1);
    QVERIFY(form.FixedPosition);
    form.close();
    // Still a changed colour, so still stored.
    TZeltXMLControlReader r(kFile);
    QCOMPARE(r.ReadProperty(kKey, QStringLiteral("COLOR")), QString::number(stored));
}

void TestZeltDBEditForm::changedColourIsWrittenAndUndoneColourDropped() {
    {
        MainLike form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.SetColor(ZeltRGB(128, 128, 128));
        form.close();
        TZeltXMLControlReader r(kFile);
        QCOMPARE(r.ReadProperty(kKey, QStringLiteral("COLOR")), QString::number(ZeltRGB(128, 128, 128)));
    }
    {
        // The user picks the window's own colour again: the next run shows that colour.
        MainLike form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.Color(), ZeltRGB(128, 128, 128));
        form.SetColor(clOther);
        form.close();
    }
    MainLike form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.Color(), clOther);
    form.close();
}

void TestZeltDBEditForm::dynamicWidthRestoresSizeAndPosition() {
    writeRows({{QStringLiteral("Width"), QStringLiteral("610")},
               {QStringLiteral("Height"), QStringLiteral("420")},
               {QStringLiteral("Top"), QStringLiteral("33")},
               {QStringLiteral("Left"), QStringLiteral("44")}});
    MainLike form;
    form.DynamicWidth = true;
    form.SetPosition(poDesigned);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.size(), QSize(610, 420));
    QCOMPARE(form.pos(), QPoint(44, 33));
    QVERIFY(form.FixedPosition);
    QCOMPARE(form.LoadedCount, 4);
    form.close();
}

void TestZeltDBEditForm::unreadableFileIgnoredAndReplaced_data() {
    QTest::addColumn<QByteArray>("content");
    TZeltSettingsTable t;
    t.SetValue(kKey, QStringLiteral("COLOR"), QString::number(ZeltRGB(1, 2, 3)));
    const QByteArray whole = t.ToBytes();
    QTest::newRow("truncated") << whole.left(whole.size() - 12);
    QTest::newRow("garbage") << QByteArray("\x7f\x45\x4c\x46 not settings at all");
    QTest::newRow("a colour that is no number")
        << QByteArray("<ZeltPersistent version=\"1\"><Row Key=\"FORM@DEZERIRAZ_0\" Property=\"COLOR\" "
                      "Value=\"green\"/></ZeltPersistent>");
}

void TestZeltDBEditForm::unreadableFileIgnoredAndReplaced() {
    QFETCH(QByteArray, content);
    {
        QFile f(kFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    MainLike form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.Color(), clOther);
    form.close();
    TZeltXMLControlReader r(kFile);
    QVERIFY(r.Loaded());
    QCOMPARE(r.ReadProperty(kKey, QStringLiteral("WIDTH")), QString::number(form.width()));
    QCOMPARE(r.ReadProperty(kKey, QStringLiteral("COLOR")), QString());
}

void TestZeltDBEditForm::closeWithoutWritableFolderStillCloses() {
    const QString gone = FDir->filePath(QStringLiteral("gone"));
    QVERIFY(QDir().mkdir(gone));
    QVERIFY(QDir::setCurrent(gone));
    QVERIFY(QDir().rmdir(gone));
    MainLike form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.close());
    QVERIFY(!form.isVisible());
    QCOMPARE(form.FileWrittenAtFormClose, std::optional<bool>(false));
}

void TestZeltDBEditForm::placement_data() {
    QTest::addColumn<bool>("dynamicWidth");
    QTest::addColumn<int>("extraHeight"); // beyond the screen's height; 0: the window's own
    QTest::addColumn<QString>("expect");
    QTest::newRow("platform centring, no stored position") << false << 0 << "centred";
    QTest::newRow("window taller than the screen is placed at top 0") << false << 100 << "top 0";
    QTest::newRow("no stored position: centred horizontally, 120 from the top") << true << 0 << "120";
    QTest::newRow("taller than the screen without stored position: top 0") << true << 50 << "top 0";
}

void TestZeltDBEditForm::placement() {
    QFETCH(bool, dynamicWidth);
    QFETCH(int, extraHeight);
    QFETCH(QString, expect);
    MainLike form;
    form.DynamicWidth = dynamicWidth;
    const QRect sg = form.screen()->geometry();
    if (extraHeight)
        form.resize(form.width(), sg.height() + extraHeight);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QRect g = form.geometry();
    QCOMPARE(g.x(), sg.x() + (sg.width() - g.width()) / 2);
    if (expect == "top 0")
        QCOMPARE(g.y(), sg.y());
    else if (expect == "120")
        QCOMPARE(g.y(), sg.y() + qRound(120 * form.Scale()));
    else
        QCOMPARE(g.y(), sg.y() + (sg.height() - g.height()) / 2);
    QVERIFY(form.minimumWidth() >= 400);
    form.close();
}

void TestZeltDBEditForm::hiddenControlsFileHidesControls() {
    {
        QFile f(kFile + QStringLiteral("_Hidden"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Text));
        f.write("Edit1\nNoSuchControl\n");
    }
    MainLike form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.Ascunse, QStringList({"Edit1", "NoSuchControl"}));
    QVERIFY(!form.Edit->isVisible());
    form.close();
}

void TestZeltDBEditForm::f7ChangesNothingUnlessPrepared_data() {
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("reported");
    QTest::newRow("the user cancels") << true << "" << false;
    QTest::newRow("a name that climbs out of the folder") << false << "../../evil" << true;
    QTest::newRow("a name with a path separator") << false << "a/b" << true;
    QTest::newRow("an empty name") << false << "   " << true;
}

void TestZeltDBEditForm::f7ChangesNothingUnlessPrepared() {
    QFETCH(bool, cancel);
    QFETCH(QString, name);
    QFETCH(bool, reported);
    int asked = 0;
    TZeltAccel::SetNamePrompt([&](QWidget*, const QString& current) -> std::optional<QString> {
        ++asked;
        if (current != QStringLiteral("Default"))
            return QStringLiteral("unexpected");
        return cancel ? std::nullopt : std::optional<QString>(name);
    });
    QStringList messages;
    ZeltSetAutoAnswer(true);
    ZeltSetAutoAnswerObserver([&](const TZeltAutoAnswer& a) { messages << a.Message; });
    MainLike form;
    form.AccelBaseFolder = FDir->path();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::keyClick(form.windowHandle(), Qt::Key_F7);
    ZeltSetAutoAnswer(false);
    ZeltSetAutoAnswerObserver(nullptr);
    QCOMPARE(asked, 1);
    QVERIFY(!form.WM_RecordMODE);
    QVERIFY(!form.RecPanel->isVisible());
    QCOMPARE(messages.size(), reported ? 1 : 0);
    QVERIFY(!QDir(FDir->filePath(QStringLiteral("Accel"))).exists());
    QVERIFY(!QFileInfo::exists(FDir->filePath(QStringLiteral("../evil.XML"))));
    form.close();
}

void TestZeltDBEditForm::macroRecordedSavedAndPlayed() {
    TZeltAccel::SetNamePrompt(
        [](QWidget*, const QString&) -> std::optional<QString> { return QStringLiteral("Test"); });
    const QString folder = FDir->filePath(QStringLiteral("Accel/DEzeriRAZ_GPSTracking/"));
    {
        MainLike form;
        form.AccelBaseFolder = FDir->path();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        QTest::keyClick(form.windowHandle(), Qt::Key_F7);
        QVERIFY(form.WM_RecordMODE);
        QVERIFY(form.RecPanel->isVisible());
        QCOMPARE(form.RecPanel->Caption(),
                 QStringLiteral(
                     "RecordMode: WIZZARD = Test;   Inregistreaza controlul cu <DreaptaMouse> sau < F8 >"));
        QCOMPARE(form.RecPanel->Color(), TColor(0x7C7DFC));
        QVERIFY(form.BRecord->isVisible());
        form.Edit->setFocus();
        form.Edit->setText(QStringLiteral("recorded"));
        QTest::keyClick(form.windowHandle(), Qt::Key_F8);
        // F7 and F8 are the form's: the line edit saw neither.
        QCOMPARE(form.Edit->text(), QStringLiteral("recorded"));
        QTest::keyClick(form.windowHandle(), Qt::Key_F7);
        QVERIFY(!form.WM_RecordMODE);
        QVERIFY(!form.RecPanel->isVisible());
        form.close();
    }
    QVERIFY(QFile::exists(folder + QStringLiteral("Test.XML")));
    QCOMPARE(ZeltIniFile::fromFile(folder + QStringLiteral("Wizzard.ini"))
                 .ReadString(QStringLiteral("TEMPLATE"), QStringLiteral("NAME")),
             QStringLiteral("Test"));

    MainLike form;
    form.AccelBaseFolder = FDir->path();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::keyClick(form.windowHandle(), Qt::Key_F8);
    QCOMPARE(form.Edit->text(), QStringLiteral("recorded"));
    QVERIFY(!form.WM_PlayMODE);
    QVERIFY(!form.RecPanel->isVisible());
    form.close();
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ZeltUiSession ui;
    TestZeltDBEditForm t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_zeltdbeditform.moc"
