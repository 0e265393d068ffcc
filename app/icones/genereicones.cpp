// Draws the two icon sets of the pickers and the completion list into
// 2000/*.png (bevelled, the look of the older desktop) and 2005/*.png (flat),
// and the window's icon brenlor.png. Those PNG files are kept in the
// repository; to draw them again:
//   g++ -std=c++17 -fPIC genereicones.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/genereicones
//   QT_QPA_PLATFORM=offscreen /tmp/genereicones app/icones
// The build runs it as
//   genereicones --application NAME DIR
// to draw the window's icon at the sizes of a desktop icon theme, as
// DIR/<n>x<n>/apps/NAME.png; paquet/ installs them.
// Every picture has a dark outline around light fills, so it reads on light
// and dark backgrounds alike; the rest is transparent.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

struct Style {
    bool plat;
};

const QColor kContour(0x24, 0x2a, 0x33);
const QColor kOmbre(0x7a, 0x7a, 0x7a);
const QColor kLumiere(0xff, 0xff, 0xff);

// A box with a one-pixel outline; the old look adds a white top-left edge
// and a grey bottom-right edge inside it.
void Boite(QPainter &p, const Style &st, QRect r, const QColor &fond)
{
    p.setPen(Qt::NoPen);
    p.setBrush(fond);
    p.drawRect(r);
    if (!st.plat) {
        p.setPen(kLumiere);
        p.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
        p.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
        p.setPen(kOmbre);
        p.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
        p.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
    }
    p.setPen(kContour);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

void Grille(QPainter &p, const Style &st, const QColor &entete, int colonneMarquee,
            const QColor &marque)
{
    const QRect r(1, 2, 14, 12);
    Boite(p, st, r, QColor(0xfb, 0xfb, 0xfb));
    p.setPen(Qt::NoPen);
    p.setBrush(entete);
    p.drawRect(QRect(2, 3, 12, 3));
    if (!st.plat) {
        p.setPen(entete.lighter(150));
        p.drawLine(2, 3, 13, 3);
    }
    if (colonneMarquee >= 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(marque);
        p.drawRect(QRect(2 + colonneMarquee * 4, 6, 4, 7));
    }
    p.setPen(QColor(0x8c, 0x96, 0xa3));
    for (int y = 8; y <= 11; y += 3)
        p.drawLine(2, y, 13, y);
    for (int x = 5; x <= 10; x += 4)
        p.drawLine(x, 6, x, 12);
    p.setPen(kContour);
    p.drawLine(1, 6, 14, 6);
}

void Serveur(QPainter &p, const Style &st)
{
    const QColor corps = st.plat ? QColor(0x6b, 0x8c, 0xb8) : QColor(0xc6, 0xc6, 0xc6);
    Boite(p, st, QRect(3, 0, 10, 16), corps);
    const QColor fente = st.plat ? QColor(0xe4, 0xed, 0xf8) : QColor(0x50, 0x50, 0x50);
    p.setPen(fente);
    for (int y : {3, 5, 7})
        p.drawLine(5, y, 10, y);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2e, 0xc4, 0x40));
    p.drawRect(QRect(5, 11, 2, 2));
    p.setBrush(QColor(0xff, 0xb0, 0x20));
    p.drawRect(QRect(8, 11, 2, 2));
}

void Base(QPainter &p, const Style &st)
{
    p.setRenderHint(QPainter::Antialiasing, st.plat);
    const QColor corps = st.plat ? QColor(0xf0, 0xa8, 0x30) : QColor(0xe8, 0xd0, 0x60);
    QPainterPath cylindre;
    cylindre.moveTo(2.5, 3.5);
    cylindre.lineTo(2.5, 12.5);
    cylindre.arcTo(QRectF(2.5, 10.5, 11, 4), 180, 180);
    cylindre.lineTo(13.5, 3.5);
    cylindre.arcTo(QRectF(2.5, 1.5, 11, 4), 0, 180);
    p.setPen(kContour);
    p.setBrush(corps);
    p.drawPath(cylindre);
    if (!st.plat) {
        p.setPen(kLumiere);
        p.drawLine(4, 6, 4, 12);
        p.setPen(kOmbre);
        p.drawLine(12, 6, 12, 12);
    }
    p.setPen(kContour);
    p.setBrush(corps.lighter(125));
    p.drawEllipse(QRectF(2.5, 1.5, 11, 4));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 5.5, 11, 4), 180 * 16, 180 * 16);
}

