#pragma once
#include <QLocale>
#include <QString>
#include <cstdint>

/// The elapsed seconds in the general single-precision form: at most 7
/// significant digits, no trailing zeros, no thousands separator, the locale's
/// decimal separator (none for a whole number).
QString TexteSecondes(float fSecondes, const QLocale &locale);

/// The log line of an elapsed time: tab, "Temps opération :", the seconds, " seconde(s)".
QString LigneTemps(float fSecondes, const QLocale &locale);

/// The 32-bit value of an error number taken as unsigned, in upper-case
/// hexadecimal without leading zeros (-1 gives "FFFFFFFF").
QString HexaErreur(int32_t lNombre);

/// The number of blanks that indent an error description: the width of
/// "Erreur : " in twips divided by its 9 characters, an exact half going to
/// the even neighbour.
int NombreBlancs(double dLargeurTwips);

/// The two-line error entry: tab, "Erreur : ", number, " (&H", hex, "); ",
/// CR LF, tab, lBlancs blanks, description.
QString EntreeErreur(int32_t lNombre, const QString &sDescription, int lBlancs);
