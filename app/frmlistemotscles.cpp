#include "frmlistemotscles.h"
#include "twips.h"

#include "editeurriche.h"
#include "fenetres.h"
#include "frmbrenlor.h"
#include "imagelist.h"
#include "insertion.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTimer>
#include <stdexcept>

namespace {
// Design-time size of the client area, in twips.
constexpr double kLargeurTwips = 4680;
constexpr double kHauteurTwips = 3195;
// Height of one list row and the room kept for a vertical scroll bar, in twips.
constexpr double kHauteurLigneTwips = 255;
constexpr double kMargeColonneTwips = 15;
// Ticks (of 100 ms) spent asking for the main window's activation before
// giving up: the window system may refuse it, and the popup must not pull at
// the focus forever.
constexpr int kToursActivationMax = 20;
}

frmListeMotsCles::frmListeMotsCles(frmBrenlor *principal)
    : QWidget(principal, Qt::Tool | Qt::FramelessWindowHint), m_principal(principal)
{
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    liv = new QListWidget(this);
    liv->setViewMode(QListView::ListMode);
    liv->setSelectionMode(QAbstractItemView::SingleSelection);
    liv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    liv->setIconSize(QSize(16, 16));
    liv->setUniformItemSizes(true);
    // The column width below is reckoned in twips from the list's outer width and
    // may pass the viewport by a pixel or two; that must not bring a scroll bar.
    liv->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    liv->installEventFilter(this);
    connect(liv, &QListWidget::itemClicked, this, [this] { liv_Click(); });

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
    for (int i = 0; i < liv->count(); ++i) {
        QListWidgetItem *item = liv->item(i);
        item->setIcon(m_imageList ? m_imageList->Icone(IconeElement(item)) : QIcon());
    }
}

void frmListeMotsCles::VideListe()
{
    liv->clear();
    m_cles.clear();
}

void frmListeMotsCles::TermineRemplissage()
{
    AppliqueLargeurColonne();
}

int frmListeMotsCles::IndexIcone(const QString &sCleIcone)
{
    if (m_jeuIndexes != ilsIconesCourantes) {
        m_indexes.clear();
        m_jeuIndexes = ilsIconesCourantes;
    }
    const auto trouve = m_indexes.constFind(sCleIcone);
    if (trouve != m_indexes.constEnd())
        return trouve.value();
    int lIcone = 0;
    try {
        lIcone = ilsIconesCourantes->Index(sCleIcone.trimmed());
    } catch (const std::exception &) {
        lIcone = 0;
    }
    m_indexes.insert(sCleIcone, lIcone);
    return lIcone;
}

bool frmListeMotsCles::AjouteProposition(const QString &sNom, const QString &sCleIcone)
{
    if (!ilsIconesCourantes)
        return false;
    const int lIcone = IndexIcone(sCleIcone);
    if (lIcone < 1)
        return false;
    // Keys of the list are unique regardless of case: the first of equal names wins.
    const qsizetype lAvant = m_cles.size();
    m_cles.insert(sNom.toLower());
    if (m_cles.size() == lAvant)
        return false;
    auto *item = new QListWidgetItem(sNom);
    item->setData(RoleIcone, lIcone);
    item->setIcon(m_imageList ? m_imageList->Icone(lIcone) : ilsIconesCourantes->Icone(lIcone));
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    liv->addItem(item);
    return true;
}

