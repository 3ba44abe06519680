#include "SpanBuilders.h"
#include "ToneMp3.h"
#include "document/ParlinoDocument.h"
#include "editing/EditorSession.h"
#include "editing/SpanLookup.h"
#include "output/FolderChooser.h"
#include "settings/Settings.h"
#include "synthesis/SpeechEngine.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <random>

using namespace parlino;

// The editor's logic without a window: voices, effects, edits, documents and Convert.
namespace {

// Answers each request on the next turn of the event loop with audio or an error.
class FakeEngine : public SpeechEngine {
public:
    FakeEngine(QList<QJsonObject> *requests, SpeechError error)
        : m_requests(requests)
        , m_error(std::move(error)) {}
    void synthesize(const QJsonObject &request, Completion done) override {
        m_requests->append(request);
        QTimer::singleShot(0, this, [this, done] {
            done(m_error.isError() ? QByteArray() : toneMp3(0), m_error);
        });
    }

private:
    QList<QJsonObject> *m_requests;
    SpeechError m_error;
};

// Answers the folder question with a fixed folder ("" cancels).
class Chooser : public FolderChooser {
public:
    explicit Chooser(QString folder)
        : m_folder(std::move(folder)) {}
    QString chooseFolder(const QString &) override { return m_folder; }

private:
    QString m_folder;
};

// "[5,10) [20,25) loud": the ranges and the first span's value.
QString describe(const EffectsArray &spans) {
    return ranges(spans) + u' ' + (spans.isEmpty() ? QString() : spans.constFirst().ssmlTag);
}

// Types text into the session as the view reports it: one insertion at location.
void type(EditorSession &session, qint64 location, const QString &inserted) {
    QString text = session.text();
    text.insert(location, inserted);
    session.trackEdit({location, 0, inserted.size()}, text);
}

} // namespace

class TestEditorSession : public QObject {
    Q_OBJECT
private slots:
    void init();
    void voicesFollowTheLanguage_data();
    void voicesFollowTheLanguage();
    void effectsByKind_data();
    void effectsByKind();
    void pauseRule_data();
    void pauseRule();
    void deleteTakesTheFirstSpanAtTheCaret();
    void editsMoveSpansAndCount();
    void limitAlertWhenOver5000();
    void documentRoundTrip();
    void convertSendsTheAssemblyOnce();
    void convertOutcomes_data();
    void convertOutcomes();
    void destroyedWhileSpeakingReportsNothing();
    void subtitlesWhenTheSettingAsks();
    void undoRedoRestoreTextAndSpans_data();
    void undoRedoRestoreTextAndSpans();
    void stepsAndModified();

private:
    void useEngine(EditorSession &session, const SpeechError &error = {});

    QList<QJsonObject> m_requests;
    QList<SpeechEngineFactory::Kind> m_kinds;
    QTemporaryDir m_folder;
};

void TestEditorSession::init() {
    Settings::remove(Settings::Key::SavePath);
    m_requests.clear();
    m_kinds.clear();
    for (const QString &name : QDir(m_folder.path()).entryList(QDir::Files))
        QFile::remove(m_folder.filePath(name));
}

void TestEditorSession::useEngine(EditorSession &session, const SpeechError &error) {
    session.setEngineProvider([this, error](SpeechEngineFactory::Kind kind, QString *) {
        m_kinds << kind;
        return std::make_unique<FakeEngine>(&m_requests, error);
    });
}

void TestEditorSession::voicesFollowTheLanguage_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("voices");
    QTest::addColumn<QString>("selected");
    QTest::newRow("English (US)") << "English (US)" << 4 << "en-US-Standard-B";
    QTest::newRow("the same language again resets the voice")
        << "Arabic" << 3 << "ar-XA-Standard-A";
}

void TestEditorSession::voicesFollowTheLanguage() {
    QFETCH(QString, language);
    QFETCH(int, voices);
    QFETCH(QString, selected);
    EditorSession session;
    QCOMPARE(session.languages().size(), 37);
    QCOMPARE(session.voice(), QStringLiteral("ar-XA-Standard-A"));
    session.setVoice(QStringLiteral("ar-XA-Standard-C"));
    session.setLanguage(language);
    QCOMPARE(session.googleDic().size(), voices);
    QCOMPARE(session.voice(), selected);
}

