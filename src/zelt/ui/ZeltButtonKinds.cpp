#include "ZeltButtonKinds.h"

#include "ZeltTexte.h"

#include <array>

namespace {

struct Row {
    const char* name;
    const char* caption;
    TModalResult result;
    int width;
    const char* glyph;
};

// clang-format off
const Row kRows[ZeltButtonKindCount] = {
    {"mkFirst", "f", 0, 42, "First"},
    {"mkPrev", "&p", 0, 42, "Prev"},
    {"mkNext", "&u", 0, 42, "Next"},
    {"mkLast", "", 0, 42, "Last"},
    {"mkAdd", "&Adaug", 0, 70, "Add"},
    {"mkDelete", "&Sterg", 0, 70, "Delete"},
    {"mkRecord", "&Jurnal", 0, 70, "Record"},
    {"mkView", "&w", 0, 70, "View"},
    {"mkPrint", "&Listare", 0, 70, "Print"},
    {"mkOK", "O&K", 1, 70, "OK"},
    {"mkCancel", "&Renunt", 2, 70, "Cancel"},
    {"mkHelp", "S&faturi", 0, 70, "Help"},
    {"mkCustom", "", 0, 90, ""},
    {"mkYes", "&Da", 6, 90, "Yes"},
    {"mkNo", "&Nu", 7, 90, "No"},
    {"mkClose", "I&esire", 2, 90, "Close"},
    {"mkAbort", "&Abandon", 3, 90, "Abort"},
    {"mkRetry", "&Retry", 4, 90, "Retry"},
    {"mkIgnore", "&Ignora", 5, 90, "Ignore"},
    {"mkAll", "&Toate", 12, 90, "All"},
    {"mkEdit", "&Modific", 0, 90, "Edit"},
    {"mkAnalitic", "Analiti&c", 0, 90, "Analitic"},
    {"mkDetalii", "&Detalii", 0, 90, "Detalii"},
    {"mkKavel", "Kav&el", 0, 90, "Kavel"},
    {"mkSave", "Salve&z", 0, 90, "Save"},
    {"mkPlus", "", 0, 90, "Plus"},
    {"mkUnelte", "", 0, 90, "Unelte"},
    {"mkConfig", "", 0, 90, "Config"},
    {"mkStoc", "", 0, 90, "Stoc"},
    {"mkSold", "", 0, 90, "Sold"},
    {"mkIntr", "", 0, 90, "Intr"},
    {"mkTransf", "", 0, 90, "Transf"},
    {"mkIes", "", 0, 90, "Ies"},
    {"mkBani", "", 0, 90, "Bani"},
    {"mkMail", "E&Mail", 0, 90, "Mail"},
    {"mkBigExit", "", 0, 90, "BigExit"},
    {"mkPlusAdd", "", 0, 90, "PlusAdd"},
    {"mkMinusDel", "", 0, 90, "MinusDel"},
    {"mkFirstPag", "", 0, 90, "FirstPag"},
    {"mkLastPag", "", 0, 90, "LastPag"},
    {"mkPrevPag", "", 0, 90, "PrevPag"},
    {"mkNextPag", "", 0, 90, "NextPag"},
    {"mknPrev", "", 0, 90, "nPrev"},
    {"mknNext", "", 0, 90, "nNext"},
    {"mkFind", "", 0, 90, "Find"},
    {"mkFindNext", "", 0, 90, "FindNext"},
    {"mkGrafic", "", 0, 90, "Grafic"},
    {"mkSaveAs", "", 0, 90, "SaveAs"},
    {"mkAddMic", "", 0, 90, "AddMic"},
    {"mkDetaliiMic", "", 0, 90, "DetaliiMic"},
    {"mkDeleteMic", "", 0, 90, "DeleteMic"},
    {"mkFoaie", "", 0, 90, "Foaie"},
    {"mkSplit", "", 0, 90, "Split"},
    {"mkCeas", "", 0, 90, "Ceas"},
    {"mkBlueClose", "", 0, 90, "BlueClose"},
    {"mkBlueSearch", "", 0, 90, "BlueSearch"},
    {"mkBlueAdd", "", 0, 90, "BlueAdd"},
    {"mkBlueDetalii", "", 0, 90, "BlueDetalii"},
    {"mkBlueEkiv", "", 0, 90, "BlueEkiv"},
    {"mkBlueInfo", "", 0, 90, "BlueInfo"},
    {"mkYesToAll", "Toate=DA", 14, 90, "YesToAll"},
    {"mkNoToAll", "Toate=NU", 13, 90, "NoToAll"},
    {"mkSagLeft", "", 0, 90, "SagLeft"},
    {"mkSagRight", "", 0, 90, "SagRight"},
    {"mkSagDown", "", 0, 90, "SagDown"},
    {"mkSagUp", "", 0, 90, "SagUp"},
    {"mkCodBare", "", 0, 90, "CodBare"},
    {"mkBalanta", "", 0, 90, "Balanta"},
    {"mkGuys", "", 0, 90, "Guys"},
    {"mkSemafor", "", 0, 90, "Semafor"},
    {"mkLupa", "", 0, 90, "Lupa"},
    {"mkDiskIn", "", 0, 90, "DiskIn"},
    {"mkDiskOut", "", 0, 90, "DiskOut"},
    {"mkDocStar", "", 0, 90, "DocStar"},
    {"mkCertif", "", 0, 90, "Certif"},
    {"mkContract", "", 0, 90, "Contract"},
    {"mkDocIn", "", 0, 90, "DocIn"},
    {"mkSuport", "", 0, 90, "Suport"},
    {"mkSubunit", "", 0, 90, "Subunit"},
    {"mkFileIn", "", 0, 90, "FileIn"},
    {"mkFileOut", "", 0, 90, "FileOut"},
    {"mkClasif", "", 0, 90, "Clasif"},
    {"mkFilesBlue", "", 0, 90, "FilesBlue"},
    {"mkTools", "", 0, 90, "Tools"},
    {"mkAngrenaj", "", 0, 90, "Angrenaj"},
    {"mkBlocaj", "", 0, 90, "Blocaj"},
    {"mkKeie", "", 0, 90, "Keie"},
    {"mkSteag", "", 0, 90, "Steag"},
    {"mkBlitz", "", 0, 90, "Blitz"},
    {"mkClock", "", 0, 90, "Clock"},
    {"mkDosare", "", 0, 90, "Dosare"},
    {"mkExpert", "", 0, 90, "Expert"},
    {"mkRubic", "", 0, 90, "Rubic"},
    {"mkBluePlay", "", 0, 90, "BluePlay"},
    {"mkBlueRec", "", 0, 90, "BlueRec"},
    {"mkConstante", "", 0, 90, "Constante"},
    {"mkMainExit", "", 0, 90, "MainExit"},
    {"mkExit", "", 0, 90, "Exit"},
    {"mkWord", "", 0, 90, "Word"},
    {"mkExcel", "", 0, 90, "Excel"},
    {"mkPivot", "", 0, 90, "Pivot"},
    {"mkSuplim", "", 0, 90, "Suplim"},
    {"mkColor1", "", 0, 90, "Color1"},
    {"mkColor2", "", 0, 90, "Color2"},
    {"mkLupa1", "", 0, 90, "Lupa1"},
    {"mkEtaj", "", 0, 90, "Etaj"},
    {"mkPie", "", 0, 90, "Pie"},
    {"mkX1", "", 0, 90, "X1"},
    {"mkPrint1", "", 0, 90, "Print1"},
    {"mkPrint2", "", 0, 90, "Print2"},
    {"mkPrint3", "", 0, 90, "Print3"},
    {"mkDiskIn1", "", 0, 90, "DiskIn1"},
    {"mkDiskOut1", "", 0, 90, "DiskOut1"},
    {"mkSave1", "", 0, 90, "Save1"},
    {"mkSaveAs1", "", 0, 90, "SaveAs1"},
    {"mkCancel1", "", 0, 90, "Cancel1"},
    {"mkBlueClose1", "", 0, 90, "BlueClose1"},
    {"mkExit1", "", 0, 90, "Exit1"},
    {"mkKavel1", "", 0, 90, "Kavel1"},
    {"mkSteag1", "", 0, 90, "Steag1"},
    {"mkWord1", "", 0, 90, "Word1"},
    {"mkExcel1", "", 0, 90, "Excel1"},
    {"mkRetry1", "", 0, 90, "Retry1"},
    {"mkRetry2", "", 0, 90, "Retry2"},
    {"mkRetry3", "", 0, 90, "Retry3"},
    {"mkRetry4", "", 0, 90, "Retry4"},
    {"mkRetry5", "", 0, 90, "Retry5"},
    {"mkEdit1", "", 0, 90, "Edit1"},
    {"mkEdit2", "", 0, 90, "Edit2"},
    {"mkEdit3", "", 0, 90, "Edit3"},
    {"mkBani1", "", 0, 90, "Bani1"},
    {"mkBani2", "", 0, 90, "Bani2"},
    {"mkBani3", "", 0, 90, "Bani3"},
    {"mkBani4", "", 0, 90, "Bani4"},
    {"mkBani5", "", 0, 90, "Bani5"},
    {"mkBalanta1", "", 0, 90, "Balanta1"},
    {"mkRubic1", "", 0, 90, "Rubic1"},
    {"mkNo1", "", 0, 90, "No1"},
    {"mkSuport1", "", 0, 90, "Suport1"},
    {"mkCeas1", "", 0, 90, "Ceas1"},
    {"mkCeas2", "", 0, 90, "Ceas2"},
    {"mkCeas3", "", 0, 90, "Ceas3"},
    {"mkCeas4", "", 0, 90, "Ceas4"},
    {"mkCeas5", "", 0, 90, "Ceas5"},
    {"mkClock1", "", 0, 90, "Clock1"},
    {"mkClock2", "", 0, 90, "Clock2"},
    {"mkClock3", "", 0, 90, "Clock3"},
    {"mkDetalii1", "", 0, 90, "Detalii1"},
    {"mkDetalii2", "", 0, 90, "Detalii2"},
    {"mkDetalii3", "", 0, 90, "Detalii3"},
    {"mkDetalii4", "", 0, 90, "Detalii4"},
    {"mkDetalii5", "", 0, 90, "Detalii5"},
    {"mkTools1", "", 0, 90, "Tools1"},
    {"mkTools2", "", 0, 90, "Tools2"},
    {"mkIntr1", "", 0, 90, "Intr1"},
    {"mkIes1", "", 0, 90, "Ies1"},
    {"mkTransf1", "", 0, 90, "Transf1"},
    {"mkUnelte1", "", 0, 90, "Unelte1"},
    {"mkUnelte2", "", 0, 90, "Unelte2"},
    {"mkGrafic1", "", 0, 90, "Grafic1"},
    {"mkGrafic2", "", 0, 90, "Grafic2"},
    {"mkGrafic3", "", 0, 90, "Grafic3"},
    {"mkView1", "", 0, 90, "View1"},
    {"mkBlueSearch1", "", 0, 90, "BlueSearch1"},
    {"mkFindNext1", "", 0, 90, "FindNext1"},
    {"mkDeleteMic1", "", 0, 90, "DeleteMic1"},
    {"mkRubic2", "", 0, 90, "Rubic2"},
    {"mkBluePlay1", "", 0, 90, "BluePlay1"},
    {"mkBlueRec1", "", 0, 90, "BlueRec1"},
    {"mkUnelte3", "", 0, 90, "Unelte3"},
    {"mkDetaliiMic1", "", 0, 90, "DetaliiMic1"},
    {"mkAddMic1", "", 0, 90, "AddMic1"},
    {"mkFoaie1", "", 0, 90, "Foaie1"},
    {"mkFoaie2", "", 0, 90, "Foaie2"},
    {"mkHelp1", "", 0, 90, "Help1"},
    {"mkFind1", "", 0, 90, "Find1"},
    {"mkAngrenaj1", "", 0, 90, "Angrenaj1"},
    {"mkAngrenaj2", "", 0, 90, "Angrenaj2"},
    {"mkClasif1", "", 0, 90, "Clasif1"},
    {"mkClasif2", "", 0, 90, "Clasif2"},
    {"mkClasif3", "", 0, 90, "Clasif3"},
    {"mkCodBare1", "", 0, 90, "CodBare1"},
    {"mkCodBare2", "", 0, 90, "CodBare2"},
    {"mkCodBare3", "", 0, 90, "CodBare3"},
    {"mkSold1", "", 0, 90, "Sold1"},
    {"mkBlueInfo1", "", 0, 90, "BlueInfo1"},
    {"mkContract1", "", 0, 90, "Contract1"},
    {"mkGuys1", "", 0, 90, "Guys1"},
    {"mkStoc1", "", 0, 90, "Stoc1"},
    {"mkMail1", "", 0, 90, "Mail1"},
    {"mkMail2", "", 0, 90, "Mail2"},
    {"mkMail3", "", 0, 90, "Mail3"},
    {"mkFilesBlue1", "", 0, 90, "FilesBlue1"},
    {"mkDosare1", "", 0, 90, "Dosare1"},
    {"mkDosare2", "", 0, 90, "Dosare2"},
    {"mkDosare3", "", 0, 90, "Dosare3"},
    {"mkCalendar1", "", 0, 90, "Calendar1"},
    {"mkCalendar2", "", 0, 90, "Calendar2"},
    {"mkCalendarBack1", "", 0, 90, "CalendarBack1"},
    {"mkCalendarBack2", "", 0, 90, "CalendarBack2"},
    {"mkCalendarBlocat1", "", 0, 90, "CalendarBlocat1"},
    {"mkCalendarBlocat2", "", 0, 90, "CalendarBlocat2"},
    {"mkCalendarNext1", "", 0, 90, "CalendarNext1"},
    {"mkCalendar2Next", "", 0, 90, "Calendar2Next"},
    {"mkCasaIn1", "", 0, 90, "CasaIn1"},
    {"mkChecklist1", "", 0, 90, "Checklist1"},
    {"mkChecklist2", "", 0, 90, "Checklist2"},
    {"mkChecklist3", "", 0, 90, "Checklist3"},
    {"mkChecklist4", "", 0, 90, "Checklist4"},
    {"mkCutie1", "", 0, 90, "Cutie1"},
    {"mkCutie2", "", 0, 90, "Cutie2"},
    {"mkCutii1", "", 0, 90, "Cutii1"},
    {"mkCutii2", "", 0, 90, "Cutii2"},
    {"mkDocHelp1", "", 0, 90, "DocHelp1"},
    {"mkDocHelp2", "", 0, 90, "DocHelp2"},
    {"mkDocMin1", "", 0, 90, "DocMin1"},
    {"mkDocMin2", "", 0, 90, "DocMin2"},
    {"mkDocOut1", "", 0, 90, "DocOut1"},
    {"mkDocOut2", "", 0, 90, "DocOut2"},
    {"mkDocX1", "", 0, 90, "DocX1"},
    {"mkDocX2", "", 0, 90, "DocX2"},
    {"mkFolder1", "", 0, 90, "Folder1"},
    {"mkFolder2", "", 0, 90, "Folder2"},
    {"mkFolder3", "", 0, 90, "Folder3"},
    {"mkFolder4", "", 0, 90, "Folder4"},
    {"mkFolder5", "", 0, 90, "Folder5"},
    {"mkFolder6", "", 0, 90, "Folder6"},
    {"mkLacat1", "", 0, 90, "Lacat1"},
    {"mkLacat2", "", 0, 90, "Lacat2"},
    {"mkLacat3", "", 0, 90, "Lacat3"},
    {"mkLacat4", "", 0, 90, "Lacat4"},
    {"mkLacat5", "", 0, 90, "Lacat5"},
    {"mkLacat6", "", 0, 90, "Lacat6"},
    {"mkList1", "", 0, 90, "List1"},
    {"mkList2", "", 0, 90, "List2"},
    {"mkPivot1", "", 0, 90, "Pivot1"},
    {"mkPivot2", "", 0, 90, "Pivot2"},
    {"mkPivot3", "", 0, 90, "Pivot3"},
    {"mkPivot4", "", 0, 90, "Pivot4"},
    {"mkPlic1", "", 0, 90, "Plic1"},
    {"mkPlic2", "", 0, 90, "Plic2"},
    {"mkPuncte1", "", 0, 90, "Puncte1"},
    {"mkPuncte2", "", 0, 90, "Puncte2"},
    {"mkRefresh1", "", 0, 90, "Refresh1"},
    {"mkRefresh2", "", 0, 90, "Refresh2"},
    {"mkZar1", "", 0, 90, "Zar1"},
    {"mkZar2", "", 0, 90, "Zar2"},
};
// clang-format on

std::array<TZeltButtonKindInfo, ZeltButtonKindCount> buildTable() {
    std::array<TZeltButtonKindInfo, ZeltButtonKindCount> t;
    for (int i = 0; i < ZeltButtonKindCount; ++i) {
        const Row& r = kRows[i];
        t[i] = {r.name, QString::fromUtf8(r.caption), r.result, r.width,
                r.glyph[0] ? QStringLiteral("glyph/%1").arg(QLatin1String(r.glyph)) : QString()};
    }
    return t;
}

std::array<TZeltButtonKindInfo, ZeltButtonKindCount>& table() {
    static std::array<TZeltButtonKindInfo, ZeltButtonKindCount> t = buildTable();
    return t;
}

} // namespace