int frmListeMotsCles::RemplitListe(const QVector<LigneProposition> &lignes)
{
    m_cles.clear();
    m_cles.reserve(lignes.size());
    {
        // One signal per row makes the view and its selection model do their
        // bookkeeping thousands of times: the view is told once, below. The
        // items of the previous list are reused (a keystroke in the popup
        // replaces thousands of rows by nearly as many).
        const QSignalBlocker silence(liv->model());
        const int lAnciens = liv->count();
        int lCompte = 0;
        for (const LigneProposition &ligne : lignes) {
            if (!ilsIconesCourantes)
                break;
            const int lIcone = IndexIcone(ligne.sCleIcone);
            if (lIcone < 1)
                continue;
            // Keys of the list are unique regardless of case: the first of equal names wins.
            const qsizetype lAvant = m_cles.size();
            m_cles.insert(ligne.sNom.toLower());
            if (m_cles.size() == lAvant)
                continue;
            const QIcon icone = m_imageList ? m_imageList->Icone(lIcone) : ilsIconesCourantes->Icone(lIcone);
            if (lCompte < lAnciens) {
                QListWidgetItem *item = liv->item(lCompte);
                item->setText(ligne.sNom);
                item->setData(RoleIcone, lIcone);
                item->setIcon(icone);
            } else {
                auto *item = new QListWidgetItem(ligne.sNom);
                item->setData(RoleIcone, lIcone);
                item->setIcon(icone);
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
                liv->addItem(item);
            }
            ++lCompte;
        }
        for (int i = liv->count() - 1; i >= lCompte; --i)
            delete liv->takeItem(i);
        AppliqueLargeurColonne();
    }
    // Forgets the old selection and current row and lays the rows out again.
    liv->reset();
    return liv->count();
}

int frmListeMotsCles::IconeElement(const QListWidgetItem *item)
{
    return item ? item->data(RoleIcone).toInt() : 0;
}

void frmListeMotsCles::InsereTexte(const QString &sTexte, bool bKeyPress)
{
    EditeurRiche *editeur = m_principal ? m_principal->txtRequete : nullptr;
    if (!editeur)
        return;
    bool bBase = false;
    if (!bKeyPress && ilsIconesCourantes) {
        try {
            bBase = IconeElement(liv->currentItem()) == ilsIconesCourantes->Index(QStringLiteral("bases"));
        } catch (const std::exception &) {
            bBase = false;
        }
    }
    const Insertion insertion =
        CalculeInsertion(editeur->Text(), editeur->SelStart(), sTexte, bKeyPress, bBase);
    if (insertion.bAppliquee) {
        editeur->SetText(insertion.sTexte);
        editeur->SetSelStart(insertion.lSelStart);
    }
    m_principal->AfficheProposition(0);
}

void frmListeMotsCles::Form_KeyDown(int &KeyCode, int /*Shift*/)
{
    if (KeyCode == 27) {
        KeyCode = 0;
        tmr->start();
    }
}

void frmListeMotsCles::Form_KeyPress(int KeyAscii)
{
    if (KeyAscii == 13 || KeyAscii == 32) {
        liv_Click();
        return;
    }
    // Control characters (Ctrl+C and the like) are not text; Backspace and Tab are.
    if (KeyAscii < 32 && KeyAscii != 8 && KeyAscii != 9)
        return;
    InsereTexte(QString(QChar(KeyAscii)), true);
}

void frmListeMotsCles::liv_Click()
{
    // Choosing needs a chosen item; without one there is nothing to write.
    QListWidgetItem *item = liv->currentItem();
    if (!item || !item->isSelected())
        return;
    InsereTexte(item->text(), false);
    tmr->start();
}

void frmListeMotsCles::tmr_Timer()
{
    QWidget *actif = FenetreActive();
    const bool bPrincipalActif = m_principal && actif == m_principal;
    // Nothing of ours active, without our having asked for it: another
    // application took the activation, and it keeps it.
    const bool bAutreApplication = !actif && !m_activationDemandee;
    if (bPrincipalActif || bAutreApplication || m_lToursSansActivation >= kToursActivationMax) {
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
    if (m_principal && !bPrincipalActif) {
        ActiveFenetre(m_principal);
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
    const bool bDefilement = liv->height() < lHauteurLigne * liv->count();
    const int lLargeur = liv->width() - (bDefilement ? TwipsEnPixels(this, kHauteurLigneTwips, true) : 0)
        - TwipsEnPixels(this, kMargeColonneTwips, true);
    if (lLargeur <= 0)
        return;
    const QSize taille(lLargeur, lHauteurLigne);
    for (int i = 0; i < liv->count(); ++i)
        liv->item(i)->setSizeHint(taille);
}
