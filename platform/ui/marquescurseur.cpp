#include "marquescurseur.h"
#include "appariement.h"
#include "colorationsql.h"

#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// How far around the caret a partner is looked for: far enough for any
// statement written by hand, near enough to cost nothing on each key.
constexpr int kLignesAutour = 200;
constexpr int kCaracteresAutour = 6000;

QColor Melange(const QColor &a, const QColor &b, double t)
{
    return QColor::fromRgbF(a.redF() * (1 - t) + b.redF() * t, a.greenF() * (1 - t) + b.greenF() * t,
                            a.blueF() * (1 - t) + b.blueF() * t);
}

QTextEdit::ExtraSelection Marque(const QTextDocument *doc, int lPosition, const QColor &fond)
{
    QTextEdit::ExtraSelection s;
    s.cursor = QTextCursor(const_cast<QTextDocument *>(doc));
    s.cursor.setPosition(lPosition);
    s.cursor.setPosition(lPosition + 1, QTextCursor::KeepAnchor);
    s.format.setBackground(fond);
    return s;
}

} // namespace

QList<QTextEdit::ExtraSelection> MarquesDuCurseur(const QTextCursor &curseur, ColorationSql &coloration,
                                                  const QPalette &palette)
{
    QList<QTextEdit::ExtraSelection> marques;
    const QColor base = palette.color(QPalette::Base);
    QTextEdit::ExtraSelection ligne;
    ligne.format.setBackground(Melange(base, palette.color(QPalette::Highlight), 0.10));
    ligne.format.setProperty(QTextFormat::FullWidthSelection, true);
    ligne.cursor = curseur;
    ligne.cursor.clearSelection();
    marques.append(ligne);
    if (curseur.hasSelection())
        return marques;

    // The lines around the caret, read from the state the first of them starts
    // in. A line too long to be coloured is not read for brackets either.
    const QTextBlock courant = curseur.block();
    if (courant.length() > ColorationSql::kLongueurMaxColoree)
        return marques;
    QTextBlock premier = courant, dernier = courant;
    int lTaille = courant.length();
    for (int i = 0; i < kLignesAutour && premier.previous().isValid() && lTaille < kCaracteresAutour; ++i) {
        premier = premier.previous();
        lTaille += premier.length();
    }
    lTaille = courant.length();
    for (int i = 0; i < kLignesAutour && dernier.next().isValid() && lTaille < kCaracteresAutour; ++i) {
        dernier = dernier.next();
        lTaille += dernier.length();
    }
    QString sTexte;
    for (QTextBlock b = premier;; b = b.next()) {
        sTexte += b.text();
        if (b == dernier)
            break;
        sTexte += QLatin1Char('\n');
    }
    const int lOrigine = premier.position();
    const Appariement a = ApparieCrochet(sTexte, curseur.position() - lOrigine, coloration.EtatAvant(premier));
    if (a.lCrochet < 0)
        return marques;
    const QTextDocument *doc = curseur.document();
    if (a.lPartenaire >= 0) {
        const QColor paire = Melange(base, palette.color(QPalette::Highlight), 0.35);
        marques.append(Marque(doc, lOrigine + a.lCrochet, paire));
        marques.append(Marque(doc, lOrigine + a.lPartenaire, paire));
        return marques;
    }
    // Without a partner in the lines read, the bracket has none only if the
    // search reached the end of the text that way.
    const bool bToutLu = a.bVersLaFin ? !dernier.next().isValid() : !premier.previous().isValid();
    if (bToutLu)
        marques.append(Marque(doc, lOrigine + a.lCrochet, Melange(base, QColor(Qt::red), 0.45)));
    return marques;
}