void TestEditorSession::effectsByKind_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("colour"); // empty: not highlighted
    QTest::newRow("Emphasis") << int(EffectKind::Emphasis) << "Emphasis"
                              << "#ebdaf2";
    QTest::newRow("Break") << int(EffectKind::Break) << "Break"
                           << "";
}

void TestEditorSession::effectsByKind() {
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(QString, colour);
    EditorSession session;
    type(session, 0, QStringLiteral("Call me at 10:30"));
    QSignalSpy changed(&session, &EditorSession::spansChanged);
    session.applyEffect(EffectKind::Id(kind), 11, 5, QStringLiteral("v"));
    QCOMPARE(changed.count(), 1);
    const SSMLCharactersModel &added = session.effectsArray().constFirst();
    QCOMPARE(added.effects, name);
    QCOMPARE(added.color.isValid() ? added.color.name() : QString(), colour);
    QCOMPARE(describe(session.effectsArray()), QStringLiteral("[11,16) v"));
}

void TestEditorSession::pauseRule_data() {
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("goesIn");
    QTest::newRow("strictly inside a span: no pause") << 15 << false;
    QTest::newRow("at a span's end") << 20 << true;
}

void TestEditorSession::pauseRule() {
    QFETCH(int, caret);
    QFETCH(bool, goesIn);
    EditorSession session;
    type(session, 0, QString(30, u'a'));
    session.applyEffect(EffectKind::Emphasis, 10, 10, QStringLiteral("strong"));
    QCOMPARE(session.pauseGoesIn(caret), goesIn);
    if (goesIn)
        type(session, caret, QString(QChar(pauseGlyph)));
    session.placePause(caret, goesIn);
    session.setPauseValue(caret + 1, 0, QVariant(4));
    QVERIFY(!session.setPauseValue(caret + 1, 0, QStringLiteral("abc")));
    session.setPauseValue(caret, 1, QStringLiteral("2.5")); // the glyph selected
    QCOMPARE(session.hasPauseAt(caret + 1, 0), goesIn);
    QStringList pauses;
    for (const SSMLCharactersModel &s : session.effectsArray()) {
        if (s.effects == QLatin1String("Break"))
            pauses << QStringLiteral("%1 %2").arg(s.location).arg(s.ssmlTag);
    }
    QCOMPARE(pauses, goesIn ? QStringList{QStringLiteral("%1 2.5").arg(caret)} : QStringList());
    QCOMPARE(session.text().count(QChar(pauseGlyph)), goesIn ? 1 : 0);
}

void TestEditorSession::deleteTakesTheFirstSpanAtTheCaret() {
    EditorSession session;
    ParlinoDocument document;
    document.text = QString(30, u'a');
    document.effects = {span(5, 10), span(5, 10, QStringLiteral("Volume"), QStringLiteral("loud")),
                        span(20, 25, QStringLiteral("Date"), QStringLiteral("dm"))};
    session.loadDocument(document);
    QCOMPARE(session.determineLocation(7), 0);
    session.deleteEffectAt(7);
    QCOMPARE(describe(session.effectsArray()), QStringLiteral("[5,10) [20,25) loud"));
    for (int i = 0; i < 3; ++i) // the third time nothing is left: harmless
        session.deleteEffectAt(7);
    QCOMPARE(session.determineLocation(7), -1);
}

void TestEditorSession::editsMoveSpansAndCount() {
    EditorSession session;
    QSignalSpy statistics(&session, &EditorSession::statisticsChanged);
    type(session, 0, QStringLiteral("one two three"));
    session.applyEffect(EffectKind::Emphasis, 4, 3, QStringLiteral("strong"));
    type(session, 0, QStringLiteral("zero "));
    QCOMPARE(ranges(session.effectsArray()), QStringLiteral("[9,12)"));
    QCOMPARE(statistics.last().at(0).toString(), QStringLiteral("(4words 15characters)"));
    session.trackEdit({0, 18, 0}, QString());
    QVERIFY(session.effectsArray().isEmpty());
    QCOMPARE(session.statistics(), QString());
}

