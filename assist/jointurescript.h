#pragma once
#include "jointures.h"
#include "proposition.h"

#include <optional>

struct LectureScript;
struct MotCurseur;
struct Plage;

/// The join whose ON stands right before the word at the caret, with the
/// tables the statement names in the script's reading (those the script
/// makes marked so), and where the joined one stands among them.
struct JointureDuScript {
    QVector<TableDeJointure> tables;
    int iJointe = -1;
    TableDeJointure jointe;
};

/// The join at the caret of a text read once (lecture); nothing when the
/// caret is not after the ON of a join (or ON and a prefix), or stands in a
/// literal or a comment.
std::optional<JointureDuScript> JointureDeLaLecture(const LectureScript &lecture, const QString &sTexte);

/// Puts the conditions before the other proposals of a result.
void AjouteConditions(ResultatProposition &resultat, const QVector<LigneProposition> &conditions);

/// The span a chosen condition replaces: the word at the caret (its typed
/// prefix and its rest); the condition is written as it is.
Plage PlageDeLaCondition(const MotCurseur &mot, const QString &sCondition);
