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

QByteArray ReponsePreLogin()
{
    const OptionPreLogin options[] = {
        {0x00, QByteArray("\x0A\x00\x06\x40\x00\x00", 6)}, // VERSION 10.0.1600, sub-build 0
        {0x01, QByteArray("\x02", 1)},                     // ENCRYPTION: not supported
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
