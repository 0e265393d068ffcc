#include "hoteexecution.h"

#include "boitemessage.h"
#include "comboimages.h"
#include "controlesbrenlor.h"
#include "editeurriche.h"
#include "grilleresultats.h"
#include "twips.h"
#include "zoneresultats.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTextBlock>

namespace {

const QString kQuestionTransactions =
    QStringLiteral("Des transactions ne sont pas validées. Voulez-vous les valider ?");
// The longest a closing window waits for a cancelled run to end.
constexpr int kAttenteFinMs = 1500;
// Twips: the editors' top and two lines of each.
constexpr double kHautMinimumSurface = 1320 + 2 * 600;
// The share of the height the results take when they first show.
constexpr double kPartResultats = 0.45;

QString Duree(qint64 lMs)
{
    return QStringLiteral("%1:%2:%3.%4")
        .arg(lMs / 3600000, 2, 10, QLatin1Char('0'))
        .arg(lMs / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(lMs / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(lMs % 1000, 3, 10, QLatin1Char('0'));
}

} // namespace

HoteExecution::HoteExecution(QMainWindow *fenetre, ControlesBrenlor &controles)
    : QObject(fenetre), m_fenetre(fenetre), m_c(controles), m_editeur(controles.txtRequete)
{
    setObjectName(QStringLiteral("hoteExecution"));
    btnExecuter = new QPushButton(QStringLiteral("Exécuter"), m_c.Surface());
    btnExecuter->setObjectName(QStringLiteral("btnExecuter"));
    btnExecuter->setGeometry(TwipsEnPixels(btnExecuter, 5160), TwipsEnPixels(btnExecuter, 840),
                             TwipsEnPixels(btnExecuter, 1695), TwipsEnPixels(btnExecuter, 360));
    btnExecuter->setFocusPolicy(Qt::NoFocus);
    CreeZone();
    CreeRaccourcis();
    m_lblEtat = new QLabel(m_c.sta);
    m_c.sta->addPermanentWidget(m_lblEtat);
    m_tmrEtat.setInterval(100);
    connect(&m_tmrEtat, &QTimer::timeout, this, &HoteExecution::AfficheEtat);

    m_session = new SessionRequete;
    m_session->moveToThread(&m_fil);
    m_fil.setObjectName(QStringLiteral("SessionRequete"));
    m_fil.start();
    Relie();
    m_fenetre->installEventFilter(this);
}

HoteExecution::~HoteExecution()
{
    m_session->Annule();
    QMetaObject::invokeMethod(m_session, &SessionRequete::Ferme, Qt::QueuedConnection);
    m_fil.quit();
    m_fil.wait();
    delete m_session;
}

void HoteExecution::CreeZone()
{
    // The editors keep their layout rules in what the area leaves them: the
    // client area becomes the top of a splitter, the results its bottom,
    // hidden until the first run.
    QWidget *surface = m_fenetre->takeCentralWidget();
    m_separateur = new QSplitter(Qt::Vertical);
    m_separateur->setObjectName(QStringLiteral("separateurResultats"));
    m_separateur->addWidget(surface);
    m_zone = new ZoneResultats;
    m_separateur->addWidget(m_zone);
    m_separateur->setCollapsible(0, false);
    m_separateur->setStretchFactor(0, 1);
    m_zone->hide();
    m_fenetre->setCentralWidget(m_separateur);
    surface->installEventFilter(this);
}

void HoteExecution::CreeRaccourcis()
{
    const auto raccourci = [this](const QKeySequence &touches, QWidget *portee, auto action) {
        auto *r = new QShortcut(touches, portee);
        r->setContext(portee == m_fenetre ? Qt::WindowShortcut : Qt::WidgetWithChildrenShortcut);
        connect(r, &QShortcut::activated, this, action);
    };
    raccourci(QKeySequence(Qt::Key_F5), m_fenetre, [this] { Execute(); });
    raccourci(QKeySequence(Qt::CTRL | Qt::Key_E), m_fenetre, [this] { Execute(); });
    raccourci(QKeySequence(Qt::ALT | Qt::Key_Pause), m_fenetre, [this] { Annule(); });
    raccourci(QKeySequence(Qt::Key_Escape), m_zone, [this] { Annule(); });
    raccourci(QKeySequence(Qt::Key_F6), m_fenetre, [this] { BasculeFocus(); });
    raccourci(QKeySequence(Qt::CTRL | Qt::Key_R), m_fenetre, [this] { m_zone->isVisible() ? CacheZone() : MontreZone(); });
}

void HoteExecution::Relie()
{
    connect(btnExecuter, &QPushButton::clicked, this, [this] { m_bEnCours ? Annule() : Execute(); });
    connect(m_session, &SessionRequete::JeuCommence, m_zone, &ZoneResultats::NouveauJeu);
    connect(m_session, &SessionRequete::LignesLues, this, [this](const BlocPartage &bloc) {
        m_lLignes += bloc->Lignes();
        m_zone->AjouteBloc(bloc);
    });
    connect(m_session, &SessionRequete::MessagesRecus, m_zone, &ZoneResultats::AjouteMessages);
    connect(m_session, &SessionRequete::BaseChangee, this, &HoteExecution::SuitBase);
    connect(m_session, &SessionRequete::ExecutionTerminee, this, &HoteExecution::Termine);
    connect(m_zone, &ZoneResultats::LigneErreurChoisie, this, &HoteExecution::PlaceCurseur);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *maintenant) {
        if (maintenant == m_c.txtRequete || maintenant == m_c.txtRequete2)
            m_editeur = static_cast<EditeurRiche *>(maintenant);
    });
    connect(m_c.cboBase, &ComboImages::TexteModifieParUtilisateur, this, [this] { PickerChange(false); });
    connect(m_c.cboBase, &QComboBox::activated, this, [this] { PickerChange(false); });
    connect(m_c.cboServeur, &ComboImages::TexteModifieParUtilisateur, this, [this] { PickerChange(true); });
    connect(m_c.cboServeur, &QComboBox::activated, this, [this] { PickerChange(true); });
}

