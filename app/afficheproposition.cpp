#include "frmbrenlor.h"

// Placeholder until the completion request is written.
void frmBrenlor::AfficheProposition(int) {}
void frmBrenlor::PositionneListe() {}
void frmBrenlor::txtRequete_KeyDown(int &, int) {}
void frmBrenlor::txtRequete_KeyPress(int) {}
