#include "gestionfichiers.h"

#include "boitemessage.h"
#include "editeurriche.h"
#include "reglages.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTextDocument>

namespace {

const QString kTitre = QStringLiteral("Brenlor");
const QString kCleRecents = QStringLiteral("FichiersRecents");
const QString kFiltres = QStringLiteral("Scripts SQL (*.sql);;Tous les fichiers (*)");
constexpr int kMaxRecents = 10;
constexpr int kIntervalleSecours = 30000;

// The .sql file a drag carries, if that is what it carries.
QString ScriptDepose(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().isEmpty())
        return QString();
    const QUrl url = mime->urls().constFirst();
    if (!url.isLocalFile() || QFileInfo(url.toLocalFile()).suffix().compare(QLatin1String("sql"), Qt::CaseInsensitive) != 0)
        return QString();
    return url.toLocalFile();
}

} // namespace

GestionFichiers::GestionFichiers(QMainWindow *fenetre, EditeurRiche *editeur1, EditeurRiche *editeur2,
                                 QStatusBar *sta, const QString &sDossierSecours)
    : QObject(fenetre), m_fenetre(fenetre), m_sta(sta), m_copies(sDossierSecours)
{
    m_docs[0].editeur = editeur1;
    m_docs[1].editeur = editeur2;
    CreeMenu();
    for (int i : {1, 2})
        Surveille(i);
    fenetre->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *w) {
        for (int i : {1, 2}) {
            if (w && w == Doc(i).editeur)
                m_iCourant = i;
        }
    });
    m_tmrSecours.setInterval(kIntervalleSecours);
    connect(&m_tmrSecours, &QTimer::timeout, this, &GestionFichiers::EcritCopiesSecours);
    m_tmrSecours.start();
}

GestionFichiers::~GestionFichiers()
{
    // A window that goes without a crash leaves no copy behind.
    for (int i : {1, 2})
        m_copies.Efface(i);
}

void GestionFichiers::CreeMenu()
{
    const bool bMenuNeuf = !m_fenetre->menuWidget();
    m_menu = m_fenetre->menuBar()->addMenu(QStringLiteral("&Fichier"));
    m_menu->addAction(QStringLiteral("&Nouveau"), QKeySequence(QStringLiteral("Ctrl+N")), this, &GestionFichiers::Nouveau);
    m_menu->addAction(QStringLiteral("&Ouvrir…"), QKeySequence(QStringLiteral("Ctrl+O")), this, &GestionFichiers::Ouvrir);
    m_menu->addAction(QStringLiteral("&Enregistrer"), QKeySequence(QStringLiteral("Ctrl+S")), this,
                      &GestionFichiers::Enregistrer);
    m_menu->addAction(QStringLiteral("Enregistrer &sous…"), QKeySequence(QStringLiteral("Ctrl+Shift+S")), this,
                      &GestionFichiers::EnregistrerSous);
    QMenu *recents = m_menu->addMenu(QStringLiteral("Fichiers &récents"));
    connect(recents, &QMenu::aboutToShow, this, [this, recents] { RemplitRecents(recents); });
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("&Quitter"), QKeySequence(QStringLiteral("Ctrl+Q")), m_fenetre, &QWidget::close);
    // The controls stand where they were designed in the client area, which
    // starts under the menu bar: the window grows by the bar's height.
    if (bMenuNeuf)
        m_fenetre->resize(m_fenetre->width(), m_fenetre->height() + m_fenetre->menuBar()->sizeHint().height());
}

void GestionFichiers::Surveille(int iEditeur)
{
    EditeurRiche *e = Doc(iEditeur).editeur;
    connect(e->document(), &QTextDocument::modificationChanged, this, [this, iEditeur](bool bModifie) {
        if (!bModifie)
            m_copies.Efface(iEditeur);
        MetTitre();
    });
    connect(e->document(), &QTextDocument::contentsChanged, this, [this, iEditeur] { Doc(iEditeur).bCopieAJour = false; });
    // Drops land on whichever of the two accepts them.
    e->installEventFilter(this);
    e->viewport()->installEventFilter(this);
}

QString GestionFichiers::Nom(int iEditeur) const
{
    if (!Doc(iEditeur).sChemin.isEmpty())
        return QFileInfo(Doc(iEditeur).sChemin).fileName();
    return iEditeur == 1 ? QStringLiteral("Sans titre") : QStringLiteral("Sans titre 2");
}