void HoteExecution::Execute()
{
    if (m_bEnCours || !m_editeur || !m_editeur->isEnabled())
        return;
    m_editeurExecute = m_editeur;
    const QTextCursor curseur = m_editeur->textCursor();
    const QString sScript = m_editeur->TexteLf(curseur.hasSelection());
    const int lDecalage = curseur.hasSelection() ? m_editeur->LigneDePosition(curseur.selectionStart()) : 0;
    if (EstSansInstruction(sScript))
        return;
    MontreZone();
    m_zone->Vide();
    const DecoupageLots d = DecoupeLots(sScript);
    if (!d.sErreur.isEmpty()) {
        m_zone->AjouteMessages({{MessageExecution::Erreur, d.sErreur, lDecalage + d.lLigneErreur}});
        m_zone->MontreOngletUtile();
        return;
    }
    const ParametresSession p{m_c.cboServeur->currentText(), m_c.cboBase->currentText(), m_c.txtPWD->text()};
    m_sServeurSession = p.sServeur;
    m_sBaseSession = p.sBase;
    m_bEnCours = true;
    m_bAnnulee = false;
    m_lLignes = 0;
    m_sEtat = QStringLiteral("Exécution en cours");
    m_chrono.start();
    m_tmrEtat.start();
    btnExecuter->setText(QStringLiteral("Annuler"));
    AfficheEtat();
    m_session->Rearme();
    SessionRequete *session = m_session;
    QMetaObject::invokeMethod(m_session, [session, lots = d.lots, p, lDecalage] { session->Execute(lots, p, lDecalage); },
                              Qt::QueuedConnection);
}

void HoteExecution::MontreZone()
{
    if (m_zone->isVisible())
        return;
    const int lTotal = m_separateur->height();
    // The pickers and a few lines of each editor stay in view however far
    // the results are dragged up; without the results the window keeps the
    // sizes it always allowed.
    m_c.Surface()->setMinimumHeight(TwipsEnPixels(m_c.Surface(), kHautMinimumSurface));
    m_zone->show();
    const int lZone = int(lTotal * kPartResultats);
    m_separateur->setSizes({lTotal - lZone, lZone});
}

void HoteExecution::CacheZone()
{
    m_zone->hide();
    m_c.Surface()->setMinimumHeight(0);
}

void HoteExecution::Annule()
{
    if (!m_bEnCours || m_bAnnulee)
        return;
    m_bAnnulee = true;
    m_sEtat = QStringLiteral("Annulation");
    m_session->Annule();
    AfficheEtat();
}

