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

/// Beyond ASCII: letters of any script, digits, combining marks, and either half of a
/// character outside the basic plane (which is taken as a letter: a name is never cut).
bool EstCaractereNomEtendu(char16_t c);

/// True for the characters a T-SQL name is made of: letters of any script with their marks,
/// digits, "_", "@", "#" and "$".
inline bool EstCaractereNom(char16_t c)
{
    struct Table {
        bool ascii[128] = {};
        constexpr Table()
        {
            for (char16_t x = u'a'; x <= u'z'; ++x)
                ascii[x] = ascii[x - 32] = true;
            for (char16_t x = u'0'; x <= u'9'; ++x)
                ascii[x] = true;
            for (char16_t x : {u'_', u'@', u'#', u'$'})
                ascii[x] = true;
        }
    };
    static constexpr Table table;
    return c < 0x80 ? table.ascii[c] : EstCaractereNomEtendu(c);
}

/// True for the characters that glue to a keyword: those of a name, and "." (a keyword
/// qualified by an owner or a table, as in t.order, is a column's name).
inline bool EstCaractereMot(char16_t c)
{
    return c == u'.' || EstCaractereNom(c);
}

/// The text upper-cased character by character (same length).
QString MajusculesSimples(const QString& sTexte);
/// The text lower-cased character by character, accented capitals included (same length).
QString MinusculesSimples(const QString& sTexte);
