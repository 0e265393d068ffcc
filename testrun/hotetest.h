#pragma once
#include <QString>

/// What the test run needs from the window it runs in: the values it reads,
/// the log it writes, and the measuring font of the error entries.
struct HoteTest {
    virtual ~HoteTest() = default;

    virtual QString Serveur() const = 0;
    virtual QString Base() const = 0;
    virtual QString PWD() const = 0;
    /// The full query text; read once to open it and once more to log it.
    virtual QString Requete() const = 0;
    virtual QString TitreApplication() const = 0;

    /// Enables or disables the button that starts a run.
    virtual void ActiveBouton(bool bActif) = 0;
    /// Empties the log.
    virtual void VideJournal() = 0;
    /// Raises the result area to the front.
    virtual void EleveGrille() = 0;
    /// Appends one entry and its CR LF to the log and lets pending events run.
    virtual void AjouteResultat(const QString &sTexte) = 0;
    /// Width of a text in the window's current measuring font, in twips.
    virtual double LargeurTwips(const QString &sTexte) const = 0;
    /// True once the window is closing: the run then stops touching it.
    virtual bool Abandonne() const = 0;
};
