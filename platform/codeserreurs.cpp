#include "codeserreurs.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <initializer_list>

using namespace CodesErreurs;

namespace {

bool EstParmi(int lNatif, std::initializer_list<int> liste)
{
    return std::find(liste.begin(), liste.end(), lNatif) != liste.end();
}

// Server messages carry their own numbers (below 20000, or 50000 and up for
// RAISERROR); the driver's own conditions are numbered from 20000 on.
bool EstMessageServeur(int lNatif)
{
    return (lNatif > 0 && lNatif < 20000) || lNatif >= 50000;
}

constexpr int kBaseInaccessible = 4060;

int32_t NumeroPourConnexion(const DiagnosticOdbc &d)
{
    if (d.lNatif == kBaseInaccessible)
        return EchecNonSpecifie;
    if (d.sEtat.startsWith(QLatin1String("IM002")) || d.sEtat.startsWith(QLatin1String("IM003")))
        return FournisseurIntrouvable;
    if (d.sEtat == QLatin1String("28000")
        || EstParmi(d.lNatif, {18456, 18452, 18470, 18486, 18487, 18488}))
        return EchecAuthentification;
    return EchecNonSpecifie;
}

int32_t NumeroPourCommande(const DiagnosticOdbc &d)
{
    if (d.sEtat.startsWith(QLatin1String("HYT")))
        return DelaiDepasse;
    if (d.sEtat.startsWith(QLatin1String("08")))
        return EchecNonSpecifie;
    if (d.lNatif == 208 || d.sEtat == QLatin1String("42S02"))
        return ObjetInexistant;
    if (EstParmi(d.lNatif, {229, 230, 262, 300}))
        return PermissionRefusee;
    static const QStringList etatsConversion{QStringLiteral("22003"), QStringLiteral("22005"),
                                             QStringLiteral("22007"), QStringLiteral("22008"),
                                             QStringLiteral("22018")};
    if (EstParmi(d.lNatif, {220, 232, 241, 242, 245, 8114, 8115}) || etatsConversion.contains(d.sEtat))
        return ConversionImpossible;
    if (EstParmi(d.lNatif, {515, 547, 2601, 2627}) || d.sEtat.startsWith(QLatin1String("23")))
        return ViolationIntegrite;
    if (d.sEtat.startsWith(QLatin1String("42")) || d.sEtat.startsWith(QLatin1String("37"))
        || EstMessageServeur(d.lNatif))
        return ErreursDansCommande;
    return EchecNonSpecifie;
}

// The record that decides: while logging in, a refused database or login wins
// wherever it stands (the driver follows it with a generic "unable to
// connect"); otherwise the first.
const DiagnosticOdbc *DiagnosticDecisif(const QList<DiagnosticOdbc> &diagnostics, PhaseOdbc phase)
{
    if (diagnostics.isEmpty())
        return nullptr;
    if (phase == PhaseOdbc::Connexion) {
        // The server follows "cannot open database" with a login refusal:
        // the first is the cause.
        for (const DiagnosticOdbc &d : diagnostics)
            if (d.lNatif == kBaseInaccessible)
                return &d;
        for (const DiagnosticOdbc &d : diagnostics)
            if (NumeroPourConnexion(d) == EchecAuthentification)
                return &d;
    }
    return &diagnostics.first();
}

QString SansPrefixes(const QString &sMessage)
{
    static const QRegularExpression prefixes(QStringLiteral("^(\\[[^\\]]*\\])+"));
    return QString(sMessage).remove(prefixes).trimmed();
}

} // namespace

int32_t NumeroErreur(const QList<DiagnosticOdbc> &diagnostics, PhaseOdbc phase)
{
    const DiagnosticOdbc *d = DiagnosticDecisif(diagnostics, phase);
    if (!d)
        return EchecNonSpecifie;
    return phase == PhaseOdbc::Connexion ? NumeroPourConnexion(*d) : NumeroPourCommande(*d);
}

QString DescriptionErreur(const QList<DiagnosticOdbc> &diagnostics, PhaseOdbc phase)
{
    const DiagnosticOdbc *d = DiagnosticDecisif(diagnostics, phase);
    if (!d)
        return QStringLiteral("Unspecified error");
    const QString sTexte = SansPrefixes(d->sMessage);
    return sTexte.isEmpty() ? QStringLiteral("Unspecified error") : sTexte;
}

ErreurAdo ErreurOdbc(const QList<DiagnosticOdbc> &diagnostics, PhaseOdbc phase)
{
    return ErreurAdo(NumeroErreur(diagnostics, phase), DescriptionErreur(diagnostics, phase));
}

QString TexteErreur(int32_t lNumero)
{
    switch (lNumero) {
    case ObjetFerme:
        return QStringLiteral("Operation is not allowed when the object is closed.");
    case ObjetOuvert:
        return QStringLiteral("Operation is not allowed when the object is open.");
    case ConnexionInutilisable:
        return QStringLiteral("The connection cannot be used to perform this operation. "
                              "It is either closed or invalid in this context.");
    case PasDEnregistrementCourant:
        return QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                              "Requested operation requires a current record.");
    case ElementIntrouvable:
        return QStringLiteral("Item cannot be found in the collection corresponding to the "
                              "requested name or ordinal.");
    case ArgumentsInvalides:
        return QStringLiteral("Arguments are of the wrong type, are out of acceptable range, "
                              "or are in conflict with one another.");
    case OperationNonSupportee:
        return QStringLiteral("Object or provider is not capable of performing requested operation.");
    case FournisseurIntrouvable:
        return QStringLiteral("Provider cannot be found. It may not be properly installed.");
    case CommandeNonDefinie:
        return QStringLiteral("Command text was not set for the command object.");
    case ChaineMalFormee:
        return QStringLiteral("Format of the initialization string is not valid.");
    case LectureArriereImpossible:
        return QStringLiteral("Rowset does not support fetching backward.");
    case DelaiDepasse:
        return QStringLiteral("Timeout expired");
    default:
        return QString();
    }
}

ErreurAdo ErreurInterne(int32_t lNumero)
{
    const QString sTexte = TexteErreur(lNumero);
    return ErreurAdo(lNumero, sTexte.isEmpty() ? QStringLiteral("Unspecified error") : sTexte);
}
