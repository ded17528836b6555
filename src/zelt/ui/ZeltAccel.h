#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

// One recorded step of a keyboard macro: a control of the form and the value it is given.
struct TZeltAccelStep {
    int Order = 0; // 10, 20, 30, ... in step order
    QString Name;  // the control's component name (at most 100 characters)
    int Type = 0;  // TZeltAccel::ControlType
    QString Label; // the control's label, its first "&" removed (at most 50)
    QString Value; // at most 100
    bool IsDefault = false;
    bool IsModify = true;
};

// The data-editing form's keyboard macro engine (F7 records, F8 plays). Record sets live in
// <base folder>/Accel/<form name>_<letters A-Z of the caption>/: "Wizzard.ini" names the current
// set (section TEMPLATE, key NAME, default "Default"), and "<set>.XML" holds its steps.
class TZeltAccel {
public:
    enum ControlType : int {
        ctOther = 0,    // gets the focus only
        ctButton = 1,   // clicked
        ctCheck = 2,    // checked ("1") or not ("0")
        ctLineEdit = 3, // text
        ctComboBox = 4, // current text
        ctTextEdit = 5, // plain text
        ctSpinBox = 6,  // text
    };

    // Asks the user for a record set's name, starting from the current one; nothing when the user
    // cancels. The default asks in a small input dialog.
    using NamePrompt = std::function<std::optional<QString>(QWidget* form, const QString& current)>;
    static void SetNamePrompt(NamePrompt prompt);

    // baseFolder: where "Accel" is made; empty for the executable's folder. Sets the framework's
    // user name to "USER" when it is empty.
    explicit TZeltAccel(QWidget* form, const QString& baseFolder = QString());

    static QString FolderFor(const QString& baseFolder, const QString& componentName, const QString& caption);
    const QString& Folder() const { return FFolder; }
    const QString& RecordSetName() const { return FSetName; }
    QString RecordSetFile() const;
    const QList<TZeltAccelStep>& Steps() const { return FSteps; }
    // Why the last Prepare or Save failed; empty after a success or a cancel.
    const QString& LastError() const { return FLastError; }

    // Asks for the record set to record into and starts with no steps. False when the user
    // cancels or gives a name that cannot be a file name (then LastError says so).
    bool Prepare();
    // Appends the control's current value as the next step.
    void Record(QWidget* control);
    // Writes the steps (replacing the set's file) and names the set in Wizzard.ini, making the
    // folder when missing; with no steps nothing is written. 0: done; 1: the files could not be
    // written (LastError), so recording should go on and nothing is lost.
    int Save();
    // Reads the current set's steps; false when there are none.
    bool Load();
    // Plays the loaded steps in order while `playing` answers true.
    void Play(const std::function<bool()>& playing);

    static ControlType TypeOf(const QWidget* control);

private:
    QPointer<QWidget> FForm;
    QString FFolder;
    QString FSetName;
    QList<TZeltAccelStep> FSteps;
    QString FLastError;
};
