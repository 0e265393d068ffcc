#pragma once
#include <QString>

/// True when a statement text may leave the session with other options than
/// a fresh login gives it (a SET statement outside literals and comments): a
/// session that ran one is not handed out again.
bool ChangeLesReglages(const QString &sTexte);
