#pragma once

#include <QString>

// Message kinds as the platform numbers them.
enum TMsgDlgType : int { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3, mtCustom = 4 };

// The dialog's title for a kind when the caller gives none; empty for mtCustom and out-of-range kinds.
QString ZeltDefaultDialogTitle(TMsgDlgType kind);

// Copies, once, the default titles and the answer buttons' captions out of the control-text store.
void ZeltMultiLangDlgTakeTexts();
void ZeltMultiLangDlgReset();
