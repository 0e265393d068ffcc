#pragma once

/// Right margins (twips) and scroll bars (2 vertical, 3 both) of the two query editors.
struct ReglagesRetourLigne {
    double dMargeRequete = 0;
    double dMargeRequete2 = 0;
    int iBarresRequete = 2;
    int iBarresRequete2 = 2;
};

/// Settings for the word-wrap box: ticked gives {66000, 0, 3, 3}; unticked gives both editors
/// the width dLargeurW (of 32767 "W", measured by the caller) and a vertical scroll bar only.
ReglagesRetourLigne ReglagesLimiteADroite(bool bCoche, double dLargeurW);
