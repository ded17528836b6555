#include "ZeltUi.h"

#include "ZeltColors.h"
#include "ZeltFonts.h"
#include "ZeltMultiLangDlg.h"
#include "ZeltPictures.h"
#include "ZeltTexte.h"
#include "ZeltTitlePalette.h"

#include <QtGlobal>

// Resources of a static library have to be registered by hand, outside any namespace.
static void registerResources() {
    Q_INIT_RESOURCE(ZeltUiResources);
}

void ZeltUiInitialize() {
    registerResources();
    ZeltFonts::Load();
    ZeltApplyHintColor();
    ZeltTitlePaletteReset();
    ZeltTextStoresCreate();
    ZeltMultiLangDlgTakeTexts();
}

void ZeltUiFinalize() {
    ZeltMultiLangDlgReset();
    ZeltTextStoresFree();
    ZeltPicturesClear();
}

ZeltUiSession::ZeltUiSession() {
    ZeltUiInitialize();
}

ZeltUiSession::~ZeltUiSession() {
    ZeltUiFinalize();
}
