#pragma once

#include "ZeltForms.h"
#include "ZeltMultiLangDlg.h"

#include <QPixmap>
#include <QPoint>
#include <QString>

class QCheckBox;
class QLabel;
class TZeltNiceButton;
class TZeltPanel;

// The message dialog's window (see ZeltMessageDlg.h for how it is used): a borderless title form
// with a dark title band, the message right-justified beside the kind's picture, the answer
// buttons at the bottom right ("Da" left of "Nu") and the box for not showing the message again
// at the bottom left. Laid out by its show handler from CurrentMess, Tip, InfoSize and MinBaza.
class TMessageForm : public TZeltTitleForm {
    Q_OBJECT
public:
    explicit TMessageForm(QWidget* owner = nullptr);

    // The message as shown (lines separated by carriage returns), its kind, its measured size
    // plus margins, and the least width of the message panel.
    QString CurrentMess;
    TMsgDlgType Tip = mtInformation;
    QPoint InfoSize;
    int MinBaza = 225;

    TZeltPanel* Ptitlu;
    TZeltPanel* Panel3;
    QLabel* User;
    QLabel* Titlu;
    TZeltPanel* PBaza;
    QLabel* iAtentie;
    QLabel* iInfo;
    QLabel* iConf;
    QLabel* iErr;
    TZeltPanel* ColtDS;
    QLabel* cAtentie;
    QLabel* cInfo;
    QLabel* cConf;
    QLabel* cErr;
    TZeltPanel* PMess;
    QLabel* MsgLAbel;
    TZeltPanel* PButt;
    TZeltPanel* Margine;
    TZeltNiceButton* BtnRenunt;
    TZeltNiceButton* BtnOk;
    TZeltNiceButton* BtnDa;
    TZeltNiceButton* BtnNu;
    QCheckBox* CheckNuMaiAfisa;
    QLabel* LCheckNuMaiAfisa;

    static constexpr int TextMargin = 20;
    // Messages wrap at half the screen, and never wider than the form can show.
    int MessageWrapWidth() const;
    // The message as the label draws it.
    static QString DisplayText(const QString& message);
    // The size the message needs when word-wrapped within MessageWrapWidth().
    QSize MeasureMessage(const QString& message) const;
    // The default button (the one Enter and a right click press), if any.
    TZeltNiceButton* DefaultButton() const;
    void CopyMessage() const;

    // The pictures of a kind: the large one beside the message, the small one in the corner.
    static QPixmap LargePicture(TMsgDlgType kind);
    static QPixmap CornerPicture(TMsgDlgType kind);

    void DoMouse(QWidget* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;

protected:
    void FormShow() override;
    void RightClickNotification(QPoint globalPos) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayoutTitleBand();
    void LayoutButtons();
    void LayoutPanels();
    void WatchBackground(QWidget* w);

    int FMessLeft = 0; // PMess's place in PBaza: left offset and right gap
    int FMessRight = 0;
    bool FLaidOut = false;
};
