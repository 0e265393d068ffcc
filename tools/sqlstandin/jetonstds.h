#pragma once
#include <QByteArray>
#include <QString>
#include <QVector>
#include <cstdint>

/// Column types as they travel in COLMETADATA.
enum class TypeTds { Entier, Bit, Flottant, DateHeure, Texte, Binaire };

struct ColonneTds {
    QString sNom;
    TypeTds type = TypeTds::Texte;
    int lTaille = 8000;   ///< bytes: 1/2/4/8 for integers, maximum length for text and binary
    /// nvarchar(max), varbinary(max): values of any length, sent in chunks
    /// (from TDS 7.2; older clients get them cut to lTaille).
    bool bMax = false;
};

/// One value of a row, already in the column's kind.
struct ValeurTds {
    bool bNul = true;
    qint64 lEntier = 0;
    double dReel = 0;
    QString sTexte;
    QByteArray octets;
    /// A text or a date still in the database's UTF-8 (valid until the next
    /// row is stepped to); when set it is used instead of sTexte.
    const char *pUtf8 = nullptr;
    int lUtf8 = 0;
};

/// DONE status bits.
namespace StatutDone {
constexpr uint16_t Final = 0x00;
constexpr uint16_t Suite = 0x01;
constexpr uint16_t Erreur = 0x02;
constexpr uint16_t Compte = 0x10;
constexpr uint16_t Attention = 0x20;
}

/// DONE current-command codes.
namespace CommandeDone {
constexpr uint16_t Aucune = 0x00;
constexpr uint16_t Select = 0xC1;
constexpr uint16_t Insert = 0xC3;
constexpr uint16_t Delete = 0xC4;
constexpr uint16_t Update = 0xC5;
}

/// Builds the tokens of a server reply for one negotiated TDS version.
class EcrivainJetons
{
public:
    explicit EcrivainJetons(uint32_t lVersionTds = 0x74000004) : m_version(lVersionTds) {}
    void fixeVersion(uint32_t lVersion) { m_version = lVersion; }
    uint32_t version() const { return m_version; }
    bool tds72() const { return m_version >= 0x72000000; }
    bool tds71() const { return m_version >= 0x71000000; }

    /// lLigne: the line of the batch where the statement starts (1 for the first).
    QByteArray erreur(int lNumero, int lEtat, int lClasse, const QString &sMessage,
                      const QString &sServeur, int lLigne = 1) const;
    /// An informational message; lClasse is the severity (10 or less).
    QByteArray info(int lNumero, int lEtat, const QString &sMessage, const QString &sServeur, int lLigne = 1,
                    int lClasse = 0) const;
    QByteArray changementBase(const QString &sNouvelle, const QString &sAncienne) const;
    QByteArray changementLangue(const QString &sLangue) const;
    QByteArray changementCollation() const;
    QByteArray changementTaillePaquet(int lTaille) const;
    QByteArray accuseLogin(const QString &sProgramme) const;
    QByteArray done(uint16_t lStatut, uint16_t lCommande, quint64 lLignes) const;
    /// DONEINPROC: the end of one statement run inside an RPC.
    QByteArray doneDansProcedure(uint16_t lStatut, uint16_t lCommande, quint64 lLignes) const;
    /// DONEPROC: the end of an RPC.
    QByteArray doneProcedure(uint16_t lStatut) const;
    QByteArray statutRetour(int32_t lStatut) const;
    /// RETURNVALUE of an int output parameter (the handle of sp_prepexec and sp_prepare).
    QByteArray valeurRetourEntier(int lOrdinal, const QString &sNom, int32_t lValeur) const;
    QByteArray descriptionColonnes(const QVector<ColonneTds> &colonnes) const;
    QByteArray ligne(const QVector<ColonneTds> &colonnes, const QVector<ValeurTds> &valeurs) const;
    /// Appends the ROW token of ligne() to o (no buffer of its own per row).
    void ajouteLigne(QByteArray &o, const QVector<ColonneTds> &colonnes, const QVector<ValeurTds> &valeurs) const;

    /// The collation every text column announces: SQL_Latin1_General_CP1_CI_AS.
    static QByteArray collation();

private:
    QByteArray fin(uint8_t jeton, uint16_t lStatut, uint16_t lCommande, quint64 lLignes) const;
    QByteArray message(uint8_t jeton, int lNumero, int lEtat, int lClasse, const QString &sMessage,
                       const QString &sServeur, int lLigne) const;
    uint32_t m_version;
};

/// Little-endian writers shared by the encoders.
void AjouteU16(QByteArray &o, uint16_t v);
void AjouteU32(QByteArray &o, uint32_t v);
void AjouteU64(QByteArray &o, quint64 v);
/// UCS-2 little-endian bytes of a text.
QByteArray Ucs2(const QString &s);
/// Text preceded by its length in characters on one byte (B_VARCHAR).
void AjouteBVarchar(QByteArray &o, const QString &s);
/// Text preceded by its length in characters on two bytes (US_VARCHAR).
void AjouteUsVarchar(QByteArray &o, const QString &s);