void TestEditorSession::limitAlertWhenOver5000() {
    EditorSession session;
    QSignalSpy alerts(&session, &EditorSession::alertRequested);
    type(session, 0, QString(4999, u'a') + QStringLiteral("   "));
    session.applyEffect(EffectKind::Emphasis, 0, 10, QStringLiteral("strong"));
    type(session, 0, QStringLiteral("b")); // 5000 besides spaces: still allowed
    QCOMPARE(alerts.count(), 0);
    type(session, 0, QStringLiteral("c"));
    QCOMPARE(alerts.count(), 1);
    QCOMPARE(alerts.last().at(0).toString(), QStringLiteral("The length cannot exceed 5000"));
    QCOMPARE(session.statistics(), QStringLiteral("(4words 5001characters)"));
    QCOMPARE(ranges(session.effectsArray()), QStringLiteral("[2,12)")); // tracked all the same
    type(session, 0, QStringLiteral("de")); // once per crossing, not at every key
    session.undo();
    session.undo();
    QCOMPARE(alerts.count(), 1);
    session.redo(); // over again: a new crossing
    QCOMPARE(alerts.count(), 2);
}

void TestEditorSession::documentRoundTrip() {
    EditorSession session;
    type(session, 0, QStringLiteral("Hello"));
    session.applyEffect(EffectKind::Sub, 0, 5, QStringLiteral("hi"));
    session.setLanguage(QStringLiteral("French (France)"));
    session.setVoice(QStringLiteral("fr-FR-Standard-C"));
    session.setSpeed(150);
    const ParlinoDocument document = session.document();

    EditorSession other;
    QSignalSpy reset(&other, &EditorSession::textReset);
    other.loadDocument(document);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(other.text(), QStringLiteral("Hello"));
    QCOMPARE(other.effectsArray(), session.effectsArray());
    QCOMPARE(other.language(), QStringLiteral("French (France)"));
    QCOMPARE(other.voice(), QStringLiteral("fr-FR-Standard-C"));
    QCOMPARE(other.speed(), 150);
    QCOMPARE(other.statistics(), QStringLiteral("(1words 5characters)"));
}

void TestEditorSession::convertSendsTheAssemblyOnce() {
    EditorSession session;
    useEngine(session);
    session.setFolderChooser(std::make_unique<Chooser>(QString()));
    QSignalSpy alerts(&session, &EditorSession::alertRequested);
    session.convert(QStringLiteral("offline"));
    QCOMPARE(alerts.last().at(0).toString(), QStringLiteral("Text not empty!"));

    type(session, 0, QStringLiteral("Hi you"));
    session.applyEffect(EffectKind::Emphasis, 3, 3, QStringLiteral("strong"));
    QLoggingCategory::setFilterRules(QStringLiteral("parlino.app.debug=true"));
    const QString ssml =
        QStringLiteral("<speak>Hi <emphasis level='strong'>you</emphasis></speak>");
    QTest::ignoreMessage(QtDebugMsg, qPrintable(ssml));
    QSignalSpy requested(&session, &EditorSession::conversionRequested);
    session.convert(QStringLiteral("offline"));
    QLoggingCategory::setFilterRules(QString());
    QCOMPARE(requested.count(), 1);
    QCOMPARE(requested.last(), (QVariantList{ssml, QStringLiteral("offline")}));
    QCOMPARE(m_kinds, QList<SpeechEngineFactory::Kind>{SpeechEngineFactory::Kind::Offline});
    // One at a time: a second Convert is turned away; the chooser stays meanwhile.
    QSignalSpy brief(&session, &EditorSession::briefMessageRequested);
    session.convert(QStringLiteral("offline"));
    QCOMPARE(brief.count(), 1);
    QCOMPARE(brief.last().at(0).toString(), QStringLiteral("A conversion is already running."));
    const FolderChooser *chooser = session.folderChooser();
    QTest::ignoreMessage(QtWarningMsg,
                         "the folder chooser is not replaced while a conversion runs");
    session.setFolderChooser(std::make_unique<Chooser>(m_folder.path()));
    QCOMPARE(session.folderChooser(), chooser);
    QCOMPARE(m_requests.size(), 1);
    QCOMPARE(m_requests.first().value("input").toObject().value("ssml").toString(), ssml);
    QTRY_VERIFY(!session.isConverting());
}

enum class Setup { Saved, EngineError, NoNetwork, WriteFails, Cancelled, NoVoice, NoEngine };

