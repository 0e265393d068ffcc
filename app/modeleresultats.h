#pragma once
#include "bloclignes.h"

#include <QAbstractTableModel>
#include <vector>

/// One result set for its grid: the blocks of rows the session read, never
/// copied into items. A value longer than the cell shows is cut in the
/// display only; ValeurComplete gives all of it.
class ModeleResultats : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ModeleResultats(const QVector<ColonneResultat> &colonnes, QObject *parent = nullptr);

    void AjouteBloc(const BlocPartage &bloc);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// Returns the whole value as text, "NULL" for NULL.
    QString ValeurComplete(int lLigne, int lColonne) const;
    bool EstNul(int lLigne, int lColonne) const;
    QString NomColonne(int lColonne) const { return m_colonnes.value(lColonne).sNom; }
    /// Returns the bytes the rows take.
    qint64 Octets() const;

    /// Characters a cell shows of a longer value.
    static constexpr int kCaracteresAffiches = 1024;

private:
    // The block holding a row, and the row's place in it.
    std::pair<const BlocLignes *, int> Place(int lLigne) const;

    QVector<ColonneResultat> m_colonnes;
    std::vector<BlocPartage> m_blocs;
    std::vector<int> m_debuts;  ///< first row of each block
    int m_lLignes = 0;
};
