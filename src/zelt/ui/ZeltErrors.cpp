#include "ZeltErrors.h"

#include "ZeltMessageDlg.h"
#include "ZeltTexte.h"

#include <optional>

bool ZeltDocumentSaving = false;

namespace {

QString messageOf(const std::exception& e) {
    if (const auto* z = dynamic_cast<const EZeltError*>(&e))
        return z->Message();
    return QString::fromUtf8(e.what());
}

// Whole decimal number, blanks around allowed, nothing else; none for any other text.
std::optional<int> strictInt(const QString& s) {
    bool ok = false;
    const int v = s.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return v;
}

} // namespace

TZeltGlobalException::TZeltGlobalException(Dialog dialog) : FDialog(std::move(dialog)) {
    if (!FDialog)
        FDialog = [](const QString& text, const QString& caption) {
            ZeltMessageDlg(text, caption, mtError, TMsgDlgButtons{mbOK}, mbOK, 0);
        };
}

void TZeltGlobalException::OnException(QObject*, const std::exception& E) {
    FExcept = &E;
    FMessage.clear();
    FMessage = BuildErrorText();
    FMessage.replace(u'\n', u'\r');
    if (FDialog)
        FDialog(TranslateOracleError(FMessage),
                TMLCtrl32 ? TMLCtrl32->mlEroare->Text() : QStringLiteral("Eroare"));
}

QString TZeltGlobalException::BuildErrorText() {
    if (!FExcept)
        return {};
    const QString raised = messageOf(*FExcept);
    QString stripped = raised;
    for (const QString& prefix :
         {QStringLiteral("[FireDAC]"), QStringLiteral("[Phys]"), QStringLiteral("[Ora] ")}) {
        const qsizetype at = stripped.indexOf(prefix);
        if (at >= 0)
            stripped.remove(at, prefix.size());
    }
    if (auto* ours = dynamic_cast<EZeltError*>(const_cast<std::exception*>(FExcept)))
        ours->SetMessage(stripped);

    if (!stripped.startsWith(QStringLiteral("ORA-"), Qt::CaseInsensitive))
        return raised;

    const QString rest = stripped.mid(4);
    const qsizetype colon = rest.indexOf(u':');
    int number = -1;
    QString text = rest;
    if (colon >= 0) {
        // A server message always has digits here; anything else is shown as it was raised.
        const std::optional<int> parsed = strictInt(rest.left(colon));
        if (!parsed)
            return raised;
        number = *parsed;
        text = rest.mid(colon + 1);
    }
    QString result =
        QStringLiteral("Oracle Error: ") + QString::number(number) + QStringLiteral(" - ") + text;

    if (number == 54) {
        result =
            ZeltDocumentSaving
                ? QStringLiteral("Aceasta salvare incearca sa actualizeze unele documente care acum sunt "
                                 "blocate pentru editare")
                : QStringLiteral("Aceasta inregistrare este blocata si nu poate fi editata ");
        ZeltDocumentSaving = false;
    } else if (number == 20999) {
        // The application's own text sits between the first two bars; every character after the
        // opening bar is kept.
        const qsizetype open = stripped.indexOf(u'|');
        if (open >= 0) {
            const qsizetype close = stripped.indexOf(u'|', open + 1);
            result = close >= 0 ? stripped.mid(open + 1, close - open - 1) : stripped.mid(open + 1);
        }
    }
    return result;
}

QString TZeltGlobalException::TranslateOracleError(const QString& S) {
    static const QString head = QStringLiteral("ORACLE ERROR:");
    if (!S.startsWith(head, Qt::CaseInsensitive))
        return S;
    const QString after = S.mid(head.size());
    const qsizetype dash = after.indexOf(u'-');
    const int number = dash < 0 ? 0 : strictInt(after.left(dash)).value_or(0);
    if (number == 2292) {
        QString result = QStringLiteral("Exista referinte in baza de date la aceasta inregistrare !");
        const qsizetype open = S.indexOf(u'(');
        const qsizetype close = S.indexOf(u')');
        if (open >= 0 && close >= 0 && open < close)
            result += u'\r' + S.mid(open, close - open + 1);
        return result;
    }
    if (number == 60)
        return QStringLiteral("A aparut un conflict cu o alta tranzactie la salvarea documentului.") + u'\r' +
               QStringLiteral("Incearca din nou");
    return S;
}
