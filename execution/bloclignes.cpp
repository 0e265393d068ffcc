#include "bloclignes.h"

void BlocLignes::AjouteValeur(QStringView valeur)
{
    m_texte.append(valeur);
    m_fins.push_back(quint32(m_texte.size()));
    m_nuls.push_back(false);
}

void BlocLignes::AjouteNul()
{
    m_fins.push_back(quint32(m_texte.size()));
    m_nuls.push_back(true);
}

void BlocLignes::Compacte()
{
    m_texte.squeeze();
    m_fins.shrink_to_fit();
    m_nuls.shrink_to_fit();
}

QStringView BlocLignes::Valeur(int lLigne, int lColonne) const
{
    const size_t i = Cellule(lLigne, lColonne);
    const quint32 lDebut = i == 0 ? 0 : m_fins[i - 1];
    return QStringView(m_texte).mid(lDebut, m_fins[i] - lDebut);
}

qint64 BlocLignes::Octets() const
{
    return qint64(m_texte.capacity()) * 2 + qint64(m_fins.capacity()) * 4 + qint64(m_nuls.capacity() / 8);
}
