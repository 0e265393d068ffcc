#include "frmlistemotscles.h"

#include "demande.h"
#include "editeurriche.h"
#include "fenetres.h"
#include "imagelist.h"
#include "jointures.h"
#include "lexique.h"
#include "modelepropositions.h"
#include "twips.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QListView>
#include <QTimer>

namespace {
// Design-time size of the client area, in twips.
constexpr double kLargeurTwips = 4680;
constexpr double kHauteurTwips = 3195;
// Height of one list row and the room kept for a vertical scroll bar, in twips.
constexpr double kHauteurLigneTwips = 255;
constexpr double kMargeColonneTwips = 15;
// Ticks (of 100 ms) spent asking for the owner's activation before giving
// up: the window system may refuse it, and the popup must not pull at the
// focus forever.
constexpr int kToursActivationMax = 20;

// The characters that go on with the word being typed, so that the list
// follows them: name characters, the dot before a column, the brackets of a
// quoted name.
bool ContinueLeMot(QChar ch)
{
    return EstCaractereDeNom(ch) || ch == QLatin1Char('.') || ch == QLatin1Char('[') || ch == QLatin1Char(']');
}

int IndexBases()
{
    try {
        return ilsIconesCourantes ? ilsIconesCourantes->Index(QStringLiteral("bases")) : -1;
    } catch (const std::exception &) {
        return -1;
    }
}
}

frmListeMotsCles::frmListeMotsCles(QWidget *proprietaire)
    : QWidget(proprietaire, Qt::Tool | Qt::FramelessWindowHint), m_proprietaire(proprietaire)
{
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    m_modele = new ModelePropositions(this);
    liv = new QListView(this);
    liv->setModel(m_modele);
    liv->setViewMode(QListView::ListMode);
    liv->setSelectionMode(QAbstractItemView::SingleSelection);
    liv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    liv->setIconSize(QSize(16, 16));
    liv->setUniformItemSizes(true);
    // The column width below is reckoned in twips from the list's outer width and
    // may pass the viewport by a pixel or two; that must not bring a scroll bar.
    liv->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    liv->installEventFilter(this);
    connect(liv, &QListView::clicked, this, [this] { liv_Click(); });

    tmr = new QTimer(this);
    tmr->setInterval(100);
    connect(tmr, &QTimer::timeout, this, [this] { tmr_Timer(); });

    ilsIcones2000 = ImageList::Icones2000();
    ilsIcones2005 = ImageList::Icones2005();

    setFixedSize(TwipsEnPixels(this, kLargeurTwips, true), TwipsEnPixels(this, kHauteurTwips, false));
    liv->setGeometry(0, 0, width(), height());
}

frmListeMotsCles::~frmListeMotsCles() = default;

void frmListeMotsCles::SetImageList(ImageList *imageList)
{
    m_imageList = imageList;
    m_modele->SetImageList(imageList);
}

int frmListeMotsCles::RemplitListe(const QVector<LigneProposition> &lignes)
{
    m_modele->Remplit(lignes, ilsIconesCourantes);
    m_modele->SetImageList(m_imageList ? m_imageList : ilsIconesCourantes);
    AppliqueLargeurColonne();
    return m_modele->rowCount();
}

void frmListeMotsCles::SelectionneProposition(const QString &sPrefixe)
{
    SetSelection(Nombre() > 0 ? IndexSelection(m_modele->Lignes(), sPrefixe) : -1);
}

int frmListeMotsCles::Nombre() const
{
    return m_modele->rowCount();
}

QString frmListeMotsCles::TexteElement(int lRang) const
{
    return lRang >= 0 && lRang < Nombre() ? m_modele->Ligne(lRang).Affichage() : QString();
}

QString frmListeMotsCles::NomElement(int lRang) const
{
    return lRang >= 0 && lRang < Nombre() ? m_modele->Ligne(lRang).sNom : QString();
}

int frmListeMotsCles::IconeElement(int lRang) const
{
    return lRang >= 0 && lRang < Nombre() ? m_modele->Icone(lRang) : 0;
}

int frmListeMotsCles::Selection() const
{
    const QModelIndex courant = liv->currentIndex();
    if (!courant.isValid() || !liv->selectionModel()->isSelected(courant))
        return -1;
    return courant.row();
}

void frmListeMotsCles::SetSelection(int lRang)
{
    if (lRang < 0 || lRang >= Nombre()) {
        liv->setCurrentIndex(QModelIndex());
        liv->clearSelection();
        return;
    }
    const QModelIndex index = m_modele->index(lRang);
    liv->setCurrentIndex(index);
    liv->scrollTo(index);
}

void frmListeMotsCles::MontreEn(const QPoint &coin)
{
    // A list shown again must not be hidden by the tick of an earlier close.
    tmr->stop();
    m_activationDemandee = false;
    m_lToursSansActivation = 0;
    move(coin);
    show();
    ActiveFenetre(this);
    liv->setFocus();
}

void frmListeMotsCles::Ferme()
{
    if (isVisible()) {
        // The owner first: keys typed meanwhile go to it, none to a window
        // that is going away.
        if (m_proprietaire)
            ActiveFenetre(m_proprietaire);
        m_activationDemandee = true;
        hide();
    }
    tmr->start();
}