void TestEditorSession::convertOutcomes_data() {
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("failure"); // SpeechError::Kind reported; None: no failure
    QTest::addColumn<QString>("alert");
    QTest::addColumn<int>("files");
    QTest::newRow("saved") << Setup::Saved << int(SpeechError::None) << "" << 1;
    QTest::newRow("service refusal")
        << Setup::EngineError << int(SpeechError::RefusedByService) << "" << 0;
    QTest::newRow("network down keeps its kind")
        << Setup::NoNetwork << int(SpeechError::NoNetwork) << "" << 0;
    QTest::newRow("write fails") << Setup::WriteFails << int(SpeechError::Write) << "" << 0;
    QTest::newRow("cancelled is silent") << Setup::Cancelled << int(SpeechError::None) << "" << 0;
    QTest::newRow("language without voices")
        << Setup::NoVoice << int(SpeechError::None) << "The cloud service has no voice" << 0;
    QTest::newRow("no engine") << Setup::NoEngine << int(SpeechError::None) << "No key here." << 0;
}

void TestEditorSession::convertOutcomes() {
    QFETCH(Setup, setup);
    QFETCH(int, failure);
    QFETCH(QString, alert);
    QFETCH(int, files);
    EditorSession session;
    type(session, 0, QStringLiteral("Hello"));
    const SpeechError::Kind engineKind = setup == Setup::EngineError ? SpeechError::RefusedByService
                                         : setup == Setup::NoNetwork ? SpeechError::NoNetwork
                                                                     : SpeechError::None;
    useEngine(session, {engineKind, engineKind ? QStringLiteral("No.") : QString()});
    if (setup == Setup::NoEngine) {
        session.setEngineProvider([](SpeechEngineFactory::Kind, QString *error) {
            *error = QStringLiteral("No key here.");
            return std::unique_ptr<SpeechEngine>();
        });
    }
    if (setup == Setup::NoVoice)
        session.setLanguage(QStringLiteral("Welsh"));
    const QString folder = setup == Setup::Cancelled    ? QString()
                           : setup == Setup::WriteFails ? m_folder.filePath(QStringLiteral("gone"))
                                                        : m_folder.path();
    session.setFolderChooser(std::make_unique<Chooser>(folder));
    QSignalSpy failed(&session, &EditorSession::conversionFailed);
    QSignalSpy alerts(&session, &EditorSession::alertRequested);
    session.convert(QStringLiteral("cloud"));
    QTRY_VERIFY(!session.isConverting());
    QCOMPARE(alerts.isEmpty() ? QString() : alerts.last().at(0).toString().left(alert.size()),
             alert);
    QCOMPARE(failed.isEmpty() ? int(SpeechError::None)
                              : int(failed.last().at(0).value<SpeechError>().kind),
             failure);
    QCOMPARE(QDir(m_folder.path()).entryList(QDir::Files).size(), files);
}

void TestEditorSession::destroyedWhileSpeakingReportsNothing() {
    auto session = std::make_unique<EditorSession>();
    useEngine(*session);
    session->setFolderChooser(std::make_unique<Chooser>(m_folder.path()));
    type(*session, 0, QStringLiteral("Goodbye."));
    session->convert(QStringLiteral("cloud"));
    session.reset();
    QCoreApplication::processEvents(); // the engine's answer would run now, had it survived
    QVERIFY(QDir(m_folder.path()).entryList(QDir::Files).isEmpty());
}

// With "Write subtitles" on, Convert asks for word times (marks in the
// request) and writes NAME.vtt beside NAME.mp3.
void TestEditorSession::subtitlesWhenTheSettingAsks() {
    Settings::setValue(Settings::Key::Subtitles, QStringLiteral("vtt"));
    EditorSession session;
    useEngine(session);
    session.setFolderChooser(std::make_unique<Chooser>(m_folder.path()));
    type(session, 0, QStringLiteral("Hi you."));
    session.convert(QStringLiteral("offline"));
    QTRY_VERIFY(!session.isConverting());
    Settings::remove(Settings::Key::Subtitles);
    QVERIFY(m_requests.first().value("input").toObject().value("ssml").toString().contains(
        "<mark name='w1'/>you"));
    const QStringList files = QDir(m_folder.path()).entryList(QDir::Files);
    QCOMPARE(files.size(), 2);
    QCOMPARE(QFileInfo(files.at(0)).completeBaseName(), QFileInfo(files.at(1)).completeBaseName());
    QFile vtt(m_folder.filePath(files.filter(".vtt").value(0)));
    QVERIFY(vtt.open(QIODevice::ReadOnly));
    QVERIFY(vtt.readAll().startsWith("WEBVTT\n\n00:00:00.000 --> "));
}

