#include "lectureresultats.h"

#include "odbcoutils.h"

#include <QRegularExpression>
#include <sqlext.h>

namespace {

// SQL Server's own diagnostic fields (msodbcsql.h). FreeTDS gives the line,
// and the severity in place of the state (see LitNiveauEtEtat).
constexpr SQLSMALLINT kDiagEtatMessage = -1150;
constexpr SQLSMALLINT kDiagNiveau = -1151;
constexpr SQLSMALLINT kDiagLigne = -1154;

// Text is read in pieces of this many characters.
constexpr SQLLEN kCaracteresTampon = 4096;

// Returns -1 when the driver does not give the field.
int ChampDiagnostic(SQLSMALLINT lType, SQLHANDLE h, SQLSMALLINT i, SQLSMALLINT lChamp)
{
    // The line is a 16-bit field: the upper half of the zeroed integer stays 0.
    SQLINTEGER lValeur = 0;
    SQLSMALLINT lLongueur = 0;
    if (!SQL_SUCCEEDED(SQLGetDiagFieldW(lType, h, i, lChamp, &lValeur, sizeof lValeur, &lLongueur)))
        return -1;
    return int(lValeur);
}

// Severity and state of a record. Microsoft's driver gives both; FreeTDS has
// no severity field and hands the severity out as the message state, so
// the state itself is unknown there and shown as 1.
void LitNiveauEtEtat(SQLSMALLINT lType, SQLHANDLE h, SQLSMALLINT i, MessageServeur &m)
{
    const int lNiveau = ChampDiagnostic(lType, h, i, kDiagNiveau);
    const int lEtat = ChampDiagnostic(lType, h, i, kDiagEtatMessage);
    if (lNiveau >= 0) {
        m.lNiveau = lNiveau;
        m.lEtat = qMax(0, lEtat);
    } else {
        m.lNiveau = qMax(0, lEtat);
        m.lEtat = 1;
    }
}

QString SansPrefixesPilote(const QString &sMessage)
{
    static const QRegularExpression prefixes(QStringLiteral("^(\\[[^\\]]*\\])+"));
    return QString(sMessage).remove(prefixes);
}

} // namespace

QList<MessageServeur> LitMessages(SQLSMALLINT lType, SQLHANDLE h)
{
    QList<MessageServeur> messages;
    const QList<DiagnosticOdbc> diagnostics = LitDiagnostics(lType, h);
    for (int i = 0; i < diagnostics.size(); ++i) {
        const DiagnosticOdbc &d = diagnostics.at(i);
        MessageServeur m;
        m.lNumero = d.lNatif;
        m.sEtatSql = d.sEtat;
        m.sTexte = SansPrefixesPilote(d.sMessage);
        LitNiveauEtEtat(lType, h, SQLSMALLINT(i + 1), m);
        const int lLigne = ChampDiagnostic(lType, h, SQLSMALLINT(i + 1), kDiagLigne);
        m.lLigne = lLigne > 0 ? lLigne & 0xFFFF : 0;
        messages << m;
    }
    return messages;
}

namespace {

GenreColonne GenreDe(SQLSMALLINT lTypeSql)
{
    switch (lTypeSql) {
    case SQL_INTEGER: case SQL_SMALLINT: case SQL_TINYINT: case SQL_BIGINT: case SQL_DECIMAL:
    case SQL_NUMERIC: case SQL_FLOAT: case SQL_REAL: case SQL_DOUBLE: case SQL_BIT:
        return GenreColonne::Nombre;
    case SQL_TYPE_TIMESTAMP: case SQL_TIMESTAMP:
        return GenreColonne::Date;
    case SQL_BINARY: case SQL_VARBINARY: case SQL_LONGVARBINARY:
        return GenreColonne::Binaire;
    default:
        return GenreColonne::Texte;
    }
}

} // namespace

QVector<ColonneResultat> DecritColonnes(SQLHSTMT h, int lColonnes)
{
    QVector<ColonneResultat> colonnes;
    for (SQLUSMALLINT i = 1; i <= SQLUSMALLINT(lColonnes); ++i) {
        SQLWCHAR nom[512] = {};
        SQLSMALLINT lLongueur = 0, lType = 0, lDecimales = 0, lNullable = 0;
        SQLULEN lTaille = 0;
        SQLDescribeColW(h, i, nom, 511, &lLongueur, &lType, &lTaille, &lDecimales, &lNullable);
        colonnes.append(ColonneResultat{DepuisLarge(nom, qBound(qsizetype(0), qsizetype(lLongueur), qsizetype(511))), GenreDe(lType)});
    }
    return colonnes;
}

