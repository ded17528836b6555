#include "ZeltMultiLangDlg.h"

#include "ZeltButtonKinds.h"
#include "ZeltTexte.h"

#include <array>

namespace {

std::array<QString, 5> defaultTitles() {
    return {QStringLiteral("Atentie !"), QStringLiteral("Eroare !"), QStringLiteral("Informatie :"),
            QStringLiteral("Confirma :"), QString()};
}

std::array<QString, 5>& titles() {
    static std::array<QString, 5> t = defaultTitles();
    return t;
}

} // namespace

QString ZeltDefaultDialogTitle(TMsgDlgType kind) {
    const int k = int(kind);
    return k >= 0 && k < 5 ? titles()[k] : QString();
}

void ZeltMultiLangDlgTakeTexts() {
    if (!TMLCtrl32)
        return;
    auto& t = titles();
    t[mtWarning] = TMLCtrl32->mlAtentie1->Text();
    t[mtError] = TMLCtrl32->mlEroare1->Text();
    t[mtInformation] = TMLCtrl32->mlInformatie1->Text();
    t[mtConfirmation] = TMLCtrl32->mlConfirma1->Text();
    ZeltButtonKindsTakeCaptions();
}

void ZeltMultiLangDlgReset() {
    titles() = defaultTitles();
    ZeltButtonKindsResetCaptions();
}
