#pragma once

#include <QString>

class QWidget;

// The framework's shared context, process-wide, on the user-interface thread.
namespace ZeltCommonInfo {

// The signed-in user's name; empty until someone sets it (this program signs no one in; the macro
// recorder sets "USER"). The message dialog shows it in its title band.
const QString& UserName();
void SetUserName(const QString& name);

// The data-editing form the user works in now; null when none (or it was destroyed).
QWidget* CurrentEditForm();
void SetCurrentEditForm(QWidget* form);
// Forgets the form if it is the current one.
void ForgetEditForm(QWidget* form);

// The application's main form, as the owner of framework windows created without one; null when
// the program has named none (or it was destroyed).
QWidget* MainForm();
void SetMainForm(QWidget* form);

// Back to the values at start (the current editing form and the other shared values; not the
// user name or the main form).
void Reset();

} // namespace ZeltCommonInfo
