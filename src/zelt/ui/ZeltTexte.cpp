#include "ZeltTexte.h"

#include <memory>

TTexteCtrl32* TMLCtrl32 = nullptr;
TTexte1* TMl1 = nullptr;
TTexte2* TMl2 = nullptr;
TTexte3* TMl3 = nullptr;
TTexte4* TMl4 = nullptr;
TTexte5* TMl5 = nullptr;

namespace {

QString definition(const char* store) {
    return QStringLiteral(":/zelt/texts/%1.txt").arg(QLatin1String(store));
}

} // namespace

TTexteCtrl32::TTexteCtrl32()
    : TmlStore(QStringLiteral("TMLCtrl32"), definition("TexteCtrl32")),
      mlEroare(Text(QStringLiteral("mlEroare"))), mlAtentie1(Text(QStringLiteral("mlAtentie1"))),
      mlEroare1(Text(QStringLiteral("mlEroare1"))), mlInformatie1(Text(QStringLiteral("mlInformatie1"))),
      mlConfirma1(Text(QStringLiteral("mlConfirma1"))),
      mlNuMaiAfisaAcestMesaj(Text(QStringLiteral("mlNuMaiAfisaAcestMesaj"))),
      mlOk(Text(QStringLiteral("mlOk"))), mlRenunt(Text(QStringLiteral("mlRenunt"))),
      mlSfaturi(Text(QStringLiteral("mlSfaturi"))), mlDa(Text(QStringLiteral("mlDa"))),
      mlNu(Text(QStringLiteral("mlNu"))), mlAbandon(Text(QStringLiteral("mlAbandon"))),
      mlRetry(Text(QStringLiteral("mlRetry"))), mlIgnora(Text(QStringLiteral("mlIgnora"))),
      mlToate(Text(QStringLiteral("mlToate"))), mlToateda(Text(QStringLiteral("mlToateda"))),
      mlToatenu(Text(QStringLiteral("mlToatenu"))) {}

TTexte1::TTexte1()
    : TmlStore(QStringLiteral("TMl1"), definition("Texte1")),
      mlConfirmare(Text(QStringLiteral("mlConfirmare"))) {}
TTexte2::TTexte2() : TmlStore(QStringLiteral("TMl2"), definition("Texte2")) {}
TTexte3::TTexte3() : TmlStore(QStringLiteral("TMl3"), definition("Texte3")) {}
TTexte4::TTexte4() : TmlStore(QStringLiteral("TMl4"), definition("Texte4")) {}
TTexte5::TTexte5() : TmlStore(QStringLiteral("TMl5"), definition("Texte5")) {}

void ZeltTextStoresCreate() {
    if (TMLCtrl32)
        return;
    // Built aside first, so a failure leaves no half-made set behind.
    auto ctrl32 = std::make_unique<TTexteCtrl32>();
    auto ml1 = std::make_unique<TTexte1>();
    auto ml4 = std::make_unique<TTexte4>();
    auto ml3 = std::make_unique<TTexte3>();
    auto ml2 = std::make_unique<TTexte2>();
    auto ml5 = std::make_unique<TTexte5>();
    TMLCtrl32 = ctrl32.release();
    TMl1 = ml1.release();
    TMl4 = ml4.release();
    TMl3 = ml3.release();
    TMl2 = ml2.release();
    TMl5 = ml5.release();
}

void ZeltTextStoresFree() {
    auto release = [](auto*& ref) {
        delete ref;
        ref = nullptr;
    };
    release(TMl5);
    release(TMl2);
    release(TMl3);
    release(TMl4);
    release(TMl1);
    release(TMLCtrl32);
}
