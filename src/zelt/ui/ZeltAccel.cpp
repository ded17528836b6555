#include "ZeltAccel.h"

#include "ZeltCommonInfo.h"
#include "ZeltError.h"
#include "ZeltIniFile.h"
#include "ZeltXmlFields.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QTextEdit>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

namespace {

const QString kIniName = QStringLiteral("Wizzard.ini");
const QString kSection = QStringLiteral("TEMPLATE");
const QString kKey = QStringLiteral("NAME");
const QString kDefaultSet = QStringLiteral("Default");
const QString kRoot = QStringLiteral("ZeltRecordSet");
const QString kStep = QStringLiteral("Step");
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

TZeltAccel::NamePrompt& prompt() {
    static TZeltAccel::NamePrompt p = [](QWidget* form, const QString& current) -> std::optional<QString> {
        bool ok = false;
        const QString name = QInputDialog::getText(form, QStringLiteral("WIZZARD"),
                                                   QStringLiteral("Numele setului de inregistrari:"),
                                                   QLineEdit::Normal, current, &ok);
        if (!ok)
            return std::nullopt;
        return name;
    };
    return p;
}

QString withoutFirstAmpersand(QString text) {
    const qsizetype i = text.indexOf(u'&');
    if (i >= 0)
        text.remove(i, 1);
    return text;
}

// The label that names a control: a button's own caption, else a label whose buddy it is.
QString labelOf(QWidget* control) {
    if (auto* b = qobject_cast<QAbstractButton*>(control))
        return b->text();
    if (QWidget* form = control->window())
        for (QLabel* l : form->findChildren<QLabel*>())
            if (l->buddy() == control)
                return l->text();
    return QString();
}

QString valueOf(QWidget* control, TZeltAccel::ControlType type) {
    switch (type) {
    case TZeltAccel::ctCheck:
        return static_cast<QAbstractButton*>(control)->isChecked() ? QStringLiteral("1")
                                                                   : QStringLiteral("0");
    case TZeltAccel::ctLineEdit:
        return static_cast<QLineEdit*>(control)->text();
    case TZeltAccel::ctComboBox:
        return static_cast<QComboBox*>(control)->currentText();
    case TZeltAccel::ctTextEdit:
        if (auto* p = qobject_cast<QPlainTextEdit*>(control))
            return p->toPlainText();
        return static_cast<QTextEdit*>(control)->toPlainText();
    case TZeltAccel::ctSpinBox:
        return static_cast<QAbstractSpinBox*>(control)->text();
    default:
        return QString();
    }
}

void applyStep(QWidget* control, const TZeltAccelStep& step) {
    control->setFocus(Qt::OtherFocusReason);
    switch (TZeltAccel::TypeOf(control)) {
    case TZeltAccel::ctButton:
        static_cast<QAbstractButton*>(control)->click();
        break;
    case TZeltAccel::ctCheck:
        static_cast<QAbstractButton*>(control)->setChecked(step.Value == QStringLiteral("1"));
        break;
    case TZeltAccel::ctLineEdit:
        static_cast<QLineEdit*>(control)->setText(step.Value);
        break;
    case TZeltAccel::ctComboBox: {
        auto* c = static_cast<QComboBox*>(control);
        const int i = c->findText(step.Value);
        if (i >= 0)
            c->setCurrentIndex(i);
        else if (c->isEditable())
            c->setEditText(step.Value);
        break;
    }
    case TZeltAccel::ctTextEdit:
        if (auto* p = qobject_cast<QPlainTextEdit*>(control))
            p->setPlainText(step.Value);
        else
            static_cast<QTextEdit*>(control)->setPlainText(step.Value);
        break;
    case TZeltAccel::ctSpinBox:
        if (auto* s = qobject_cast<QSpinBox*>(control))
            s->setValue(step.Value.toInt());
        else if (auto* d = qobject_cast<QDoubleSpinBox*>(control))
            d->setValue(step.Value.toDouble());
        break;
    default:
        break;
    }
}

// A record set becomes a file name in the set folder: no path, no characters file systems refuse.
bool validSetName(const QString& name) {
    if (name.isEmpty() || name == u'.' || name == QStringLiteral(".."))
        return false;
    for (QChar c : name)
        if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c))
            return false;
    return true;
}

} // namespace

void TZeltAccel::SetNamePrompt(NamePrompt p) {
    prompt() = std::move(p);
}

TZeltAccel::TZeltAccel(QWidget* form, const QString& baseFolder) : FForm(form) {
    if (ZeltCommonInfo::UserName().isEmpty())
        ZeltCommonInfo::SetUserName(QStringLiteral("USER"));
    const QString base = baseFolder.isEmpty() ? QCoreApplication::applicationDirPath() : baseFolder;
    FFolder = FolderFor(base, form ? form->objectName() : QString(), form ? form->windowTitle() : QString());
    FSetName = kDefaultSet;
    try {
        const QString name =
            ZeltIniFile::fromFile(FFolder + kIniName).ReadString(kSection, kKey, kDefaultSet).trimmed();
        if (validSetName(name))
            FSetName = name;
    } catch (const EZeltError&) {
        // An unreadable Wizzard.ini leaves the default set.
    }
}

QString TZeltAccel::FolderFor(const QString& baseFolder, const QString& componentName,
                              const QString& caption) {
    QString letters;
    for (QChar c : caption)
        if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
            letters += c;
    QString base = QDir::fromNativeSeparators(baseFolder);
    if (!base.endsWith(u'/'))
        base += u'/';
    return base + QStringLiteral("Accel/") + componentName + u'_' + letters + u'/';
}

QString TZeltAccel::RecordSetFile() const {
    return FFolder + FSetName + QStringLiteral(".XML");
}

