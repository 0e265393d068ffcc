#include "appelrpc.h"

#include "jetonssql.h"

#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <cstring>

namespace {
class Lecteur
{
public:
    Lecteur(const QByteArray &o, int lPosition) : m_o(o), m_p(lPosition) {}
    bool reste(int n) const { return m_p + n <= m_o.size(); }
    bool fin() const { return m_p >= m_o.size(); }
    quint64 entier(int n)
    {
        if (!reste(n)) {
            m_erreur = true;
            m_p = m_o.size();
            return 0;
        }
        quint64 v = 0;
        for (int i = 0; i < n; ++i)
            v |= quint64(uchar(m_o.at(m_p + i))) << (8 * i);
        m_p += n;
        return v;
    }
    QByteArray octets(int n)
    {
        if (n < 0 || !reste(n)) {
            m_erreur = true;
            m_p = m_o.size();
            return QByteArray();
        }
        const QByteArray b = m_o.mid(m_p, n);
        m_p += n;
        return b;
    }
    QString ucs2(int lCaracteres)
    {
        const QByteArray b = octets(2 * lCaracteres);
        return QString::fromUtf16(reinterpret_cast<const char16_t *>(b.constData()), b.size() / 2);
    }
    bool erreur() const { return m_erreur; }

private:
    const QByteArray &m_o;
    int m_p;
    bool m_erreur = false;
};

QString litteralTexte(const QString &s)
{
    return QStringLiteral("N'") + QString(s).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

QString litteralOctets(const QByteArray &b)
{
    return QStringLiteral("X'") + QString::fromLatin1(b.toHex()) + QLatin1Char('\'');
}

void fixeEntier(ParametreRpc &p, qint64 v)
{
    p.bNul = false;
    p.lEntier = v;
    p.sTexte = p.sLitteral = QString::number(v);
}

void fixeReel(ParametreRpc &p, double v)
{
    p.bNul = false;
    p.sTexte = p.sLitteral = QString::number(v, 'g', 17);
}

void fixeTexte(ParametreRpc &p, const QString &s)
{
    p.bNul = false;
    p.sTexte = s;
    p.sLitteral = litteralTexte(s);
}

void fixeDate(ParametreRpc &p, qint64 lJours, qint64 lTrois)
{
    const QDateTime d(QDate(1900, 1, 1).addDays(lJours), QTime(0, 0).addMSecs(int(lTrois * 1000 / 300)));
    fixeTexte(p, d.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));
}

QByteArray litPlp(Lecteur &l, bool &bNul)
{
    const quint64 lTotal = l.entier(8);
    bNul = lTotal == 0xFFFFFFFFFFFFFFFFull;
    QByteArray b;
    if (bNul)
        return b;
    for (;;) {
        const quint32 lMorceau = quint32(l.entier(4));
        if (lMorceau == 0 || l.erreur())
            break;
        b += l.octets(int(lMorceau));
    }
    return b;
}

QString texteUcs2(const QByteArray &b)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(b.constData()), b.size() / 2);
}

