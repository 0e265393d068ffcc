#include "editeurriche.h"
#include "colorationsql.h"
#include "margenumeros.h"
#include "marquescurseur.h"
#include "pliagelignes.h"
#include "twips.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

namespace {

const QChar kSeparateurParagraphe(0x2029);
const QChar kSeparateurLigne(0x2028);

// Every kind of line break becomes the document's own ("\n" makes a block),
// in one pass: replacing CR LF pairs in place moves the rest of the text at
// every few of them.
QString NormaliseSauts(const QString &sTexte)
{
    QString s(sTexte.size(), Qt::Uninitialized);
    QChar *sortie = s.data();
    const QChar *fin = sTexte.constEnd();
    for (const QChar *p = sTexte.constBegin(); p != fin; ++p) {
        const QChar c = *p;
        if (c == QLatin1Char('\r')) {
            *sortie++ = QLatin1Char('\n');
            if (p + 1 != fin && p[1] == QLatin1Char('\n'))
                ++p;
        } else if (c == kSeparateurParagraphe || c == kSeparateurLigne) {
            *sortie++ = QLatin1Char('\n');
        } else {
            *sortie++ = c;
        }
    }
    s.truncate(sortie - s.constData());
    return s;
}

// A large text is written in parts of about this many lines: the document takes
// some microseconds per line. The first part, written at once, only needs to
// fill the view; the others follow at each turn of the event loop, as many as
// fit in a slice of time.
constexpr int kLignesParPartie = 250;
constexpr int kCaracteresParPartie = 32 * 1024;
constexpr int kLignesPremierePartie = 200;
constexpr int kCaracteresPremierePartie = 32 * 1024;
// The first slice is short, so that the window answers at once; each next
// one doubles up to a few milliseconds, and lasts at least as long as the
// rest of the last turn took (painting, mostly), so that the text still goes
// in at least half of the time.
constexpr qint64 kTrancheMinNs = 1'000'000;
constexpr qint64 kTrancheCouranteNs = 8'000'000;
constexpr qint64 kTrancheMaxNs = 50'000'000;
constexpr int kAttentePeintureMs = 50;

bool EstSaut(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'\n' || u == u'\r' || u == kSeparateurParagraphe.unicode() || u == kSeparateurLigne.unicode();
}

// Index of the first line break (of any kind) from i on, or lLimite when
// there is none before it.
int ProchainSaut(const QString &sTexte, int i, int lLimite)
{
    const QChar *d = sTexte.constData();
    while (i < lLimite && !EstSaut(d[i]))
        ++i;
    return i;
}

// End of the part of sTexte, as given (any kind of line break), that starts at
// lDebut: after the last line break that keeps it within so many lines and
// characters, or the end of the text. A line longer than a whole part is cut
// inside; it goes on in the next part. A part never ends between CR and LF.
int FinDePartie(const QString &sTexte, int lDebut, int lLignesMax = kLignesParPartie,
                int lCaracteresMax = kCaracteresParPartie)
{
    const int lMax = int(sTexte.size());
    int lLignes = 0;
    const int lLimite = int(qMin<qsizetype>(lMax, qsizetype(lDebut) + lCaracteresMax));
    for (int i = lDebut;;) {
        const int j = ProchainSaut(sTexte, i, lLimite);
        if (j - lDebut >= lCaracteresMax) {
            if (i > lDebut)
                return i;
            const int lFin = lDebut + lCaracteresMax;
            return sTexte.at(lFin - 1).isHighSurrogate() ? lFin - 1 : lFin;
        }
        if (j == lMax)
            return lMax;
        i = j + 1;
        if (sTexte.at(j) == QLatin1Char('\r') && i < lMax && sTexte.at(i) == QLatin1Char('\n'))
            ++i;
        if (++lLignes >= lLignesMax)
            return i;
    }
}

int FinDePremierePartie(const QString &sTexte)
{
    return FinDePartie(sTexte, 0, kLignesPremierePartie, kCaracteresPremierePartie);
}

QPlainTextDocumentLayout *MiseEnPage(const QTextDocument *doc)
{
    return qobject_cast<QPlainTextDocumentLayout *>(doc->documentLayout());
}

} // namespace