void HoteExecution::Termine(const FinExecution &fin)
{
    m_bEnCours = false;
    m_tmrEtat.stop();
    m_lDureeMs = m_chrono.elapsed();
    m_lTransactions = fin.lTransactions;
    btnExecuter->setText(QStringLiteral("Exécuter"));
    if (fin.bAnnulee)
        m_zone->AjouteMessages({{MessageExecution::Info, QStringLiteral("L'exécution a été annulée."), 0}});
    m_sEtat = fin.bAnnulee ? QStringLiteral("Exécution annulée") : QStringLiteral("Exécution terminée");
    m_zone->MontreOngletUtile();
    AfficheEtat();
    emit ExecutionFinie();
}

void HoteExecution::AfficheEtat()
{
    const qint64 lMs = m_bEnCours ? m_chrono.elapsed() : m_lDureeMs;
    m_lblEtat->setText(QStringLiteral("%1 — %2 — %3 ligne(s)").arg(m_sEtat, Duree(lMs)).arg(m_lLignes));
}

void HoteExecution::SuitBase(const QString &sBase)
{
    // A USE of the script: the picker follows the session, which stays.
    m_sBaseSession = sBase;
    if (!m_c.cboBase->SelectionneCle(sBase))
        m_c.cboBase->SetText(sBase);
}

bool HoteExecution::RegleTransactions()
{
    if (m_lTransactions <= 0)
        return true;
    const ReponseQuestion r = PoseQuestion(m_fenetre, kQuestionTransactions, QStringLiteral("Brenlor"));
    if (r == ReponseQuestion::Annuler)
        return false;
    const bool bValide = r == ReponseQuestion::Oui;
    SessionRequete *session = m_session;
    QMetaObject::invokeMethod(m_session, [session, bValide] { session->TermineTransactions(bValide); },
                              Qt::BlockingQueuedConnection);
    m_lTransactions = 0;
    return true;
}

void HoteExecution::PickerChange(bool bServeur)
{
    const QString sAvant = bServeur ? m_sServeurSession : m_sBaseSession;
    ComboImages *picker = bServeur ? m_c.cboServeur : m_c.cboBase;
    if (m_bEnCours || sAvant.isEmpty() || picker->currentText() == sAvant)
        return;
    if (!RegleTransactions()) {
        // Nothing changes: the picker goes back to the session's.
        if (!picker->SelectionneCle(sAvant))
            picker->SetText(sAvant);
        return;
    }
    m_sServeurSession.clear();
    m_sBaseSession.clear();
    QMetaObject::invokeMethod(m_session, &SessionRequete::Ferme, Qt::QueuedConnection);
}

void HoteExecution::BasculeFocus()
{
    if (m_zone->isAncestorOf(QApplication::focusWidget())) {
        if (m_editeur)
            m_editeur->setFocus();
        return;
    }
    if (!m_zone->isVisible())
        return;
    QWidget *cible = m_zone->currentIndex() == 0 && !m_zone->Grilles().isEmpty()
                         ? static_cast<QWidget *>(m_zone->Grilles().constFirst())
                         : m_zone->Messages();
    cible->setFocus();
}

void HoteExecution::PlaceCurseur(int lLigne)
{
    EditeurRiche *editeur = m_editeurExecute ? m_editeurExecute.data() : m_c.txtRequete;
    const int lPosition = editeur->PositionDeLaLigne(lLigne);
    if (lPosition < 0)
        return;
    QTextCursor c(editeur->document());
    c.setPosition(lPosition);
    editeur->setTextCursor(c);
    editeur->setFocus();
}

bool HoteExecution::eventFilter(QObject *objet, QEvent *event)
{
    if (objet == m_c.Surface() && event->type() == QEvent::Resize) {
        m_c.DisposeEditeurs();
    } else if (objet == m_fenetre && event->type() == QEvent::Close) {
        if (m_bEnCours) {
            Annule();
            QEventLoop attente;
            connect(this, &HoteExecution::ExecutionFinie, &attente, &QEventLoop::quit);
            QTimer::singleShot(kAttenteFinMs, &attente, &QEventLoop::quit);
            attente.exec();
        }
        if (!RegleTransactions()) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(objet, event);
}
