#pragma once

#include "uCustomStrings.h"

// The program's text stores. Each is created once at start-up (ZeltTextStoresCreate, in the order
// TMLCtrl32, TMl1, TMl4, TMl3, TMl2, TMl5) and freed in reverse order; its reference is valid in
// between and null otherwise. The members name the texts the program reads; every other text is
// reached by name through Find/Text.

class TTexteCtrl32 final : public TmlStore {
    Q_OBJECT
public:
    TTexteCtrl32();
    TmlText* mlEroare;
    TmlText* mlAtentie1;
    TmlText* mlEroare1;
    TmlText* mlInformatie1;
    TmlText* mlConfirma1;
    TmlText* mlNuMaiAfisaAcestMesaj;
    TmlText* mlOk;
    TmlText* mlRenunt;
    TmlText* mlSfaturi;
    TmlText* mlDa;
    TmlText* mlNu;
    TmlText* mlAbandon;
    TmlText* mlRetry;
    TmlText* mlIgnora;
    TmlText* mlToate;
    TmlText* mlToateda;
    TmlText* mlToatenu;
};

class TTexte1 final : public TmlStore {
    Q_OBJECT
public:
    TTexte1();
    TmlText* mlConfirmare;
};

// Stores this program carries but does not read.
class TTexte2 final : public TmlStore {
    Q_OBJECT
public:
    TTexte2();
};
class TTexte3 final : public TmlStore {
    Q_OBJECT
public:
    TTexte3();
};
class TTexte4 final : public TmlStore {
    Q_OBJECT
public:
    TTexte4();
};
class TTexte5 final : public TmlStore {
    Q_OBJECT
public:
    TTexte5();
};

extern TTexteCtrl32* TMLCtrl32;
extern TTexte1* TMl1;
extern TTexte2* TMl2;
extern TTexte3* TMl3;
extern TTexte4* TMl4;
extern TTexte5* TMl5;

// Raises EZeltError when a store's definition is missing or lacks a text the program reads; stores
// made before the failure are freed again. Creating twice does nothing.
void ZeltTextStoresCreate();
void ZeltTextStoresFree();
