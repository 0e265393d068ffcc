#pragma once
#include <QAbstractListModel>
#include <QSize>
#include <QVector>

#include "sourcecatalogue.h"

class ImageList;

/// The rows of the proposal list: each proposal with the 1-based index of its
/// icon in the current set. The view asks for the rows it draws only, so a
/// list of thousands of names costs one pass to fill.
class ModelePropositions : public QAbstractListModel
{
    Q_OBJECT
public:
    /// Data roles beside the displayed text and icon.
    enum Roles { RoleIcone = Qt::UserRole + 1, RoleNom, RoleProprietaire };

    using QAbstractListModel::QAbstractListModel;

    /// Replaces the rows; a row whose name is already listed (ignoring case)
    /// or whose icon key is not in the set is left out. Returns the count.
    int Remplit(const QVector<LigneProposition> &lignes, const ImageList *jeu);
    /// Draws the icons from another set (or none), keeping each row's index.
    void SetImageList(const ImageList *jeu);
    /// The size of every row.
    void SetTailleLigne(const QSize &taille);

    const LigneProposition &Ligne(int lRang) const { return m_lignes.at(lRang); }
    const QVector<LigneProposition> &Lignes() const { return m_lignes; }
    int Icone(int lRang) const { return m_icones.at(lRang); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QVector<LigneProposition> m_lignes;
    QVector<int> m_icones;
    const ImageList *m_jeu = nullptr;
    QSize m_tailleLigne;
};
