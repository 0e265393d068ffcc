#include "windows1252.h"

#include <array>

namespace {

// 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> kPlage80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The byte of a character, or -1 when the code page has none.
int Octet(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < int(kPlage80.size()); ++i) {
        if (kPlage80[i] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

QString Windows1252::Decode(const QByteArray &octets)
{
    QString s(octets.size(), Qt::Uninitialized);
    QChar *d = s.data();
    for (const char o : octets) {
        const auto b = static_cast<unsigned char>(o);
        *d++ = QChar(b >= 0x80 && b < 0xA0 ? kPlage80[b - 0x80] : char16_t(b));
    }
    return s;
}

QByteArray Windows1252::Encode(const QString &sTexte)
{
    QByteArray octets(sTexte.size(), Qt::Uninitialized);
    char *d = octets.data();
    for (const QChar c : sTexte) {
        const int b = Octet(c.unicode());
        *d++ = char(b < 0 ? '?' : b);
    }
    return octets;
}

bool Windows1252::PeutCoder(const QString &sTexte)
{
    for (const QChar c : sTexte) {
        if (Octet(c.unicode()) < 0)
            return false;
    }
    return true;
}