void Vue(QPainter &p, const Style &st)
{
    Grille(p, st, st.plat ? QColor(0x2f, 0xa3, 0x8f) : QColor(0x00, 0x80, 0x80), -1, {});
    // Spectacles over the lower right corner: a view looks at tables.
    p.setRenderHint(QPainter::Antialiasing, st.plat);
    p.setPen(QPen(kContour, 1));
    p.setBrush(QColor(0xd8, 0xf0, 0xff));
    p.drawEllipse(QRectF(5.5, 9.5, 4, 4));
    p.drawEllipse(QRectF(10.5, 9.5, 4, 4));
    p.drawLine(QPointF(9.5, 11.5), QPointF(10.5, 11.5));
}

void Declencheur(QPainter &p, const Style &st)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    QPolygonF eclair;
    eclair << QPointF(9.5, 0.5) << QPointF(3.5, 9.5) << QPointF(7.5, 9.5) << QPointF(5.5, 15.5)
           << QPointF(12.5, 5.5) << QPointF(8.5, 5.5) << QPointF(10.5, 0.5);
    p.setPen(kContour);
    p.setBrush(st.plat ? QColor(0xff, 0xc8, 0x1e) : QColor(0xff, 0xff, 0x00));
    p.drawPolygon(eclair);
    if (!st.plat) {
        p.setPen(kLumiere);
        p.drawLine(8, 3, 5, 8);
    }
}

void Procedure(QPainter &p, const Style &st)
{
    Boite(p, st, QRect(2, 1, 11, 14), QColor(0xfb, 0xfb, 0xfb));
    p.setPen(QColor(0x60, 0x6a, 0x78));
    for (int y : {4, 6, 8})
        p.drawLine(4, y, 10, y);
    // A "run" arrow: stored code that the server executes.
    p.setRenderHint(QPainter::Antialiasing, st.plat);
    QPolygonF fleche;
    fleche << QPointF(8.5, 9.5) << QPointF(15.5, 12.5) << QPointF(8.5, 15.5);
    p.setPen(kContour);
    p.setBrush(st.plat ? QColor(0x3c, 0xb0, 0x4a) : QColor(0x00, 0xa0, 0x00));
    p.drawPolygon(fleche);
}

void Fonction(QPainter &p, const Style &st)
{
    const QColor fond = st.plat ? QColor(0x8e, 0x5c, 0xc8) : QColor(0x80, 0x00, 0x80);
    Boite(p, st, QRect(0, 1, 16, 14), fond);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(10);
    f.setBold(true);
    f.setItalic(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 1, 16, 14), Qt::AlignCenter, QStringLiteral("fx"));
}

void Systeme(QPainter &p, const Style &st)
{
    Grille(p, st, st.plat ? QColor(0xc8, 0x46, 0x3c) : QColor(0x80, 0x00, 0x00), -1, {});
    // A cog in the corner: the catalogue's own tables.
    p.setRenderHint(QPainter::Antialiasing, st.plat);
    p.setPen(kContour);
    p.setBrush(st.plat ? QColor(0xb4, 0xbc, 0xc8) : QColor(0xc0, 0xc0, 0xc0));
    QPainterPath roue;
    for (int i = 0; i < 8; ++i) {
        QPainterPath dent;
        dent.addRect(QRectF(-1, -4.5, 2, 2));
        QTransform t;
        t.translate(11.5, 11.5);
        t.rotate(45 * i);
        roue = roue.united(t.map(dent));
    }
    roue = roue.united(QPainterPath().translated(0, 0));
    QPainterPath disque;
    disque.addEllipse(QPointF(11.5, 11.5), 3.2, 3.2);
    roue = roue.united(disque);
    QPainterPath trou;
    trou.addEllipse(QPointF(11.5, 11.5), 1.1, 1.1);
    p.drawPath(roue.subtracted(trou));
}

