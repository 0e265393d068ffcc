#include "zoneresultats.h"

#include "grilleresultats.h"
#include "modeleresultats.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>

namespace {
constexpr int kIntervalleMessagesMs = 30;
}

ZoneResultats::ZoneResultats(QWidget *parent) : QTabWidget(parent)
{
    setObjectName(QStringLiteral("zoneResultats"));
    m_jeux = new QSplitter(Qt::Vertical);
    m_jeux->setChildrenCollapsible(false);
    addTab(m_jeux, QStringLiteral("Résultats"));
    m_messages = new QPlainTextEdit;
    m_messages->setObjectName(QStringLiteral("txtMessages"));
    m_messages->setReadOnly(true);
    m_messages->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_messages->viewport()->installEventFilter(this);
    addTab(m_messages, QStringLiteral("Messages"));
    m_tmrMessages.setSingleShot(true);
    m_tmrMessages.setInterval(kIntervalleMessagesMs);
    connect(&m_tmrMessages, &QTimer::timeout, this, &ZoneResultats::EcritMessages);
}

void ZoneResultats::Vide()
{
    m_tmrMessages.stop();
    m_enAttente.clear();
    qDeleteAll(m_grilles);
    m_grilles.clear();
    m_messages->clear();
    m_lignesErreurs.clear();
    setCurrentIndex(0);
}

void ZoneResultats::NouveauJeu(const QVector<ColonneResultat> &colonnes)
{
    auto *grille = new GrilleResultats(new ModeleResultats(colonnes));
    grille->setObjectName(QStringLiteral("grdJeu%1").arg(m_grilles.size() + 1));
    m_jeux->addWidget(grille);
    m_grilles << grille;
}

void ZoneResultats::AjouteBloc(const BlocPartage &bloc)
{
    if (!m_grilles.isEmpty())
        static_cast<ModeleResultats *>(m_grilles.last()->model())->AjouteBloc(bloc);
}

void ZoneResultats::AjouteMessages(const QVector<MessageExecution> &messages)
{
    m_enAttente += messages;
    if (!m_tmrMessages.isActive())
        m_tmrMessages.start();
}

void ZoneResultats::EcritMessages()
{
    m_tmrMessages.stop();
    if (m_enAttente.isEmpty())
        return;
    // Plain messages go in one insertion; an error is written in red and
    // its first block remembered for the double click.
    QTextCursor c(m_messages->document());
    c.movePosition(QTextCursor::End);
    QTextCharFormat normal;
    QTextCharFormat erreur;
    erreur.setForeground(QColor(200, 0, 0));
    QString sGroupe;
    const auto ecritGroupe = [&] {
        if (!sGroupe.isEmpty()) {
            c.insertText(sGroupe, normal);
            sGroupe.clear();
        }
    };
    bool bPremier = m_messages->document()->isEmpty();
    for (const MessageExecution &m : std::as_const(m_enAttente)) {
        const QString sLigne = (bPremier ? QString() : QStringLiteral("\n")) + m.sTexte;
        bPremier = false;
        if (m.genre != MessageExecution::Erreur) {
            sGroupe += sLigne;
            continue;
        }
        ecritGroupe();
        const int lBloc = c.blockNumber() + (sLigne.startsWith(QLatin1Char('\n')) ? 1 : 0);
        c.insertText(sLigne, erreur);
        if (m.lLigneEditeur > 0)
            for (int b = lBloc; b <= c.blockNumber(); ++b)
                m_lignesErreurs.insert(b, m.lLigneEditeur);
    }
    ecritGroupe();
    m_enAttente.clear();
    m_messages->verticalScrollBar()->setValue(m_messages->verticalScrollBar()->maximum());
}

QString ZoneResultats::TexteMessages() const
{
    return m_messages->toPlainText();
}

void ZoneResultats::MontreOngletUtile()
{
    EcritMessages();
    setCurrentIndex(m_grilles.isEmpty() ? 1 : 0);
}

bool ZoneResultats::eventFilter(QObject *objet, QEvent *event)
{
    if (objet == m_messages->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto *souris = static_cast<QMouseEvent *>(event);
        const int lBloc = m_messages->cursorForPosition(souris->position().toPoint()).blockNumber();
        const auto trouve = m_lignesErreurs.constFind(lBloc);
        if (trouve != m_lignesErreurs.constEnd()) {
            emit LigneErreurChoisie(*trouve);
            return true;
        }
    }
    return QTabWidget::eventFilter(objet, event);
}
