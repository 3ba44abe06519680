#pragma once

#include "editing/EditTracker.h"
#include "editing/EffectApplier.h"
#include "editing/EffectKind.h"
#include "editing/SpanLookup.h"

#include <QHash>
#include <QList>
#include <QString>

#include <algorithm>

namespace parlino {

// Drives the editing core the way the editor does and checks, after every step,
// that the spans still cover the characters they covered before. Every UTF-16
// unit of the text carries an identity that survives edits, and every span a
// unique tag, so a check can tell which characters a span covers. A step
// returns an empty string when all is well, else what went wrong. Shared by the
// randomised test and the fuzz target.
class EditingHarness {
public:
    const QString &text() const { return m_text; }
    const EffectsArray &spans() const { return m_spans; }

    // Moves an offset off the middle of a surrogate pair, as the editor never
    // puts a caret there.
    qint64 snap(qint64 offset) const {
        offset = std::clamp<qint64>(offset, 0, m_text.size());
        if (offset > 0 && offset < m_text.size() && m_text.at(offset).isLowSurrogate())
            ++offset;
        return offset;
    }

    // Replaces [location, location + removed) by `inserted`, as typing, deleting
    // and pasting do, and tracks the edit.
    QString edit(qint64 location, qint64 removed, const QString &inserted) {
        const TextEdit e{location, removed, inserted.size()};
        const EffectsArray before = m_spans;
        const QList<quint32> idsBefore = m_ids;

        m_firstIdOfEdit = m_nextId;
        m_text.replace(location, removed, inserted);
        QList<quint32> fresh(inserted.size());
        for (quint32 &id : fresh)
            id = m_nextId++;
        m_ids.remove(location, removed);
        m_ids.insert(location, fresh.size(), 0);
        std::copy(fresh.cbegin(), fresh.cend(), m_ids.begin() + location);

        const EditTrackingResult result = EditTracker::track(m_spans, e, m_text);
        if (result.limitExceeded != (EditTracker::characterCount(m_text) > 5000))
            return QStringLiteral("limit alert wrong");
        QString failure = checkInside();
        if (failure.isEmpty())
            failure = checkFollowed(before, idsBefore, e);
        retag();
        return failure;
    }

    // Applies an effect over the selection (start, length).
    QString apply(qint64 start, qint64 length, const EffectKind &kind) {
        const QList<QStringList> coverageBefore = coverage();
        const QString value = QStringLiteral("new");
        const EffectsArray before = m_spans;
        EffectApplier::apply(m_spans, start, length, kind.id, value);
        if (length == 0) { // a caret changes at most one value, never a range
            for (qsizetype i = 0; i < m_spans.size(); ++i) {
                if (m_spans.at(i).location != before.at(i).location ||
                    m_spans.at(i).length != before.at(i).length)
                    return QStringLiteral("a caret moved a span");
            }
            retag();
            return {};
        }

        QString failure = checkInside();
        if (failure.isEmpty() && !isSortedByEnd())
            failure = QStringLiteral("not sorted by end after apply");
        // The selection gets the new effect alone. Elsewhere every unit keeps its
        // effects, except spans nested in another one, which may go.
        const QList<QStringList> coverageAfter = coverage();
        const QStringList onlyNew{kind.name + u'=' + value};
        for (qint64 i = 0; failure.isEmpty() && i < m_text.size(); ++i) {
            const QStringList &was = coverageBefore.at(i);
            const QStringList &now = coverageAfter.at(i);
            const bool fine = i >= start && i < start + length
                                  ? now == onlyNew
                                  : isSubsequence(now, was) && now.isEmpty() == was.isEmpty();
            if (!fine)
                failure = QStringLiteral("apply changed the effects of unit %1").arg(i);
        }
        retag();
        return failure;
    }

    // The Break button over the selection (start, length).
    QString pause(qint64 start, qint64 length) {
        const SSMLCharactersModel pause = EffectApplier::makePause(start);
        const bool goesIn = m_spans.isEmpty() || EffectApplier::pauseGoesIn(m_spans, start);
        if (goesIn) {
            if (QString failure = edit(start, length, QString(QChar(pauseGlyph)));
                !failure.isEmpty())
                return failure;
            m_spans.append(pause);
        }
        sortByEnd(m_spans);
        retag();
        if (goesIn && m_text.at(start) != QChar(pauseGlyph))
            return QStringLiteral("pause span without its glyph");
        return checkInside();
    }

