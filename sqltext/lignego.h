#pragma once

#include "zonesprotegees.h"

#include <QString>
#include <vector>

/// Ends the line of every GO that starts a line of the laid-out text (as the layout puts each
/// one): after GO stay only a repeat count and comments (after blanks or TABs), and what
/// follows them goes to the next line, led by the TABs that stood before it. sTexte may hold
/// the markers of the protected parts, whose kinds zones gives.
void IsoleGo(QString& sTexte, const std::vector<ZoneProtegee>& zones);