bool GestionFichiers::EstModifie(int iEditeur) const
{
    const Document &d = Doc(iEditeur);
    // An empty new script has nothing to lose.
    if (d.sChemin.isEmpty() && d.editeur->document()->isEmpty())
        return false;
    return d.editeur->document()->isModified();
}

bool GestionFichiers::PeutAbandonner(int iEditeur)
{
    if (!EstModifie(iEditeur))
        return true;
    switch (PoseQuestion(m_fenetre, QStringLiteral("Enregistrer les modifications de %1 ?").arg(Nom(iEditeur)), kTitre,
                         true)) {
    case ReponseQuestion::Oui:
        return Enregistre(iEditeur);
    case ReponseQuestion::Non:
        return true;
    case ReponseQuestion::Annuler:
        break;
    }
    return false;
}

void GestionFichiers::Nouveau()
{
    if (PeutAbandonner(m_iCourant))
        Vide(m_iCourant);
}

void GestionFichiers::Ouvrir()
{
    const QString sDossier = QFileInfo(Doc(m_iCourant).sChemin).absolutePath();
    const QString sChemin = QFileDialog::getOpenFileName(m_fenetre, QStringLiteral("Ouvrir un script"),
                                                         Doc(m_iCourant).sChemin.isEmpty() ? QString() : sDossier, kFiltres);
    if (!sChemin.isEmpty())
        Ouvre(m_iCourant, sChemin);
}

bool GestionFichiers::Enregistrer()
{
    return Enregistre(m_iCourant);
}

bool GestionFichiers::EnregistrerSous()
{
    return EnregistreSousDialogue(m_iCourant);
}

bool GestionFichiers::Ouvre(int iEditeur, const QString &sChemin)
{
    const QString sAbsolu = QFileInfo(sChemin).absoluteFilePath();
    if (!PeutAbandonner(iEditeur))
        return false;
    LectureFichier lecture;
    if (!LitFichier(sAbsolu, lecture))
        return false;
    Charge(iEditeur, sAbsolu, lecture.script);
    AjouteRecent(sAbsolu);
    return true;
}

bool GestionFichiers::LitFichier(const QString &sChemin, LectureFichier &lecture)
{
    const QString sNom = QDir::toNativeSeparators(sChemin);
    lecture = LitFichierScript(sChemin);
    if (lecture.etat == LectureFichier::TropGros) {
        const QString sQuestion = QStringLiteral("%1 fait %2 Mio. L'ouvrir quand même ?").arg(sNom).arg(lecture.lTaille >> 20);
        if (PoseQuestion(m_fenetre, sQuestion, kTitre, false) != ReponseQuestion::Oui)
            return false;
        lecture = LitFichierScript(sChemin, std::numeric_limits<qint64>::max());
    }
    if (lecture.etat == LectureFichier::Illisible)
        AfficheMessage(m_fenetre, QStringLiteral("Impossible d'ouvrir %1 : %2.").arg(sNom, lecture.sErreur),
                       IconeMessage::Erreur, kTitre);
    else if (lecture.etat == LectureFichier::PasUnTexte)
        AfficheMessage(m_fenetre, QStringLiteral("%1 n'est pas un script texte.").arg(sNom), IconeMessage::Erreur, kTitre);
    return lecture.etat == LectureFichier::Lu;
}

void GestionFichiers::Charge(int iEditeur, const QString &sChemin, const ScriptDecode &script)
{
    Document &d = Doc(iEditeur);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Nothing to undo and the caret at its start; a large script shows its
    // first part at once and the rest follows while the window answers.
    d.editeur->ChargeTexte(script.sTexte);
    QApplication::restoreOverrideCursor();
    d.sChemin = sChemin;
    d.forme = script.forme;
    d.empreinte = EmpreinteDe(sChemin);
    d.editeur->document()->setModified(false);
    d.bCopieAJour = true;
    MetTitre();
}

void GestionFichiers::Vide(int iEditeur)
{
    Document &d = Doc(iEditeur);
    d.editeur->ChargeTexte(QString());
    d.sChemin.clear();
    d.forme = FormeScript();
    d.empreinte = EmpreinteFichier();
    d.editeur->document()->setModified(false);
    m_copies.Efface(iEditeur);
    MetTitre();
}

