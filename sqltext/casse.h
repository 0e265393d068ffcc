#pragma once

#include <QChar>
#include <QString>

// Letter-case helpers with the habits the formatter and the comparison rely on: one UTF-16
// unit in, one out, so positions never shift (QString::toUpper would turn "ß" into "SS").

/// The upper-case form of one character (simple mapping, same length).
inline char16_t Maj(char16_t c)
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
    return QChar::toUpper(c);
}

/// True when the character, upper-cased, lies between "A" and "Z".
inline bool EstLettre(char16_t c)
{
    const char16_t m = Maj(c);
    return m >= u'A' && m <= u'Z';
}

/// True for the characters that glue to a keyword: letters, "." and "_".
inline bool EstCaractereMot(char16_t c)
{
    return c == u'.' || c == u'_' || EstLettre(c);
}

/// The text upper-cased character by character (same length).
QString MajusculesSimples(const QString& sTexte);
/// The text lower-cased character by character, accented capitals included (same length).
QString MinusculesSimples(const QString& sTexte);