EditeurRiche::EditeurRiche(QWidget *parent) : QPlainTextEdit(parent), m_pliage(new PliageLignes(document()))
{
    m_minuterieCollage.setSingleShot(true);
    connect(&m_minuterieCollage, &QTimer::timeout, this, &EditeurRiche::CollePartie);
    setUndoRedoEnabled(true);
    setTabChangesFocus(false);
    SetScrollBars(3);
}

EditeurRiche::~EditeurRiche() = default;

QString EditeurRiche::Text() const
{
    const_cast<EditeurRiche *>(this)->TermineCollage();
    // A plain document holds no frames; line separators cannot enter (every
    // way in is normalised), so only paragraph breaks need widening.
    return m_pliage->TexteEntre(0, document()->characterCount() - 1, u"\r\n");
}

QString EditeurRiche::TexteLf(bool bSelectionSeule) const
{
    const_cast<EditeurRiche *>(this)->TermineCollage();
    const QTextCursor c = textCursor();
    if (bSelectionSeule)
        return m_pliage->TexteEntre(c.selectionStart(), c.selectionEnd(), u"\n");
    return m_pliage->TexteEntre(0, document()->characterCount() - 1, u"\n");
}

int EditeurRiche::LigneDePosition(int lPositionDocument) const
{
    const QTextBlock bloc = document()->findBlock(lPositionDocument);
    return m_pliage->LigneDuBloc(bloc.isValid() ? bloc.blockNumber() : document()->blockCount() - 1);
}

bool EditeurRiche::LignesPliees() const
{
    return m_pliage->Actif();
}

int EditeurRiche::PositionDeLaLigne(int lLigne) const
{
    if (lLigne < 1 || lLigne > m_pliage->NombreLignes())
        return -1;
    return m_pliage->BlocDeLaLigne(lLigne - 1).position();
}

void EditeurRiche::SetText(const QString &sTexte)
{
    TermineCollage();
    // Only the first part is made over now; the others as they are written.
    const QString &s = sTexte;
    const int lFin = FinDePremierePartie(s);
    QTextCursor c(document());
    c.beginEditBlock();
    // A large text replaces a large one part by part too: removing a whole
    // document costs as much as writing one. Only the lines the first part
    // takes the place of go now; the rest of the old text stays after the
    // cursor until the parts that follow replace it.
    const QTextBlock suiteAncien = document()->findBlockByNumber(kLignesPremierePartie);
    const bool bAncienApres = lFin < s.size() && suiteAncien.isValid();
    if (bAncienApres)
        c.setPosition(suiteAncien.position(), QTextCursor::KeepAnchor);
    else
        c.select(QTextCursor::Document);
    c.removeSelectedText();
    c.setCharFormat(QTextCharFormat());
    m_pliage->Ecrit(c, NormaliseSauts(s.left(lFin)));
    c.endEditBlock();
    QTextCursor debut(document());
    setTextCursor(debut);
    if (lFin < s.size())
        CommenceCollage(s, lFin, c, false, bAncienApres);
}

void EditeurRiche::ChargeTexte(const QString &sTexte)
{
    // What was still to come of an earlier text is replaced anyway: no need to write it.
    if (CollageEnCours())
        ArreteCollage();
    // Undo is off while the text goes in: turning it back on starts an empty history.
    setUndoRedoEnabled(false);
    m_pliage->Reinitialise();
    m_chargement = true;
    SetText(sTexte);
    document()->setModified(false);
    if (!CollageEnCours())
        FinitChargement();
}

void EditeurRiche::FinitChargement()
{
    m_chargement = false;
    setUndoRedoEnabled(true);
    document()->setModified(false);
}