// Two tables tied column to column: a join condition from a foreign key.
void Jointure(QPainter &p, const Style &st)
{
    const QColor entete = st.plat ? QColor(0x3d, 0x7e, 0xd6) : QColor(0x00, 0x00, 0x80);
    const QColor lien = st.plat ? QColor(0xe0, 0x8a, 0x1e) : QColor(0xff, 0x80, 0x00);
    for (const QRect &r : {QRect(0, 0, 8, 8), QRect(8, 8, 8, 8)}) {
        Boite(p, st, r, QColor(0xfb, 0xfb, 0xfb));
        p.setPen(Qt::NoPen);
        p.setBrush(entete);
        p.drawRect(QRect(r.left() + 1, r.top() + 1, r.width() - 2, 2));
    }
    p.setPen(QPen(lien, 2));
    p.drawLine(5, 8, 5, 12);
    p.drawLine(5, 12, 8, 12);
    p.setPen(kContour);
    p.drawPoint(4, 5);
    p.drawPoint(11, 12);
}

QImage Dessine(const QString &cle, const Style &st)
{
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    if (cle == QLatin1String("serveurs"))
        Serveur(p, st);
    else if (cle == QLatin1String("bases"))
        Base(p, st);
    else if (cle == QLatin1String("U"))
        Grille(p, st, st.plat ? QColor(0x3d, 0x7e, 0xd6) : QColor(0x00, 0x00, 0x80), -1, {});
    else if (cle == QLatin1String("V"))
        Vue(p, st);
    else if (cle == QLatin1String("colonnes"))
        Grille(p, st, st.plat ? QColor(0x3d, 0x7e, 0xd6) : QColor(0x00, 0x00, 0x80), 1,
               st.plat ? QColor(0xff, 0xd9, 0x66) : QColor(0xff, 0xff, 0x80));
    else if (cle == QLatin1String("declencheurs"))
        Declencheur(p, st);
    else if (cle == QLatin1String("procstockees"))
        Procedure(p, st);
    else if (cle == QLatin1String("FN"))
        Fonction(p, st);
    else if (cle == QLatin1String("S"))
        Systeme(p, st);
    else if (cle == QLatin1String("jointures"))
        Jointure(p, st);
    return img;
}

// The window's own icon, the flat database drum, drawn at any multiple of 16
// pixels or in between.
QImage IconeApplication(int lTaille)
{
    QImage img(lTaille, lTaille, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    // 96 dots per inch written in the file, with or without a screen.
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(3780);
    QPainter p(&img);
    p.scale(lTaille / 16.0, lTaille / 16.0);
    Base(p, Style{true});
    return img;
}

int IconesDuTheme(const QString &nom, const QString &racine)
{
    for (int lTaille : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dossier = racine + QStringLiteral("/%1x%1/apps").arg(lTaille);
        const QString chemin = dossier + QLatin1Char('/') + nom + QLatin1String(".png");
        if (!QDir().mkpath(dossier) || !IconeApplication(lTaille).save(chemin)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(chemin));
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // The drum is paths only: no font, so no window system is needed for it.
    if (argc == 4 && QLatin1String(argv[1]) == QLatin1String("--application"))
        return IconesDuTheme(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    QGuiApplication app(argc, argv);
    const QString racine = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QStringList cles = {"serveurs", "bases", "U", "V", "colonnes",
                              "declencheurs", "procstockees", "FN", "S", "jointures"};
    for (const auto &[dossier, plat] : {std::pair{QStringLiteral("2000"), false},
                                        std::pair{QStringLiteral("2005"), true}}) {
        QDir().mkpath(racine + QLatin1Char('/') + dossier);
        for (const QString &cle : cles) {
            const QString chemin = racine + QLatin1Char('/') + dossier + QLatin1Char('/') + cle
                                 + QLatin1String(".png");
            if (!Dessine(cle, Style{plat}).save(chemin)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(chemin));
                return 1;
            }
        }
    }
    return IconeApplication(32).save(racine + QLatin1String("/brenlor.png")) ? 0 : 1;
}
