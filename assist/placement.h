#pragma once
#include <QString>

/// The 1-based position where the caret's line starts (1 on the first line).
long DebutLigne(const QString &sTexte, int lCaret);