    QString remove(qint64 caret) {
        const qsizetype sizeBefore = m_spans.size();
        const bool found = determineLocation(m_spans, caret) >= 0;
        EffectApplier::deleteAt(m_spans, caret);
        if (m_spans.size() != sizeBefore - (found ? 1 : 0))
            return QStringLiteral("delete removed the wrong number of spans");
        return checkInside();
    }

private:
    // Spans never cross: two spans are disjoint, or one lies inside the other.
    QString checkInside() const {
        if (!allSpansInside(m_spans, m_text.size()))
            return QStringLiteral("a span lies outside the text");
        for (const SSMLCharactersModel &a : m_spans) {
            for (const SSMLCharactersModel &b : m_spans) {
                if (a.location < b.location && b.location < a.end() && a.end() < b.end())
                    return QStringLiteral("spans cross");
            }
        }
        return {};
    }

    bool isSortedByEnd() const {
        return std::is_sorted(m_spans.cbegin(), m_spans.cend(),
                              [](const auto &a, const auto &b) { return a.end() < b.end(); });
    }

    // After an edit: no span is empty, the order is kept, every span still covers
    // its old characters that the edit kept (and no other old ones), new text
    // joins a span only as one block, and a span the edit did not touch covers
    // exactly the same characters.
    QString checkFollowed(const EffectsArray &before, const QList<quint32> &idsBefore,
                          const TextEdit &e) const {
        QHash<QString, qsizetype> afterIndex;
        for (qsizetype i = 0; i < m_spans.size(); ++i) {
            if (m_spans.at(i).length < 1)
                return QStringLiteral("empty span after an edit");
            afterIndex.insert(m_spans.at(i).ssmlTag, i);
        }
        qsizetype lastIndex = -1;
        for (const SSMLCharactersModel &old : before) {
            QList<quint32> kept;
            for (qint64 i = old.location; i < old.end(); ++i) {
                if (i < e.location || i >= e.removedEnd())
                    kept.append(idsBefore.at(i));
            }
            const auto found = afterIndex.constFind(old.ssmlTag);
            if (found == afterIndex.constEnd()) {
                if (!kept.isEmpty())
                    return QStringLiteral("span %1 dropped with characters left").arg(old.ssmlTag);
                continue;
            }
            if (*found < lastIndex)
                return QStringLiteral("span order changed");
            lastIndex = *found;
            const SSMLCharactersModel &now = m_spans.at(*found);
            const QList<quint32> covered = m_ids.mid(now.location, now.length);
            const bool untouched = e.removed == 0
                                       ? e.location <= old.location || e.location >= old.end()
                                       : e.removedEnd() <= old.location || e.location >= old.end();
            if (untouched && covered != idsBefore.mid(old.location, old.length))
                return QStringLiteral("untouched span %1 moved off its characters")
                    .arg(old.ssmlTag);
            QList<quint32> oldOnes;
            qsizetype newOnes = 0;
            for (quint32 id : covered) {
                if (id >= m_firstIdOfEdit)
                    ++newOnes;
                else
                    oldOnes.append(id);
            }
            if (oldOnes != kept)
                return QStringLiteral("span %1 covers other characters").arg(old.ssmlTag);
            if (newOnes != 0 && newOnes != e.inserted)
                return QStringLiteral("span %1 took part of the new text").arg(old.ssmlTag);
        }
        return {};
    }

    static bool isSubsequence(const QStringList &part, const QStringList &whole) {
        qsizetype next = 0;
        for (const QString &item : part) {
            while (next < whole.size() && whole.at(next) != item)
                ++next;
            if (next++ == whole.size())
                return false;
        }
        return true;
    }

    // The effects over each unit, as "name=value" in list order.
    QList<QStringList> coverage() const {
        QList<QStringList> result(m_text.size());
        for (const SSMLCharactersModel &s : m_spans) {
            for (qint64 i = s.location; i < s.end(); ++i)
                result[i].append(s.effects + u'=' + s.ssmlTag);
        }
        return result;
    }

    void retag() {
        for (SSMLCharactersModel &s : m_spans)
            s.ssmlTag = QString::number(m_nextTag++);
    }

    QString m_text;
    QList<quint32> m_ids; // identity of each UTF-16 unit
    EffectsArray m_spans;
    quint32 m_nextId = 0;
    quint32 m_firstIdOfEdit = 0; // ids from here on were inserted by the current edit
    quint64 m_nextTag = 0;
};

} // namespace parlino
