#include "formatjournal.h"

#include <cmath>

QString TexteSecondes(float fSecondes, const QLocale &locale)
{
    QLocale sansGroupes = locale;
    sansGroupes.setNumberOptions(QLocale::OmitGroupSeparator);
    // 'g' drops trailing zeros and the separator of a whole number; the
    // exponent of very small or large values is written as the classic "E-05".
    QString sTexte = sansGroupes.toString(static_cast<double>(fSecondes), 'g', 7);
    const QString sExposant = sansGroupes.exponential();
    const int lExposant = sTexte.indexOf(sExposant, 0, Qt::CaseInsensitive);
    if (lExposant >= 0)
        sTexte.replace(lExposant, sExposant.size(), QStringLiteral("E"));
    return sTexte;
}

QString LigneTemps(float fSecondes, const QLocale &locale)
{
    return QStringLiteral("\tTemps opération :") + TexteSecondes(fSecondes, locale)
        + QStringLiteral(" seconde(s)");
}

QString HexaErreur(int32_t lNombre)
{
    return QString::number(static_cast<uint32_t>(lNombre), 16).toUpper();
}

int NombreBlancs(double dLargeurTwips)
{
    const double dParCaractere = dLargeurTwips / 9.0;
    if (!std::isfinite(dParCaractere) || dParCaractere <= 0)
        return 0;
    const double dPlancher = std::floor(dParCaractere);
    const double dReste = dParCaractere - dPlancher;
    double dArrondi = dPlancher;
    if (dReste > 0.5 || (dReste == 0.5 && std::fmod(dPlancher, 2.0) != 0.0))
        dArrondi = dPlancher + 1;
    return static_cast<int>(dArrondi);
}

QString EntreeErreur(int32_t lNombre, const QString &sDescription, int lBlancs)
{
    return QStringLiteral("\tErreur : ") + QString::number(lNombre) + QStringLiteral(" (&H")
        + HexaErreur(lNombre) + QStringLiteral("); \r\n\t")
        + QString(qMax(0, lBlancs), QLatin1Char(' ')) + sDescription;
}