// Reads TYPE_INFO and the value of one parameter.
bool litValeur(Lecteur &l, ParametreRpc &p)
{
    const int type = int(l.entier(1));
    switch (type) {
    case 0x30: fixeEntier(p, qint64(l.entier(1))); return true;               // INT1
    case 0x32: fixeEntier(p, qint64(l.entier(1))); return true;               // BIT
    case 0x34: fixeEntier(p, qint16(l.entier(2))); return true;               // INT2
    case 0x38: fixeEntier(p, qint32(l.entier(4))); return true;               // INT4
    case 0x7F: fixeEntier(p, qint64(l.entier(8))); return true;               // INT8
    case 0x3E: { const quint64 b = l.entier(8); double d; std::memcpy(&d, &b, 8); fixeReel(p, d); return true; }
    case 0x3D: { const qint64 j = qint32(l.entier(4)); fixeDate(p, j, l.entier(4)); return true; }
    case 0x26: case 0x68: case 0x6D: case 0x6F: case 0x6E: {                  // INTN BITN FLTN DATETIMN MONEYN
        l.entier(1);
        const int n = int(l.entier(1));
        if (n == 0)
            return !l.erreur();
        if (type == 0x6D) {
            const quint64 b = l.entier(n);
            if (n == 8) { double d; std::memcpy(&d, &b, 8); fixeReel(p, d); }
            else { const quint32 b4 = quint32(b); float f; std::memcpy(&f, &b4, 4); fixeReel(p, f); }
        } else if (type == 0x6F) {
            if (n == 8) { const qint64 j = qint32(l.entier(4)); fixeDate(p, j, l.entier(4)); }
            else { const qint64 j = quint16(l.entier(2)); fixeDate(p, j, l.entier(2) * 60 * 300); }
        } else if (type == 0x6E) {
            qint64 v = n == 8 ? qint64((l.entier(4) << 32) | l.entier(4)) : qint32(l.entier(4));
            fixeReel(p, double(v) / 10000.0);
        } else {
            const quint64 b = l.entier(n);
            const qint64 v = n == 1 ? qint64(quint8(b)) : n == 2 ? qint64(qint16(b)) : n == 4 ? qint64(qint32(b)) : qint64(b);
            fixeEntier(p, v);
        }
        return !l.erreur();
    }
    case 0x6A: case 0x6C: {                                                   // DECIMALN NUMERICN
        l.entier(1);
        l.entier(1);
        const int echelle = int(l.entier(1));
        const int n = int(l.entier(1));
        if (n == 0)
            return !l.erreur();
        const bool bPositif = l.entier(1) == 1;
        const quint64 v = l.entier(std::min(n - 1, 8));
        if (n - 1 > 8)
            l.octets(n - 1 - 8);
        double d = double(v);
        for (int i = 0; i < echelle; ++i)
            d /= 10.0;
        fixeReel(p, bPositif ? d : -d);
        return !l.erreur();
    }
    case 0xE7: case 0xEF: case 0xA7: case 0xAF: case 0xA5: case 0xAD: {       // (N)VAR/CHAR, VARBINARY, BINARY
        const int lMax = int(l.entier(2));
        const bool bTexte = type != 0xA5 && type != 0xAD;
        if (bTexte)
            l.octets(5);
        const bool bLarge = type == 0xE7 || type == 0xEF;
        QByteArray b;
        bool bNul = false;
        if (lMax == 0xFFFF) {
            b = litPlp(l, bNul);
        } else {
            const int n = int(l.entier(2));
            bNul = n == 0xFFFF;
            if (!bNul)
                b = l.octets(n);
        }
        if (!bNul) {
            if (!bTexte) {
                p.bNul = false;
                p.sLitteral = litteralOctets(b);
            } else {
                fixeTexte(p, bLarge ? texteUcs2(b) : QString::fromLatin1(b));
            }
        }
        return !l.erreur();
    }
    case 0x63: case 0x23: case 0x22: {                                        // NTEXT TEXT IMAGE
        l.entier(4);
        if (type != 0x22)
            l.octets(5);
        const qint64 n = qint32(l.entier(4));
        if (n >= 0) {
            const QByteArray b = l.octets(int(n));
            if (type == 0x22) { p.bNul = false; p.sLitteral = litteralOctets(b); }
            else fixeTexte(p, type == 0x63 ? texteUcs2(b) : QString::fromLatin1(b));
        }
        return !l.erreur();
    }
    default:
        return false;
    }
}
}

AppelRpc DecodeAppelRpc(const QByteArray &contenu, int lDebut)
{
    static const QHash<int, QString> numeros{
        {1, QStringLiteral("sp_cursor")}, {2, QStringLiteral("sp_cursoropen")}, {3, QStringLiteral("sp_cursorprepare")},
        {4, QStringLiteral("sp_cursorexecute")}, {5, QStringLiteral("sp_cursorprepexec")},
        {6, QStringLiteral("sp_cursorunprepare")}, {7, QStringLiteral("sp_cursorfetch")},
        {8, QStringLiteral("sp_cursoroption")}, {9, QStringLiteral("sp_cursorclose")},
        {10, QStringLiteral("sp_executesql")}, {11, QStringLiteral("sp_prepare")}, {12, QStringLiteral("sp_execute")},
        {13, QStringLiteral("sp_prepexec")}, {14, QStringLiteral("sp_prepexecrpc")}, {15, QStringLiteral("sp_unprepare")}};
    AppelRpc appel;
    Lecteur l(contenu, lDebut);
    const int lNom = int(l.entier(2));
    if (lNom == 0xFFFF) {
        const int lNumero = int(l.entier(2));
        appel.sProcedure = numeros.value(lNumero, QStringLiteral("#%1").arg(lNumero));
    } else {
        appel.sProcedure = l.ucs2(lNom).toLower();
    }
    l.entier(2); // option flags
    while (!l.fin() && !l.erreur()) {
        ParametreRpc p;
        p.sNom = l.ucs2(int(l.entier(1)));
        p.bSortie = (l.entier(1) & 0x01) != 0;
        p.sLitteral = QStringLiteral("NULL");
        if (!litValeur(l, p))
            return appel;
        appel.parametres << p;
    }
    appel.bValide = !l.erreur();
    return appel;
}

QString RemplaceParametres(const QString &sInstruction, const QString &sDeclarations,
                           const QVector<ParametreRpc> &valeurs)
{
    static const QRegularExpression declaration(QStringLiteral("(@\\w+)"));
    QStringList noms;
    auto it = declaration.globalMatch(sDeclarations);
    while (it.hasNext())
        noms << it.next().captured(1).toLower();
    QHash<QString, QString> litteraux;
    for (int i = 0; i < valeurs.size(); ++i) {
        const QString nom = !valeurs.at(i).sNom.isEmpty() ? valeurs.at(i).sNom.toLower() : noms.value(i);
        if (!nom.isEmpty())
            litteraux.insert(nom, valeurs.at(i).sLitteral);
    }
    QString resultat;
    for (const JetonSql &j : DecoupeJetons(sInstruction)) {
        if (j.genre == JetonSql::Variable && litteraux.contains(j.sTexte.toLower()))
            resultat += litteraux.value(j.sTexte.toLower());
        else
            resultat += j.sTexte;
    }
    return resultat;
}