bool GestionFichiers::Enregistre(int iEditeur)
{
    if (Doc(iEditeur).sChemin.isEmpty())
        return EnregistreSousDialogue(iEditeur);
    return EcritFichier(iEditeur, Doc(iEditeur).sChemin);
}

bool GestionFichiers::EnregistreSousDialogue(int iEditeur)
{
    const QString sPropose = Doc(iEditeur).sChemin.isEmpty() ? QStringLiteral("requete.sql") : Doc(iEditeur).sChemin;
    QString sChemin = QFileDialog::getSaveFileName(m_fenetre, QStringLiteral("Enregistrer sous"), sPropose, kFiltres);
    if (sChemin.isEmpty())
        return false;
    if (QFileInfo(sChemin).suffix().isEmpty())
        sChemin += QLatin1String(".sql");
    return EnregistreSous(iEditeur, sChemin);
}

bool GestionFichiers::EnregistreSous(int iEditeur, const QString &sChemin)
{
    return EcritFichier(iEditeur, QFileInfo(sChemin).absoluteFilePath());
}

bool GestionFichiers::EcritFichier(int iEditeur, const QString &sChemin)
{
    Document &d = Doc(iEditeur);
    const QString sTexte = d.editeur->Text();
    FormeScript forme = d.forme;
    if (!FormePeutCoder(forme, sTexte)) {
        const QString sQuestion = QStringLiteral("%1 est en %2, qui ne peut pas contenir tous les caractères du texte. "
                                                 "L'enregistrer en UTF-8 ?")
                                      .arg(QFileInfo(sChemin).fileName(), NomEncodage(forme.encodage));
        if (PoseQuestion(m_fenetre, sQuestion, kTitre, false) != ReponseQuestion::Oui)
            return false;
        forme.encodage = FormeScript::Utf8;
        forme.bMarque = false;
    }
    const QString sErreur = EnregistreScript(sChemin, sTexte, forme);
    if (!sErreur.isEmpty()) {
        AfficheMessage(m_fenetre,
                       QStringLiteral("Impossible d'enregistrer %1 : %2.").arg(QDir::toNativeSeparators(sChemin), sErreur),
                       IconeMessage::Erreur, kTitre);
        return false;
    }
    d.sChemin = sChemin;
    d.forme = forme;
    d.empreinte = EmpreinteDe(sChemin);
    d.editeur->document()->setModified(false);
    AjouteRecent(sChemin);
    MetTitre();
    m_sta->showMessage(QStringLiteral("%1 enregistré.").arg(Nom(iEditeur)), 5000);
    return true;
}

