#include "ZeltDBEditForm.h"

#include "ZeltAccel.h"
#include "ZeltActives.h"
#include "ZeltButtons.h"
#include "ZeltCommonInfo.h"
#include "ZeltError.h"
#include "ZeltFormats.h"
#include "ZeltMessageDlg.h"
#include "ZeltPanel.h"
#include "ZeltPersistent.h"
#include "ZeltTitle.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QTableView>
#include <QTextStream>
#include <QTreeView>

namespace {

constexpr int kNoPosition = -1000;
constexpr TColor kRecordColor = 0x7C7DFC;
constexpr TColor kPlayColor = 0x80C17C;

TColor baseColorOf(const QWidget* w) {
    return ZeltFromQColor(w->palette().color(QPalette::Base));
}

void setBaseColor(QWidget* w, TColor color) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, ZeltToQColor(color));
    w->setPalette(pal);
}

QWidget* fixedCellsOf(QWidget* grid) {
    auto* table = qobject_cast<QTableView*>(grid);
    return table ? table->horizontalHeader() : nullptr;
}

TColor fixedColorOf(QWidget* grid) {
    QWidget* header = fixedCellsOf(grid);
    return header ? ZeltFromQColor(header->palette().color(QPalette::Button)) : clBtnFace;
}

void setFixedColor(QWidget* grid, TColor color) {
    if (QWidget* header = fixedCellsOf(grid)) {
        QPalette pal = header->palette();
        pal.setColor(QPalette::Button, ZeltToQColor(color));
        header->setPalette(pal);
    }
}

// The short-date text of the process formats, both ways.
QString qtDatePattern() {
    QString pattern = FormatSettings().ShortDateFormat;
    pattern.replace(QStringLiteral("mm"), QStringLiteral("MM"));
    pattern.replace(u'm', u'M');
    pattern.replace(u'/', FormatSettings().DateSeparator);
    return pattern;
}

TZeltTouchButton* makeStopButton(QWidget* parent, const QString& name, const QString& hint,
                                 const QString& caption) {
    auto* b = new TZeltTouchButton(parent, mkCustom);
    b->setObjectName(name);
    b->SetColor(clWhite);
    b->SetCaptionVisible(true);
    b->SetModalResult(mrNone);
    b->setFocusPolicy(Qt::ClickFocus);
    b->setToolTip(hint);
    b->SetCaption(caption);
    b->resize(200, b->height());
    b->hide();
    return b;
}

} // namespace

TZeltDataSource::TZeltDataSource(QObject* owner) : QObject(owner) {
    setObjectName(QStringLiteral("BaseDS"));
}

TZeltEventProxy::TZeltEventProxy(QObject* owner) : QObject(owner) {
    setObjectName(QStringLiteral("TMP_EventProxy"));
}

TZeltDBEditForm::TZeltDBEditForm(QWidget* owner) : TZeltTitleForm(owner) {
    FMainSource = new TZeltDataSource(this);
    FMainSource->AutoEdit = false;
    FEventProxy = new TZeltEventProxy(this);
    IsColorForm = true;
    HideWiz = true;

    RecPanel = new TZeltPanel(this, QStringLiteral("RecPanel"));
    RecPanel->SetBorderWidth(3);
    RecPanel->hide();
    BRecord = makeStopButton(RecPanel, QStringLiteral("BRecord"),
                             QStringLiteral("STOP WIZZARD RECORD#< F7 >"), QStringLiteral("STOP RecordMode"));
    connect(BRecord, &QAbstractButton::clicked, this, [this] { F7Key(); });
    BWizzard = makeStopButton(RecPanel, QStringLiteral("BWizzard"),
                              QStringLiteral("STOP WIZZARD PLAY#< F8 >"), QStringLiteral("STOP PlayMode"));
    connect(BWizzard, &QAbstractButton::clicked, this, [this] { F8Key(); });
}

TZeltDBEditForm::~TZeltDBEditForm() {
    if (FAccelObj && WM_RecordMODE)
        FAccelObj->Save();
    WM_PlayMODE = false;
    ZeltCommonInfo::ForgetEditForm(this);
}

void TZeltDBEditForm::DoLoaded() {
    TZeltTitleForm::DoLoaded();
    TZeltTitleBar* bar = TitleBar();
    if (bar->IconStyle() == isMain)
        bar->resize(bar->width(), 46);
    bar->SetEditForm(this);
    RecPanel->setGeometry(bar->geometry());
}

// ---- settings helpers --------------------------------------------------------------------------

void TZeltDBEditForm::SaveString(const QString& name, const QString& value) {
    if (CurrentWriter)
        CurrentWriter->WriteProperty(KeySaveName, name, value);
}

