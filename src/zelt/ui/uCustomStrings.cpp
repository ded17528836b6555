#include "uCustomStrings.h"

#include "ZeltError.h"

#include <QFile>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString trimBlanks(const QString& s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s.at(b).unicode() <= 0x20)
        ++b;
    while (e > b && s.at(e - 1).unicode() <= 0x20)
        --e;
    return s.mid(b, e - b);
}

// Start and end (exclusive) of the content of the cell, or false when the line has no such cell.
bool findCell(const QString& line, int column, qsizetype& start, qsizetype& end) {
    if (column < 0)
        return false;
    int complete = 0;
    bool inside = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) != QLatin1Char('\''))
            continue;
        if (!inside) {
            inside = true;
            start = i + 1;
        } else {
            inside = false;
            if (complete == column) {
                end = i;
                return true;
            }
            ++complete;
        }
    }
    return false;
}

QString unescape(QStringView s, int lineNo, const QString& path) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (i + 1 >= s.size())
            throw EZeltError(QStringLiteral("Text store \"%1\", line %2: lone backslash at the end")
                                 .arg(path)
                                 .arg(lineNo));
        const QChar n = s.at(++i);
        if (n == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else if (n == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (n == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        else
            throw EZeltError(QStringLiteral("Text store \"%1\", line %2: unknown escape \\%3")
                                 .arg(path)
                                 .arg(lineNo)
                                 .arg(n));
    }
    return out;
}

} // namespace

TmlText::TmlText(QObject* owner, const QString& name) : QObject(owner) {
    setObjectName(name);
}

void TmlText::SetText(const QString& text) {
    if (text.size() > 1 && text.endsWith(kCrLf))
        FText = text.left(text.size() - 2);
    else
        FText = text;
}

QStringList TmlText::SplitLines(const QString& text) {
    // A line break at the very end does not open another line.
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << text.mid(start, i - start);
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

QString TmlText::GetLinie(int index) const {
    const QStringList lines = SplitLines(FText);
    if (index < 0 || index >= lines.size())
        return QString();
    return lines.at(index);
}

void TmlText::SetLinie(int index, const QString& value) {
    QStringList lines = SplitLines(FText);
    if (index < 0 || index >= lines.size())
        throw EZeltError(QStringLiteral("Text \"%1\" has no line %2").arg(objectName()).arg(index));
    lines[index] = value;
    QString text;
    for (const QString& l : lines)
        text += l + kCrLf;
    FText = text;
}

int TmlText::GetRowCount() const {
    return int(SplitLines(trimBlanks(FText)).size());
}

int TmlText::GetColCount() const {
    int quotes = 0;
    for (const QChar c : FText) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            break;
        if (c == QLatin1Char('\''))
            ++quotes;
    }
    return quotes / 2;
}

QString TmlText::GetCelula(int line, int column) const {
    const QString l = GetLinie(line);
    qsizetype start = 0;
    qsizetype end = 0;
    if (!findCell(l, column, start, end))
        return QString();
    return l.mid(start, end - start);
}

void TmlText::SetCelula(int line, int column, const QString& value) {
    if (value.contains(QLatin1Char('\'')))
        throw EZeltError(QStringLiteral("A cell of text \"%1\" cannot hold a quote").arg(objectName()));
    QString l = GetLinie(line);
    qsizetype start = 0;
    qsizetype end = 0;
    if (!findCell(l, column, start, end))
        throw EZeltError(
            QStringLiteral("Text \"%1\" has no cell %2 in line %3").arg(objectName()).arg(column).arg(line));
    l.replace(start, end - start, value);
    SetLinie(line, l);
}

TmlStore::TmlStore(const QString& storeName, const QString& definitionPath) {
    setObjectName(storeName);
    QFile f(definitionPath);
    if (!f.open(QIODevice::ReadOnly))
        throw EZeltError(QStringLiteral("Resource %1 not found").arg(storeName));
    const QString all = QString::fromUtf8(f.readAll());
    const QStringList lines = TmlText::SplitLines(all);
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            throw EZeltError(QStringLiteral("Text store \"%1\", line %2: expected name=text")
                                 .arg(definitionPath)
                                 .arg(i + 1));
        const QString name = line.left(eq).trimmed();
        if (Find(name))
            throw EZeltError(QStringLiteral("Text store \"%1\", line %2: text %3 defined twice")
                                 .arg(definitionPath)
                                 .arg(i + 1)
                                 .arg(name));
        auto* t = new TmlText(this, name);
        t->SetText(unescape(QStringView(line).mid(eq + 1), i + 1, definitionPath));
        FTexts << t;
    }
}

TmlText* TmlStore::Find(const QString& name) const {
    for (TmlText* t : FTexts) {
        if (t->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return t;
    }
    return nullptr;
}

TmlText* TmlStore::Text(const QString& name) const {
    TmlText* t = Find(name);
    if (!t)
        throw EZeltError(QStringLiteral("Text store %1 has no text %2").arg(objectName(), name));
    return t;
}
