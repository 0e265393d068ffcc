#pragma once
#include <QString>
#include <QStringList>

/// Returns the FreeTDS configuration files in the order FreeTDS reads them:
/// the file named by FREETDSCONF, ~/.freetds.conf, /etc/freetds/freetds.conf
/// (only those that exist).
QStringList FichiersConfigFreeTds();

/// Returns the server section names of one FreeTDS configuration text
/// ("global" left out), as written in it.
QStringList SectionsConfigFreeTds(const QString &sTexte);

/// Returns the server sections of one FreeTDS configuration file; empty when it cannot be read.
QStringList SectionsFichierFreeTds(const QString &sChemin);

/// Returns the server sections of every FreeTDS configuration file, in reading order.
QStringList SectionsFreeTds();
