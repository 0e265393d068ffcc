#include "raiserror.h"

#include "instructionsql.h"

#include <QVector>

namespace {
using Argument = std::variant<qint64, QString>;

// A literal argument: a number (with its sign) or a string; false when the
// pieces from i are neither. Moves i past it.
bool litLitteral(const InstructionSql &m, int &i, Argument &valeur)
{
    if (i >= m.taille())
        return false;
    const JetonSql &x = m.j.at(i);
    if (x.genre == JetonSql::Chaine) {
        valeur = x.sValeur;
        ++i;
        return true;
    }
    int lSigne = 1;
    if (m.symbole(i, "-") || m.symbole(i, "+")) {
        lSigne = m.symbole(i, "-") ? -1 : 1;
        ++i;
    }
    if (i >= m.taille() || m.j.at(i).genre != JetonSql::Nombre)
        return false;
    bool bOk = false;
    const qint64 n = m.j.at(i).sTexte.toLongLong(&bOk);
    if (!bOk)
        return false;
    valeur = lSigne * n;
    ++i;
    return true;
}

ErreurSql syntaxe(const InstructionSql &m, int i)
{
    return ErreurSyntaxe(i < m.taille() ? m.j.at(i).sTexte : QStringLiteral(")"));
}

// A message number: the stand-in keeps no sys.messages, so every number is unknown.
ErreurSql erreurNumero(qint64 lNumero, const Argument &severite, const Argument &etat)
{
    if (lNumero < 13000 || lNumero == 50000)
        return {2732, 16, 1, QStringLiteral("Error number %1 is invalid. The number must be from 13000 through "
                                            "2147483647 and it cannot be 50000.").arg(lNumero)};
    auto entier = [](const Argument &a) { return std::holds_alternative<qint64>(a) ? std::get<qint64>(a) : 0; };
    return {18054, 16, 1, QStringLiteral("Error %1, severity %2, state %3 was raised, but no message with that error "
                                         "number was found in sys.messages. If error is larger than 50000, make sure "
                                         "the user-defined message is added using sp_addmessage.")
                              .arg(lNumero).arg(entier(severite)).arg(entier(etat))};
}

// One printf conversion: the text of its argument once flags, width and precision are applied.
QString convertit(QChar type, const QString &sDrapeaux, int lLargeur, int lPrecision, const Argument &a)
{
    QString s;
    const qint64 *n = std::get_if<qint64>(&a);
    const bool bEntier = n != nullptr;
    switch (type.unicode()) {
    case 'd': case 'i':
        s = bEntier ? QString::number(*n) : std::get<QString>(a);
        if (bEntier && *n >= 0 && sDrapeaux.contains(QLatin1Char('+')))
            s.prepend(QLatin1Char('+'));
        else if (bEntier && *n >= 0 && sDrapeaux.contains(QLatin1Char(' ')))
            s.prepend(QLatin1Char(' '));
        break;
    case 'u': s = bEntier ? QString::number(quint32(*n)) : std::get<QString>(a); break;
    case 'o': s = bEntier ? QString::number(quint32(*n), 8) : std::get<QString>(a); break;
    case 'x': s = bEntier ? QString::number(quint32(*n), 16) : std::get<QString>(a); break;
    case 'X': s = bEntier ? QString::number(quint32(*n), 16).toUpper() : std::get<QString>(a); break;
    default: // s
        s = bEntier ? QString::number(*n) : std::get<QString>(a);
        if (lPrecision >= 0)
            s.truncate(lPrecision);
    }
    if (s.size() < lLargeur) {
        const bool bGauche = sDrapeaux.contains(QLatin1Char('-'));
        const bool bZeros = sDrapeaux.contains(QLatin1Char('0')) && !bGauche && type != QLatin1Char('s');
        s = bGauche ? s.leftJustified(lLargeur) : s.rightJustified(lLargeur, bZeros ? QLatin1Char('0') : QLatin1Char(' '));
    }
    return s;
}
}