void TZeltDBEditForm::SaveBoolean(const QString& name, bool value) {
    SaveString(name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TZeltDBEditForm::SaveDate(const QString& name, const QDate& value) {
    SaveString(name, FormatDateTime(FormatSettings().ShortDateFormat, QDateTime(value, QTime(0, 0))));
}

void TZeltDBEditForm::SaveInteger(const QString& name, int value, int def) {
    if (def == -1 || value != def)
        SaveString(name, QString::number(value));
}

QString TZeltDBEditForm::LoadString(const QString& name, const QString& def) {
    if (!CurrentReader)
        return def;
    const QString value = CurrentReader->ReadProperty(KeySaveName, name);
    return value.isEmpty() ? def : value;
}

bool TZeltDBEditForm::LoadBoolean(const QString& name, bool def) {
    const QString value = LoadString(name, QString()).trimmed();
    if (value.isEmpty())
        return def;
    return value == u'1' || value == QStringLiteral("-1") ||
           value.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0;
}

QDate TZeltDBEditForm::LoadDate(const QString& name, const QDate& def) {
    const QString value = LoadString(name, QString()).trimmed();
    if (value.isEmpty())
        return def;
    const QDate d = QDate::fromString(value, qtDatePattern());
    return d.isValid() ? d : def;
}

int TZeltDBEditForm::LoadInteger(const QString& name, int def) {
    const QString value = LoadString(name, QString()).trimmed();
    if (value.isEmpty())
        return def;
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok)
        throw EZeltError(QStringLiteral("'%1' is not a valid integer value").arg(value));
    ++LoadedCount;
    return n;
}

// ---- reading and writing the settings ----------------------------------------------------------

void TZeltDBEditForm::ReadMasterObj() {
    BufMaxWidth = width();
    BufMaxHeight = height();
    BufTop = y();
    BufLeft = x();
    if (minimumWidth() == 0)
        setMinimumWidth(400);
    if (minimumHeight() == 0)
        setMinimumHeight(400);

    int top = y();
    int left = x();
    if (Tag() != 991) {
        FOldColor = Color();
        SetColor(LoadInteger(QStringLiteral("Color"), Color()));
        if (DynamicWidth) {
            const int w = LoadInteger(QStringLiteral("Width"), width());
            const int h = LoadInteger(QStringLiteral("Height"), height());
            resize(w, h);
            top = LoadInteger(QStringLiteral("Top"), kNoPosition);
            left = LoadInteger(QStringLiteral("Left"), kNoPosition);
            if (top != kNoPosition && left != kNoPosition)
                move(left, top);
        }
    }
    FixedPosition = top != kNoPosition && left != kNoPosition;

    for (auto it = Griduri.cbegin(); it != Griduri.cend(); ++it)
        if (QWidget* grid = it.value()) {
            FOldControlColors[it.key() + QStringLiteral("_Color")] = baseColorOf(grid);
            FOldControlColors[it.key() + QStringLiteral("_FixColor")] = fixedColorOf(grid);
            setBaseColor(grid, LoadInteger(it.key() + QStringLiteral("_Color"), baseColorOf(grid)));
            setFixedColor(grid, LoadInteger(it.key() + QStringLiteral("_FixColor"), fixedColorOf(grid)));
        }
    for (auto it = Treeuri.cbegin(); it != Treeuri.cend(); ++it)
        if (QWidget* tree = it.value()) {
            FOldControlColors[it.key() + QStringLiteral("_TColor")] = baseColorOf(tree);
            setBaseColor(tree, LoadInteger(it.key() + QStringLiteral("_TColor"), baseColorOf(tree)));
        }
    for (int i = 0; i < Botoane.Count(); ++i)
        if (auto* b = qobject_cast<TZeltNiceButton*>(Botoane.GetButton(i))) {
            b->OldColor = b->Color();
            b->SetColor(LoadInteger(b->objectName() + QStringLiteral("_Color"), b->Color()));
        }
}

void TZeltDBEditForm::WriteMasterObj() {
    if (Sizeable()) {
        SaveInteger(QStringLiteral("Width"), width(), -1);
        SaveInteger(QStringLiteral("Height"), height(), -1);
        SaveInteger(QStringLiteral("Top"), y(), -1);
        SaveInteger(QStringLiteral("Left"), x(), -1);
    }
    // A value back at its original is not stored; an entry left from an earlier change would
    // otherwise bring the old colour back at the next show.
    auto saveChanged = [this](const QString& name, TColor value, TColor old) {
        if (value != old)
            SaveInteger(name, value, old);
        else
            SaveString(name, QString());
    };
    saveChanged(QStringLiteral("Color"), Color(), FOldColor);
    for (auto it = Griduri.cbegin(); it != Griduri.cend(); ++it)
        if (QWidget* grid = it.value()) {
            const QString c = it.key() + QStringLiteral("_Color");
            const QString f = it.key() + QStringLiteral("_FixColor");
            saveChanged(c, baseColorOf(grid), FOldControlColors.value(c, baseColorOf(grid)));
            saveChanged(f, fixedColorOf(grid), FOldControlColors.value(f, fixedColorOf(grid)));
        }
    for (auto it = Treeuri.cbegin(); it != Treeuri.cend(); ++it)
        if (QWidget* tree = it.value()) {
            const QString c = it.key() + QStringLiteral("_TColor");
            saveChanged(c, baseColorOf(tree), FOldControlColors.value(c, baseColorOf(tree)));
        }
    for (int i = 0; i < Botoane.Count(); ++i)
        if (auto* b = qobject_cast<TZeltNiceButton*>(Botoane.GetButton(i)))
            saveChanged(b->objectName() + QStringLiteral("_Color"), b->Color(), b->OldColor);
}

void TZeltDBEditForm::ReadSettings() {
    if (SaveName.isEmpty())
        return;
    CurrentReader = &TZeltPersistenceConfig::GetReader();
    try {
        ReadMasterObj();
        ReadChild();
    } catch (const std::exception&) {
        // A damaged entry ends the reading; what was read so far stays.
    }
    CurrentReader = nullptr;
}

void TZeltDBEditForm::WriteSettings() {
    if (SaveName.isEmpty())
        return;
    CurrentWriter = &TZeltPersistenceConfig::GetWriter();
    try {
        WriteMasterObj();
        WriteChild();
        CurrentWriter->Flush();
    } catch (const std::exception&) {
        // Nothing is written; the window closes all the same.
    }
    CurrentWriter = nullptr;
}

// ---- showing, hiding, closing ------------------------------------------------------------------

void TZeltDBEditForm::PlaceOnScreen() {
    QScreen* s = screen();
    if (!s)
        return;
    const QRect sg = s->geometry();
    int left = x();
    int top = y();
    if (!FixedPosition) {
        left = sg.x() + (sg.width() - width()) / 2;
        top = sg.y() + qRound(120 * Scale());
    }
    if (top + height() > sg.y() + sg.height())
        top = qMax(sg.y(), sg.y() + sg.height() - height());
    if (left + width() > sg.x() + sg.width())
        left = qMax(sg.x(), sg.x() + sg.width() - width());
    move(left, top);
}

void TZeltDBEditForm::DoShow() {
    CollectButtons();
    try {
        if (SaveName.isEmpty())
            SaveName = objectName() + u'_' + QString::number(Tag());
        KeySaveName = QStringLiteral("Form@") + SaveName;
        TZeltPersistenceConfig::SetPersistencePath(SaveName);
        ReadSettings();
        TZeltPersistenceConfig::ReleaseReader();
    } catch (const std::exception&) {
        CurrentReader = nullptr;
        TZeltPersistenceConfig::ReleaseReader();
    }
    PlaceOnScreen();
    ZeltCommonInfo::SetCurrentEditForm(this);

    TZeltTitleForm::DoShow();

    if (TZeltFmtLabel* label = LabelInfo()) {
        label->SetAutoSize(true);
        QFont f = label->font();
        f.setBold(false);
        f.setItalic(false);
        f.setUnderline(false);
        f.setStrikeOut(false);
        label->setFont(f);
        label->move(width() - label->width() - qRound(30 * Scale()), ClientRect().top() + 1);
    }
    RecPanel->hide();
    RecPanel->lower();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    LoadHiddenControls();
}

void TZeltDBEditForm::LoadHiddenControls() {
    if (SaveName.isEmpty())
        return;
    QFile f(SaveName + QStringLiteral("_Hidden"));
    if (!f.exists() || !f.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    Ascunse.clear();
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (!line.isEmpty())
            Ascunse << line;
    }
    ExecHiddens();
}

void TZeltDBEditForm::ExecHiddens() {
    for (const QString& entry : std::as_const(Ascunse)) {
        const QString name = entry.section(u'=', 0, 0).trimmed();
        if (name.isEmpty())
            continue;
        if (QWidget* w = findChild<QWidget*>(name); w && w != RecPanel && w->parentWidget() != RecPanel)
            w->hide();
    }
}

void TZeltDBEditForm::DoHide() {
    if (WM_RecordMODE) {
        // What was recorded is kept rather than dropped with the window.
        if (FAccelObj)
            FAccelObj->Save();
        HideStatus();
        WM_RecordMODE = false;
        WM_PlayMODE = false;
    }
    TZeltTitleForm::DoHide();
}

void TZeltDBEditForm::DoClose(TCloseAction& action) {
    try {
        TZeltPersistenceConfig::SetPersistencePath(SaveName);
        WriteSettings();
    } catch (const std::exception&) {
        CurrentWriter = nullptr;
    }
    TZeltPersistenceConfig::ReleaseWriter();
    TZeltTitleForm::DoClose(action);
}

void TZeltDBEditForm::WindowActivated() {
    const bool first = !Activated && isVisible();
    TZeltTitleForm::WindowActivated();
    ZeltCommonInfo::SetCurrentEditForm(this);
    if (first && WM_PlayMODE)
        PlayMacro();
}

void TZeltDBEditForm::ClearGridsSelections() {
    for (const QPointer<QWidget>& grid : std::as_const(Griduri))
        if (auto* view = qobject_cast<QAbstractItemView*>(grid.data()))
            view->clearSelection();
}

void TZeltDBEditForm::KillWizard() {
    WM_PlayMODE = false;
}

// ---- macros ------------------------------------------------------------------------------------

TZeltAccel& TZeltDBEditForm::Accel() {
    if (!FAccelObj)
        FAccelObj = std::make_unique<TZeltAccel>(this, AccelBaseFolder);
    return *FAccelObj;
}

bool TZeltDBEditForm::PreviewKey(QKeyEvent* event) {
    const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
    if (Tag() != -999999 && plain) {
        if (event->key() == Qt::Key_F7 && !WM_PlayMODE) {
            F7Key();
            return true;
        }
        if (event->key() == Qt::Key_F8) {
            F8Key();
            return true;
        }
    }
    return TZeltTitleForm::PreviewKey(event);
}

void TZeltDBEditForm::ShowStatus(const QString& text, TColor color, TZeltTouchButton* stopButton) {
    TZeltTitleBar* bar = TitleBar();
    const QRect g = bar->geometry();
    RecPanel->setGeometry(g.x(), g.y(), qMax(0, g.width() - 5), g.height());
    RecPanel->SetColor(color);
    RecPanel->SetCaption(text);
    BRecord->setVisible(stopButton == BRecord);
    BWizzard->setVisible(stopButton == BWizzard);
    stopButton->setGeometry(RecPanel->width() - RecPanel->BorderWidth() - 200, RecPanel->BorderWidth(), 200,
                            qMax(0, RecPanel->height() - 2 * RecPanel->BorderWidth()));
    RecPanel->show();
    RecPanel->raise();
}

void TZeltDBEditForm::HideStatus() {
    RecPanel->hide();
    BRecord->hide();
    BWizzard->hide();
}

void TZeltDBEditForm::ReportMacroError() {
    if (FAccelObj && !FAccelObj->LastError().isEmpty())
        ZeltMessageDlg(FAccelObj->LastError(), QString(), mtError, {mbOK}, mbOK, -1);
}

void TZeltDBEditForm::F7Key() {
    if (WM_PlayMODE)
        return;
    TZeltAccel& accel = Accel();
    if (!WM_RecordMODE) {
        if (!accel.Prepare()) {
            ReportMacroError();
            return;
        }
        WM_RecordMODE = true;
    } else if (accel.Save() != 1) {
        WM_RecordMODE = false;
        HideStatus();
        return;
    } else {
        ReportMacroError();
    }
    ShowStatus(QStringLiteral("RecordMode: WIZZARD = ") + accel.RecordSetName() +
                   QStringLiteral(";   Inregistreaza controlul cu <DreaptaMouse> sau < F8 >"),
               kRecordColor, BRecord);
}

void TZeltDBEditForm::F8Key() {
    if (WM_RecordMODE) {
        Accel().Record(focusWidget());
        return;
    }
    if (WM_PlayMODE) {
        // A second F8 (or the stop button) ends the playing.
        WM_PlayMODE = false;
        return;
    }
    if (!Accel().Load())
        return;
    WM_PlayMODE = true;
    PlayMacro();
}

void TZeltDBEditForm::PlayMacro() {
    QPointer<TZeltDBEditForm> self(this);
    ShowStatus(QStringLiteral("PlayMode: WIZZARD = ") + Accel().RecordSetName(), kPlayColor, BWizzard);
    Accel().Play([self] { return self && self->WM_PlayMODE; });
    if (!self)
        return;
    WM_PlayMODE = false;
    HideStatus();
}

void TZeltDBEditForm::RightClickNotification(QPoint globalPos) {
    if (!WM_RecordMODE)
        return;
    QWidget* w = QApplication::widgetAt(globalPos);
    while (w && w != this && !(w->isEnabled() && w->focusPolicy() != Qt::NoFocus))
        w = w->parentWidget();
    if (!w || w == this || w->window() != this || w == BRecord || w == BWizzard)
        return;
    w->setFocus(Qt::MouseFocusReason);
    Accel().Record(w);
}
