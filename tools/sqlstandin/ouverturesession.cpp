#include "ouverturesession.h"

#include <QtEndian>

namespace {
struct OptionPreLogin {
    uint8_t jeton;
    QByteArray valeur;
};

uint16_t lu16(const QByteArray &o, int lPosition)
{
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(o.constData() + lPosition));
}

QString texteUcs2(const QByteArray &o, int lDebut, int lCaracteres)
{
    if (lDebut < 0 || lCaracteres <= 0 || lDebut + 2 * lCaracteres > o.size())
        return QString();
    QString s(lCaracteres, Qt::Uninitialized);
    for (int i = 0; i < lCaracteres; ++i)
        s[i] = QChar(lu16(o, lDebut + 2 * i));
    return s;
}

QString champ(const QByteArray &o, int lPositionPaire)
{
    return texteUcs2(o, lu16(o, lPositionPaire), lu16(o, lPositionPaire + 2));
}
}

NegociationTls NegocieChiffrement(Chiffrement serveur, uint8_t lClient)
{
    const bool bClientSans = lClient == OctetChiffrement::NonGere;
    const bool bClientTout = lClient == OctetChiffrement::On || lClient == OctetChiffrement::Requis;
    switch (serveur) {
    case Chiffrement::Non:
        return {OctetChiffrement::NonGere, ModeTls::Aucun};
    case Chiffrement::Connexion:
        if (bClientSans)
            return {OctetChiffrement::NonGere, ModeTls::Aucun};
        return bClientTout ? NegociationTls{OctetChiffrement::On, ModeTls::Session}
                           : NegociationTls{OctetChiffrement::Off, ModeTls::Connexion};
    case Chiffrement::Requis:
        return {OctetChiffrement::Requis, bClientSans ? ModeTls::Refus : ModeTls::Session};
    }
    return {};
}

uint8_t ChiffrementClient(const QByteArray &contenu)
{
    for (int i = 0; i + 5 <= contenu.size() && uchar(contenu.at(i)) != 0xFF; i += 5) {
        const int lPosition = (uchar(contenu.at(i + 1)) << 8) | uchar(contenu.at(i + 2));
        const int lLongueur = (uchar(contenu.at(i + 3)) << 8) | uchar(contenu.at(i + 4));
        if (uchar(contenu.at(i)) == 0x01 && lLongueur >= 1 && lPosition < contenu.size())
            return uchar(contenu.at(lPosition));
    }
    return OctetChiffrement::Off;
}

QByteArray ReponsePreLogin(uint8_t lChiffrement)
{
    const VersionProduit v = VersionDuServeur();
    const char version[6] = {char(v.lMajeure), char(v.lMineure), char(v.lBuild >> 8), char(v.lBuild & 0xFF), 0, 0};
    const OptionPreLogin options[] = {
        {0x00, QByteArray(version, 6)},                    // VERSION, sub-build 0
        {0x01, QByteArray(1, char(lChiffrement))},         // ENCRYPTION
        {0x02, QByteArray("\x00", 1)},                     // INSTOPT
        {0x03, QByteArray("\x00\x00\x00\x00", 4)},         // THREADID
        {0x04, QByteArray("\x00", 1)},                     // MARS off
    };
    const int lNombre = int(sizeof options / sizeof options[0]);
    QByteArray table;
    QByteArray donnees;
    const int lTailleTable = lNombre * 5 + 1;
    for (const OptionPreLogin &option : options) {
        const int lPosition = lTailleTable + donnees.size();
        table.append(char(option.jeton));
        table.append(char(lPosition >> 8)).append(char(lPosition & 0xFF));
        table.append(char(option.valeur.size() >> 8)).append(char(option.valeur.size() & 0xFF));
        donnees.append(option.valeur);
    }
    table.append(char(0xFF));
    return table + donnees;
}

QString DecodeMotDePasse(const QByteArray &octets)
{
    QByteArray clair(octets.size(), Qt::Uninitialized);
    for (int i = 0; i < octets.size(); ++i) {
        const uchar c = uchar(octets.at(i)) ^ 0xA5;
        clair[i] = char(uchar((c << 4) | (c >> 4)));
    }
    return texteUcs2(clair, 0, clair.size() / 2);
}

DemandeLogin DecodeLogin7(const QByteArray &contenu)
{
    DemandeLogin demande;
    if (contenu.size() < 94)
        return demande;
    demande.lVersionTds =
        qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(contenu.constData() + 4));
    demande.lTaillePaquet = int(
        qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(contenu.constData() + 8)));
    demande.sMachine = champ(contenu, 36);
    demande.sUtilisateur = champ(contenu, 40);
    const int lDebutMotDePasse = lu16(contenu, 44);
    const int lLongueurMotDePasse = lu16(contenu, 46);
    if (lDebutMotDePasse + 2 * lLongueurMotDePasse <= contenu.size())
        demande.sMotDePasse =
            DecodeMotDePasse(contenu.mid(lDebutMotDePasse, 2 * lLongueurMotDePasse));
    demande.sApplication = champ(contenu, 48);
    demande.sServeur = champ(contenu, 52);
    demande.sBase = champ(contenu, 68);
    demande.bValide = true;
    return demande;
}
