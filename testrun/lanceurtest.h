#pragma once
#include "hotetest.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class Connexion;
class Recordset;

/// The "Tester" diagnostic: opens a connection and the query as a recordset,
/// tries each navigation operation in turn and logs every attempt, its result
/// and its time. A failing step is logged and the run goes on.
class LanceurTest
{
public:
    explicit LanceurTest(HoteTest &hote, const QLocale &locale = QLocale::system());
    ~LanceurTest();

    /// Runs the whole sequence; returns once the button is enabled again (or
    /// at once, without touching the window further, when it is closing).
    void Lance();

private:
    // Jump targets of the sequence's branches.
    enum Etiquette {
        Suivante = 0,
        TentativeConnexion,
        VerificationConnexion,
        FermetureRecordset,
        LiberationRecordset,
        LiberationConnexion,
    };
    // A failing instruction is logged and the run goes on with the next one.
    struct Instruction {
        Etiquette etiquette;
        std::function<Etiquette()> action;
    };

    /// An instruction that always goes on with the next one.
    static Instruction Etape(std::function<void()> action, Etiquette etiquette = Suivante);
    std::vector<Instruction> Programme();
    void AjouteSondes(std::vector<Instruction> &programme);
    std::size_t IndexDe(const std::vector<Instruction> &programme, Etiquette etiquette) const;
    void ExecuteProgramme(const std::vector<Instruction> &programme);

    void Journal(const QString &sTexte);
    void DemarreChrono();
    void LigneDeTemps();
    void JournalErreur(int32_t lNombre, const QString &sDescription);

    Connexion &Cn();
    Recordset &Rs();

    HoteTest &m_hote;
    QLocale m_locale;
    QElapsedTimer m_chrono;
    std::unique_ptr<Connexion> m_cn;
    std::unique_ptr<Recordset> m_rs;
};
