#include "pliagelignes.h"

#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

constexpr int kProprieteSuite = QTextFormat::UserProperty + 1;
const QChar kSeparateurParagraphe(0x2029);

QTextBlockFormat FormatSuite()
{
    QTextBlockFormat f;
    f.setProperty(kProprieteSuite, true);
    return f;
}

// Where a piece ending near lFin should end: after the last blank of its last
// few hundred characters, so that words stay whole for the colours and the
// word at the caret; never between the two halves of a surrogate pair.
qsizetype Coupure(QStringView ligne, qsizetype lDebut, qsizetype lFin)
{
    for (qsizetype i = lFin; i > lDebut && i > lFin - 512; --i) {
        const QChar c = ligne.at(i - 1);
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char(','))
            return i;
    }
    if (lFin - 1 > lDebut && ligne.at(lFin - 1).isHighSurrogate())
        return lFin - 1;
    return lFin;
}

// sSource with each paragraph mark written as sSaut: the runs between marks
// are found and copied whole.
QString AvecSauts(const QString &sSource, QStringView sSaut)
{
    const qsizetype lSauts = sSource.count(kSeparateurParagraphe);
    if (lSauts == 0)
        return sSource;
    QString s(sSource.size() + lSauts * (sSaut.size() - 1), Qt::Uninitialized);
    QChar *sortie = s.data();
    const QStringView source(sSource);
    for (qsizetype lDebut = 0;;) {
        qsizetype p = source.indexOf(kSeparateurParagraphe, lDebut);
        const qsizetype lFin = p < 0 ? source.size() : p;
        std::copy(source.begin() + lDebut, source.begin() + lFin, sortie);
        sortie += lFin - lDebut;
        if (p < 0)
            break;
        sortie = std::copy(sSaut.begin(), sSaut.end(), sortie);
        lDebut = p + 1;
    }
    return s;
}

} // namespace

PliageLignes::PliageLignes(QTextDocument *document) : QObject(document), m_document(document)
{
    connect(document, &QTextDocument::contentsChange, this, &PliageLignes::Change);
}

bool PliageLignes::EstSuite(const QTextBlock &bloc)
{
    return bloc.isValid() && bloc.blockFormat().boolProperty(kProprieteSuite);
}

void PliageLignes::Ecrit(QTextCursor &curseur, const QString &sTexte)
{
    if (curseur.hasSelection())
        curseur.removeSelectedText();
    const qsizetype n = sTexte.size();
    // Lines that fit are written in runs (all at once when none is long);
    // each long one piece by piece.
    qsizetype lCourtes = 0;
    for (qsizetype i = 0;;) {
        qsizetype j = sTexte.indexOf(QLatin1Char('\n'), i);
        if (j < 0)
            j = n;
        if ((i == 0 ? curseur.positionInBlock() : 0) + (j - i) > kLongueurMaxEntiere) {
            EcritLignesCourtes(curseur, sTexte, lCourtes, i);
            EcritLigne(curseur, QStringView(sTexte).mid(i, j - i));
            lCourtes = j;
        }
        if (j == n)
            break;
        i = j + 1;
    }
    EcritLignesCourtes(curseur, sTexte, lCourtes, n);
}

// New blocks take the format of the block the cursor is in: after a
// continuation, the first line break is written as a plain block.
void PliageLignes::EcritLignesCourtes(QTextCursor &curseur, const QString &sTexte, qsizetype lDebut, qsizetype lFin)
{
    if (lDebut >= lFin)
        return;
    if (EstSuite(curseur.block())) {
        const qsizetype k = sTexte.indexOf(QLatin1Char('\n'), lDebut);
        if (k >= 0 && k < lFin) {
            if (k > lDebut)
                curseur.insertText(sTexte.mid(lDebut, k - lDebut));
            curseur.insertBlock(QTextBlockFormat());
            lDebut = k + 1;
        }
    }
    if (lDebut < lFin)
        curseur.insertText(lDebut == 0 && lFin == sTexte.size() ? sTexte : sTexte.mid(lDebut, lFin - lDebut));
}

void PliageLignes::EcritLigne(QTextCursor &curseur, QStringView ligne)
{
    // From now on every change is followed; what came before is counted whole.
    if (!m_bActif) {
        m_bActif = true;
        Invalide();
    }
    for (qsizetype k = 0; k < ligne.size();) {
        const qsizetype lPlace = kLongueurPiece - curseur.positionInBlock();
        if (lPlace <= 0) {
            curseur.insertBlock(FormatSuite());
            continue;
        }
        const qsizetype lFin = ligne.size() - k <= lPlace ? ligne.size() : Coupure(ligne, k, k + lPlace);
        curseur.insertText(ligne.mid(k, lFin - k).toString());
        k = lFin;
        if (k < ligne.size())
            curseur.insertBlock(FormatSuite());
    }
}

