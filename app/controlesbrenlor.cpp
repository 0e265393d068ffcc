#include "controlesbrenlor.h"

#include "comboimages.h"
#include "editeurriche.h"
#include "twips.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFrame>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>

namespace {

constexpr double kHauteurSta = 285;
constexpr double kEcartEditeurs = 50;

// The designed widths were made for a narrow dialog font; a caption that
// does not fit gets a slightly smaller one rather than being cut.
void AjustePoliceALaLargeur(QAbstractButton *bouton)
{
    QFont police = bouton->font();
    while (bouton->sizeHint().width() > bouton->width() && police.pointSizeF() > 6.5) {
        police.setPointSizeF(police.pointSizeF() - 0.5);
        bouton->setFont(police);
    }
}

template <typename Controle>
Controle *Place(Controle *w, const char *nom, double l, double t, double wd, double h)
{
    w->setObjectName(QLatin1String(nom));
    w->setGeometry(TwipsEnPixels(w, l), TwipsEnPixels(w, t), TwipsEnPixels(w, wd), TwipsEnPixels(w, h));
    return w;
}

} // namespace

QFont ControlesBrenlor::PoliceEditeurs()
{
    const QString famille = QFontDatabase::families().contains(QStringLiteral("Courier New"))
                                ? QStringLiteral("Courier New")
                                : QStringLiteral("Liberation Mono");
    QFont police(famille);
    police.setStyleHint(QFont::Monospace);
    police.setPointSizeF(9.75);
    return police;
}

void ControlesBrenlor::CreeControles(QMainWindow *fenetre)
{
    QWidget *s = m_surface = new QWidget(fenetre);
    m_surface->setObjectName(QStringLiteral("surface"));
    fenetre->setCentralWidget(m_surface);

    btnLancer = Place(new QPushButton(QStringLiteral("Tester"), s), "btnLancer", 120, 120, 1695, 360);
    btnLancer->setEnabled(false);
    btnFormater = Place(new QPushButton(QStringLiteral("Formater"), s), "btnFormater", 120, 480, 1695, 360);
    btnFormater->setEnabled(false);
    btnComparer = Place(new QPushButton(QStringLiteral("Chercher différence"), s), "btnComparer", 120, 840, 1695, 360);
    cboServeur = Place(new ComboImages(s), "cboServeur", 2040, 120, 3015, 330);
    txtPWD = Place(new QLineEdit(s), "txtPWD", 2040, 480, 3015, 285);
    txtPWD->setEchoMode(QLineEdit::Password);
    txtPWD->setToolTip(QStringLiteral("Mot de passe 'sa'"));
    // The box shows "*" for every character, as the original did.
    txtPWD->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    cboBase = Place(new ComboImages(s), "cboBase", 2040, 840, 3015, 330);
    chkLimiteADroite = Place(new QCheckBox(QStringLiteral("Retour à la ligne automatique"), s), "chkLimiteADroite",
                             5160, 120, 2895, 255);
    chkLimiteADroite->setChecked(false);
    chkLimiteADroite->setEnabled(false);

    // Created before the editors so that these, laid over them, stay on top.
    txtResultat = Place(new EditeurRiche(s), "txtResultat", 120, 2640, 2175, 1215);
    txtResultat->setLineWrapMode(QTextEdit::NoWrap);
    txtResultat->SetScrollBars(3);
    auto *grd = new QFrame(s);
    grd->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    grdResultat = Place<QWidget>(grd, "grdResultat", 2400, 2640, 6135, 1215);

    const QFont policeEditeurs = PoliceEditeurs();
    txtRequete = Place(new EditeurRiche(s), "txtRequete", 2760, 1320, 3615, 1215);
    txtRequete->setFont(policeEditeurs);
    txtRequete2 = Place(new EditeurRiche(s), "txtRequete2", 6480, 1320, 3615, 1215);
    txtRequete2->setFont(policeEditeurs);
    // The two query editors show T-SQL as code; the log beside them stays plain.
    txtRequete->SetAffichageCode(true);
    txtRequete2->SetAffichageCode(true);

    for (QAbstractButton *b : QList<QAbstractButton *>{btnLancer, btnFormater, btnComparer, chkLimiteADroite})
        AjustePoliceALaLargeur(b);

    sta = new QStatusBar(fenetre);
    sta->setObjectName(QStringLiteral("sta"));
    sta->setFixedHeight(TwipsEnPixels(fenetre, kHauteurSta));
    fenetre->setStatusBar(sta);
    OrdreTabulation();
}

void ControlesBrenlor::OrdreTabulation()
{
    // Tab indexes 0 to 11; the picture box and the status bar take no focus.
    grdResultat->setFocusPolicy(Qt::NoFocus);
    sta->setFocusPolicy(Qt::NoFocus);
    const QList<QWidget *> ordre = {txtPWD,      txtRequete, btnLancer,  txtResultat,
                                    btnFormater, chkLimiteADroite,       cboBase,
                                    cboServeur,  txtRequete2, btnComparer};
    for (int i = 1; i < ordre.size(); ++i)
        QWidget::setTabOrder(ordre.at(i - 1), ordre.at(i));
}

void ControlesBrenlor::DisposeEditeurs()
{
    // One conversion for both directions, as the designed geometry was given.
    const QWidget *f = m_surface->window();
    const auto twips = [f](int lPixels) { return PixelsEnTwips(f, lPixels); };
    const auto px = [f](double dTwips) { return TwipsEnPixels(f, dTwips); };
    const double W = twips(f->width());
    const double S = twips(sta->height());
    // The results area may lie under the client area: the editors share
    // what it leaves them.
    const double H = GeometrieTwips(m_surface).bottom() + S;
    const double T = GeometrieTwips(txtRequete).top();

    const double H1 = (H - T - S) / 2;
    if (H1 >= 0)
        txtRequete->setGeometry(0, px(T), px(W), px(H1));

    const double dBas = T + twips(txtRequete->height());
    const double H2 = H - dBas - S - kEcartEditeurs;
    if (H2 >= 0)
        txtRequete2->setGeometry(0, px(dBas + kEcartEditeurs), px(W), px(H2));
}