void frmListeMotsCles::InsereTexte(const QString &sTexte, bool bKeyPress)
{
    if (bKeyPress) {
        emit ToucheAEcrire(sTexte);
        return;
    }
    const int lRang = Selection();
    // The selected proposal is written part by part: an owner and a name
    // are bracketed each on their own.
    if (lRang >= 0 && TexteElement(lRang) == sTexte && m_modele->Ligne(lRang).sCleIcone == CleIconeJointure())
        emit ConditionAEcrire(sTexte);
    else if (lRang >= 0 && TexteElement(lRang) == sTexte)
        emit NomAEcrire(m_modele->Ligne(lRang).sNom, m_modele->Ligne(lRang).sProprietaire,
                        IconeElement(lRang) == IndexBases());
    else
        emit NomAEcrire(sTexte, QString(), false);
}

void frmListeMotsCles::Choisit(int lRang, const QString &sApres)
{
    InsereTexte(TexteElement(lRang), false);
    if (!sApres.isEmpty())
        InsereTexte(sApres, true);
    Ferme();
}

void frmListeMotsCles::EcritTouche(const QString &sTouche)
{
    InsereTexte(sTouche, true);
    Ferme();
}

void frmListeMotsCles::Form_KeyDown(int &KeyCode, int /*Shift*/)
{
    if (KeyCode == 27) {
        KeyCode = 0;
        Ferme();
    }
}

void frmListeMotsCles::Form_KeyPress(int KeyAscii)
{
    if (KeyAscii == 13 || KeyAscii == 32) {
        const QString sTouche = KeyAscii == 13 ? QStringLiteral("\r\n") : QStringLiteral(" ");
        if (Selection() < 0)
            EcritTouche(sTouche);
        else
            emit ToucheDeChoix(sTouche);
        return;
    }
    const QChar ch(KeyAscii);
    if (KeyAscii == 8 || ContinueLeMot(ch)) {
        InsereTexte(QString(ch), true);
        emit FrappeEcrite();
        return;
    }
    // Control characters (Ctrl+C and the like) are not text; Tab is.
    if (KeyAscii < 32 && KeyAscii != 9)
        return;
    // Anything else ends the word: it is written and the list goes.
    EcritTouche(QString(ch));
}

void frmListeMotsCles::liv_Click()
{
    const int lRang = Selection();
    if (lRang >= 0)
        Choisit(lRang, QString());
}

void frmListeMotsCles::tmr_Timer()
{
    QWidget *actif = FenetreActive();
    const bool bProprietaireActif = m_proprietaire && actif == m_proprietaire;
    // Nothing of ours active, without our having asked for it: another
    // application took the activation, and it keeps it.
    const bool bAutreApplication = !actif && !m_activationDemandee;
    if (bProprietaireActif || bAutreApplication || m_lToursSansActivation >= kToursActivationMax) {
        tmr->stop();
        m_activationDemandee = false;
        m_lToursSansActivation = 0;
    } else {
        ++m_lToursSansActivation;
    }
    hide();
    if (bAutreApplication)
        return;
    QCoreApplication::processEvents();
    if (m_proprietaire && !bProprietaireActif) {
        ActiveFenetre(m_proprietaire);
        m_activationDemandee = tmr->isActive();
    }
}

bool frmListeMotsCles::eventFilter(QObject *objet, QEvent *evenement)
{
    if (objet == liv && evenement->type() == QEvent::KeyPress) {
        auto *touche = static_cast<QKeyEvent *>(evenement);
        int code = EditeurRiche::CodeTouche(touche->key());
        if (code != 0) {
            Form_KeyDown(code, EditeurRiche::EtatMaj(touche->modifiers()));
            if (code == 0)
                return true;
        }
        const QString sTexte = touche->text();
        if (!sTexte.isEmpty() && sTexte.at(0).unicode() != 127) {
            Form_KeyPress(sTexte.at(0).unicode());
            return true;
        }
    }
    return QWidget::eventFilter(objet, evenement);
}

void frmListeMotsCles::changeEvent(QEvent *evenement)
{
    if (evenement->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow())
        tmr->start();
    QWidget::changeEvent(evenement);
}

void frmListeMotsCles::resizeEvent(QResizeEvent *evenement)
{
    QWidget::resizeEvent(evenement);
    liv->setGeometry(0, 0, width(), height());
    AppliqueLargeurColonne();
}

void frmListeMotsCles::AppliqueLargeurColonne()
{
    // Rows of 255 twips that do not fit leave room for a vertical scroll bar.
    const int lHauteurLigne = TwipsEnPixels(this, kHauteurLigneTwips, false);
    const bool bDefilement = liv->height() < lHauteurLigne * Nombre();
    const int lLargeur = liv->width() - (bDefilement ? TwipsEnPixels(this, kHauteurLigneTwips, true) : 0)
        - TwipsEnPixels(this, kMargeColonneTwips, true);
    if (lLargeur > 0)
        m_modele->SetTailleLigne(QSize(lLargeur, lHauteurLigne));
}
