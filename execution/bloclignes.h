#pragma once
#include <QMetaType>
#include <QSharedPointer>
#include <QString>
#include <QStringView>
#include <QVector>
#include <vector>

/// How a column's values are shown: numbers are aligned right.
enum class GenreColonne { Texte, Nombre, Date, Binaire };

struct ColonneResultat {
    QString sNom;
    GenreColonne genre = GenreColonne::Texte;
};

/// Rows of one result set as their display texts, one cell after the other
/// in a single buffer: a million rows cost their characters and four bytes a
/// cell, never an object per cell. Filled by one thread, then handed over and
/// only read.
class BlocLignes
{
public:
    explicit BlocLignes(int lColonnes) : m_lColonnes(qMax(1, lColonnes)) {}

    void AjouteValeur(QStringView valeur);
    void AjouteNul();
    /// Frees the room reserved for growth once the block is full.
    void Compacte();

    int Colonnes() const { return m_lColonnes; }
    int Lignes() const { return int(m_fins.size() / size_t(m_lColonnes)); }
    bool EstNul(int lLigne, int lColonne) const { return m_nuls[Cellule(lLigne, lColonne)]; }
    /// The whole value (empty for NULL).
    QStringView Valeur(int lLigne, int lColonne) const;
    /// Returns the bytes the block holds.
    qint64 Octets() const;

private:
    size_t Cellule(int lLigne, int lColonne) const { return size_t(lLigne) * size_t(m_lColonnes) + size_t(lColonne); }
    int m_lColonnes;
    QString m_texte;
    std::vector<quint32> m_fins;
    std::vector<bool> m_nuls;
};

using BlocPartage = QSharedPointer<const BlocLignes>;
Q_DECLARE_METATYPE(BlocPartage)
Q_DECLARE_METATYPE(QVector<ColonneResultat>)
