#include "imagelist.h"

#include <stdexcept>

ImageList *ilsIconesCourantes = nullptr;

// Outside any namespace: the macro declares a function of the global one.
static void ChargeRessourcesIcones()
{
    Q_INIT_RESOURCE(icones);
}

namespace {

QVector<QIcon> ChargeJeu(const QString &sDossier)
{
    ChargeRessourcesIcones();
    QVector<QIcon> icones;
    for (const QString &cle : ImageList::Cles())
        icones.append(QIcon(QStringLiteral(":/icones/%1/%2.png").arg(sDossier, cle)));
    return icones;
}

} // namespace

ImageList::ImageList(const QString &sNom, const QVector<QIcon> &icones)
    : m_nom(sNom), m_icones(icones)
{
}

int ImageList::IndexCourant(const QString &sCle)
{
    try {
        return ilsIconesCourantes ? ilsIconesCourantes->Index(sCle) : 0;
    } catch (const std::exception &) {
        return 0;
    }
}

int ImageList::Index(const QString &sCle) const
{
    // Catalogue type codes arrive as fixed-width text ("U ") and in any case;
    // no two keys differ only by case.
    const QStringList &cles = Cles();
    const QString cle = sCle.trimmed();
    for (int i = 0; i < cles.size() && i < m_icones.size(); ++i)
        if (cles.at(i).compare(cle, Qt::CaseInsensitive) == 0)
            return i + 1;
    throw std::out_of_range("no image under key " + sCle.toStdString());
}

QIcon ImageList::Icone(int lIndex) const
{
    if (lIndex < 1 || lIndex > m_icones.size())
        return QIcon();
    return m_icones.at(lIndex - 1);
}

const QStringList &ImageList::Cles()
{
    static const QStringList cles = {
        QStringLiteral("serveurs"),     QStringLiteral("bases"),        QStringLiteral("U"),
        QStringLiteral("V"),            QStringLiteral("colonnes"),     QStringLiteral("declencheurs"),
        QStringLiteral("procstockees"), QStringLiteral("FN"),           QStringLiteral("S"),
        QStringLiteral("jointures")};
    return cles;
}

ImageList *ImageList::Icones2000()
{
    static ImageList jeu(QStringLiteral("ilsIcones2000"), ChargeJeu(QStringLiteral("2000")));
    return &jeu;
}

ImageList *ImageList::Icones2005()
{
    static ImageList jeu(QStringLiteral("ilsIcones2005"), ChargeJeu(QStringLiteral("2005")));
    return &jeu;
}
