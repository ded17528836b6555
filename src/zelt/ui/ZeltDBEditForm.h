#pragma once

#include "ZeltForms.h"

#include <QDate>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class IZeltReader;
class IZeltWriter;
class TZeltAccel;
class TZeltPanel;
class TZeltTouchButton;

// The form's main data source. The program binds no data to it; it carries the form's published
// data events.
class TZeltDataSource : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* sender)>;
    explicit TZeltDataSource(QObject* owner);
    bool AutoEdit = false;
    TNotifyEvent OnRecordChanged;
    TNotifyEvent OnStateChange;
    TNotifyEvent OnUpdateData;
    TNotifyEvent OnDataChange;
};

// The form's event proxy (a place for data events to be routed through; unused by this program).
class TZeltEventProxy : public QObject {
    Q_OBJECT
public:
    explicit TZeltEventProxy(QObject* owner);
};

// The data-editing form, last layer of the form chain (ZeltForms.h).
//
// Settings. At every show the form reads its settings from the file SaveName (the component name,
// "_" and the Tag, e.g. "DEzeriRAZ_0") in the current directory, under the key KeySaveName
// ("Form@" + SaveName); at every close it writes them back, before the window's own close handler
// (FormClose) runs. Read: the colour ("Color"), and with DynamicWidth the size and position; write:
// for a sizeable form "Width", "Height", "Top", "Left", and "Color" when the user changed it.
// Subclasses add their own settings in ReadChild/WriteChild with the Save.../Load... helpers.
// Errors while reading or writing are swallowed: the form shows and closes regardless.
//
// Placement. Unless the position came from the file (or the form never reads one), the form is
// centred horizontally 120 pixels (at 96 pixels per inch) from the top; a window that sticks out
// of the screen is then pulled back inside it (not above or left of the screen's origin).
//
// Macros. F7 starts and ends recording (the engine asks for a record set's name), F8 records the
// focused control while recording, else plays the current record set (F8 or the stop button on
// the status panel stops playing); a right click records the control under the mouse.
class TZeltDBEditForm : public TZeltTitleForm {
    Q_OBJECT
public:
    explicit TZeltDBEditForm(QWidget* owner = nullptr);
    ~TZeltDBEditForm() override;

    TZeltDataSource* MainSource() const { return FMainSource; }
    TZeltEventProxy* EventProxy() const { return FEventProxy; }
    // Forwarded to MainSource.
    void SetOnRecordChanged(TZeltDataSource::TNotifyEvent e) { FMainSource->OnRecordChanged = std::move(e); }
    void SetOnStateChange(TZeltDataSource::TNotifyEvent e) { FMainSource->OnStateChange = std::move(e); }
    void SetOnUpdateData(TZeltDataSource::TNotifyEvent e) { FMainSource->OnUpdateData = std::move(e); }
    void SetOnDataChange(TZeltDataSource::TNotifyEvent e) { FMainSource->OnDataChange = std::move(e); }

    // Settings helpers, on the current writer or reader under KeySaveName; without one they do
    // nothing or give the default.
    void SaveString(const QString& name, const QString& value);
    void SaveBoolean(const QString& name, bool value);
    void SaveDate(const QString& name, const QDate& value);
    // Written only when `def` is -1 or the value differs from it.
    void SaveInteger(const QString& name, int value, int def);
    QString LoadString(const QString& name, const QString& def);
    bool LoadBoolean(const QString& name, bool def);
    QDate LoadDate(const QString& name, const QDate& def);
    // An empty stored text gives the default; a found value counts in LoadedCount. Raises
    // EZeltError for a stored text that is not a number (which ends the reading of the settings).
    int LoadInteger(const QString& name, int def);

    virtual void WriteMasterObj();
    virtual void ReadMasterObj();
    virtual void WriteChild() {}
    virtual void ReadChild() {}

    void ClearGridsSelections() override;
    void KillWizard() override;

    // The macro engine, made at the first F7 or F8.
    TZeltAccel* AccelObj() const { return FAccelObj.get(); }
    // Where the macro engine keeps "Accel"; empty for the executable's folder.
    QString AccelBaseFolder;

    QPointer<QWidget> FSearchForm;
    IZeltReader* CurrentReader = nullptr;
    IZeltWriter* CurrentWriter = nullptr;
    QString SaveName;
    QString KeySaveName;
    TZeltPanel* RecPanel = nullptr;
    TZeltTouchButton* BRecord = nullptr;
    TZeltTouchButton* BWizzard = nullptr;
    bool HideWiz = true;
    bool WM_RecordMODE = false;
    bool WM_PlayMODE = false;
    QString LogTableName;

protected:
    void DoLoaded() override;
    void DoShow() override;
    void DoHide() override;
    void DoClose(TCloseAction& action) override;
    bool PreviewKey(QKeyEvent* event) override;
    void RightClickNotification(QPoint globalPos) override;
    void WindowActivated() override;

private:
    void ReadSettings();
    void WriteSettings();
    void PlaceOnScreen();
    void LoadHiddenControls();
    void ExecHiddens();
    TZeltAccel& Accel();
    void F7Key();
    void F8Key();
    void ShowStatus(const QString& text, TColor color, TZeltTouchButton* stopButton);
    void HideStatus();
    void PlayMacro();
    void ReportMacroError();

    TZeltDataSource* FMainSource = nullptr;
    TZeltEventProxy* FEventProxy = nullptr;
    std::unique_ptr<TZeltAccel> FAccelObj;
    QMap<QString, TColor> FOldControlColors;
};
