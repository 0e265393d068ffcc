#include "frmbrenlor.h"

// Placeholder until the test run is written.
void frmBrenlor::btnLancer_Click() {}
void frmBrenlor::AjouteResultat(const QString &) {}
