#include "retourligne.h"

ReglagesRetourLigne ReglagesLimiteADroite(bool bCoche, double dLargeurW)
{
    ReglagesRetourLigne r;
    if (bCoche) {
        // The first editor wraps only very far out; the second one at its own edge.
        r.dMargeRequete = 66000;
        r.dMargeRequete2 = 0;
        r.iBarresRequete = 3;
        r.iBarresRequete2 = 3;
    } else {
        r.dMargeRequete = dLargeurW;
        r.dMargeRequete2 = dLargeurW;
        r.iBarresRequete = 2;
        r.iBarresRequete2 = 2;
    }
    return r;
}
