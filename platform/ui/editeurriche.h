#pragma once
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>
#include <QRect>
#include <QTextEdit>
#include <functional>

class ColorationSql;
class MargeNumeros;
class PliageLignes;

/// A plain-text query editor with the interface the rest of the program was
/// written against: offsets and texts count a line break as CR LF (two
/// characters), key codes are the window system's virtual-key codes.
///
/// The document itself holds one character per paragraph break; every offset
/// crossing this class is converted between the two countings. An offset that
/// falls between the CR and the LF of a break is taken as the position right
/// after the break (the caret cannot stand inside a line break).
///
/// The text is laid out lazily, line by line as it is shown, so that large
/// scripts open, paste and scroll without laying out the whole document. A
/// very long line is held as several blocks (see PliageLignes): offsets, line
/// numbers and the text leave out the breaks between its pieces.
class EditeurRiche : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit EditeurRiche(QWidget *parent = nullptr);
    ~EditeurRiche() override;

    /// The whole text, line breaks as CR LF.
    QString Text() const;
    /// The whole text, or the selection only, line breaks as LF.
    QString TexteLf(bool bSelectionSeule = false) const;
    /// 0-based line of the text holding that document position.
    int LigneDePosition(int lPositionDocument) const;
    /// Document position where that 1-based line starts; -1 past the text.
    int PositionDeLaLigne(int lLigne) const;
    /// True when very long lines may be held folded: the document then has
    /// blocks whose break before them is not in the text.
    bool LignesPliees() const;
    /// Replaces the whole text (CR LF, lone CR or lone LF all start a new line)
    /// as one step that Ctrl+Z undoes; the caret goes to the start.
    void SetText(const QString &sTexte);
    /// Replaces lLongueur characters from lDebut (offsets as SelStart counts
    /// them) with sTexte, as one step that Ctrl+Z undoes; the view does not
    /// scroll and the caret ends after the inserted text.
    void RemplacePlage(int lDebut, int lLongueur, const QString &sTexte);
    /// Replaces the whole text with a script read from a file: nothing to
    /// undo, the caret at the start, and the document unmodified all along
    /// (a large one follows part by part, as SetText does).
    void ChargeTexte(const QString &sTexte);

    /// Number of characters (CR LF counting two) before the caret.
    int SelStart() const;
    /// Moves the caret there (clamped to the text); the selection becomes empty.
    void SetSelStart(int lPosition);
    /// Number of selected characters (CR LF counting two) from SelStart on.
    int SelLength() const;
    /// Selects that many characters from SelStart on (clamped to the text).
    void SetSelLength(int lLongueur);

    /// 0-based display line (wrapped lines counted) holding that character offset.
    int GetLineFromChar(int lPosition) const;

    /// Width in twips at which lines wrap; 0 wraps at the editor's own edge.
    void SetRightMargin(double dTwips);
    double RightMargin() const { return m_margeDroite; }
    /// 2 = vertical scroll bar only, 3 = both.
    void SetScrollBars(int lBarres);
    int ScrollBars() const { return m_barres; }

    /// How lines wrap, in the terms of a rich-text editor: at the editor's
    /// edge, at a fixed width in pixels, or not at all.
    QTextEdit::LineWrapMode lineWrapMode() const { return m_modeRetour; }
    void setLineWrapMode(QTextEdit::LineWrapMode mode);
    int lineWrapColumnOrWidth() const { return m_largeurRetour; }
    void setLineWrapColumnOrWidth(int lLargeur);

    /// The caret rectangle in viewport coordinates.
    QRect CaretRect() const;

    /// Conversions between CR LF offsets and document positions.
    int PositionDocument(int lOffset) const;
    int OffsetTexte(int lPositionDocument) const;

    /// Shows the text as code: colours of the T-SQL pieces, line numbers in a
    /// margin, the caret's line and brackets marked, Ctrl+G to go to a line.
    void SetAffichageCode(bool bCode);
    bool AffichageCode() const { return m_coloration != nullptr; }
    /// Moves the caret to the start of that 1-based line (clamped to the text).
    void AllerALaLigne(int lLigne);

    /// True while a large paste or SetText is still being written, a few
    /// thousand lines at each turn of the event loop (the editor is read-only
    /// meanwhile). Every operation of this interface first finishes it.
    bool CollageEnCours() const { return m_positionReste < m_resteCollage.size(); }
    /// Writes what is left of a large paste at once.
    void TermineCollage();

    /// Key-down with the virtual-key code and shift bits (1 Shift, 2 Ctrl,
    /// 4 Alt); setting KeyCode to 0 consumes the key.
    std::function<void(int &KeyCode, int Shift)> KeyDown;
    /// The typed character, once the editor has written it.
    std::function<void(int KeyAscii)> KeyPress;

    /// Virtual-key code of a Qt key (0 when it has none).
    static int CodeTouche(int lCleQt);
    /// Shift bits of Qt modifiers.
    static int EtatMaj(Qt::KeyboardModifiers modificateurs);

    /// Paints the numbers of the lines shown into the margin (its own paint event).
    void PeintNumeros(QPaintEvent *event, QWidget *marge);
    /// The 1-based numbers of the lines shown between two heights of the
    /// viewport, each with the top of its first display line.
    QList<QPair<int, int>> NumerosVisibles(int lHaut, int lBas) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    QMimeData *createMimeDataFromSelection() const override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool ToucheAuPli(QKeyEvent *event);
    void AppliqueMarge();
    void AppliqueLargeurRetour();
    qreal LargeurRetour() const;
    void MetEnPageLignesRepliables(const QTextBlock &jusqua) const;
    void AjusteMargeNumeros();
    void MarqueCurseur();
    void DemandeLigne();
    void CollePartie();
    void FinitChargement();
    void CommenceCollage(const QString &sTexte, int lEcrits, const QTextCursor &curseur, bool bCaretALaFin,
                         bool bAncienApres);
    void RetireAncien(int lLignes);
    void ArreteCollage();

    double m_margeDroite = 0;
    int m_barres = 3;
    QTextEdit::LineWrapMode m_modeRetour = QTextEdit::WidgetWidth;
    int m_largeurRetour = 0;
    PliageLignes *m_pliage;
    ColorationSql *m_coloration = nullptr;
    MargeNumeros *m_marge = nullptr;
    QPlainTextEdit *m_vueLargeur = nullptr;
    QString m_resteCollage;       ///< a large paste, as given, written from m_positionReste on
    int m_positionReste = 0;
    QTextCursor m_curseurCollage; ///< where the rest of the paste goes
    bool m_lectureSeuleAvantCollage = false;
    bool m_caretApresCollage = true;      ///< a paste leaves the caret after it; SetText at the start
    bool m_chargement = false;            ///< the text being written is a file's: no undo, never modified
    bool m_bAncienApres = false;
    QElapsedTimer m_horsCollage;          ///< since the last part was written
    QTimer m_minuterieCollage;            ///< the next part's turn; one at a time
    bool m_bAttendPeinture = false;       ///< the first part is not painted yet
    int m_lTranches = 0;                  ///< slices of time the text has had so far          ///< what follows the cursor of a SetText still to finish is the old text
};
