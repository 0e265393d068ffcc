#include "formescript.h"

#include "windows1252.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

namespace {

const QByteArray kMarqueUtf8("\xEF\xBB\xBF", 3);
const QByteArray kMarqueUtf16LE("\xFF\xFE", 2);
const QByteArray kMarqueUtf16BE("\xFE\xFF", 2);

QByteArray Marque(FormeScript::Encodage encodage)
{
    switch (encodage) {
    case FormeScript::Utf8:
        return kMarqueUtf8;
    case FormeScript::Utf16LE:
        return kMarqueUtf16LE;
    case FormeScript::Utf16BE:
        return kMarqueUtf16BE;
    case FormeScript::Windows1252:
        break;
    }
    return QByteArray();
}

bool EstUtf8Valide(QByteArrayView octets)
{
    QStringDecoder decodeur(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString s = decodeur.decode(octets);
    return !decodeur.hasError();
}

// Code units copied as they are, so that even a lone surrogate written by
// another tool comes back as the same two bytes.
QString DecodeUtf16(QByteArrayView octets, bool bGrosBout)
{
    QString s(octets.size() / 2, Qt::Uninitialized);
    const uchar *p = reinterpret_cast<const uchar *>(octets.data());
    for (qsizetype i = 0; i < s.size(); ++i, p += 2)
        s[i] = QChar(bGrosBout ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p));
    return s;
}

QByteArray EncodeUtf16(const QString &sTexte, bool bGrosBout)
{
    QByteArray octets(sTexte.size() * 2, Qt::Uninitialized);
    uchar *p = reinterpret_cast<uchar *>(octets.data());
    for (const QChar c : sTexte) {
        if (bGrosBout)
            qToBigEndian<quint16>(c.unicode(), p);
        else
            qToLittleEndian<quint16>(c.unicode(), p);
        p += 2;
    }
    return octets;
}

bool MajoriteLf(const QString &sTexte)
{
    qsizetype lCrLf = 0;
    qsizetype lLf = 0;
    for (qsizetype i = sTexte.indexOf(QLatin1Char('\n')); i >= 0; i = sTexte.indexOf(QLatin1Char('\n'), i + 1)) {
        if (i > 0 && sTexte.at(i - 1) == QLatin1Char('\r'))
            ++lCrLf;
        else
            ++lLf;
    }
    return lLf > lCrLf;
}

QString SautsDeLaForme(const QString &sTexte, bool bCrLf)
{
    QString s = sTexte;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (bCrLf)
        s.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return s;
}

QString Texte(QByteArrayView corps, FormeScript::Encodage encodage)
{
    switch (encodage) {
    case FormeScript::Utf8:
        return QString::fromUtf8(corps);
    case FormeScript::Utf16LE:
        return DecodeUtf16(corps, false);
    case FormeScript::Utf16BE:
        return DecodeUtf16(corps, true);
    case FormeScript::Windows1252:
        break;
    }
    return Windows1252::Decode(corps.toByteArray());
}

} // namespace

FormeScript DetecteForme(const QByteArray &octets)
{
    FormeScript forme;
    // An odd count of bytes cannot be UTF-16 whatever it starts with.
    const bool bPair = octets.size() % 2 == 0;
    if (bPair && octets.startsWith(kMarqueUtf16LE)) {
        forme.encodage = FormeScript::Utf16LE;
        forme.bMarque = true;
    } else if (bPair && octets.startsWith(kMarqueUtf16BE)) {
        forme.encodage = FormeScript::Utf16BE;
        forme.bMarque = true;
    } else if (EstUtf8Valide(octets)) {
        forme.bMarque = octets.startsWith(kMarqueUtf8);
    } else {
        forme.encodage = FormeScript::Windows1252;
    }
    return forme;
}

ScriptDecode DecodeScript(const QByteArray &octets)
{
    ScriptDecode d;
    d.forme = DetecteForme(octets);
    const bool bUtf16 = d.forme.encodage == FormeScript::Utf16LE || d.forme.encodage == FormeScript::Utf16BE;
    if (!bUtf16 && octets.contains('\0')) {
        d.bTexte = false;
        return d;
    }
    const QByteArrayView corps = QByteArrayView(octets).sliced(d.forme.bMarque ? Marque(d.forme.encodage).size() : 0);
    d.sTexte = Texte(corps, d.forme.encodage);
    d.forme.bCrLf = !MajoriteLf(d.sTexte);
    return d;
}

QByteArray EncodeScript(const QString &sTexte, const FormeScript &forme)
{
    const QString s = SautsDeLaForme(sTexte, forme.bCrLf);
    QByteArray octets = forme.bMarque ? Marque(forme.encodage) : QByteArray();
    switch (forme.encodage) {
    case FormeScript::Utf8:
        octets += s.toUtf8();
        break;
    case FormeScript::Utf16LE:
    case FormeScript::Utf16BE:
        octets += EncodeUtf16(s, forme.encodage == FormeScript::Utf16BE);
        break;
    case FormeScript::Windows1252:
        octets += Windows1252::Encode(s);
        break;
    }
    return octets;
}

bool FormePeutCoder(const FormeScript &forme, const QString &sTexte)
{
    return forme.encodage != FormeScript::Windows1252 || Windows1252::PeutCoder(sTexte);
}

QString NomEncodage(FormeScript::Encodage encodage)
{
    switch (encodage) {
    case FormeScript::Utf8:
        return QStringLiteral("UTF-8");
    case FormeScript::Utf16LE:
        return QStringLiteral("UTF-16 LE");
    case FormeScript::Utf16BE:
        return QStringLiteral("UTF-16 BE");
    case FormeScript::Windows1252:
        break;
    }
    return QStringLiteral("Windows-1252");
}
