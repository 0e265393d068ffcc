#include "casse.h"

bool EstCaractereNomEtendu(char16_t c)
{
    return QChar::isLetterOrNumber(c) || QChar::isMark(c) || QChar::isSurrogate(c);
}

QString MajusculesSimples(const QString& sTexte)
{
    QString s(sTexte.size(), Qt::Uninitialized);
    const char16_t* src = reinterpret_cast<const char16_t*>(sTexte.constData());
    char16_t* dst = reinterpret_cast<char16_t*>(s.data());
    for (qsizetype i = 0; i < sTexte.size(); ++i)
        dst[i] = Maj(src[i]);
    return s;
}

QString MinusculesSimples(const QString& sTexte)
{
    QString s(sTexte.size(), Qt::Uninitialized);
    const char16_t* src = reinterpret_cast<const char16_t*>(sTexte.constData());
    char16_t* dst = reinterpret_cast<char16_t*>(s.data());
    const qsizetype n = sTexte.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = src[i];
        if (c < 0x80) {
            dst[i] = (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(src[i + 1])) {
            // A letter outside the basic plane keeps its two units when its lower case does.
            const char32_t cp = QChar::surrogateToUcs4(c, src[i + 1]);
            const char32_t bas = QChar::toLower(cp);
            const char32_t choisi = QChar::requiresSurrogates(bas) ? bas : cp;
            dst[i] = QChar::highSurrogate(choisi);
            dst[i + 1] = QChar::lowSurrogate(choisi);
            ++i;
        } else {
            dst[i] = QChar::toLower(c);
        }
    }
    return s;
}
