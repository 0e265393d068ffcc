#pragma once
#include "erreurado.h"
#include <QList>
#include <QString>
#include <cstdint>

// Every error number the data-access layer raises, in one place. They are the
// numbers of the original data-access platform (ADO over the SQL Server OLE DB
// provider) for the same condition, so that a log written by the test run
// reads the same as there.
//
// Where each number comes from:
//
//  Condition                                   Number (hex)   Decimal       Source
//  ------------------------------------------  -------------  ------------  ----------------------------
//  error in the command text (server error of   0x80040E14     -2147217900   any server message of severity
//    severity 11 or more not listed below)                                   >= 11 (syntax 102, 156, 207...)
//  invalid object name                          0x80040E37     -2147217865   server error 208
//  login failure                                0x80040E4D     -2147217843   server error 18456 (SQLSTATE 28000
//                                                                             or 42000 during the login)
//  permission denied                            0x80040E09     -2147217911   server error 229, 230, 262
//  value cannot be converted                    0x80040E07     -2147217913   server errors 220, 232, 241, 242,
//                                                                             245, 8114, 8115; SQLSTATE 22003,
//                                                                             22005, 22007, 22008, 22018
//  integrity violation                          0x80040E2F     -2147217873   server errors 515, 547, 2601, 2627
//  command timeout                              0x80040E31     -2147217871   SQLSTATE HYT00/HYT01 on a statement
//  server not found, network failure, login     0x80004005     -2147467259   SQLSTATE 08xxx, HYT00 during the
//    timeout, unknown database at login,                                      login, server error 4060, and any
//    anything else the driver reports                                         condition not listed here
//  command text not set (empty source)          0x80040E0C     -2147217908   raised before calling the driver
//  malformed connection string                  0x80040E73     -2147217805   raised by the connection-string parser
//  provider / driver cannot be found            0x800A0E7A     -2146824582   3706, SQLSTATE IM002/IM003, unknown
//                                                                             Provider in the connection string
//  operation not allowed, object closed         0x800A0E78     -2146824584   3704
//  operation not allowed, object open           0x800A0E79     -2146824583   3705
//  connection closed or invalid for a recordset 0x800A0E7D     -2146824579   3709
//  BOF or EOF, no current record                0x800A0BCD     -2146825267   3021
//  item not found in the collection (field)     0x800A0CC1     -2146825023   3265
//  arguments of the wrong type or out of range  0x800A0BB9     -2146825287   3001
//  operation not supported (Resync)             0x800A0CB3     -2146825037   3251
//  rowset cannot fetch backward                 0x80040E24     -2147217884   never raised: every recordset
//                                                                             is scrollable on the client
namespace CodesErreurs {
constexpr int32_t ErreursDansCommande = int32_t(0x80040E14u);
constexpr int32_t ObjetInexistant = int32_t(0x80040E37u);
constexpr int32_t EchecAuthentification = int32_t(0x80040E4Du);
constexpr int32_t PermissionRefusee = int32_t(0x80040E09u);
constexpr int32_t ConversionImpossible = int32_t(0x80040E07u);
constexpr int32_t ViolationIntegrite = int32_t(0x80040E2Fu);
constexpr int32_t DelaiDepasse = int32_t(0x80040E31u);
constexpr int32_t EchecNonSpecifie = int32_t(0x80004005u);
constexpr int32_t CommandeNonDefinie = int32_t(0x80040E0Cu);
constexpr int32_t ChaineMalFormee = int32_t(0x80040E73u);
constexpr int32_t FournisseurIntrouvable = int32_t(0x800A0E7Au);
constexpr int32_t ObjetFerme = int32_t(0x800A0E78u);
constexpr int32_t ObjetOuvert = int32_t(0x800A0E79u);
constexpr int32_t ConnexionInutilisable = int32_t(0x800A0E7Du);
constexpr int32_t PasDEnregistrementCourant = int32_t(0x800A0BCDu);
constexpr int32_t ElementIntrouvable = int32_t(0x800A0CC1u);
constexpr int32_t ArgumentsInvalides = int32_t(0x800A0BB9u);
constexpr int32_t OperationNonSupportee = int32_t(0x800A0CB3u);
constexpr int32_t LectureArriereImpossible = int32_t(0x80040E24u);
}

/// One diagnostic record of an ODBC call.
struct DiagnosticOdbc {
    QString sEtat;      ///< SQLSTATE, five characters
    int lNatif = 0;     ///< native error: the server's message number, or the driver's own
    QString sMessage;   ///< as the driver gives it, with its "[vendor][component]" prefixes
};

/// The moment at which the driver reported the condition: some states mean
/// different things while logging in and while running a command.
enum class PhaseOdbc { Connexion, Commande };

/// Returns the platform number for the given driver diagnostics.
int32_t NumeroErreur(const QList<DiagnosticOdbc> &diagnostics, PhaseOdbc phase);
/// Returns the description for the given driver diagnostics: the message of
/// the record that decided the number, without the driver's bracketed prefixes.
QString DescriptionErreur(const QList<DiagnosticOdbc> &diagnostics, PhaseOdbc phase);
/// Returns the error to raise for the given driver diagnostics.
ErreurAdo ErreurOdbc(const QList<DiagnosticOdbc> &diagnostics, PhaseOdbc phase);

/// Returns the platform's own text for one of its numbers (3704, 3021...);
/// empty for numbers whose text comes from the server or the driver.
QString TexteErreur(int32_t lNumero);
/// Returns the error the layer raises itself, with the platform's own text.
ErreurAdo ErreurInterne(int32_t lNumero);
