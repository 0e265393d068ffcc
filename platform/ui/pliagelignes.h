#pragma once
#include <QObject>
#include <QString>
#include <QStringView>
#include <QTextBlock>
#include <vector>

class QTextCursor;
class QTextDocument;

/// Very long lines, kept in the document as several blocks.
///
/// A text line is laid out whole whenever any of it is shown, and drawn whole
/// however little of it is in view: a line of megabytes would take seconds and
/// hundreds of megabytes each time. A line written longer than
/// kLongueurMaxEntiere is therefore held as pieces of at most kLongueurPiece
/// characters; every piece after the first is a block marked as continuing
/// the line above it, and the break before it is not part of the text. The
/// mark is a block format property, so undo and redo keep it with the text.
///
/// This class writes text that way and counts the continuation blocks, so
/// that offsets, line numbers and the text itself can leave out the breaks
/// that are not in the text.
class PliageLignes : public QObject
{
    Q_OBJECT
public:
    static constexpr int kLongueurMaxEntiere = 4000;
    static constexpr int kLongueurPiece = 1000;

    explicit PliageLignes(QTextDocument *document);

    /// True when the block continues the line of the block above it.
    static bool EstSuite(const QTextBlock &bloc);
    /// Writes sTexte (line breaks as "\n") at the cursor, folding what would
    /// make a line longer than a piece; new lines are never continuations.
    void Ecrit(QTextCursor &curseur, const QString &sTexte);

    /// False while the document cannot hold any continuation block: the
    /// counts below are then all zero and cost nothing.
    bool Actif() const { return m_bActif; }
    /// The document's history was emptied and its text replaced: only what is
    /// written from now on can fold.
    void Reinitialise()
    {
        m_bActif = false;
        Invalide();
    }

    /// Continuation blocks among the blocks numbered 0 to lNumeroBloc.
    int SuitesJusqua(int lNumeroBloc) const;
    /// 0-based text line of that block.
    int LigneDuBloc(int lNumeroBloc) const { return lNumeroBloc - SuitesJusqua(lNumeroBloc); }
    /// The first block of that 0-based text line (clamped to the text).
    QTextBlock BlocDeLaLigne(int lLigne) const;
    /// Number of text lines.
    int NombreLignes() const;

    /// The text between two document positions, each break of the text
    /// written as sSaut and the breaks of folded lines left out.
    QString TexteEntre(int lDebut, int lFin, QStringView sSaut) const;

private:
    void Change(int lPosition, int lRetires, int lAjoutes);
    void Invalide(int lDepuisBloc = 0);
    void Releve() const;
    void EcritLigne(QTextCursor &curseur, QStringView ligne);
    void EcritLignesCourtes(QTextCursor &curseur, const QString &sTexte, qsizetype lDebut, qsizetype lFin);

    QTextDocument *m_document;
    bool m_bActif = false;
    mutable bool m_bAJour = false;
    mutable int m_lBlocsReleves = 0;   ///< the document's block count when last counted
    mutable int m_lBlocsValides = 0;   ///< the blocks before this one are counted right
    mutable std::vector<int> m_suites; ///< numbers of the continuation blocks, ascending
};