namespace {

void Chiffres(char16_t *&p, int lValeur, int lChiffres)
{
    for (int i = lChiffres - 1; i >= 0; --i) {
        p[i] = char16_t(u'0' + lValeur % 10);
        lValeur /= 10;
    }
    p += lChiffres;
}

// yyyy-mm-dd hh:mm:ss.fff, written digit by digit: a million rows of dates
// would spend more time in a general formatter than in the driver.
void LitDate(SQLHSTMT h, SQLUSMALLINT lColonne, BlocLignes &bloc)
{
    SQL_TIMESTAMP_STRUCT t{};
    SQLLEN lIndicateur = 0;
    const SQLRETURN rc = SQLGetData(h, lColonne, SQL_C_TYPE_TIMESTAMP, &t, sizeof t, &lIndicateur);
    if (!SQL_SUCCEEDED(rc) || lIndicateur == SQL_NULL_DATA) {
        bloc.AjouteNul();
        return;
    }
    char16_t texte[23];
    char16_t *p = texte;
    Chiffres(p, t.year, 4); *p++ = u'-'; Chiffres(p, t.month, 2); *p++ = u'-'; Chiffres(p, t.day, 2);
    *p++ = u' ';
    Chiffres(p, t.hour, 2); *p++ = u':'; Chiffres(p, t.minute, 2); *p++ = u':'; Chiffres(p, t.second, 2);
    *p++ = u'.'; Chiffres(p, int(t.fraction / 1000000), 3);
    bloc.AjouteValeur(QStringView(texte, 23));
}

void LitBinaire(SQLHSTMT h, SQLUSMALLINT lColonne, BlocLignes &bloc)
{
    QByteArray octets;
    char tampon[8192];
    for (;;) {
        SQLLEN lIndicateur = 0;
        const SQLRETURN rc = SQLGetData(h, lColonne, SQL_C_BINARY, tampon, sizeof tampon, &lIndicateur);
        if (rc == SQL_NO_DATA || !SQL_SUCCEEDED(rc))
            break;
        if (lIndicateur == SQL_NULL_DATA) {
            bloc.AjouteNul();
            return;
        }
        const bool bSuite = rc == SQL_SUCCESS_WITH_INFO && (lIndicateur == SQL_NO_TOTAL || lIndicateur > SQLLEN(sizeof tampon));
        octets.append(tampon, bSuite ? int(sizeof tampon) : int(lIndicateur));
        if (!bSuite)
            break;
    }
    bloc.AjouteValeur(QString(QLatin1String("0x") + QString::fromLatin1(octets.toHex().toUpper())));
}

void LitTexte(SQLHSTMT h, SQLUSMALLINT lColonne, BlocLignes &bloc)
{
    SQLWCHAR tampon[kCaracteresTampon];
    QString sLong;
    for (;;) {
        SQLLEN lIndicateur = 0;
        const SQLRETURN rc = SQLGetData(h, lColonne, SQL_C_WCHAR, tampon, sizeof tampon, &lIndicateur);
        if (rc == SQL_NO_DATA || !SQL_SUCCEEDED(rc))
            break;
        if (lIndicateur == SQL_NULL_DATA) {
            bloc.AjouteNul();
            return;
        }
        const bool bSuite = rc == SQL_SUCCESS_WITH_INFO
            && (lIndicateur == SQL_NO_TOTAL || lIndicateur >= SQLLEN(sizeof tampon) - SQLLEN(sizeof(SQLWCHAR)));
        const qsizetype lCaracteres = bSuite ? kCaracteresTampon - 1 : lIndicateur / SQLLEN(sizeof(SQLWCHAR));
        const QStringView morceau(reinterpret_cast<const char16_t *>(tampon), lCaracteres);
        if (!bSuite && sLong.isEmpty()) {
            bloc.AjouteValeur(morceau);
            return;
        }
        sLong.append(morceau);
        if (!bSuite)
            break;
    }
    bloc.AjouteValeur(sLong);
}

} // namespace

void LitValeur(SQLHSTMT h, SQLUSMALLINT lColonne, GenreColonne genre, BlocLignes &bloc)
{
    switch (genre) {
    case GenreColonne::Date: LitDate(h, lColonne, bloc); break;
    case GenreColonne::Binaire: LitBinaire(h, lColonne, bloc); break;
    default: LitTexte(h, lColonne, bloc); break;
    }
}
