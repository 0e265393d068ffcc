#pragma once
// Inner state shared by Connexion and Recordset; not for the rest of the program.
#include "connexion.h"
#include "delais.h"
#include "gardeliens.h"
#include "odbcoutils.h"

#include <QList>
#include <QStringList>
#include <QVector>

struct Connexion::Impl {
    SQLHDBC hdbc = SQL_NULL_HDBC;
    QString sClePool;
    QString sCatalogueInitial;
    bool bLienRompu = false;
    bool bReglagesModifies = false;        ///< a statement may have changed the session's SET options
    bool bAppelCoupe = false;               ///< the last watched call was cut off at its deadline
    QDeadlineTimer echeance{QDeadlineTimer::Forever};
    QList<Recordset::Impl *> recordsets;    ///< open on this connection
    Recordset::Impl *pCurseurActif = nullptr; ///< the one whose statement still holds unread rows

    bool EstOuverte() const { return hdbc != SQL_NULL_HDBC; }
    /// Reads the rest of the unread rows of another recordset, so that the
    /// session is free for a new statement (one active statement per session).
    void LibereCurseurActif();
    /// Notes a broken link among the diagnostics, so the session is not pooled.
    void NoteDiagnostics(const QList<DiagnosticOdbc> &diagnostics);
    /// Returns the current catalogue of the session.
    QString CatalogueCourant() const;

    /// The statement timeout to give the driver: the command timeout, or
    /// less when the connection's deadline comes first.
    int DelaiCommandePilote() const { return DelaiPiloteS(Connexion::CommandTimeout(), echeance, false); }
    /// When a statement call is cut off: after its own timeout and the time
    /// for the cancel to be acknowledged, or at the connection's deadline.
    QDeadlineTimer EcheanceCommande() const;
    /// When freeing a statement (a cancel when rows are left) is cut off.
    QDeadlineTimer EcheanceFermeture() const { return EcheanceBornee(kDelaiAccuseMs, echeance); }

    /// Runs a driver call that waits on the server, cut off at the deadline;
    /// a cut leaves the session broken, so that it is never pooled.
    template <typename Appel>
    SQLRETURN Attend(const QDeadlineTimer &echeanceAppel, Appel appel)
    {
        GardeAppel garde(hdbc, echeanceAppel);
        const SQLRETURN rc = appel();
        bAppelCoupe = garde.Coupe();
        if (bAppelCoupe)
            bLienRompu = true;
        return rc;
    }
    /// Returns the error of a failed statement call: a timeout when the call
    /// was cut off, else what the driver says (noted for a broken link).
    ErreurAdo ErreurCommande(const QList<DiagnosticOdbc> &diagnostics);
};

struct Recordset::Impl {
    Connexion::Impl *pConnexion = nullptr;
    SQLHSTMT hstmt = SQL_NULL_HSTMT;
    QString sSource;
    QStringList colonnes;
    QVector<QString> valeurs;   ///< rows read so far, one after the other, colonnes.size() values each
    long lLignes = 0;           ///< number of rows in valeurs
    bool bOuvert = false;
    bool bFin = false;      ///< no more rows to fetch (all read, or reading failed)
    long lPosition = 0;     ///< row index; -1 before the first row; lLignes past the last

    /// Returns true when row lIndex exists, fetching rows up to it as needed.
    bool ChargeJusqua(long lIndex);
    /// Reads the current row of the statement into valeurs; throws on failure.
    void LitLigneCourante();
    const QString &Valeur(long lLigne, int lColonne) const { return valeurs.at(lLigne * colonnes.size() + lColonne); }
    void ChargeTout();
    void FermeCurseur();
    /// Runs the source on the session and reads up to the first row; leaves
    /// the recordset closed when the statement returns no rows.
    void Execute(const QString &sSource, Connexion::Impl *cn);
    /// Forgets everything and detaches from the connection.
    void Ferme();
};
