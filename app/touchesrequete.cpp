#include "frmbrenlor.h"

#include "editeurriche.h"
#include "frmlistemotscles.h"
#include "lexique.h"

namespace {
constexpr int kMaj = 1;
constexpr int kCtrl = 2;
constexpr int kToucheA = 65;
constexpr int kEspace = 32;
constexpr int kEchap = 27;
constexpr int kRetourArriere = 8;
}

void frmBrenlor::txtRequete_KeyDown(int &KeyCode, int Shift)
{
    if (Shift != 0) {
        if (KeyCode == kToucheA) {
            // Select-all wants Ctrl: Shift+A types a capital A and Alt+A is
            // left to the window system, neither replaces the whole text.
            if (Shift & kCtrl) {
                KeyCode = 0;
                txtRequete->SetSelStart(0);
                txtRequete->SetSelLength(txtRequete->Text().length());
            }
        } else if (KeyCode == kEspace) {
            KeyCode = 0;
            AfficheProposition((Shift & kMaj) ? 1 : 2);
        }
        return;
    }
    if (KeyCode == kEchap && ListeMotsCles && ListeMotsCles->isVisible())
        ListeMotsCles->Ferme();
}

void frmBrenlor::txtRequete_KeyPress(int KeyAscii)
{
    // The editor has written the character: a dot asks for the columns of
    // the object before it, in the remembered mode.
    if (KeyAscii == '.') {
        AfficheProposition(0, GenreDemande::Frappe);
        return;
    }
    if (!ListeMotsCles || !ListeMotsCles->isVisible())
        return;
    // While the list shows, it follows the word being typed; anything that
    // ends the word closes it.
    if (KeyAscii == kRetourArriere || EstCaractereDeNom(QChar(KeyAscii)))
        AfficheProposition(2, GenreDemande::Frappe);
    else
        ListeMotsCles->Ferme();
}
