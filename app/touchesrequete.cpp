#include "frmbrenlor.h"

#include "editeurriche.h"
#include "frmlistemotscles.h"

namespace {
constexpr int kMaj = 1;
constexpr int kCtrl = 2;
constexpr int kToucheA = 65;
constexpr int kEspace = 32;
constexpr int kEchap = 27;
}

void frmBrenlor::txtRequete_KeyDown(int &KeyCode, int Shift)
{
    const bool bListeVisible = ListeMotsCles && ListeMotsCles->isVisible();
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
    if (KeyCode == kEchap) {
        if (bListeVisible)
            ListeMotsCles->hide();
    } else if (bListeVisible) {
        AfficheProposition(2);
    }
}

void frmBrenlor::txtRequete_KeyPress(int KeyAscii)
{
    if (KeyAscii == '.')
        AfficheProposition(0);
}
