#pragma once
#include <QWidget>

class EditeurRiche;
class QFontMetrics;

/// The margin beside an editor's text that shows its line numbers; the editor
/// paints it, since only the editor knows where its lines are drawn.
class MargeNumeros : public QWidget
{
public:
    explicit MargeNumeros(EditeurRiche *editeur);

    /// The width that the numbers of lLignes lines need, kept for Largeur().
    int Calcule(int lLignes, const QFontMetrics &fm);
    int Largeur() const { return m_largeur; }

    static constexpr int kEspaceDroite = 6;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    EditeurRiche *m_editeur;
    int m_largeur = 0;
};
