#include "decoupagelot.h"

#include <QSet>

namespace {
QString motMajuscule(const JetonSql &x)
{
    return x.genre == JetonSql::Mot ? x.sTexte.toUpper() : QString();
}

bool dans(const QString &sMot, std::initializer_list<const char *> mots)
{
    for (const char *m : mots)
        if (sMot == QLatin1String(m))
            return true;
    return false;
}

// What is known of the statement being gathered, to tell whether a word at
// the top level carries it on or starts the next one.
struct EnCours {
    QVector<JetonSql> jetons;
    QString sPremier;         // its first word
    QString sPrecedent;       // the last significant piece (upper case for words)
    bool bSource = false;     // INSERT: its rows are named (VALUES, SELECT, EXEC, DEFAULT)
    bool bAffectation = false; // UPDATE: its SET is there
    bool bPrincipale = false; // WITH: the statement after the common table expressions began
    int lProfondeur = 0;
    bool vide() const { return sPremier.isEmpty() && sPrecedent.isEmpty(); }
};

bool continueInstruction(const EnCours &e, const QString &sMot, const QString &sSuivant)
{
    const QString &p = e.sPrecedent;
    const bool bDroits = dans(e.sPremier, {"GRANT", "REVOKE", "DENY"});
    const bool bAvantPrincipale = e.sPremier == QLatin1String("WITH") && !e.bPrincipale;
    const bool bInsertSansSource = e.sPremier == QLatin1String("INSERT") && !e.bSource;
    if (sMot == QLatin1String("SELECT"))
        return dans(p, {"UNION", "ALL", "EXCEPT", "INTERSECT", "AS", "("}) || bInsertSansSource || bAvantPrincipale
               || bDroits;
    if (dans(sMot, {"INSERT", "UPDATE", "DELETE"}))
        return dans(p, {"ON", "FOR", "AFTER", "OF", "INSTEAD", ",", "THEN"}) || bAvantPrincipale || bDroits;
    if (sMot == QLatin1String("SET"))
        return (e.sPremier == QLatin1String("UPDATE") && !e.bAffectation) || dans(p, {"DELETE", "UPDATE"})
               || e.sPremier == QLatin1String("ALTER");
    if (dans(sMot, {"EXEC", "EXECUTE"}))
        return bInsertSansSource;
    if (sMot == QLatin1String("ALTER"))
        return e.sPremier == QLatin1String("ALTER") && sSuivant == QLatin1String("COLUMN");
    if (sMot == QLatin1String("DROP"))
        return e.sPremier == QLatin1String("ALTER")
               && !dans(sSuivant, {"TABLE", "VIEW", "INDEX", "PROCEDURE", "PROC", "FUNCTION", "TRIGGER", "DATABASE",
                                   "SCHEMA", "USER", "LOGIN", "TYPE", "SYNONYM"});
    return false;
}

bool commenceInstruction(const QString &sMot)
{
    static const QSet<QString> mots{"SELECT", "INSERT", "UPDATE", "DELETE", "SET", "BEGIN", "COMMIT", "ROLLBACK",
                                    "SAVE", "CREATE", "DROP", "ALTER", "TRUNCATE", "USE", "PRINT", "DECLARE",
                                    "WAITFOR", "EXEC", "EXECUTE", "GRANT", "REVOKE", "DENY", "RAISERROR"};
    return mots.contains(sMot);
}

void note(EnCours &e, const JetonSql &x)
{
    const QString sMot = motMajuscule(x);
    if (e.vide())
        e.sPremier = sMot.isEmpty() ? QStringLiteral("?") : sMot;
    if (e.lProfondeur == 0) {
        if (e.sPremier == QLatin1String("INSERT") && dans(sMot, {"VALUES", "SELECT", "EXEC", "EXECUTE", "DEFAULT"}))
            e.bSource = true;
        if (e.sPremier == QLatin1String("UPDATE") && sMot == QLatin1String("SET"))
            e.bAffectation = true;
        if (e.sPremier == QLatin1String("WITH") && dans(sMot, {"SELECT", "INSERT", "UPDATE", "DELETE"}))
            e.bPrincipale = true;
    }
    if (x.genre == JetonSql::Symbole && x.sTexte == QLatin1String("("))
        ++e.lProfondeur;
    else if (x.genre == JetonSql::Symbole && x.sTexte == QLatin1String(")"))
        --e.lProfondeur;
    e.sPrecedent = sMot.isEmpty() ? x.sTexte : sMot;
}

// GO alone on its line: blanks holding a line break (or the batch's edge) on both sides.
bool ligneGo(const QVector<JetonSql> &tous, int i)
{
    if (motMajuscule(tous.at(i)) != QLatin1String("GO"))
        return false;
    auto finDeLigne = [&](int k) {
        return k < 0 || k >= tous.size()
               || (tous.at(k).genre == JetonSql::Blanc && tous.at(k).sTexte.contains(QLatin1Char('\n')));
    };
    return finDeLigne(i - 1) && finDeLigne(i + 1);
}

QString suivantSignificatif(const QVector<JetonSql> &tous, int i)
{
    for (int k = i + 1; k < tous.size(); ++k)
        if (EstSignificatif(tous.at(k)))
            return motMajuscule(tous.at(k));
    return QString();
}
}

QVector<InstructionSql> DecoupeLot(const QString &sLot)
{
    const QVector<JetonSql> tous = DecoupeJetons(sLot);
    QVector<InstructionSql> instructions;
    EnCours e;
    // Errors name the line where their statement starts, counted from the batch's first.
    int lLigne = 1;
    int lLigneInstruction = 1;
    auto termine = [&]() {
        while (!e.jetons.isEmpty() && !EstSignificatif(e.jetons.last()))
            e.jetons.removeLast();
        if (!e.vide()) {
            instructions << ModeleInstruction(e.jetons);
            instructions.last().lLigne = lLigneInstruction;
        }
        e = EnCours();
    };
    for (int i = 0; i < tous.size(); lLigne += int(tous.at(i).sTexte.count(QLatin1Char('\n'))), ++i) {
        const JetonSql &x = tous.at(i);
        if (x.genre == JetonSql::Symbole && x.sTexte == QLatin1String(";")) {
            termine();
            continue;
        }
        if (ligneGo(tous, i)) {
            termine();
            continue;
        }
        if (!EstSignificatif(x)) {
            if (!e.vide())
                e.jetons << x;
            continue;
        }
        const QString sMot = motMajuscule(x);
        if (!e.vide() && e.lProfondeur == 0 && commenceInstruction(sMot)
            && !continueInstruction(e, sMot, suivantSignificatif(tous, i)))
            termine();
        if (e.vide())
            lLigneInstruction = lLigne;
        e.jetons << x;
        note(e, x);
    }
    termine();
    return instructions;
}
