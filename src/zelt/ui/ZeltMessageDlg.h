#pragma once

#include "ZeltButtonKinds.h"
#include "ZeltColors.h"
#include "ZeltMultiLangDlg.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <initializer_list>

// The answer buttons a message may offer, as the platform numbers them. Only Yes ("Da"),
// No ("Nu"), OK and Cancel ("Renunt") have a button in the dialog; the others only count.
enum TMsgDlgBtn : int {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
    mbClose
};

class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
        for (TMsgDlgBtn b : buttons)
            FBits = quint16(FBits | (1u << unsigned(b)));
    }
    constexpr TMsgDlgButtons& Include(TMsgDlgBtn b) {
        if (b >= mbYes && b <= mbClose)
            FBits = quint16(FBits | (1u << unsigned(b)));
        return *this;
    }
    constexpr bool Contains(TMsgDlgBtn b) const {
        return b >= mbYes && b <= mbClose && (FBits >> unsigned(b)) & 1u;
    }
    constexpr quint16 Bits() const { return FBits; }

private:
    quint16 FBits = 0;
};

// The framework's modal message dialog. Shows `Msg` (with the markup of ZeltMessageMarkup.h)
// under the title `Caption` (backquotes removed; empty: the kind's default title), with the
// picture and title colour of `DlgType` and the buttons of `Buttons`, and returns the modal result
// of the answer (mrYes 6, mrNo 7, mrOk 1, mrCancel 2; a dialog closed without a button gives 2).
// `DefaultButton` is pressed by Enter and by a right click; Escape presses Cancel, else OK, else
// No. |HelpCtx| is the help context (1 counts as 0); a negative HelpCtx hides the box
// "nu mai afisa acest mesaj". When the user ticks that box, the answer is remembered for the rest
// of the run under the message's key: later calls with that key beep and return it at once.
// The message "Integer overflow" returns 2 without any window.
//
// Automatic answers, for runs without anyone at the screen: while ZeltSetAutoAnswer(true) is in
// force (off by default), no window is shown; the call returns the default button's result
// (mrCancel when the default button is not among `Buttons` or has no button of its own), writes
// one line with the title, the message and the answer to the standard error stream, and hands the
// same to the observer set with ZeltSetAutoAnswerObserver (the program puts it into its run log).
// Without a QApplication the dialog answers automatically as well.
TModalResult ZeltMessageDlg(const QString& Msg, const QString& Caption, TMsgDlgType DlgType,
                            TMsgDlgButtons Buttons, TMsgDlgBtn DefaultButton, int HelpCtx);

struct TZeltAutoAnswer {
    QString Title;   // as the dialog would have shown it
    QString Message; // after the markup; lines separated by "\n"
    TMsgDlgType Kind = mtInformation;
    TModalResult Result = mrNone;
};

void ZeltSetAutoAnswer(bool on);
bool ZeltAutoAnswer();
// Called for every automatic answer, after the line on the error stream; none by default.
void ZeltSetAutoAnswerObserver(std::function<void(const TZeltAutoAnswer&)> observer);

// The sound of a remembered answer; by default the system's beep.
void ZeltSetMessageBeep(std::function<void()> beep);

// The title a kind gets when the caller gives none, and its title colour.
QString ZeltMessageDefaultTitle(TMsgDlgType kind);
TColor ZeltMessageTitleColor(TMsgDlgType kind);
