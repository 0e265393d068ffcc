#include "lanceurtest.h"

#include "chaineconnexion.h"
#include "codeserreurs.h"
#include "connexion.h"
#include "erreurado.h"
#include "formatjournal.h"


namespace {
// The number the classic runtime gives to an operation on a missing object.
constexpr int32_t kObjetNonDefini = 91;

const QString &PrefixeErreur() { static const QString s = QStringLiteral("Erreur : "); return s; }
}

LanceurTest::LanceurTest(HoteTest &hote, const QLocale &locale) : m_hote(hote), m_locale(locale) {}

LanceurTest::~LanceurTest()
{
    // A recordset never outlives the connection it was opened on.
    m_rs.reset();
    m_cn.reset();
}

void LanceurTest::Lance()
{
    m_hote.ActiveBouton(false);
    m_hote.VideJournal();
    m_hote.EleveGrille();
    ExecuteProgramme(Programme());
    m_rs.reset();
    m_cn.reset();
}

LanceurTest::Instruction LanceurTest::Etape(std::function<void()> action, Etiquette etiquette)
{
    return {etiquette, [action = std::move(action)] {
                action();
                return Suivante;
            }};
}

std::vector<LanceurTest::Instruction> LanceurTest::Programme()
{
    std::vector<Instruction> p;
    auto etape = [&p](std::function<void()> action, Etiquette etiquette = Suivante) {
        p.push_back(Etape(std::move(action), etiquette));
    };
    auto test = [&p](std::function<Etiquette()> action, Etiquette etiquette = Suivante) {
        p.push_back({etiquette, std::move(action)});
    };

    etape([this] { m_cn = std::make_unique<Connexion>(); });
    test([this] { return m_cn ? TentativeConnexion : Suivante; });
    test([this] {
        Journal(QStringLiteral("Objet Connection non créé."));
        return LiberationConnexion;
    });
    etape([this] { Journal(QStringLiteral("Tentative d'ouverture de connection...")); },
          TentativeConnexion);
    etape([this] { DemarreChrono(); });
    etape([this] {
        Cn().Open(ChaineConnexion(m_hote.Serveur(), m_hote.Base(), m_hote.PWD(),
                                  m_hote.TitreApplication()));
    });
    etape([this] { Journal(QStringLiteral("Résultat de connection : ") + QString::number(Cn().State())); });
    etape([this] { LigneDeTemps(); });
    etape([this] { m_rs = std::make_unique<Recordset>(); });
    test([this] { return m_rs ? VerificationConnexion : Suivante; });
    test([this] {
        Journal(QStringLiteral("Objet Recordset non créé."));
        return LiberationRecordset;
    });
    test([this] { return Cn().State() == 1 ? Suivante : LiberationRecordset; },
         VerificationConnexion);
    etape([this] { Journal(QStringLiteral("Tentative d'ouverture de recordset...")); });
    etape([this] { DemarreChrono(); });
    etape([this] { Rs().Open(m_hote.Requete(), &Cn(), 0, 1); });
    etape([this] {
        Journal(QStringLiteral("Résultat d'ouverture de \"") + m_hote.Requete()
                + QStringLiteral("\" :") + QString::number(Rs().State()));
    });
    etape([this] { LigneDeTemps(); });
    test([this] { return Rs().State() == 1 ? Suivante : FermetureRecordset; });
    AjouteSondes(p);
    etape([this] { Rs().Close(); }, FermetureRecordset);
    etape([this] { m_rs.reset(); }, LiberationRecordset);
    etape([this] { Journal(QStringLiteral("Fermeture de connection...")); });
    etape([this] { Cn().Close(); });
    etape([this] { m_cn.reset(); }, LiberationConnexion);
    etape([this] { Journal(QStringLiteral("Terminé.")); });
    etape([this] { m_hote.ActiveBouton(true); });
    return p;
}

