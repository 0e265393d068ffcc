#include "modelepropositions.h"
#include "imagelist.h"

#include <QHash>
#include <optional>
#include <vector>

namespace {

// Icon indexes by catalogue key: a list of thousands of rows holds only a
// handful of kinds.
class IndexIcones
{
public:
    explicit IndexIcones(const ImageList *jeu) : m_jeu(jeu) {}
    int Index(const QString &sCle)
    {
        // Rows of one kind follow each other and share their key.
        if (m_bDerniere && sCle.constData() == m_sDerniere.constData() && sCle.size() == m_sDerniere.size())
            return m_lDerniere;
        m_bDerniere = true;
        m_sDerniere = sCle;
        m_lDerniere = Cherche(sCle);
        return m_lDerniere;
    }

private:
    int Cherche(const QString &sCle)
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

    const ImageList *m_jeu;
    QHash<QString, int> m_indexes;
    QString m_sDerniere;
    int m_lDerniere = 0;
    bool m_bDerniere = false;
};

// The names already listed, letter case aside. A list of a hundred thousand
// names is checked without a lower-cased copy of each: ASCII names (nearly
// all catalogue names) are hashed lower-cased on the fly, and a lower-cased
// copy is made only for the others and when two hashes meet.
class NomsVus
{
public:
    // Every name is hashed first, in one pass: the probes of the table then
    // follow each other without the hashing between them, and the processor
    // overlaps their cache misses (the table of a long list is larger than
    // its caches).
    explicit NomsVus(const QVector<LigneProposition> &lignes)
    {
        size_t lCases = 16;
        while (lCases < size_t(lignes.size()) * 2)
            lCases *= 2;
        m_cases.assign(lCases, -1);
        m_hachages.resize(size_t(lignes.size()));
        for (qsizetype i = 0; i < lignes.size(); ++i)
            m_hachages[size_t(i)] = Hachage(lignes.at(i));
    }
    /// False when a listed name equals this one, letter case aside; else
    /// notes it as listed number lRang.
    bool Ajoute(const QVector<LigneProposition> &lignes, int lRang)
    {
        const LigneProposition &ligne = lignes.at(lRang);
        const size_t lHachage = m_hachages[size_t(lRang)];
        const size_t lMasque = m_cases.size() - 1;
        for (size_t i = lHachage & lMasque;; i = (i + 1) & lMasque) {
            const int lAutre = m_cases[i];
            if (lAutre < 0) {
                m_cases[i] = lRang;
                return true;
            }
            if (m_hachages[size_t(lAutre)] == lHachage
                && lignes.at(lAutre).Affichage().toLower() == ligne.Affichage().toLower())
                return false;
        }
    }

private:
    static size_t Hachage(const LigneProposition &ligne)
    {
        size_t h = 1469598103934665603ULL;
        const auto ajoute = [&h](char16_t c) {
            h = (h ^ c) * 1099511628211ULL;
        };
        const auto ajouteAscii = [&](QStringView texte) {
            for (const QChar c : texte) {
                const char16_t u = c.unicode();
                if (u >= 0x80)
                    return false;
                ajoute(u >= 'A' && u <= 'Z' ? char16_t(u + ('a' - 'A')) : u);
            }
            return true;
        };
        bool bAscii = true;
        if (!ligne.sProprietaire.isEmpty()) {
            bAscii = ajouteAscii(ligne.sProprietaire);
            ajoute(u'.');
        }
        if (bAscii && ajouteAscii(ligne.sNom))
            return h ^ (h >> 29);
        h = 1469598103934665603ULL;
        for (const QChar c : ligne.Affichage().toLower())
            ajoute(c.unicode());
        return h ^ (h >> 29);
    }

    std::vector<int> m_cases;       ///< ranks of the listed names, -1 where free
    std::vector<size_t> m_hachages; ///< of every name, by rank
};

// Compares two ASCII names, letter case aside; nothing when either is not ASCII.
std::optional<int> CompareAscii(QStringView a, QStringView b)
{
    const auto minuscule = [](char16_t c) { return c >= 'A' && c <= 'Z' ? char16_t(c + ('a' - 'A')) : c; };
    const qsizetype n = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x >= 0x80 || y >= 0x80)
            return std::nullopt;
        if (minuscule(x) != minuscule(y))
            return minuscule(x) < minuscule(y) ? -1 : 1;
    }
    for (const QStringView reste : {a.mid(n), b.mid(n)}) {
        for (const QChar c : reste) {
            if (c.unicode() >= 0x80)
                return std::nullopt;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// True when the names, all ASCII and without owners, come in strictly
// increasing order letter case aside: then no two are equal. A catalogue
// list comes sorted by name, and this one pass over it costs much less than
// the table of the names seen.
bool DistinctsEnOrdre(const QVector<LigneProposition> &lignes)
{
    for (qsizetype i = 0; i < lignes.size(); ++i) {
        if (!lignes.at(i).sProprietaire.isEmpty())
            return false;
        if (i == 0)
            continue;
        const std::optional<int> ordre = CompareAscii(lignes.at(i - 1).sNom, lignes.at(i).sNom);
        if (!ordre || *ordre >= 0)
            return false;
    }
    return true;
}

} // namespace

int ModelePropositions::Remplit(const QVector<LigneProposition> &lignes, const ImageList *jeu)
{
    beginResetModel();
    m_jeu = jeu;
    m_icones.clear();
    m_icones.reserve(lignes.size());
    IndexIcones indexes(jeu);
    std::optional<NomsVus> vus;
    if (!DistinctsEnOrdre(lignes))
        vus.emplace(lignes);
    // The rows kept are flagged first: when all are (the usual case) the
    // model shares the caller's list instead of copying it row by row.
    std::vector<bool> gardees(size_t(lignes.size()), false);
    for (int i = 0; i < lignes.size(); ++i) {
        const LigneProposition &ligne = lignes.at(i);
        const int lIcone = indexes.Index(ligne.sCleIcone);
        // The first of equal names wins, letter case aside.
        if (lIcone < 1 || (vus && !vus->Ajoute(lignes, i)))
            continue;
        gardees[size_t(i)] = true;
        m_icones.append(lIcone);
    }
    if (m_icones.size() == lignes.size()) {
        m_lignes = lignes;
    } else {
        m_lignes.clear();
        m_lignes.reserve(m_icones.size());
        for (int i = 0; i < lignes.size(); ++i) {
            if (gardees[size_t(i)])
                m_lignes.append(lignes.at(i));
        }
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