TZeltAccel::ControlType TZeltAccel::TypeOf(const QWidget* control) {
    if (!control)
        return ctOther;
    if (auto* b = qobject_cast<const QAbstractButton*>(control))
        return b->isCheckable() || qobject_cast<const QCheckBox*>(b) || qobject_cast<const QRadioButton*>(b)
                   ? ctCheck
                   : ctButton;
    if (qobject_cast<const QLineEdit*>(control))
        return ctLineEdit;
    if (qobject_cast<const QComboBox*>(control))
        return ctComboBox;
    if (qobject_cast<const QPlainTextEdit*>(control) || qobject_cast<const QTextEdit*>(control))
        return ctTextEdit;
    if (qobject_cast<const QAbstractSpinBox*>(control))
        return ctSpinBox;
    return ctOther;
}

bool TZeltAccel::Prepare() {
    FLastError.clear();
    const auto answer = prompt() ? prompt()(FForm.data(), FSetName) : std::optional<QString>(FSetName);
    if (!answer)
        return false;
    const QString name = answer->trimmed();
    if (!validSetName(name)) {
        FLastError =
            QStringLiteral("Numele \"%1\" nu poate fi folosit pentru un set de inregistrari").arg(name);
        return false;
    }
    FSetName = name;
    FSteps.clear();
    return true;
}

void TZeltAccel::Record(QWidget* control) {
    if (!control)
        return;
    TZeltAccelStep step;
    step.Order = (int(FSteps.size()) + 1) * 10;
    step.Name = control->objectName().left(100);
    step.Type = TypeOf(control);
    step.Label = withoutFirstAmpersand(labelOf(control)).left(50);
    step.Value = valueOf(control, ControlType(step.Type)).left(100);
    step.IsDefault = false;
    step.IsModify = true;
    FSteps.append(step);
}

int TZeltAccel::Save() {
    FLastError.clear();
    if (FSteps.isEmpty())
        return 0;
    try {
        if (!QDir().mkpath(FFolder))
            throw EZeltError(
                QStringLiteral("Nu pot crea folderul %1").arg(QDir::toNativeSeparators(FFolder)));
        QByteArray bytes;
        QXmlStreamWriter w(&bytes);
        w.setAutoFormatting(true);
        w.setAutoFormattingIndent(1);
        w.writeStartDocument();
        w.writeStartElement(kRoot);
        w.writeAttribute(QStringLiteral("version"), QStringLiteral("1"));
        for (const TZeltAccelStep& s : FSteps) {
            w.writeEmptyElement(kStep);
            w.writeAttribute(QStringLiteral("Order"), QString::number(s.Order));
            ZeltXmlFields::Write(w, QStringLiteral("Name"), s.Name);
            w.writeAttribute(QStringLiteral("Type"), QString::number(s.Type));
            ZeltXmlFields::Write(w, QStringLiteral("Label"), s.Label);
            ZeltXmlFields::Write(w, QStringLiteral("Value"), s.Value);
            w.writeAttribute(QStringLiteral("IsDefault"),
                             s.IsDefault ? QStringLiteral("1") : QStringLiteral("0"));
            w.writeAttribute(QStringLiteral("IsModify"),
                             s.IsModify ? QStringLiteral("1") : QStringLiteral("0"));
        }
        w.writeEndElement();
        w.writeEndDocument();

        QSaveFile f(RecordSetFile());
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
            throw EZeltError(QStringLiteral("Nu pot scrie %1: %2")
                                 .arg(QDir::toNativeSeparators(RecordSetFile()), f.errorString()));

        ZeltIniFile ini = ZeltIniFile::fromFile(FFolder + kIniName);
        ini.WriteString(kSection, kKey, FSetName);
        ini.SaveToFile(FFolder + kIniName);
    } catch (const EZeltError& e) {
        FLastError = e.Message();
        return 1;
    }
    return 0;
}

bool TZeltAccel::Load() {
    FSteps.clear();
    QFile f(RecordSetFile());
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxFileSize)
        return false;
    QXmlStreamReader r(f.read(kMaxFileSize));
    QList<TZeltAccelStep> steps;
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement || r.name() != kStep)
            continue;
        const auto a = r.attributes();
        TZeltAccelStep s;
        bool ok = false;
        s.Order = a.value(QStringLiteral("Order")).toInt(&ok);
        if (!ok)
            continue;
        s.Name = ZeltXmlFields::Read(a, QStringLiteral("Name")).value_or(QString());
        s.Type = a.value(QStringLiteral("Type")).toInt();
        s.Label = ZeltXmlFields::Read(a, QStringLiteral("Label")).value_or(QString());
        s.Value = ZeltXmlFields::Read(a, QStringLiteral("Value")).value_or(QString());
        s.IsDefault = a.value(QStringLiteral("IsDefault")) == u'1';
        s.IsModify = a.value(QStringLiteral("IsModify")) != u'0';
        steps.append(s);
    }
    // A damaged file plays nothing rather than a part of the macro.
    if (r.hasError())
        return false;
    std::stable_sort(steps.begin(), steps.end(),
                     [](const TZeltAccelStep& a, const TZeltAccelStep& b) { return a.Order < b.Order; });
    FSteps = steps;
    return !FSteps.isEmpty();
}

void TZeltAccel::Play(const std::function<bool()>& playing) {
    for (const TZeltAccelStep& step : std::as_const(FSteps)) {
        if (!playing() || !FForm)
            return;
        QWidget* control = FForm->findChild<QWidget*>(step.Name);
        if (control && control->isVisible() && control->isEnabled())
            applyStep(control, step);
        QCoreApplication::processEvents();
    }
}