const TZeltButtonKindInfo& ZeltButtonKindInfo(TZeltButtonKind kind) {
    const int k = int(kind);
    return table()[k >= 0 && k < ZeltButtonKindCount ? k : int(mkCustom)];
}

void ZeltButtonKindsTakeCaptions() {
    if (!TMLCtrl32)
        return;
    auto& t = table();
    t[mkOK].Caption = TMLCtrl32->mlOk->Text();
    t[mkCancel].Caption = TMLCtrl32->mlRenunt->Text();
    t[mkHelp].Caption = TMLCtrl32->mlSfaturi->Text();
    t[mkYes].Caption = TMLCtrl32->mlDa->Text();
    t[mkNo].Caption = TMLCtrl32->mlNu->Text();
    t[mkAbort].Caption = TMLCtrl32->mlAbandon->Text();
    t[mkRetry].Caption = TMLCtrl32->mlRetry->Text();
    t[mkIgnore].Caption = TMLCtrl32->mlIgnora->Text();
    t[mkAll].Caption = TMLCtrl32->mlToate->Text();
    t[mkYesToAll].Caption = TMLCtrl32->mlToateda->Text();
    t[mkNoToAll].Caption = TMLCtrl32->mlToatenu->Text();
}

void ZeltButtonKindsResetCaptions() {
    table() = buildTable();
}
