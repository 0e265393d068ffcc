#pragma once

#include <QString>

/// True when more than one line in ten (counted against the number of CR LF pairs) is exactly
/// 1023 characters long: the text was cut into fixed-width lines. The text must hold a CR LF.
bool EstTexteDecoupe(const QString& sTexte);
