#include "optionssession.h"

#include "instructionsql.h"

std::optional<ErreurSql> AppliqueSet(const InstructionSql &m, OptionsSession &options)
{
    if (m.mot(1, "NOCOUNT")) {
        if (!m.mot(2, "ON") && !m.mot(2, "OFF"))
            return ErreurSyntaxe(m.j.value(2, m.j.at(1)).sTexte);
        options.bSansCompte = m.mot(2, "ON");
    } else if (m.mot(1, "ROWCOUNT")) {
        bool bOk = false;
        const qint64 n = m.j.value(2).sTexte.toLongLong(&bOk);
        if (!bOk || n < 0 || m.j.value(2).genre != JetonSql::Nombre)
            return ErreurSyntaxe(m.j.value(2, m.j.at(1)).sTexte);
        options.lLignesMax = n;
    }
    return std::nullopt;
}
