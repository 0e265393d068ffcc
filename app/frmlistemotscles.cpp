#include "frmlistemotscles.h"
#include "imagelist.h"
#include <QListWidget>
#include <QTimer>

// Placeholder until the popup is written.
frmListeMotsCles::frmListeMotsCles(frmBrenlor *principal)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), m_principal(principal)
{
    liv = new QListWidget(this);
    tmr = new QTimer(this);
    tmr->setInterval(100);
    ilsIcones2000 = ImageList::Icones2000();
    ilsIcones2005 = ImageList::Icones2005();
}
frmListeMotsCles::~frmListeMotsCles() = default;
void frmListeMotsCles::SetImageList(ImageList *) {}
void frmListeMotsCles::InsereTexte(const QString &, bool) {}
