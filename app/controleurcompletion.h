#pragma once
#include <QObject>
#include <functional>

class EditeurRiche;
class frmListeMotsCles;
struct MotCurseur;

/// Writes what the completion popup reports into the query editor: each
/// typed key and each chosen name is one edit of the span it changes, so that
/// Ctrl+Z takes back just that, the view stays where it is, and the cost does
/// not grow with the script. After a typed key that goes on with the word it
/// asks for the list again.
class ControleurCompletion : public QObject
{
    Q_OBJECT
public:
    ControleurCompletion(frmListeMotsCles *popup, EditeurRiche *editeur, std::function<void()> redemande);

private:
    void EcritTouche(const QString &sTouche);
    void EcritNom(const QString &sNom, const QString &sProprietaire, bool bBase);
    void EcritCondition(const QString &sCondition);
    void ToucheDeChoix(const QString &sTouche);
    /// The word at the caret, read in the caret's line alone; lDebutLigne is
    /// the offset (CR LF counting two) where that line starts.
    MotCurseur MotDeLaLigne(int &lDebutLigne) const;

    frmListeMotsCles *m_popup;
    EditeurRiche *m_editeur;
};