void TestEditorSession::undoRedoRestoreTextAndSpans_data() {
    QTest::addColumn<quint32>("firstSeed");
    QTest::newRow("seeds 1-300") << 1u;
}

// Random steps of every kind the user can take; then undo back to the start and
// redo to the end. Each state on the way is one seen after a step, in order.
void TestEditorSession::undoRedoRestoreTextAndSpans() {
    QFETCH(quint32, firstSeed);
    for (quint32 seed = firstSeed; seed < firstSeed + 300; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&random](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        EditorSession session;
        using State = std::pair<QString, EffectsArray>;
        QList<State> states{{QString(), {}}};
        const auto state = [&session] { return State(session.text(), session.effectsArray()); };
        const auto edit = [&session](qint64 at, qint64 removed, const QString &in, bool typed) {
            session.trackEdit({at, removed, in.size()},
                              QString(session.text()).replace(at, removed, in), typed);
        };
        for (int i = 0; i < 40; ++i) {
            const int n = int(session.text().size());
            const qint64 a = pick(0, n), b = pick(int(a), std::min(n, int(a) + 6));
            switch (pick(0, 7)) {
            case 0:
                edit(a, 0, QStringLiteral("ab c"), false);
                break; // paste
            case 1:
                edit(b, 0, QStringLiteral("x"), true);
                break; // typing
            case 2:
                edit(a, b - a, QString(), b - a == 1);
                break; // Backspace, cut
            case 3:
                session.applyEffect(EffectKind::Id(pick(0, 5)), a, b - a, "v");
                break;
            case 4:
                session.applyEffect(EffectKind::SayAs, a, 0, QString::number(i));
                break;
            case 5:
                session.deleteEffectAt(a);
                break;
            case 6:
                if (!session.hasPauseAt(a, b - a) && session.pauseGoesIn(a)) { // as the view
                    edit(a, b - a, QString(QChar(pauseGlyph)), false);
                    session.placePause(a, true);
                }
                break;
            default:
                session.setPauseValue(a, 0, pick(1, 9));
                break;
            }
            QVERIFY(allSpansInside(session.effectsArray(), session.text().size()));
            if (states.constLast() != state())
                states << state();
        }
        const State end = state();
        for (qsizetype at = states.size() - 1; session.canUndo();) {
            session.undo();
            QVERIFY(allSpansInside(session.effectsArray(), session.text().size()));
            const qsizetype found = states.mid(0, at).lastIndexOf(state());
            QVERIFY2(found >= 0, qPrintable(QStringLiteral("seed %1").arg(seed)));
            at = found;
        }
        QCOMPARE(state(), states.constFirst());
        while (session.canRedo())
            session.redo();
        QCOMPARE(state(), end);
    }
}

void TestEditorSession::stepsAndModified() {
    EditorSession session;
    QSignalSpy modified(&session, &EditorSession::modifiedChanged);
    type(session, 0, QStringLiteral("one two three"));
    for (const char *typed : {" ", "f", "o", "u", "r"}) // typing in a row: one step
        session.trackEdit({session.text().size(), 0, 1}, session.text() + typed[0], true);
    session.applyEffect(EffectKind::Emphasis, 4, 3, QStringLiteral("moderate"));
    session.markSaved();
    QCOMPARE(modified.count(), 2);
    session.undo(); // the effect alone
    QCOMPARE(session.text(), QStringLiteral("one two three four"));
    QVERIFY(session.effectsArray().isEmpty() && session.isModified());
    session.undo(); // the typed keys
    QCOMPARE(session.text(), QStringLiteral("one two three"));
    session.redo();
    session.redo();
    QCOMPARE(describe(session.effectsArray()), QStringLiteral("[4,7) moderate"));
    QVERIFY(!session.isModified());
    session.loadDocument(ParlinoDocument());
    QVERIFY(!session.canUndo() && !session.isModified());
}

QTEST_GUILESS_MAIN(TestEditorSession)
#include "tst_editorsession.moc"
