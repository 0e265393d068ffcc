#pragma once
#include <QtGlobal>

/// True while a process of that id runs on this machine.
bool ProcessusActif(qint64 lIdentifiant);
