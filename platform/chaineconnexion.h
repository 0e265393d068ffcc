#pragma once
#include <QString>

/// The one connection-string format of the program:
/// "Provider=MSDataShape; Data Provider=SQLOLEDB; Data Source=<server>; Initial Catalog =<base>; UID=sa; PWD=<pwd>;Application Name=<title>"
/// A value is quoted only when it holds ";", a quote, or leading or trailing blanks.
QString ChaineConnexion(const QString &sServeur, const QString &sBase, const QString &sPWD,
                        const QString &sTitreApplication);