// Typing inside one block leaves the blocks and their marks as they were;
// anything else is counted again, from the block where it happened, when
// next asked: the blocks before it kept their numbers and their marks.
void PliageLignes::Change(int lPosition, int, int lAjoutes)
{
    if (!m_bActif)
        return;
    const QTextBlock debut = m_document->findBlock(lPosition);
    if (m_bAJour && m_document->blockCount() == m_lBlocsReleves && debut == m_document->findBlock(lPosition + lAjoutes))
        return;
    Invalide(debut.isValid() ? debut.blockNumber() - 1 : 0);
}

void PliageLignes::Invalide(int lDepuisBloc)
{
    m_bAJour = false;
    m_lBlocsValides = qBound(0, lDepuisBloc, m_lBlocsValides);
}

void PliageLignes::Releve() const
{
    m_suites.erase(std::lower_bound(m_suites.begin(), m_suites.end(), m_lBlocsValides), m_suites.end());
    // Nearly every block has one of two formats: their indexes answer without
    // building the format.
    int lIndexSimple = -1, lIndexSuite = -1;
    int n = m_lBlocsValides;
    for (QTextBlock b = m_document->findBlockByNumber(n); b.isValid(); b = b.next(), ++n) {
        const int lIndex = b.blockFormatIndex();
        if (lIndex == lIndexSimple)
            continue;
        if (lIndex != lIndexSuite) {
            if (!EstSuite(b)) {
                lIndexSimple = lIndex;
                continue;
            }
            lIndexSuite = lIndex;
        }
        m_suites.push_back(n);
    }
    m_lBlocsReleves = m_document->blockCount();
    m_lBlocsValides = m_lBlocsReleves;
    m_bAJour = true;
}

int PliageLignes::SuitesJusqua(int lNumeroBloc) const
{
    if (!m_bActif)
        return 0;
    if (!m_bAJour)
        Releve();
    return int(std::upper_bound(m_suites.begin(), m_suites.end(), lNumeroBloc) - m_suites.begin());
}

QTextBlock PliageLignes::BlocDeLaLigne(int lLigne) const
{
    const int lDernier = m_document->blockCount() - 1;
    if (!m_bActif)
        return m_document->findBlockByNumber(qBound(0, lLigne, lDernier));
    // The first block whose line is at least lLigne: line numbers never go
    // down from one block to the next.
    int bas = 0, haut = lDernier;
    while (bas < haut) {
        const int milieu = (bas + haut) / 2;
        if (LigneDuBloc(milieu) >= lLigne)
            haut = milieu;
        else
            bas = milieu + 1;
    }
    return m_document->findBlockByNumber(bas);
}

int PliageLignes::NombreLignes() const
{
    const int lBlocs = m_document->blockCount();
    return lBlocs - SuitesJusqua(lBlocs - 1);
}

QString PliageLignes::TexteEntre(int lDebut, int lFin, QStringView sSaut) const
{
    if (!m_bActif) {
        if (lDebut == 0 && lFin >= m_document->characterCount() - 1)
            return AvecSauts(m_document->toRawText(), sSaut);
        QTextCursor c(m_document);
        c.setPosition(lDebut);
        c.setPosition(lFin, QTextCursor::KeepAnchor);
        return AvecSauts(c.selectedText(), sSaut);
    }
    // Read block by block: a folded text can be large, and a raw copy of it
    // would only double what the text takes for as long as it is read.
    QString sTexte;
    sTexte.reserve(qsizetype(lFin - lDebut) + (sSaut.size() - 1) * qsizetype(m_document->blockCount()));
    for (QTextBlock b = m_document->findBlock(lDebut); b.isValid(); b = b.next()) {
        const int d = qMax(lDebut, b.position()) - b.position();
        const int f = qMin(lFin, b.position() + b.length() - 1) - b.position();
        if (f > d)
            sTexte.append(QStringView(b.text()).mid(d, f - d));
        const QTextBlock suivant = b.next();
        if (!suivant.isValid() || suivant.position() > lFin)
            break;
        if (!EstSuite(suivant))
            sTexte.append(sSaut);
    }
    return sTexte;
}
