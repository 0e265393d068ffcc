#include "grilleresultats.h"

#include "modeleresultats.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSet>

GrilleResultats::GrilleResultats(ModeleResultats *modele, QWidget *parent) : QTableView(parent), m_modele(modele)
{
    setModel(modele);
    modele->setParent(this);
    // Fixed row heights: the view never measures a million rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultSectionSize(140);
    setWordWrap(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QString GrilleResultats::TexteSelection(bool bAvecEntetes) const
{
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty())
        return QString();
    int lHaut = INT_MAX, lBas = -1;
    QSet<int> colonnesVues;
    for (const QItemSelectionRange &r : selection) {
        lHaut = qMin(lHaut, r.top());
        lBas = qMax(lBas, r.bottom());
        for (int c = r.left(); c <= r.right(); ++c)
            colonnesVues.insert(c);
    }
    QList<int> colonnes = colonnesVues.values();
    std::sort(colonnes.begin(), colonnes.end());
    QString sTexte;
    if (bAvecEntetes) {
        QStringList noms;
        for (int c : colonnes)
            noms << m_modele->NomColonne(c);
        sTexte += noms.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
    }
    for (int l = lHaut; l <= lBas; ++l) {
        for (int i = 0; i < colonnes.size(); ++i) {
            if (i > 0)
                sTexte += QLatin1Char('\t');
            if (selection.contains(m_modele->index(l, colonnes.at(i))))
                sTexte += m_modele->ValeurComplete(l, colonnes.at(i));
        }
        sTexte += QStringLiteral("\r\n");
    }
    return sTexte;
}

void GrilleResultats::Copie(bool bAvecEntetes)
{
    QApplication::clipboard()->setText(TexteSelection(bAvecEntetes));
}

void GrilleResultats::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_C && (event->modifiers() & Qt::ControlModifier)) {
        Copie(event->modifiers() & Qt::ShiftModifier);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}
