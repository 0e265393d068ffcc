#pragma once
#include <QTableView>

class ModeleResultats;

/// The grid of one result set: Ctrl+C copies the selected cells as
/// tab-separated text, Ctrl+Maj+C with the column names first.
class GrilleResultats : public QTableView
{
    Q_OBJECT
public:
    explicit GrilleResultats(ModeleResultats *modele, QWidget *parent = nullptr);

    /// Returns the selected cells as tab-separated lines (whole values).
    QString TexteSelection(bool bAvecEntetes) const;
    /// Puts the selection on the clipboard.
    void Copie(bool bAvecEntetes);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    ModeleResultats *m_modele;
};
