#include "modeleresultats.h"

#include <QColor>
#include <QFont>
#include <algorithm>

ModeleResultats::ModeleResultats(const QVector<ColonneResultat> &colonnes, QObject *parent)
    : QAbstractTableModel(parent), m_colonnes(colonnes)
{
}

void ModeleResultats::AjouteBloc(const BlocPartage &bloc)
{
    if (!bloc || bloc->Lignes() == 0)
        return;
    beginInsertRows(QModelIndex(), m_lLignes, m_lLignes + bloc->Lignes() - 1);
    m_blocs.push_back(bloc);
    m_debuts.push_back(m_lLignes);
    m_lLignes += bloc->Lignes();
    endInsertRows();
}

int ModeleResultats::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_lLignes;
}

int ModeleResultats::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_colonnes.size());
}

std::pair<const BlocLignes *, int> ModeleResultats::Place(int lLigne) const
{
    const auto it = std::upper_bound(m_debuts.begin(), m_debuts.end(), lLigne);
    const size_t i = size_t(it - m_debuts.begin()) - 1;
    return {m_blocs[i].data(), lLigne - m_debuts[i]};
}

bool ModeleResultats::EstNul(int lLigne, int lColonne) const
{
    const auto [bloc, l] = Place(lLigne);
    return bloc->EstNul(l, lColonne);
}

QString ModeleResultats::ValeurComplete(int lLigne, int lColonne) const
{
    const auto [bloc, l] = Place(lLigne);
    return bloc->EstNul(l, lColonne) ? QStringLiteral("NULL") : bloc->Valeur(l, lColonne).toString();
}

QVariant ModeleResultats::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lLignes || index.column() >= m_colonnes.size())
        return QVariant();
    const auto [bloc, l] = Place(index.row());
    const bool bNul = bloc->EstNul(l, index.column());
    switch (role) {
    case Qt::DisplayRole: {
        if (bNul)
            return QStringLiteral("NULL");
        const QStringView v = bloc->Valeur(l, index.column());
        if (v.size() <= kCaracteresAffiches)
            return v.toString();
        return v.left(kCaracteresAffiches).toString() + QChar(0x2026);
    }
    case Qt::ToolTipRole:
        return bNul ? QVariant() : QVariant(bloc->Valeur(l, index.column()).left(kCaracteresAffiches).toString());
    case Qt::FontRole: {
        // A NULL reads apart from the text 'NULL'.
        if (!bNul)
            return QVariant();
        QFont police;
        police.setItalic(true);
        return police;
    }
    case Qt::ForegroundRole:
        return bNul ? QVariant(QColor(Qt::gray)) : QVariant();
    case Qt::BackgroundRole:
        return bNul ? QVariant(QColor(255, 255, 225)) : QVariant();
    case Qt::TextAlignmentRole:
        return m_colonnes.at(index.column()).genre == GenreColonne::Nombre
                   ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                   : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return QVariant();
    }
}

QVariant ModeleResultats::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return m_colonnes.value(section).sNom;
    return section + 1;
}

qint64 ModeleResultats::Octets() const
{
    qint64 lOctets = 0;
    for (const BlocPartage &b : m_blocs)
        lOctets += b->Octets();
    return lOctets;
}