void EditeurRiche::RemplacePlage(int lDebut, int lLongueur, const QString &sTexte)
{
    TermineCollage();
    const int debut = PositionDocument(lDebut);
    const int fin = qMax(debut, PositionDocument(lDebut + qMax(0, lLongueur)));
    const int h = horizontalScrollBar()->value();
    const int v = verticalScrollBar()->value();
    QTextCursor c(document());
    c.setPosition(debut);
    c.setPosition(fin, QTextCursor::KeepAnchor);
    c.beginEditBlock();
    m_pliage->Ecrit(c, NormaliseSauts(sTexte));
    c.endEditBlock();
    setTextCursor(c);
    // Setting the caret brings it into view; the view stays where it was.
    verticalScrollBar()->setValue(v);
    horizontalScrollBar()->setValue(h);
}

int EditeurRiche::OffsetTexte(int lPositionDocument) const
{
    const QTextDocument *doc = document();
    const int fin = doc->characterCount() - 1;
    const int p = qBound(0, lPositionDocument, fin);
    const QTextBlock bloc = doc->findBlock(p);
    const int n = bloc.isValid() ? bloc.blockNumber() : doc->blockCount() - 1;
    // A line break counts two characters; the break before a continuation none.
    return p + n - 2 * m_pliage->SuitesJusqua(n);
}

int EditeurRiche::PositionDocument(int lOffset) const
{
    const QTextDocument *doc = document();
    if (lOffset <= 0)
        return 0;
    // Offset of the start of block n is its position plus one for each CR LF
    // pair before it, less one for each break of a folded line; it grows with n.
    int bas = 0, haut = doc->blockCount() - 1;
    while (bas < haut) {
        const int milieu = (bas + haut + 1) / 2;
        const QTextBlock b = doc->findBlockByNumber(milieu);
        if (b.position() + milieu - 2 * m_pliage->SuitesJusqua(milieu) <= lOffset)
            bas = milieu;
        else
            haut = milieu - 1;
    }
    const QTextBlock bloc = doc->findBlockByNumber(bas);
    const int local = lOffset - (bloc.position() + bas - 2 * m_pliage->SuitesJusqua(bas));
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
    const_cast<EditeurRiche *>(this)->TermineCollage();
    return OffsetTexte(textCursor().selectionStart());
}

void EditeurRiche::SetSelStart(int lPosition)
{
    TermineCollage();
    QTextCursor c = textCursor();
    c.setPosition(PositionDocument(lPosition));
    setTextCursor(c);
}

int EditeurRiche::SelLength() const
{
    const_cast<EditeurRiche *>(this)->TermineCollage();
    const QTextCursor c = textCursor();
    return OffsetTexte(c.selectionEnd()) - OffsetTexte(c.selectionStart());
}

