#include "alias.h"
#include "lecturescript.h"

QString ObjetDeLAlias(const QString &sTexte, int lCaret, const QString &sAlias)
{
    return LitScript(sTexte, lCaret).ObjetDeLAlias(sAlias);
}
