#pragma once

#include <QStringView>

// Finding CR LF pairs through the vectorised single-character search of QStringView, which
// is several times faster on long texts than the search for a two-character string.

/// The 0-based position of the first CR LF at or after lDepuis, -1 when there is none.
inline qsizetype ChercheCRLF(QStringView sTexte, qsizetype lDepuis)
{
    for (;;) {
        const qsizetype idx = sTexte.indexOf(u'\r', lDepuis);
        if (idx < 0 || idx + 1 >= sTexte.size())
            return -1;
        if (sTexte[idx + 1] == u'\n')
            return idx;
        lDepuis = idx + 1;
    }
}
