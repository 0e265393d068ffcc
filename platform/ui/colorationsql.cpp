#include "colorationsql.h"
#include "piecescolorees.h"

#include <QPalette>
#include <QTextDocument>
#include <QTextLayout>

namespace {

// What a line was coloured from: the state it started in, its contents
// revision and the palette; the same three need no new colouring.
struct MarqueColoration : QTextBlockUserData {
    int lEtatDebut = -1;
    int lEtatFin = 0;
    int lRevision = -1;
    int lGeneration = 0;
    bool bColore = false;
};

// A hue at a lightness that reads on the palette's base colour.
QColor Teinte(const QPalette &p, int lTeinte, double dSaturation)
{
    const bool bFondSombre = p.color(QPalette::Base).lightnessF() < 0.5;
    return QColor::fromHslF(lTeinte / 360.0, dSaturation, bFondSombre ? 0.72 : 0.34);
}

// Between the text and the base colours: a comment is read less than code.
QColor Mi(const QColor &a, const QColor &b, double t)
{
    return QColor::fromRgbF(a.redF() * (1 - t) + b.redF() * t, a.greenF() * (1 - t) + b.greenF() * t,
                            a.blueF() * (1 - t) + b.blueF() * t);
}

} // namespace

ColorationSql::ColorationSql(QTextDocument *document, QObject *parent) : QObject(parent), m_document(document)
{
    connect(document, &QTextDocument::contentsChange, this, &ColorationSql::DocumentChange);
}

void ColorationSql::DefinitPalette(const QPalette &p)
{
    const QColor commentaire = Mi(Teinte(p, 120, 0.55), p.color(QPalette::Text), 0.15);
    const QColor couleurs[8] = {
        Teinte(p, 222, 0.85), // MotCle
        Teinte(p, 2, 0.75),   // Chaine
        commentaire,          // Commentaire
        Teinte(p, 185, 0.8),  // Nombre
        Teinte(p, 290, 0.45), // NomEncadre
        Teinte(p, 28, 0.85),  // Variable
        Teinte(p, 48, 0.9),   // Temporaire
        Teinte(p, 322, 0.8),  // Go
    };
    for (int i = 0; i < 8; ++i) {
        m_formats[i] = QTextCharFormat();
        m_formats[i].setForeground(couleurs[i]);
    }
    ++m_generation;
}

void ColorationSql::DocumentChange(int lPosition, int, int)
{
    QTextBlock bloc = m_document->findBlock(lPosition);
    if (!bloc.isValid())
        bloc = m_document->lastBlock();
    m_blocsValides = qMin(m_blocsValides, bloc.blockNumber());
}

EtatLecture ColorationSql::ColoreBloc(QTextBlock bloc, const EtatLecture &etatDebut, bool bAvecCouleurs)
{
    auto *marque = static_cast<MarqueColoration *>(bloc.userData());
    const int lEtatDebut = CodeEtat(etatDebut);
    const bool bMemeTexte = marque && marque->lEtatDebut == lEtatDebut && marque->lRevision == bloc.revision();
    if (bMemeTexte && (!bAvecCouleurs || (marque->bColore && marque->lGeneration == m_generation))) {
        bloc.setUserState(marque->lEtatFin);
        return EtatDuCode(marque->lEtatFin);
    }
    const QString texte = bloc.text();
    std::vector<PieceColoree> pieces;
    const bool bCouleurs = bAvecCouleurs && texte.size() <= kLongueurMaxColoree;
    const EtatLecture fin = ColoreLigne(texte, etatDebut, bCouleurs ? &pieces : nullptr);
    if (!marque) {
        marque = new MarqueColoration;
        bloc.setUserData(marque);
    }
    if (bAvecCouleurs) {
        QList<QTextLayout::FormatRange> plages;
        plages.reserve(int(pieces.size()));
        for (const PieceColoree &piece : pieces)
            plages.append(QTextLayout::FormatRange{piece.lDebut, piece.lLongueur, m_formats[int(piece.genre)]});
        if (!plages.isEmpty() || !bloc.layout()->formats().isEmpty()) {
            bloc.layout()->setFormats(plages);
            // The formats mark the line as changed until the next edit, which
            // would then take every line between the two for changed; the line
            // is laid out again now, as it is about to be drawn anyway.
            m_document->markContentsDirty(bloc.position(), bloc.length());
        }
        marque->bColore = true;
        marque->lGeneration = m_generation;
    } else if (!bMemeTexte) {
        marque->bColore = false;
    }
    marque->lEtatDebut = lEtatDebut;
    marque->lEtatFin = CodeEtat(fin);
    marque->lRevision = bloc.revision();
    bloc.setUserState(marque->lEtatFin);
    return fin;
}

void ColorationSql::LitEtatsJusqua(int lNumeroBloc)
{
    if (m_blocsValides >= lNumeroBloc)
        return;
    QTextBlock bloc = m_document->findBlockByNumber(m_blocsValides);
    EtatLecture etat = bloc.previous().isValid() ? EtatDuCode(bloc.previous().userState()) : EtatLecture();
    for (; bloc.isValid() && m_blocsValides < lNumeroBloc; bloc = bloc.next(), ++m_blocsValides)
        etat = ColoreBloc(bloc, etat, false);
}

EtatLecture ColorationSql::EtatAvant(const QTextBlock &bloc)
{
    if (!bloc.isValid() || !bloc.previous().isValid())
        return EtatLecture();
    LitEtatsJusqua(bloc.blockNumber());
    return EtatDuCode(bloc.previous().userState());
}

void ColorationSql::ColoreBlocs(const QTextBlock &premier, int lLignes)
{
    if (!premier.isValid())
        return;
    EtatLecture etat = EtatAvant(premier);
    int lNumero = premier.blockNumber();
    int lLignesVues = 0;
    for (QTextBlock bloc = premier; bloc.isValid() && lLignesVues <= lLignes; bloc = bloc.next(), ++lNumero) {
        etat = ColoreBloc(bloc, etat, true);
        if (m_blocsValides == lNumero)
            m_blocsValides = lNumero + 1;
        lLignesVues += qMax(1, bloc.lineCount());
    }
}

void ColorationSql::Retire()
{
    for (QTextBlock bloc = m_document->begin(); bloc.isValid(); bloc = bloc.next()) {
        if (!bloc.layout()->formats().isEmpty())
            bloc.layout()->clearFormats();
        bloc.setUserData(nullptr);
        bloc.setUserState(-1);
    }
    m_blocsValides = 0;
}