QString FormateMessage(const QString &sModele, const QVector<Argument> &arguments)
{
    QString s;
    int lArgument = 0;
    auto suivant = [&]() { return lArgument < arguments.size() ? arguments.at(lArgument++) : Argument(QStringLiteral("(null)")); };
    for (int i = 0; i < sModele.size(); ++i) {
        const QChar c = sModele.at(i);
        if (c != QLatin1Char('%') || i + 1 >= sModele.size()) {
            s += c;
            continue;
        }
        if (sModele.at(i + 1) == QLatin1Char('%')) {
            s += c;
            ++i;
            continue;
        }
        int k = i + 1;
        QString sDrapeaux;
        while (k < sModele.size() && QStringLiteral("-+ 0#").contains(sModele.at(k)))
            sDrapeaux += sModele.at(k++);
        int lLargeur = 0;
        if (k < sModele.size() && sModele.at(k) == QLatin1Char('*')) {
            const Argument a = suivant();
            lLargeur = std::holds_alternative<qint64>(a) ? int(std::get<qint64>(a)) : 0;
            ++k;
        }
        while (k < sModele.size() && sModele.at(k).isDigit())
            lLargeur = lLargeur * 10 + sModele.at(k++).digitValue();
        int lPrecision = -1;
        if (k < sModele.size() && sModele.at(k) == QLatin1Char('.')) {
            lPrecision = 0;
            for (++k; k < sModele.size() && sModele.at(k).isDigit();)
                lPrecision = lPrecision * 10 + sModele.at(k++).digitValue();
        }
        while (k < sModele.size() && (sModele.at(k) == QLatin1Char('h') || sModele.at(k) == QLatin1Char('l')
                                      || sModele.at(k) == QLatin1Char('I')))
            ++k;
        if (k >= sModele.size() || !QStringLiteral("diuoxXs").contains(sModele.at(k))) {
            s += c; // not a conversion: the text stays as written
            continue;
        }
        s += convertit(sModele.at(k), sDrapeaux, lLargeur, lPrecision, suivant());
        i = k;
    }
    return s;
}

std::variant<MessageLeve, ErreurSql> LitRaiserror(const InstructionSql &m)
{
    int i = 1;
    if (!m.symbole(i, "("))
        return syntaxe(m, i);
    ++i;
    QVector<Argument> valeurs;
    for (;;) {
        Argument a;
        if (!litLitteral(m, i, a))
            return syntaxe(m, i);
        valeurs << a;
        if (m.symbole(i, ")"))
            break;
        if (!m.symbole(i, ","))
            return syntaxe(m, i);
        ++i;
    }
    ++i;
    MessageLeve message;
    if (valeurs.size() < 3 || !std::holds_alternative<qint64>(valeurs.at(1))
        || !std::holds_alternative<qint64>(valeurs.at(2)))
        return syntaxe(m, i - 1);
    if (!std::holds_alternative<QString>(valeurs.at(0)))
        return erreurNumero(std::get<qint64>(valeurs.at(0)), valeurs.at(1), valeurs.at(2));
    message.lSeverite = int(std::get<qint64>(valeurs.at(1)));
    message.lEtat = int(std::get<qint64>(valeurs.at(2)));
    message.sTexte = FormateMessage(std::get<QString>(valeurs.at(0)), valeurs.mid(3));
    if (m.mot(i, "WITH")) {
        for (++i; i < m.taille(); ++i) {
            if (m.mot(i, "NOWAIT"))
                message.bSansAttente = true;
            else if (!m.mot(i, "LOG") && !m.mot(i, "SETERROR"))
                return syntaxe(m, i);
            if (i + 1 < m.taille() && !m.symbole(++i, ","))
                return syntaxe(m, i);
        }
    } else if (i < m.taille()) {
        return syntaxe(m, i);
    }
    if (message.lSeverite > 25 || message.lSeverite < 0)
        message.lSeverite = message.lSeverite < 0 ? 0 : 25;
    return message;
}
