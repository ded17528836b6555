#include "ZeltCodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <clocale>
#include <iconv.h>
#include <langinfo.h>

namespace {

bool isUtf8Like(const QByteArray& cs) {
    const QByteArray u = cs.toUpper();
    return u.isEmpty() || u == "UTF-8" || u == "UTF8" || u == "ANSI_X3.4-1968" || u == "ASCII" ||
           u == "US-ASCII";
}

// Runs iconv over the whole input; unconvertible input becomes `bad`, one unit at a time.
QByteArray convert(const char* to, const char* from, const QByteArray& in, const QByteArray& bad,
                   int unit) {
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        return {};
    QByteArray out;
    out.reserve(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = size_t(in.size());
    char buf[4096];
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, qsizetype(dst - buf));
        if (r == size_t(-1) && errno != E2BIG) {
            const size_t skip = std::min<size_t>(size_t(unit), srcLeft);
            src += skip;
            srcLeft -= skip;
            out.append(bad);
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace

namespace ZeltCodePage {

QByteArray name() {
    // The C library starts in the "C" locale; the environment's choice is what users mean.
    static const QByteArray cs = [] {
        const char* old = std::setlocale(LC_CTYPE, nullptr);
        const QByteArray saved = old ? QByteArray(old) : QByteArray("C");
        std::setlocale(LC_CTYPE, "");
        QByteArray r = nl_langinfo(CODESET);
        std::setlocale(LC_CTYPE, saved.constData());
        return r;
    }();
    return cs;
}

QString decode(const QByteArray& bytes) {
    const QByteArray cs = name();
    if (!isUtf8Like(cs)) {
        const QByteArray u16 = convert("UTF-16LE", cs.constData(), bytes, QByteArray("?\0", 2), 1);
        return QString(reinterpret_cast<const QChar*>(u16.constData()), u16.size() / 2);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

QByteArray encode(const QString& text) {
    const QByteArray cs = name();
    if (isUtf8Like(cs))
        return text.toUtf8();
    const QByteArray u16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return convert(cs.constData(), "UTF-16LE", u16, "?", 2);
}

} // namespace ZeltCodePage
