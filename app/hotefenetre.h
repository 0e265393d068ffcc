#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "hotetest.h"

struct ControlesBrenlor;

/// The test run's view of the main window. Once the window is closing (or
/// gone) every call is a no-op, so a run that was interrupted by the exit
/// sequence unwinds without touching a widget.
class HoteFenetre : public QObject, public HoteTest
{
public:
    /// The run reads and writes the window's controls; its log lines and
    /// text widths go through the window's own procedures.
    HoteFenetre(QWidget *fenetre, const ControlesBrenlor &controles,
                std::function<void(const QString &)> ajouteResultat,
                std::function<double(const QString &)> largeurTwips);
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

    QPointer<QWidget> m_fenetre;
    const ControlesBrenlor &m_controles;
    std::function<void(const QString &)> m_ajouteResultat;
    std::function<double(const QString &)> m_largeurTwips;
    bool m_bFermeture = false;
};