void EditeurRiche::SetSelLength(int lLongueur)
{
    TermineCollage();
    QTextCursor c = textCursor();
    const int debut = c.selectionStart();
    const int offsetFin = OffsetTexte(debut) + qMax(0, lLongueur);
    c.setPosition(debut);
    c.setPosition(PositionDocument(offsetFin), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

// Only the lines that may wrap need laying out to count display lines: one
// whose every character at its widest still fits the width stays one line.
void EditeurRiche::MetEnPageLignesRepliables(const QTextBlock &jusqua) const
{
    const QTextDocument *doc = document();
    QPlainTextDocumentLayout *mise = MiseEnPage(doc);
    if (!mise || doc->defaultTextOption().wrapMode() == QTextOption::NoWrap || LargeurRetour() <= 0)
        return;
    const QFontMetricsF fm(doc->defaultFont());
    const qreal largeurCar = qMax(fm.maxWidth(), doc->defaultTextOption().tabStopDistance());
    const qreal disponible = LargeurRetour() - 2 * doc->documentMargin();
    const int lSure = largeurCar > 0 ? int(disponible / largeurCar) : 0;
    for (QTextBlock b = doc->begin(); b.isValid() && b != jusqua; b = b.next())
        if (b.length() > lSure && b.layout()->lineCount() == 0)
            mise->ensureBlockLayout(b);
}

int EditeurRiche::GetLineFromChar(int lPosition) const
{
    const_cast<EditeurRiche *>(this)->TermineCollage();
    const QTextDocument *doc = document();
    const int p = PositionDocument(lPosition);
    QTextBlock cible = doc->findBlock(p);
    if (!cible.isValid())
        cible = doc->lastBlock();
    MetEnPageLignesRepliables(cible);
    if (QPlainTextDocumentLayout *mise = MiseEnPage(doc))
        mise->ensureBlockLayout(cible);
    int ligne = cible.firstLineNumber();
    const QTextLayout *l = cible.layout();
    if (l && l->lineCount() > 0) {
        const QTextLine tl = l->lineForTextPosition(qMin(p - cible.position(), cible.length() - 1));
        ligne += tl.isValid() ? tl.lineNumber() : l->lineCount() - 1;
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
    m_largeurRetour = int(qBound(1.0, pixels, 1.0e7));
    setLineWrapMode(QTextEdit::FixedPixelWidth);
}

void EditeurRiche::setLineWrapMode(QTextEdit::LineWrapMode mode)
{
    m_modeRetour = mode;
    QPlainTextEdit::setLineWrapMode(mode == QTextEdit::NoWrap ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    AppliqueLargeurRetour();
}

void EditeurRiche::setLineWrapColumnOrWidth(int lLargeur)
{
    m_largeurRetour = lLargeur;
    AppliqueLargeurRetour();
}

// The plain-text layout wraps at the width of the widest view of its document.
// A view that is never shown, as wide as the fixed width, makes that width the
// document's for as long as this editor is narrower.
void EditeurRiche::AppliqueLargeurRetour()
{
    int largeur = 0;
    if (m_modeRetour == QTextEdit::FixedPixelWidth)
        largeur = m_largeurRetour;
    else if (m_modeRetour == QTextEdit::FixedColumnWidth)
        largeur = m_largeurRetour * fontMetrics().horizontalAdvance(QLatin1Char('x'));
    if (m_vueLargeur && m_vueLargeur->width() == largeur)
        return;
    const bool bAvaitVue = m_vueLargeur != nullptr;
    delete m_vueLargeur;
    m_vueLargeur = nullptr;
    if (largeur > 0) {
        m_vueLargeur = new QPlainTextEdit(this);
        m_vueLargeur->setVisible(false);
        m_vueLargeur->setFrameShape(QFrame::NoFrame);
        m_vueLargeur->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_vueLargeur->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_vueLargeur->setFont(font());
        m_vueLargeur->setDocument(document());
        m_vueLargeur->setGeometry(0, 0, largeur, 1);
        // A hidden widget gets its resize events only when shown; this one never
        // is. The first places its viewport, the second lays the text out.
        QResizeEvent taille(QSize(largeur, 1), QSize(0, 1));
        QCoreApplication::sendEvent(m_vueLargeur, &taille);
        QResizeEvent tailleVue(m_vueLargeur->viewport()->size(), QSize(0, 1));
        QCoreApplication::sendEvent(m_vueLargeur->viewport(), &tailleVue);
    } else if (bAvaitVue && m_modeRetour != QTextEdit::NoWrap) {
        // Back to this editor's own width.
        QPlainTextEdit::setLineWrapMode(QPlainTextEdit::NoWrap);
        QPlainTextEdit::setLineWrapMode(QPlainTextEdit::WidgetWidth);
    }
    viewport()->update();
}

qreal EditeurRiche::LargeurRetour() const
{
    if (m_modeRetour == QTextEdit::NoWrap)
        return 0;
    const qreal vue = viewport()->width();
    return m_vueLargeur ? qMax<qreal>(vue, m_vueLargeur->viewport()->width()) : vue;
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
    TermineCollage();
    int code = CodeTouche(event->key());
    if (KeyDown && code != 0) {
        KeyDown(code, EtatMaj(event->modifiers()));
        if (code == 0) {
            event->accept();
            return;
        }
    }
    if (AffichageCode() && code == 'G' && EtatMaj(event->modifiers()) == 2) {
        event->accept();
        DemandeLigne();
        return;
    }
    const QString texte = event->text();
    if (m_pliage->Actif() && ToucheAuPli(event)) {
        event->accept();
        if (KeyPress && !texte.isEmpty())
            KeyPress(texte.at(0).unicode());
        return;
    }
    // Shift+Enter would insert a line separator inside the paragraph; the
    // text has only one kind of line break.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent simple(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                         event->text(), event->isAutoRepeat(), ushort(event->count()));
        QPlainTextEdit::keyPressEvent(&simple);
        event->setAccepted(simple.isAccepted());
    } else {
        QPlainTextEdit::keyPressEvent(event);
    }
    if (KeyPress && !texte.isEmpty())
        KeyPress(texte.at(0).unicode());
}

// Keys whose plain effect would only move over or remove the break between
// two pieces of a folded line: they act on the text as if the break were not
// there. Enter in a continuation starts a line of its own.
bool EditeurRiche::ToucheAuPli(QKeyEvent *event)
{
    QTextCursor c = textCursor();
    const bool bSimple = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (isReadOnly() || !PliageLignes::EstSuite(document()->findBlock(c.selectionStart())))
            return false;
        c.beginEditBlock();
        c.removeSelectedText();
        c.insertBlock(QTextBlockFormat());
        c.endEditBlock();
        break;
    case Qt::Key_Backspace:
        if (isReadOnly() || !bSimple || c.hasSelection() || !c.atBlockStart() || !PliageLignes::EstSuite(c.block()))
            return false;
        while (c.atBlockStart() && PliageLignes::EstSuite(c.block()))
            c.movePosition(QTextCursor::PreviousCharacter);
        c.deletePreviousChar();
        break;
    case Qt::Key_Delete:
        if (isReadOnly() || !bSimple || c.hasSelection() || !c.atBlockEnd() || !PliageLignes::EstSuite(c.block().next()))
            return false;
        while (c.atBlockEnd() && PliageLignes::EstSuite(c.block().next()))
            c.movePosition(QTextCursor::NextCharacter);
        c.deleteChar();
        break;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        // A move that only crossed a fold goes on by one more.
        const int lAvant = OffsetTexte(c.position());
        QPlainTextEdit::keyPressEvent(event);
        const QTextCursor apres = textCursor();
        if (apres.position() != c.position() && OffsetTexte(apres.position()) == lAvant)
            QPlainTextEdit::keyPressEvent(event);
        return true;
    }
    default:
        return false;
    }
    setTextCursor(c);
    ensureCursorVisible();
    return true;
}

void EditeurRiche::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText())
        return;
    TermineCollage();
    const QString sTexte = source->text();
    const int lFin = FinDePremierePartie(sTexte);
    QTextCursor c = textCursor();
    c.beginEditBlock();
    m_pliage->Ecrit(c, NormaliseSauts(sTexte.left(lFin)));
    c.endEditBlock();
    if (lFin < sTexte.size()) {
        CommenceCollage(sTexte, lFin, c, true, false);
        return;
    }
    ensureCursorVisible();
}

