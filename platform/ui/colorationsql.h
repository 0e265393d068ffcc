#pragma once
#include "lexique.h"

#include <QObject>
#include <QTextCharFormat>
#include <QTextBlock>

class QPalette;
class QTextDocument;

/// Colours the T-SQL pieces of a document's lines as they come into view.
///
/// Each line is read from the state the line above ended in (inside a string,
/// a quoted name or a block comment and its depth), kept in the line's user
/// state. An edit makes the states from its line on stale; they are read again
/// only as far as a line about to be shown, so typing costs the lines in view
/// and pasting a large script costs nothing until it is scrolled through.
/// The colours are layout formats: the text, its undo history and what is
/// copied from it stay plain.
class ColorationSql : public QObject
{
    Q_OBJECT
public:
    explicit ColorationSql(QTextDocument *document, QObject *parent = nullptr);

    /// Takes the colours of each kind of piece from the palette.
    void DefinitPalette(const QPalette &palette);
    /// Colours the lines from premier on, about lLignes display lines of them.
    void ColoreBlocs(const QTextBlock &premier, int lLignes);
    /// The state the line starts in: what the lines above it left open.
    EtatLecture EtatAvant(const QTextBlock &bloc);
    /// Takes the colours off every line.
    void Retire();

    /// Lines longer than this keep the text's colour (their state is still read):
    /// their colours would cost more memory and time than they help.
    static constexpr int kLongueurMaxColoree = 20000;

private:
    void DocumentChange(int lPosition, int lRetires, int lAjoutes);
    void LitEtatsJusqua(int lNumeroBloc);
    EtatLecture ColoreBloc(QTextBlock bloc, const EtatLecture &etatDebut, bool bAvecCouleurs);

    QTextDocument *m_document;
    int m_blocsValides = 0; ///< the lines above this one hold their true end state
    int m_generation = 1;   ///< changes with the palette
    QTextCharFormat m_formats[8];
};
