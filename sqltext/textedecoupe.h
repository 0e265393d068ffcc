#pragma once

#include <QString>

/// True when more than one line in ten (counted against the number of CR LF pairs) is exactly
/// 1023 characters long: the text was cut into fixed-width lines. The text must hold a CR LF.
bool EstTexteDecoupe(const QString& sTexte);

/// The same for sTexte followed by one more CR LF when bCRLFAjoute, without building that text.
bool EstTexteDecoupe(const QString& sTexte, bool bCRLFAjoute);