// The rest of a large text follows part by part, joined to the step of undo
// that wrote its first part; the window paints and answers in between.
void EditeurRiche::CommenceCollage(const QString &sTexte, int lEcrits, const QTextCursor &curseur, bool bCaretALaFin,
                                   bool bAncienApres)
{
    m_resteCollage = sTexte;
    m_positionReste = lEcrits;
    m_bAncienApres = bAncienApres;
    m_curseurCollage = curseur;
    m_caretApresCollage = bCaretALaFin;
    m_lectureSeuleAvantCollage = isReadOnly();
    setReadOnly(true);
    // The first part is shown before the next is written: the rest follows
    // the first paint, or a moment later when nothing paints this editor.
    m_bAttendPeinture = true;
    m_lTranches = 0;
    m_minuterieCollage.start(kAttentePeintureMs);
}

void EditeurRiche::CollePartie()
{
    if (!CollageEnCours())
        return;
    const qint64 lCroissante = qMin(kTrancheCouranteNs, kTrancheMinNs << qMin(m_lTranches++, 8));
    const qint64 lTranche = qBound(lCroissante, m_horsCollage.isValid() ? m_horsCollage.nsecsElapsed() : 0, kTrancheMaxNs);
    QElapsedTimer duree;
    duree.start();
    m_curseurCollage.joinPreviousEditBlock();
    do {
        const int lFin = FinDePartie(m_resteCollage, m_positionReste);
        const QString sPartie = NormaliseSauts(m_resteCollage.mid(m_positionReste, lFin - m_positionReste));
        if (m_bAncienApres)
            RetireAncien(lFin == m_resteCollage.size() ? -1 : int(sPartie.count(QLatin1Char('\n'))));
        m_pliage->Ecrit(m_curseurCollage, sPartie);
        m_positionReste = lFin;
    } while (CollageEnCours() && duree.nsecsElapsed() < lTranche);
    m_curseurCollage.endEditBlock();
    m_horsCollage.start();
    if (m_chargement)
        document()->setModified(false);
    if (CollageEnCours()) {
        m_minuterieCollage.start(0);
        return;
    }
    ArreteCollage();
    if (m_chargement)
        FinitChargement();
    if (m_caretApresCollage) {
        setTextCursor(m_curseurCollage);
        ensureCursorVisible();
    }
}

