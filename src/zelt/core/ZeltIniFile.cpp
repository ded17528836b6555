#include "ZeltIniFile.h"

#include "ZeltCodePage.h"
#include "ZeltError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// Blanks as the classic Trim takes them: every control character and the space.
QString trimmed(QStringView s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s.at(b).unicode() <= 0x20)
        ++b;
    while (e > b && s.at(e - 1).unicode() <= 0x20)
        --e;
    return s.mid(b, e - b).toString();
}

} // namespace

QString ZeltIniFile::decodeText(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder dec(QStringDecoder::Utf16LE);
        return dec.decode(bytes.mid(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder dec(QStringDecoder::Utf16BE);
        return dec.decode(bytes.mid(2));
    }
    return ZeltCodePage::decode(bytes);
}

ZeltIniFile ZeltIniFile::fromFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EZeltError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, f.errorString()));
    return fromBytes(f.readAll());
}

ZeltIniFile ZeltIniFile::fromBytes(const QByteArray& bytes) {
    ZeltIniFile ini;
    const QString text = decodeText(bytes);
    Section* current = nullptr;
    bool currentIsDuplicate = false;
    Section ignored;
    qsizetype pos = 0;
    const qsizetype n = text.size();
    while (pos <= n) {
        qsizetype end = pos;
        while (end < n && text.at(end) != u'\r' && text.at(end) != u'\n')
            ++end;
        const QString line = trimmed(QStringView(text).mid(pos, end - pos));
        if (end < n && text.at(end) == u'\r' && end + 1 < n && text.at(end + 1) == u'\n')
            ++end;
        pos = end + 1;

        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QString name = trimmed(QStringView(line).mid(1, line.size() - 2));
            currentIsDuplicate = ini.findSection(name) != nullptr;
            if (currentIsDuplicate) {
                current = &ignored;
            } else {
                ini.FSections.append(Section{name, {}});
                current = &ini.FSections.last();
            }
            continue;
        }
        if (!current)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        Entry e{trimmed(QStringView(line).left(eq)), trimmed(QStringView(line).mid(eq + 1))};
        const bool seen = std::any_of(current->entries.cbegin(), current->entries.cend(), [&](const Entry& x) {
            return x.key.compare(e.key, Qt::CaseInsensitive) == 0;
        });
        if (!seen)
            current->entries.append(std::move(e));
    }
    return ini;
}

const ZeltIniFile::Section* ZeltIniFile::findSection(const QString& name) const {
    for (const Section& s : FSections)
        if (s.name.compare(name, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

bool ZeltIniFile::SectionExists(const QString& section) const { return findSection(section) != nullptr; }

bool ZeltIniFile::ValueExists(const QString& section, const QString& key) const {
    const Section* s = findSection(section);
    if (!s)
        return false;
    return std::any_of(s->entries.cbegin(), s->entries.cend(),
                       [&](const Entry& e) { return e.key.compare(key, Qt::CaseInsensitive) == 0; });
}

QString ZeltIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    if (const Section* s = findSection(section))
        for (const Entry& e : s->entries)
            if (e.key.compare(key, Qt::CaseInsensitive) == 0)
                return e.value;
    return def;
}

void ZeltIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    Section* target = nullptr;
    for (Section& s : FSections)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0) {
            target = &s;
            break;
        }
    if (!target) {
        FSections.append(Section{section, {}});
        target = &FSections.last();
    }
    for (Entry& e : target->entries)
        if (e.key.compare(key, Qt::CaseInsensitive) == 0) {
            e.value = value;
            return;
        }
    target->entries.append(Entry{key, value});
}

void ZeltIniFile::SaveToFile(const QString& path) const {
    QString text;
    for (const Section& s : FSections) {
        text += u'[' + s.name + QStringLiteral("]\r\n");
        for (const Entry& e : s.entries)
            text += e.key + u'=' + e.value + QStringLiteral("\r\n");
        text += QStringLiteral("\r\n");
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(ZeltCodePage::encode(text)) < 0 || !f.commit())
        throw EZeltError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, f.errorString()));
}
