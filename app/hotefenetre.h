#pragma once
#include <QObject>
#include <QPointer>

#include "hotetest.h"

class frmBrenlor;

/// The test run's view of the main window. Once the window is closing (or
/// gone) every call is a no-op, so a run that was interrupted by the exit
/// sequence unwinds without touching a widget.
class HoteFenetre : public QObject, public HoteTest
{
public:
    explicit HoteFenetre(frmBrenlor *fenetre);
    ~HoteFenetre() override;

    QString Serveur() const override;
    QString Base() const override;
    QString PWD() const override;
    QString Requete() const override;
    QString TitreApplication() const override;
    void ActiveBouton(bool bActif) override;
    void VideJournal() override;
    void EleveGrille() override;
    void AjouteResultat(const QString &sTexte) override;
    double LargeurTwips(const QString &sTexte) const override;
    bool Abandonne() const override { return !Vivante(); }

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    // A close that was refused leaves the window visible: the run goes on.
    bool Vivante() const;

    QPointer<frmBrenlor> m_fenetre;
    bool m_bFermeture = false;
};