// Removes as many lines of the old text, which is all after the cursor, as a
// part writes, or all of it (lLignes < 0).
void EditeurRiche::RetireAncien(int lLignes)
{
    QTextCursor c = m_curseurCollage;
    const QTextBlock fin = lLignes < 0 ? QTextBlock() : document()->findBlockByNumber(c.blockNumber() + lLignes);
    if (fin.isValid()) {
        if (fin.position() <= c.position())
            return;
        c.setPosition(fin.position(), QTextCursor::KeepAnchor);
    } else {
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        m_bAncienApres = false;
    }
    c.removeSelectedText();
}

void EditeurRiche::TermineCollage()
{
    while (CollageEnCours())
        CollePartie();
}

// Nothing is left to write (or what is left is dropped): the editor is as it
// was before the text began.
void EditeurRiche::ArreteCollage()
{
    m_resteCollage.clear();
    m_positionReste = 0;
    m_bAncienApres = false;
    m_bAttendPeinture = false;
    m_minuterieCollage.stop();
    m_horsCollage.invalidate();
    setReadOnly(m_lectureSeuleAvantCollage);
}

bool EditeurRiche::canInsertFromMimeData(const QMimeData *source) const
{
    return source && source->hasText();
}

// What is copied is the text alone: no markup, whatever colours it is shown in.
QMimeData *EditeurRiche::createMimeDataFromSelection() const
{
    auto *donnees = new QMimeData;
    donnees->setText(TexteLf(true));
    return donnees;
}

void EditeurRiche::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    if (m_marge) {
        const QRect r = contentsRect();
        m_marge->setGeometry(QRect(r.left(), r.top(), m_marge->Largeur(), r.height()));
    }
}

void EditeurRiche::paintEvent(QPaintEvent *event)
{
    // Colours go on the lines about to be drawn, and on no other.
    if (m_coloration) {
        const int hauteurLigne = qMax(1, fontMetrics().lineSpacing());
        m_coloration->ColoreBlocs(firstVisibleBlock(), viewport()->height() / hauteurLigne + 2);
    }
    QPlainTextEdit::paintEvent(event);
    if (m_bAttendPeinture) {
        m_bAttendPeinture = false;
        m_minuterieCollage.start(0);
    }
}

void EditeurRiche::changeEvent(QEvent *event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_coloration) {
        m_coloration->DefinitPalette(palette());
        MarqueCurseur();
        viewport()->update();
    } else if (event->type() == QEvent::FontChange) {
        if (m_vueLargeur)
            m_vueLargeur->setFont(font());
        AjusteMargeNumeros();
    }
}

void EditeurRiche::SetAffichageCode(bool bCode)
{
    if (bCode == AffichageCode())
        return;
    if (!bCode) {
        m_coloration->Retire();
        delete m_coloration;
        delete m_marge;
        m_coloration = nullptr;
        m_marge = nullptr;
        setViewportMargins(0, 0, 0, 0);
        setExtraSelections({});
        return;
    }
    m_coloration = new ColorationSql(document(), this);
    m_coloration->DefinitPalette(palette());
    m_marge = new MargeNumeros(this);
    connect(this, &QPlainTextEdit::blockCountChanged, m_marge, [this] { AjusteMargeNumeros(); });
    connect(this, &QPlainTextEdit::updateRequest, m_marge, [this](const QRect &r, int dy) {
        if (dy)
            m_marge->scroll(0, dy);
        else
            m_marge->update(0, r.y(), m_marge->width(), r.height());
    });
    connect(this, &QPlainTextEdit::cursorPositionChanged, m_marge, [this] {
        MarqueCurseur();
        m_marge->update();
    });
    AjusteMargeNumeros();
    m_marge->show();
    MarqueCurseur();
}

