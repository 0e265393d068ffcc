#include "editeurriche.h"
#include "twips.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

namespace {

const QChar kSeparateurParagraphe(0x2029);
const QChar kSeparateurLigne(0x2028);

// Every kind of line break becomes the document's own ("\n" makes a block).
QString NormaliseSauts(const QString &sTexte)
{
    QString s = sTexte;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    s.replace(kSeparateurParagraphe, QLatin1Char('\n'));
    s.replace(kSeparateurLigne, QLatin1Char('\n'));
    return s;
}

} // namespace

EditeurRiche::EditeurRiche(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    setUndoRedoEnabled(true);
    setTabChangesFocus(false);
    SetScrollBars(3);
}

QString EditeurRiche::Text() const
{
    QString s = document()->toRawText();
    // A plain document holds no frames; line separators cannot enter (every
    // way in is normalised), so only paragraph breaks need widening.
    s.replace(kSeparateurParagraphe, QLatin1String("\r\n"));
    return s;
}

void EditeurRiche::SetText(const QString &sTexte)
{
    const QString s = NormaliseSauts(sTexte);
    QTextCursor c(document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    c.setCharFormat(QTextCharFormat());
    c.insertText(s);
    c.endEditBlock();
    QTextCursor debut(document());
    setTextCursor(debut);
}

void EditeurRiche::RemplacePlage(int lDebut, int lLongueur, const QString &sTexte)
{
    // One cursor edit of the span alone: its cost does not grow with the
    // text, and undo takes back just this change.
    const int lHorizontal = horizontalScrollBar()->value();
    const int lVertical = verticalScrollBar()->value();
    QTextCursor c(document());
    c.setPosition(PositionDocument(lDebut));
    c.setPosition(PositionDocument(lDebut + qMax(0, lLongueur)), QTextCursor::KeepAnchor);
    c.beginEditBlock();
    c.insertText(NormaliseSauts(sTexte));
    c.endEditBlock();
    setTextCursor(c);
    horizontalScrollBar()->setValue(lHorizontal);
    verticalScrollBar()->setValue(lVertical);
}

int EditeurRiche::OffsetTexte(int lPositionDocument) const
{
    const QTextDocument *doc = document();
    const int fin = doc->characterCount() - 1;
    const int p = qBound(0, lPositionDocument, fin);
    const QTextBlock bloc = doc->findBlock(p);
    return p + (bloc.isValid() ? bloc.blockNumber() : doc->blockCount() - 1);
}

int EditeurRiche::PositionDocument(int lOffset) const
{
    const QTextDocument *doc = document();
    if (lOffset <= 0)
        return 0;
    // Offset of the start of block n is its position plus the n extra
    // characters of the CR LF pairs before it; it grows with n.
    int bas = 0, haut = doc->blockCount() - 1;
    while (bas < haut) {
        const int milieu = (bas + haut + 1) / 2;
        const QTextBlock b = doc->findBlockByNumber(milieu);
        if (b.position() + milieu <= lOffset)
            bas = milieu;
        else
            haut = milieu - 1;
    }
    const QTextBlock bloc = doc->findBlockByNumber(bas);
    const int local = lOffset - (bloc.position() + bas);
    const int longueur = bloc.length() - 1;
    if (local <= longueur)
        return bloc.position() + local;
    // Between the CR and the LF of a break: the caret goes after the break.
    if (bloc.next().isValid())
        return bloc.next().position();
    return bloc.position() + longueur;
}

int EditeurRiche::SelStart() const
{
    return OffsetTexte(textCursor().selectionStart());
}

void EditeurRiche::SetSelStart(int lPosition)
{
    QTextCursor c = textCursor();
    c.setPosition(PositionDocument(lPosition));
    setTextCursor(c);
}

int EditeurRiche::SelLength() const
{
    const QTextCursor c = textCursor();
    return OffsetTexte(c.selectionEnd()) - OffsetTexte(c.selectionStart());
}

void EditeurRiche::SetSelLength(int lLongueur)
{
    QTextCursor c = textCursor();
    const int debut = c.selectionStart();
    const int offsetFin = OffsetTexte(debut) + qMax(0, lLongueur);
    c.setPosition(debut);
    c.setPosition(PositionDocument(offsetFin), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

int EditeurRiche::GetLineFromChar(int lPosition) const
{
    const QTextDocument *doc = document();
    const int p = PositionDocument(lPosition);
    const QTextBlock cible = doc->findBlock(p);
    if (!cible.isValid())
        return 0;
    // Asking for the block's rectangle lays the document out up to it.
    doc->documentLayout()->blockBoundingRect(cible);
    int ligne = 0;
    for (QTextBlock b = doc->begin(); b.isValid() && b != cible; b = b.next()) {
        const QTextLayout *l = b.layout();
        ligne += (l && l->lineCount() > 0) ? l->lineCount() : 1;
    }
    const QTextLayout *l = cible.layout();
    if (l && l->lineCount() > 0) {
        const QTextLine tl = l->lineForTextPosition(p - cible.position());
        if (tl.isValid())
            ligne += tl.lineNumber();
        else
            ligne += l->lineCount() - 1;
    }
    return ligne;
}

void EditeurRiche::SetRightMargin(double dTwips)
{
    m_margeDroite = dTwips;
    AppliqueMarge();
}

void EditeurRiche::AppliqueMarge()
{
    if (m_margeDroite <= 0) {
        setLineWrapMode(QTextEdit::WidgetWidth);
        return;
    }
    const double pixels = TwipsEnPixelsReels(this, m_margeDroite);
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setLineWrapColumnOrWidth(int(qBound(1.0, pixels, 1.0e7)));
}

void EditeurRiche::SetScrollBars(int lBarres)
{
    m_barres = lBarres;
    setVerticalScrollBarPolicy(lBarres >= 2 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy((lBarres & 1) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

QRect EditeurRiche::CaretRect() const
{
    return cursorRect();
}

int EditeurRiche::CodeTouche(int lCleQt)
{
    if ((lCleQt >= Qt::Key_A && lCleQt <= Qt::Key_Z) || (lCleQt >= Qt::Key_0 && lCleQt <= Qt::Key_9))
        return lCleQt;
    if (lCleQt >= Qt::Key_F1 && lCleQt <= Qt::Key_F24)
        return 112 + (lCleQt - Qt::Key_F1);
    switch (lCleQt) {
    case Qt::Key_Space: return 32;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Semicolon: return 186;
    case Qt::Key_Plus:
    case Qt::Key_Equal: return 187;
    case Qt::Key_Comma: return 188;
    case Qt::Key_Minus: return 189;
    case Qt::Key_Period: return 190;
    case Qt::Key_Slash: return 191;
    default: return 0;
    }
}

int EditeurRiche::EtatMaj(Qt::KeyboardModifiers modificateurs)
{
    int etat = 0;
    if (modificateurs & Qt::ShiftModifier)
        etat |= 1;
    if (modificateurs & Qt::ControlModifier)
        etat |= 2;
    if (modificateurs & Qt::AltModifier)
        etat |= 4;
    return etat;
}

void EditeurRiche::keyPressEvent(QKeyEvent *event)
{
    int code = CodeTouche(event->key());
    if (KeyDown && code != 0) {
        KeyDown(code, EtatMaj(event->modifiers()));
        if (code == 0) {
            event->accept();
            return;
        }
    }
    const QString texte = event->text();
    // Shift+Enter would insert a line separator inside the paragraph; the
    // text has only one kind of line break.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent simple(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                         event->text(), event->isAutoRepeat(), ushort(event->count()));
        QTextEdit::keyPressEvent(&simple);
        event->setAccepted(simple.isAccepted());
    } else {
        QTextEdit::keyPressEvent(event);
    }
    if (KeyPress && !texte.isEmpty())
        KeyPress(texte.at(0).unicode());
}

void EditeurRiche::insertFromMimeData(const QMimeData *source)
{
    if (source && source->hasText()) {
        textCursor().insertText(NormaliseSauts(source->text()));
        ensureCursorVisible();
    }
}

bool EditeurRiche::canInsertFromMimeData(const QMimeData *source) const
{
    return source && source->hasText();
}

