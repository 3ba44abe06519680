#include "EditingHarness.h"

#include <QTest>

#include <random>

using namespace parlino;

// Random sequences of typing, deleting, pasting, typing over selections,
// applying effects, pauses and deletes, checked after every step.
class TestEditingRandom : public QObject {
    Q_OBJECT
private slots:
    void randomSequences_data();
    void randomSequences();
};

namespace {

class RandomSession {
public:
    explicit RandomSession(quint32 seed)
        : m_random(seed) {}

    // One step; returns a description of the step and sets `failure`.
    QString step(EditingHarness &h, QString &failure) {
        const int kind = pick(0, 9);
        const qint64 start = place(h);
        const qint64 end = std::max(start, place(h));
        const qint64 length = pick(0, 3) == 0 ? 0 : end - start;
        if (kind <= 5) {
            const QString inserted = kind == 0 ? QString() : sample();
            failure = h.edit(start, length, inserted);
            return QStringLiteral("edit(%1, %2, \"%3\")").arg(start).arg(length).arg(inserted);
        }
        if (kind <= 7) {
            const QList<EffectKind> &kinds = EffectKind::all();
            const EffectKind &effect = kinds.at(pick(0, int(kinds.size()) - 1));
            failure = h.apply(start, length, effect);
            return QStringLiteral("apply(%1, %2, %3)").arg(start).arg(length).arg(effect.name);
        }
        if (kind == 8) {
            failure = h.pause(start, length);
            return QStringLiteral("pause(%1, %2)").arg(start).arg(length);
        }
        failure = h.remove(start);
        return QStringLiteral("remove(%1)").arg(start);
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    // Often a span edge or right next to one, else anywhere in the text.
    qint64 place(const EditingHarness &h) {
        const EffectsArray &spans = h.spans();
        if (!spans.isEmpty() && pick(0, 1) == 0) {
            const SSMLCharactersModel &s = spans.at(pick(0, int(spans.size()) - 1));
            const qint64 edge = pick(0, 1) == 0 ? s.location : s.end();
            return h.snap(edge + pick(-1, 1));
        }
        return h.snap(pick(0, int(h.text().size())));
    }

    QString sample() {
        static const QStringList pieces{"a", "b", " ", "\n", "😀", "é", "⏸", "the ", "x😀y"};
        QString result;
        const int count = pick(0, 2) == 0 ? pick(2, 12) : 1; // typing, or a paste
        for (int i = 0; i < count; ++i)
            result += pieces.at(pick(0, int(pieces.size()) - 1));
        return result;
    }

    std::mt19937 m_random;
};

} // namespace

void TestEditingRandom::randomSequences_data() {
    QTest::addColumn<quint32>("firstSeed");
    QTest::addColumn<int>("sequences");
    QTest::addColumn<int>("startLength");
    QTest::newRow("short texts") << 1u << 3000 << 20;
    QTest::newRow("texts over the limit") << 100000u << 20 << 5100;
}

void TestEditingRandom::randomSequences() {
    QFETCH(quint32, firstSeed);
    QFETCH(int, sequences);
    QFETCH(int, startLength);
    for (quint32 seed = firstSeed; seed < firstSeed + quint32(sequences); ++seed) {
        RandomSession session(seed);
        EditingHarness h;
        QCOMPARE(h.edit(0, 0, QString(startLength, u'w')), QString());
        QStringList steps;
        for (int i = 0; i < 40; ++i) {
            QString failure;
            steps << session.step(h, failure);
            if (!failure.isEmpty())
                QFAIL(qPrintable(QStringLiteral("seed %1: %2 after %3")
                                     .arg(seed)
                                     .arg(failure, steps.join(QStringLiteral("; ")))));
        }
    }
}

QTEST_GUILESS_MAIN(TestEditingRandom)
#include "tst_editingrandom.moc"