void LanceurTest::AjouteSondes(std::vector<Instruction> &p)
{
    struct Sonde {
        bool bChrono;
        QString sTentative;
        std::function<void()> operation;
    };
    const std::vector<Sonde> sondes = {
        {true, QStringLiteral("Tentative de Resync adAffectCurrent"), [this] { Rs().Resync(1); }},
        {true, QStringLiteral("Tentative de Requery"), [this] { Rs().Requery(); }},
        {true, QStringLiteral("Tentative de MoveNext"), [this] { Rs().MoveNext(); }},
        {false, QStringLiteral("Tentative de MoveLast"), [this] { Rs().MoveLast(); }},
        {false, QStringLiteral("Tentative de MovePrevious"), [this] { Rs().MovePrevious(); }},
        {false, QStringLiteral("Tentative de MoveFirst"), [this] { Rs().MoveFirst(); }},
        {false, QStringLiteral("Tentative de RecordCount"),
         [this] { Journal(QString::number(Rs().RecordCount())); }},
        {false, QStringLiteral("Tentative de AbsolutePosition"),
         [this] { Journal(QString::number(Rs().AbsolutePosition())); }},
    };
    // Each statement of a probe is trapped on its own, so a rejected operation
    // leaves its error entry between its attempt line and its time line.
    for (const Sonde &sonde : sondes) {
        if (sonde.bChrono)
            p.push_back(Etape([this] { DemarreChrono(); }));
        const QString sTentative = sonde.sTentative;
        p.push_back(Etape([this, sTentative] { Journal(sTentative); }));
        p.push_back(Etape(sonde.operation));
        p.push_back(Etape([this] { LigneDeTemps(); }));
    }
}

std::size_t LanceurTest::IndexDe(const std::vector<Instruction> &programme, Etiquette etiquette) const
{
    for (std::size_t i = 0; i < programme.size(); ++i)
        if (programme[i].etiquette == etiquette)
            return i;
    return programme.size();
}

void LanceurTest::ExecuteProgramme(const std::vector<Instruction> &programme)
{
    std::size_t i = 0;
    while (i < programme.size()) {
        if (m_hote.Abandonne())
            return;
        const Instruction &instruction = programme[i];
        Etiquette suite = Suivante;
        try {
            suite = instruction.action();
        } catch (const ErreurAdo &erreur) {
            JournalErreur(erreur.Number(), erreur.Description());
        } catch (const std::exception &erreur) {
            JournalErreur(CodesErreurs::EchecNonSpecifie, QString::fromLocal8Bit(erreur.what()));
        }
        i = suite == Suivante ? i + 1 : IndexDe(programme, suite);
    }
}

void LanceurTest::Journal(const QString &sTexte)
{
    if (!m_hote.Abandonne())
        m_hote.AjouteResultat(sTexte);
}

void LanceurTest::DemarreChrono()
{
    m_chrono.start();
}

void LanceurTest::LigneDeTemps()
{
    // A monotonic clock: a run across midnight or a clock change still logs
    // the true elapsed time.
    const float fSecondes = m_chrono.isValid()
        ? static_cast<float>(static_cast<double>(m_chrono.nsecsElapsed()) / 1e9)
        : 0.0f;
    Journal(LigneTemps(fSecondes, m_locale));
}

void LanceurTest::JournalErreur(int32_t lNombre, const QString &sDescription)
{
    if (m_hote.Abandonne())
        return;
    const int lBlancs = NombreBlancs(m_hote.LargeurTwips(PrefixeErreur()));
    Journal(EntreeErreur(lNombre, sDescription, lBlancs));
}

Connexion &LanceurTest::Cn()
{
    if (!m_cn)
        throw ErreurAdo(kObjetNonDefini, QStringLiteral("Variable objet ou variable de bloc With non définie"));
    return *m_cn;
}

Recordset &LanceurTest::Rs()
{
    if (!m_rs)
        throw ErreurAdo(kObjetNonDefini, QStringLiteral("Variable objet ou variable de bloc With non définie"));
    return *m_rs;
}
