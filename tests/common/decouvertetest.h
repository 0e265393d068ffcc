#pragma once
// Discovery pointed at a private FreeTDS configuration that lists exactly the
// given servers; the local probes are off, so nothing waits and nothing but
// that file is read. Header only: the test support library does not link platform.
#include "configprivee.h"
#include "decouverte.h"

#include <QFile>
#include <QStringList>

inline OptionsDecouverte DecouverteDe(const QStringList &serveurs)
{
    static int lNumero = 0;
    const QString sChemin = DossierConfig().path() + QStringLiteral("/freetds-%1.conf").arg(++lNumero);
    QFile fichier(sChemin);
    if (fichier.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        for (const QString &s : serveurs)
            fichier.write(QStringLiteral("[%1]\n\thost = 127.0.0.1\n").arg(s).toUtf8());
    }
    OptionsDecouverte options;
    options.sFichierFreeTds = sChemin;
    options.lPortSsrp = 0;
    options.lPortTcp = 0;
    return options;
}