void EditeurRiche::AjusteMargeNumeros()
{
    if (!m_marge)
        return;
    const int largeur = m_marge->Calcule(blockCount(), fontMetrics());
    if (viewportMargins().left() != largeur)
        setViewportMargins(largeur, 0, 0, 0);
    const QRect r = contentsRect();
    m_marge->setGeometry(QRect(r.left(), r.top(), largeur, r.height()));
}

void EditeurRiche::MarqueCurseur()
{
    if (m_coloration)
        setExtraSelections(MarquesDuCurseur(textCursor(), *m_coloration, palette()));
}

void EditeurRiche::AllerALaLigne(int lLigne)
{
    const QTextBlock bloc = m_pliage->BlocDeLaLigne(qBound(1, lLigne, m_pliage->NombreLignes()) - 1);
    QTextCursor c = textCursor();
    c.setPosition(bloc.position());
    setTextCursor(c);
    centerCursor();
}

void EditeurRiche::DemandeLigne()
{
    const int lLignes = m_pliage->NombreLignes();
    QInputDialog boite(this);
    boite.setWindowTitle(QStringLiteral("Aller à la ligne"));
    boite.setLabelText(QStringLiteral("Numéro de ligne (1 à %1) :").arg(lLignes));
    boite.setInputMode(QInputDialog::IntInput);
    boite.setIntRange(1, lLignes);
    boite.setIntValue(LigneDePosition(textCursor().position()) + 1);
    // The program's own words: Qt's are English unless its translations are installed.
    boite.setOkButtonText(QStringLiteral("OK"));
    boite.setCancelButtonText(QStringLiteral("Annuler"));
    if (boite.exec() == QDialog::Accepted)
        AllerALaLigne(boite.intValue());
}

QList<QPair<int, int>> EditeurRiche::NumerosVisibles(int lHaut, int lBas) const
{
    QList<QPair<int, int>> numeros;
    QTextBlock bloc = firstVisibleBlock();
    int numero = m_pliage->LigneDuBloc(bloc.blockNumber());
    qreal haut = blockBoundingGeometry(bloc).translated(contentOffset()).top();
    // A wrapped or folded line keeps one number, written beside its first display line.
    while (bloc.isValid() && haut <= lBas) {
        const qreal bas = haut + blockBoundingRect(bloc).height();
        if (bloc.isVisible() && bas >= lHaut && !PliageLignes::EstSuite(bloc))
            numeros.append({numero + 1, qRound(haut)});
        bloc = bloc.next();
        haut = bas;
        if (!PliageLignes::EstSuite(bloc))
            ++numero;
    }
    return numeros;
}

void EditeurRiche::PeintNumeros(QPaintEvent *event, QWidget *marge)
{
    QPainter peintre(marge);
    peintre.fillRect(event->rect(), palette().color(QPalette::Window));
    const int courant = m_pliage->LigneDuBloc(textCursor().blockNumber()) + 1;
    QFont policeCourante = font();
    policeCourante.setBold(true);
    const int hauteurTexte = fontMetrics().height();
    const int largeur = marge->width() - MargeNumeros::kEspaceDroite;
    for (const auto &[numero, y] : NumerosVisibles(event->rect().top(), event->rect().bottom())) {
        const bool bCourant = numero == courant;
        peintre.setFont(bCourant ? policeCourante : font());
        peintre.setPen(palette().color(bCourant ? QPalette::Text : QPalette::PlaceholderText));
        peintre.drawText(0, y, largeur, hauteurTexte, Qt::AlignRight, QString::number(numero));
    }
}