QStringList GestionFichiers::FichiersRecents() const
{
    const QString s = Reglages::Lit(kCleRecents, QString());
    return s.isEmpty() ? QStringList() : s.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void GestionFichiers::AjouteRecent(const QString &sChemin)
{
    QStringList recents = FichiersRecents();
    recents.removeAll(sChemin);
    recents.prepend(sChemin);
    Reglages::Enregistre(kCleRecents, recents.mid(0, kMaxRecents).join(QLatin1Char('\n')));
}

void GestionFichiers::RemplitRecents(QMenu *menu)
{
    menu->clear();
    const QStringList recents = FichiersRecents();
    for (int i = 0; i < recents.size(); ++i) {
        const QString sChemin = recents.at(i);
        const QString sTexte = QStringLiteral("&%1 %2").arg((i + 1) % 10).arg(QDir::toNativeSeparators(sChemin));
        menu->addAction(sTexte, this, [this, sChemin] { Ouvre(m_iCourant, sChemin); });
    }
    if (recents.isEmpty())
        menu->addAction(QStringLiteral("(aucun)"))->setEnabled(false);
}

void GestionFichiers::MetTitre()
{
    const Document &d = m_docs[0];
    if (d.sChemin.isEmpty()) {
        m_fenetre->setWindowTitle(kTitre);
        return;
    }
    const QString sEtoile = d.editeur->document()->isModified() ? QStringLiteral("*") : QString();
    m_fenetre->setWindowTitle(QStringLiteral("%1%2 — %3").arg(Nom(1), sEtoile, kTitre));
}

void GestionFichiers::VerifieDisque()
{
    if (m_bVerifieDisque)
        return;
    m_bVerifieDisque = true;
    for (int i : {1, 2}) {
        Document &d = Doc(i);
        if (d.sChemin.isEmpty())
            continue;
        const EmpreinteFichier e = EmpreinteDe(d.sChemin);
        if (e.lTaille < 0 || e == d.empreinte)
            continue;
        // Asked once per change, whatever the answer.
        d.empreinte = e;
        if (d.editeur->document()->isModified()) {
            const QString sQuestion = QStringLiteral("%1 a été modifié sur le disque. Le recharger et perdre vos "
                                                     "modifications ?").arg(Nom(i));
            if (PoseQuestion(m_fenetre, sQuestion, kTitre, false) != ReponseQuestion::Oui)
                continue;
        }
        LectureFichier lecture;
        if (LitFichier(d.sChemin, lecture)) {
            Charge(i, d.sChemin, lecture.script);
            m_sta->showMessage(QStringLiteral("%1 a changé sur le disque : rechargé.").arg(Nom(i)));
        }
    }
    m_bVerifieDisque = false;
}

void GestionFichiers::EcritCopiesSecours()
{
    for (int i : {1, 2}) {
        Document &d = Doc(i);
        if (!EstModifie(i)) {
            m_copies.Efface(i);
            continue;
        }
        if (d.bCopieAJour)
            continue;
        const QString sErreur = m_copies.Ecrit(i, d.sChemin, d.editeur->Text());
        d.bCopieAJour = sErreur.isEmpty();
        if (!sErreur.isEmpty())
            m_sta->showMessage(QStringLiteral("Copie de secours impossible : %1").arg(sErreur), 10000);
    }
}

void GestionFichiers::OffreCopies()
{
    for (const CopieSecours &copie : m_copies.Abandonnees()) {
        const QString sNom = copie.sChemin.isEmpty() ? QStringLiteral("un script sans titre")
                                                     : QDir::toNativeSeparators(copie.sChemin);
        const QString sQuestion = QStringLiteral("Brenlor s'est arrêté sans que les modifications de %1 soient "
                                                 "enregistrées. Les récupérer dans l'éditeur %2 ?")
                                      .arg(sNom).arg(copie.iEditeur);
        if (PoseQuestion(m_fenetre, sQuestion, kTitre, false) == ReponseQuestion::Oui) {
            // Kept for the next start when the editor's own text may not go.
            if (!PeutAbandonner(copie.iEditeur))
                continue;
            Document &d = Doc(copie.iEditeur);
            ScriptDecode script;
            script.sTexte = copie.sTexte;
            // Saved later in the form of the file it came from, where there is one.
            const LectureFichier original = copie.sChemin.isEmpty() ? LectureFichier() : LitFichierScript(copie.sChemin);
            if (original.etat == LectureFichier::Lu)
                script.forme = original.script.forme;
            Charge(copie.iEditeur, copie.sChemin, script);
            d.editeur->document()->setModified(true);
            d.bCopieAJour = false;
            MetTitre();
        }
        CopiesSecours::Oublie(copie);
    }
    EcritCopiesSecours();
}

void GestionFichiers::Demarre(const QStringList &fichiers)
{
    OffreCopies();
    for (int i = 0; i < qMin(2, int(fichiers.size())); ++i)
        Ouvre(i + 1, fichiers.at(i));
}

bool GestionFichiers::FermetureAcceptee()
{
    for (int i : {1, 2}) {
        if (!PeutAbandonner(i))
            return false;
    }
    m_tmrSecours.stop();
    for (int i : {1, 2})
        m_copies.Efface(i);
    return true;
}

bool GestionFichiers::TraiteDepot(int iEditeur, QEvent *event)
{
    auto *depot = static_cast<QDropEvent *>(event);
    const QString sChemin = ScriptDepose(depot->mimeData());
    if (sChemin.isEmpty())
        return false;
    depot->acceptProposedAction();
    if (event->type() == QEvent::Drop)
        // After the drag ends: a question box must not open inside it.
        QTimer::singleShot(0, this, [this, iEditeur, sChemin] { Ouvre(iEditeur, sChemin); });
    return true;
}

bool GestionFichiers::eventFilter(QObject *objet, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Close:
        if (objet == m_fenetre && !FermetureAcceptee()) {
            event->ignore();
            return true;
        }
        break;
    case QEvent::WindowActivate:
        if (objet == m_fenetre)
            QTimer::singleShot(0, this, &GestionFichiers::VerifieDisque);
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        for (int i : {1, 2}) {
            if (objet == Doc(i).editeur || objet == Doc(i).editeur->viewport())
                return TraiteDepot(i, event);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(objet, event);
}
