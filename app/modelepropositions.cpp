#include "modelepropositions.h"
#include "imagelist.h"

#include <QHash>
#include <QSet>

namespace {

// Icon indexes by catalogue key: a list of thousands of rows holds only a
// handful of kinds.
class IndexIcones
{
public:
    explicit IndexIcones(const ImageList *jeu) : m_jeu(jeu) {}
    int Index(const QString &sCle)
    {
        const auto trouve = m_indexes.constFind(sCle);
        if (trouve != m_indexes.constEnd())
            return trouve.value();
        int lIcone = 0;
        try {
            lIcone = m_jeu ? m_jeu->Index(sCle.trimmed()) : 0;
        } catch (const std::exception &) {
            lIcone = 0;
        }
        m_indexes.insert(sCle, lIcone);
        return lIcone;
    }

private:
    const ImageList *m_jeu;
    QHash<QString, int> m_indexes;
};

} // namespace

int ModelePropositions::Remplit(const QVector<LigneProposition> &lignes, const ImageList *jeu)
{
    beginResetModel();
    m_lignes.clear();
    m_icones.clear();
    m_lignes.reserve(lignes.size());
    m_icones.reserve(lignes.size());
    m_jeu = jeu;
    IndexIcones indexes(jeu);
    QSet<QString> cles;
    cles.reserve(lignes.size());
    for (const LigneProposition &ligne : lignes) {
        const int lIcone = indexes.Index(ligne.sCleIcone);
        if (lIcone < 1)
            continue;
        // The first of equal names wins, letter case aside.
        const qsizetype lAvant = cles.size();
        cles.insert(ligne.Affichage().toLower());
        if (cles.size() == lAvant)
            continue;
        m_lignes.append(ligne);
        m_icones.append(lIcone);
    }
    endResetModel();
    return int(m_lignes.size());
}

void ModelePropositions::SetImageList(const ImageList *jeu)
{
    m_jeu = jeu;
    if (!m_lignes.isEmpty())
        emit dataChanged(index(0), index(int(m_lignes.size()) - 1), {Qt::DecorationRole});
}

void ModelePropositions::SetTailleLigne(const QSize &taille)
{
    if (taille == m_tailleLigne)
        return;
    m_tailleLigne = taille;
    if (!m_lignes.isEmpty())
        emit dataChanged(index(0), index(int(m_lignes.size()) - 1), {Qt::SizeHintRole});
}

int ModelePropositions::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lignes.size());
}

QVariant ModelePropositions::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lignes.size())
        return QVariant();
    const int lRang = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return m_lignes.at(lRang).Affichage();
    case Qt::DecorationRole:
        return m_jeu ? m_jeu->Icone(m_icones.at(lRang)) : QIcon();
    case Qt::SizeHintRole:
        return m_tailleLigne.isValid() ? QVariant(m_tailleLigne) : QVariant();
    case RoleIcone:
        return m_icones.at(lRang);
    case RoleNom:
        return m_lignes.at(lRang).sNom;
    case RoleProprietaire:
        return m_lignes.at(lRang).sProprietaire;
    default:
        return QVariant();
    }
}

Qt::ItemFlags ModelePropositions::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}
