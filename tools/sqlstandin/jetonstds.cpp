#include "jetonstds.h"

#include "momentsql.h"
#include "profil.h"

#include <algorithm>

#include <QDateTime>
#include <cstring>

namespace {
constexpr uint8_t JetonColMetadata = 0x81;
constexpr uint8_t JetonErreur = 0xAA;
constexpr uint8_t JetonInfo = 0xAB;
constexpr uint8_t JetonLoginAck = 0xAD;
constexpr uint8_t JetonLigne = 0xD1;
constexpr uint8_t JetonEnvChange = 0xE3;
constexpr uint8_t JetonDone = 0xFD;

constexpr uint8_t TypeIntN = 0x26;
constexpr uint8_t TypeBitN = 0x68;
constexpr uint8_t TypeFltN = 0x6D;
constexpr uint8_t TypeDateTimeN = 0x6F;
constexpr uint8_t TypeNVarChar = 0xE7;
constexpr uint8_t TypeBigVarBinary = 0xA5;

QByteArray avecLongueur16(uint8_t jeton, const QByteArray &corps)
{
    QByteArray o;
    o.append(char(jeton));
    AjouteU16(o, uint16_t(corps.size()));
    o.append(corps);
    return o;
}

// datetime: days since 1900-01-01 and three-hundredths of a second since midnight.
void ajouteMoment(QByteArray &o, const MomentSql &m)
{
    o.append(char(8));
    AjouteU32(o, uint32_t(int32_t(m.joursDepuis1900())));
    AjouteU32(o, uint32_t((qint64(m.lMs) * 300 + 500) / 1000));
}

void ajouteDateHeure(QByteArray &o, const char *pUtf8, int lUtf8)
{
    if (const auto m = MomentSql::lis(pUtf8, lUtf8))
        return ajouteMoment(o, *m);
    // Other forms (a time alone, blanks around) take the slower way.
    QString s = QString::fromUtf8(pUtf8, lUtf8).trimmed();
    s.replace(QLatin1Char('T'), QLatin1Char(' '));
    QDateTime moment = QDateTime::fromString(s, QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    if (!moment.isValid())
        moment = QDateTime::fromString(s, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!moment.isValid())
        moment = QDateTime(QDate::fromString(s, QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
    if (!moment.isValid()) {
        o.append(char(0));
        return;
    }
    ajouteMoment(o, MomentSql{moment.date().toJulianDay(), moment.time().msecsSinceStartOfDay()});
}

void ajouteDateHeure(QByteArray &o, const QString &sTexte)
{
    const QByteArray u = sTexte.toUtf8();
    ajouteDateHeure(o, u.constData(), int(u.size()));
}
}

void AjouteU16(QByteArray &o, uint16_t v)
{
    o.append(char(v & 0xFF)).append(char(v >> 8));
}

void AjouteU32(QByteArray &o, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        o.append(char((v >> (8 * i)) & 0xFF));
}

void AjouteU64(QByteArray &o, quint64 v)
{
    for (int i = 0; i < 8; ++i)
        o.append(char((v >> (8 * i)) & 0xFF));
}

QByteArray Ucs2(const QString &s)
{
    QByteArray o;
    o.resize(s.size() * 2);
    for (int i = 0; i < s.size(); ++i) {
        const ushort c = s.at(i).unicode();
        o[2 * i] = char(c & 0xFF);
        o[2 * i + 1] = char(c >> 8);
    }
    return o;
}

void AjouteBVarchar(QByteArray &o, const QString &s)
{
    const QString t = s.left(255);
    o.append(char(t.size()));
    o.append(Ucs2(t));
}

void AjouteUsVarchar(QByteArray &o, const QString &s)
{
    const QString t = s.left(65535);
    AjouteU16(o, uint16_t(t.size()));
    o.append(Ucs2(t));
}

QByteArray EcrivainJetons::collation()
{
    return QByteArray("\x09\x04\xD0\x00\x34", 5);
}

QByteArray EcrivainJetons::message(uint8_t jeton, int lNumero, int lEtat, int lClasse,
                                   const QString &sMessage, const QString &sServeur, int lLigne) const
{
    QByteArray corps;
    AjouteU32(corps, uint32_t(lNumero));
    corps.append(char(lEtat));
    corps.append(char(lClasse));
    AjouteUsVarchar(corps, sMessage);
    AjouteBVarchar(corps, sServeur);
    AjouteBVarchar(corps, QString());
    if (tds72())
        AjouteU32(corps, uint32_t(lLigne));
    else
        AjouteU16(corps, uint16_t(lLigne));
    return avecLongueur16(jeton, corps);
}

QByteArray EcrivainJetons::erreur(int lNumero, int lEtat, int lClasse, const QString &sMessage,
                                  const QString &sServeur, int lLigne) const
{
    return message(JetonErreur, lNumero, lEtat, lClasse, sMessage, sServeur, lLigne);
}

QByteArray EcrivainJetons::info(int lNumero, int lEtat, const QString &sMessage, const QString &sServeur,
                                int lLigne, int lClasse) const
{
    return message(JetonInfo, lNumero, lEtat, lClasse, sMessage, sServeur, lLigne);
}

QByteArray EcrivainJetons::changementBase(const QString &sNouvelle, const QString &sAncienne) const
{
    QByteArray corps;
    corps.append(char(1));
    AjouteBVarchar(corps, sNouvelle);
    AjouteBVarchar(corps, sAncienne);
    return avecLongueur16(JetonEnvChange, corps);
}

QByteArray EcrivainJetons::changementLangue(const QString &sLangue) const
{
    QByteArray corps;
    corps.append(char(2));
    AjouteBVarchar(corps, sLangue);
    AjouteBVarchar(corps, QString());
    return avecLongueur16(JetonEnvChange, corps);
}

QByteArray EcrivainJetons::changementCollation() const
{
    QByteArray corps;
    corps.append(char(7));
    corps.append(char(5));
    corps.append(collation());
    corps.append(char(0));
    return avecLongueur16(JetonEnvChange, corps);
}

QByteArray EcrivainJetons::changementTaillePaquet(int lTaille) const
{
    QByteArray corps;
    corps.append(char(4));
    AjouteBVarchar(corps, QString::number(lTaille));
    AjouteBVarchar(corps, QStringLiteral("4096"));
    return avecLongueur16(JetonEnvChange, corps);
}

QByteArray EcrivainJetons::accuseLogin(const QString &sProgramme) const
{
    QByteArray corps;
    corps.append(char(1)); // interface: T-SQL
    // The version travels most significant byte first here, unlike everywhere else.
    corps.append(char((m_version >> 24) & 0xFF));
    corps.append(char((m_version >> 16) & 0xFF));
    corps.append(char((m_version >> 8) & 0xFF));
    corps.append(char(m_version & 0xFF));
    AjouteBVarchar(corps, sProgramme);
    const VersionProduit version = VersionDuServeur();
    corps.append(char(version.lMajeure)).append(char(version.lMineure));
    corps.append(char(version.lBuild >> 8)).append(char(version.lBuild & 0xFF));
    return avecLongueur16(JetonLoginAck, corps);
}

QByteArray EcrivainJetons::done(uint16_t lStatut, uint16_t lCommande, quint64 lLignes) const
{
    return fin(JetonDone, lStatut, lCommande, lLignes);
}

QByteArray EcrivainJetons::doneDansProcedure(uint16_t lStatut, uint16_t lCommande, quint64 lLignes) const
{
    return fin(0xFF, lStatut, lCommande, lLignes);
}

QByteArray EcrivainJetons::doneProcedure(uint16_t lStatut) const
{
    return fin(0xFE, lStatut, 0xE0, 0);
}

QByteArray EcrivainJetons::statutRetour(int32_t lStatut) const
{
    QByteArray o;
    o.append(char(0x79));
    AjouteU32(o, uint32_t(lStatut));
    return o;
}

QByteArray EcrivainJetons::valeurRetourEntier(int lOrdinal, const QString &sNom, int32_t lValeur) const
{
    QByteArray corps;
    AjouteU16(corps, uint16_t(lOrdinal));
    AjouteBVarchar(corps, sNom);
    corps.append(char(0x01)); // output parameter
    if (tds72())
        AjouteU32(corps, 0);
    else
        AjouteU16(corps, 0);
    AjouteU16(corps, 0x0001);
    corps.append(char(TypeIntN)).append(char(4));
    corps.append(char(4));
    AjouteU32(corps, uint32_t(lValeur));
    QByteArray o;
    o.append(char(0xAC));
    return o + corps;
}

QByteArray EcrivainJetons::fin(uint8_t jeton, uint16_t lStatut, uint16_t lCommande, quint64 lLignes) const
{
    QByteArray o;
    o.append(char(jeton));
    AjouteU16(o, lStatut);
    AjouteU16(o, lCommande);
    if (tds72())
        AjouteU64(o, lLignes);
    else
        AjouteU32(o, uint32_t(lLignes));
    return o;
}

QByteArray EcrivainJetons::descriptionColonnes(const QVector<ColonneTds> &colonnes) const
{
    QByteArray o;
    o.append(char(JetonColMetadata));
    AjouteU16(o, uint16_t(colonnes.size()));
    for (const ColonneTds &c : colonnes) {
        if (tds72())
            AjouteU32(o, 0);
        else
            AjouteU16(o, 0);
        AjouteU16(o, 0x0001 | 0x0008); // nullable, updatable unknown
        switch (c.type) {
        case TypeTds::Entier:
            o.append(char(TypeIntN)).append(char(c.lTaille));
            break;
        case TypeTds::Bit:
            o.append(char(TypeBitN)).append(char(1));
            break;
        case TypeTds::Flottant:
            o.append(char(TypeFltN)).append(char(8));
            break;
        case TypeTds::DateHeure:
            o.append(char(TypeDateTimeN)).append(char(8));
            break;
        case TypeTds::Texte:
            o.append(char(TypeNVarChar));
            AjouteU16(o, c.bMax && tds72() ? 0xFFFF : uint16_t(c.lTaille));
            if (tds71())
                o.append(collation());
            break;
        case TypeTds::Binaire:
            o.append(char(TypeBigVarBinary));
            AjouteU16(o, c.bMax && tds72() ? 0xFFFF : uint16_t(c.lTaille));
            break;
        }
        AjouteBVarchar(o, c.sNom);
    }
    return o;
}

QByteArray EcrivainJetons::ligne(const QVector<ColonneTds> &colonnes,
                                 const QVector<ValeurTds> &valeurs) const
{
    QByteArray o;
    ajouteLigne(o, colonnes, valeurs);
    return o;
}

namespace {
// UTF-16LE of a UTF-8 text, cut to lMaxOctets bytes, with its 2-byte length.
// Catalogue names are nearly always ASCII: those bytes are widened in place,
// without a QString in between.
void ajouteTexteUtf8(QByteArray &o, const char *p, int n, int lMaxOctets)
{
    bool bAscii = true;
    for (int i = 0; i < n && bAscii; ++i)
        bAscii = (uchar(p[i]) & 0x80) == 0;
    if (!bAscii) {
        const QByteArray texte = Ucs2(QString::fromUtf8(p, n)).left(lMaxOctets);
        AjouteU16(o, uint16_t(texte.size()));
        o.append(texte);
        return;
    }
    // Length and characters written in place: one resize a value, as a list
    // of ten thousand names has thirty thousand of them.
    const int lOctets = std::min(2 * n, std::max(0, lMaxOctets));
    const qsizetype lDebut = o.size();
    o.resize(lDebut + 2 + lOctets);
    char *d = o.data() + lDebut;
    *d++ = char(lOctets & 0xFF);
    *d++ = char(lOctets >> 8);
    // Whole characters by pairs of bytes, which the compiler widens by blocks.
    const int lCaracteres = lOctets / 2;
    for (int k = 0; k < lCaracteres; ++k) {
        d[2 * k] = p[k];
        d[2 * k + 1] = char(0);
    }
    if (lOctets & 1)
        d[lOctets - 1] = p[lCaracteres];
}

void ajouteEntier(QByteArray &o, qint64 v, int lTaille)
{
    char octets[9];
    octets[0] = char(lTaille);
    for (int b = 0; b < lTaille; ++b)
        octets[1 + b] = char((quint64(v) >> (8 * b)) & 0xFF);
    o.append(octets, 1 + lTaille);
}

// A (max) value as partly length-prefixed data: its whole length, then its
// bytes in one chunk and the empty chunk that ends them; NULL has a length of its own.
void ajoutePlp(QByteArray &o, const ValeurTds &v, bool bTexte)
{
    if (v.bNul) {
        AjouteU64(o, ~quint64(0));
        return;
    }
    const QByteArray octets = !bTexte ? v.octets : Ucs2(v.pUtf8 ? QString::fromUtf8(v.pUtf8, v.lUtf8) : v.sTexte);
    AjouteU64(o, quint64(octets.size()));
    if (!octets.isEmpty()) {
        AjouteU32(o, uint32_t(octets.size()));
        o.append(octets);
    }
    AjouteU32(o, 0);
}
}

void EcrivainJetons::ajouteLigne(QByteArray &o, const QVector<ColonneTds> &colonnes,
                                 const QVector<ValeurTds> &valeurs) const
{
    o.append(char(JetonLigne));
    for (int i = 0; i < colonnes.size(); ++i) {
        const ColonneTds &c = colonnes.at(i);
        const ValeurTds &v = valeurs.at(i);
        switch (c.type) {
        case TypeTds::Entier:
            if (v.bNul)
                o.append(char(0));
            else
                ajouteEntier(o, v.lEntier, std::min(8, c.lTaille));
            break;
        case TypeTds::Bit:
            if (v.bNul)
                o.append(char(0));
            else
                o.append(char(1)).append(char(v.lEntier != 0 ? 1 : 0));
            break;
        case TypeTds::Flottant:
            if (v.bNul) {
                o.append(char(0));
            } else {
                quint64 bits;
                std::memcpy(&bits, &v.dReel, sizeof bits);
                o.append(char(8));
                AjouteU64(o, bits);
            }
            break;
        case TypeTds::DateHeure:
            if (v.bNul)
                o.append(char(0));
            else if (v.pUtf8)
                ajouteDateHeure(o, v.pUtf8, v.lUtf8);
            else
                ajouteDateHeure(o, v.sTexte);
            break;
        case TypeTds::Texte:
            if (c.bMax && tds72()) {
                ajoutePlp(o, v, true);
            } else if (v.bNul) {
                AjouteU16(o, 0xFFFF);
            } else if (v.pUtf8) {
                ajouteTexteUtf8(o, v.pUtf8, v.lUtf8, c.lTaille);
            } else {
                // A value longer than the announced maximum would desynchronise the client.
                const QByteArray texte = Ucs2(v.sTexte).left(c.lTaille);
                AjouteU16(o, uint16_t(texte.size()));
                o.append(texte);
            }
            break;
        case TypeTds::Binaire:
            if (c.bMax && tds72()) {
                ajoutePlp(o, v, false);
            } else if (v.bNul) {
                AjouteU16(o, 0xFFFF);
            } else {
                const QByteArray b = v.octets.left(c.lTaille);
                AjouteU16(o, uint16_t(b.size()));
                o.append(b);
            }
            break;
        }
    }
}
