#include "motscles.h"

#include "casse.h"

// Only spaces are trimmed: a tab or a line break would stay part of the word.
static QString SansEspacesAutour(const QString& s)
{
    qsizetype debut = 0;
    qsizetype fin = s.size();
    while (debut < fin && s.at(debut) == u' ')
        ++debut;
    while (fin > debut && s.at(fin - 1) == u' ')
        --fin;
    return s.mid(debut, fin - debut);
}

void AjouteMotCle(TableauMotsCles& table, const QString& sMot, bool bRetourLigne, bool bSupprime,
                  bool bEspaceApres)
{
    MotCle mot;
    mot.Mot = SansEspacesAutour(MinusculesSimples(sMot));
    mot.RetourLigne = bRetourLigne;
    mot.Supprime = bSupprime;
    mot.EspaceApres = bEspaceApres;
    table.push_back(mot);
}

void InitialiseMotsCles(TableauMotsCles& table)
{
    struct Ligne {
        const char* mot;
        bool retourLigne;
        bool supprime;
        bool espaceApres;
    };
    // The order matters: each word sees the text as the words before it left it.
    static const Ligne lignes[] = {
        {"go", true, false, true},         {"select", true, false, true},
        {"distinct", false, false, true},  {"top", false, false, true},
        {"from", true, false, true},       {"left", true, false, true},
        {"inner", true, false, true},      {"outer", true, true, true},
        {"right", true, false, true},      {"join", false, false, true},
        {"cross", true, false, true},      {"full", true, false, true},
        {"where", true, false, true},      {"on", true, false, true},
        {"and", true, false, true},        {"or", true, false, true},
        {"union", true, false, true},      {"all", false, false, true},
        {"group", true, false, true},      {"having", true, false, true},
        {"order", true, false, true},      {"by", false, false, true},
        {"asc", false, false, true},       {"desc", false, false, true},
        {"insert", true, false, true},     {"into", false, false, true},
        {"as", false, false, true},        {"values", true, false, true},
        {"update", true, false, true},     {"set", true, false, true},
        {"delete", true, false, true},     {"avg", false, false, false},
        {"sum", false, false, false},      {"isnull", false, false, false},
        {"min", false, false, false},      {"max", false, false, false},
        {"abs", false, false, false},      {"not", false, false, true},
        {"like", false, false, true},      {"cast", false, false, false},
        {"convert", false, false, false},  {"exists", false, false, true},
        {"is", false, false, true},        {"null", false, false, true},
        {"case", true, false, true},       {"when", true, false, true},
        {"then", true, false, true},       {"else", true, false, true},
        {"end", true, false, true},        {"if", true, false, true},
        {"begin", true, false, true},      {"int", false, false, false},
        {"bigint", false, false, false},   {"char", false, false, false},
        {"varchar", false, false, false},  {"binary", false, false, false},
        {"nchar", false, false, false},    {"nvarchar", false, false, false},
        {"datetime", false, false, false}, {"declare", true, false, true},
        {"create", true, false, true},     {"procedure", true, false, true},
        {"function", true, false, true},   {"return", true, false, true},
        {"trigger", true, false, true},
    };
    for (const Ligne& l : lignes)
        AjouteMotCle(table, QString::fromLatin1(l.mot), l.retourLigne, l.supprime, l.espaceApres);
}
