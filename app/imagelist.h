#pragma once
#include <QIcon>
#include <QString>
#include <QStringList>
#include <QVector>

/// A set of 16 x 16 icons under the keys "serveurs", "bases", "U", "V",
/// "colonnes", "declencheurs", "procstockees", "FN", "S", in that order, then
/// "jointures" (join conditions from foreign keys).
/// Indexes are 1-based, as the pickers and the popup list store them.
class ImageList
{
public:
    ImageList(const QString &sNom, const QVector<QIcon> &icones);

    /// 1-based index of the image under that key; throws std::out_of_range when absent.
    int Index(const QString &sCle) const;
    /// The image at a 1-based index (a null icon when out of range).
    QIcon Icone(int lIndex) const;
    int Count() const { return m_icones.size(); }
    QString Nom() const { return m_nom; }

    static const QStringList &Cles();
    /// 1-based index of a key in the current set; 0 when there is no current
    /// set or no such key.
    static int IndexCourant(const QString &sCle);
    /// The two sets, drawn for this program (bevelled and flat).
    static ImageList *Icones2000();
    static ImageList *Icones2005();

private:
    QString m_nom;
    QVector<QIcon> m_icones;
};

/// The current icon set of the whole program; none before start-up and after exit.
extern ImageList *ilsIconesCourantes;
