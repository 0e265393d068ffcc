#pragma once
#include <QRect>
#include <QTextEdit>
#include <functional>

/// A plain-text query editor with the interface the rest of the program was
/// written against: offsets and texts count a line break as CR LF (two
/// characters), key codes are the window system's virtual-key codes.
///
/// The document itself holds one character per paragraph break; every offset
/// crossing this class is converted between the two countings. An offset that
/// falls between the CR and the LF of a break is taken as the position right
/// after the break (the caret cannot stand inside a line break).
class EditeurRiche : public QTextEdit
{
    Q_OBJECT
public:
    explicit EditeurRiche(QWidget *parent = nullptr);

    /// The whole text, line breaks as CR LF.
    QString Text() const;
    /// Replaces the whole text (CR LF, lone CR or lone LF all start a new line)
    /// as one step that Ctrl+Z undoes; the caret goes to the start.
    void SetText(const QString &sTexte);

    /// Number of characters (CR LF counting two) before the caret.
    int SelStart() const;
    /// Moves the caret there (clamped to the text); the selection becomes empty.
    void SetSelStart(int lPosition);
    /// Number of selected characters (CR LF counting two) from SelStart on.
    int SelLength() const;
    /// Selects that many characters from SelStart on (clamped to the text).
    void SetSelLength(int lLongueur);

    /// Replaces the characters [lDebut, lDebut + lLongueur) (CR LF counting two,
    /// like SelStart) by a text, as one step that Ctrl+Z undoes, without
    /// scrolling the view; the caret goes to the end of the inserted text.
    void RemplacePlage(int lDebut, int lLongueur, const QString &sTexte);

    /// 0-based display line (wrapped lines counted) holding that character offset.
    int GetLineFromChar(int lPosition) const;

    /// Width in twips at which lines wrap; 0 wraps at the editor's own edge.
    void SetRightMargin(double dTwips);
    double RightMargin() const { return m_margeDroite; }
    /// 2 = vertical scroll bar only, 3 = both.
    void SetScrollBars(int lBarres);
    int ScrollBars() const { return m_barres; }

    /// The caret rectangle in viewport coordinates.
    QRect CaretRect() const;

    /// Conversions between CR LF offsets and document positions.
    int PositionDocument(int lOffset) const;
    int OffsetTexte(int lPositionDocument) const;

    /// Key-down with the virtual-key code and shift bits (1 Shift, 2 Ctrl,
    /// 4 Alt); setting KeyCode to 0 consumes the key.
    std::function<void(int &KeyCode, int Shift)> KeyDown;
    /// The typed character, once the editor has written it.
    std::function<void(int KeyAscii)> KeyPress;

    /// Virtual-key code of a Qt key (0 when it has none).
    static int CodeTouche(int lCleQt);
    /// Shift bits of Qt modifiers.
    static int EtatMaj(Qt::KeyboardModifiers modificateurs);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;

private:
    void AppliqueMarge();
    double m_margeDroite = 0;
    int m_barres = 3;
};
