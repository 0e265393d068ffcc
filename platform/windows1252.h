#pragma once
#include <QByteArray>
#include <QString>

/// Windows-1252 ("ANSI" on Western Windows), by table: Qt's converters only
/// know it where ICU is present. The five bytes the code page leaves
/// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) read as the C1 control of the
/// same value and are written back as that byte, so every file survives a
/// read and a write unchanged.
namespace Windows1252 {

/// The text of those bytes (never fails: every byte has a character).
QString Decode(const QByteArray &octets);
/// The bytes of a text that PeutCoder accepts (any other character becomes "?").
QByteArray Encode(const QString &sTexte);
/// True when every character of the text has a byte in the code page.
bool PeutCoder(const QString &sTexte);

} // namespace Windows1252
