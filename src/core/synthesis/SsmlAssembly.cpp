#include "synthesis/SsmlAssembly.h"

#include "Logging.h"
#include "editing/EffectKind.h"
#include "synthesis/XmlText.h"
#include "text/Utf16.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace parlino {

namespace {

// A span that becomes an element around its range.
struct Wrapper {
    qint64 start;
    qint64 end;
    qsizetype order; // position in the span list
    const EffectKind *kind;
    QString value;
};

class Assembler {
public:
    Assembler(const QString &text, const EffectsArray &spans, const std::vector<qint64> &marks = {})
        : m_text(text)
        , m_marks(marks) {
        collect(spans);
    }

    QString run();

private:
    void collect(const EffectsArray &spans);
    qint64 snapStart(qint64 pos) const;
    qint64 snapEnd(qint64 pos) const;
    void emitText(qint64 from, qint64 to);
    void emitMarks(qint64 upTo);
    bool insideTextOnlyElement() const;
    void closeAt(qint64 pos, std::vector<std::size_t> &reopen);
    void openAt(qint64 pos, std::vector<std::size_t> &reopen);

    const QString &m_text;
    const std::vector<qint64> &m_marks; // ascending positions; mark i is named "w<i>"
    std::size_t m_nextMark = 0;
    std::vector<Wrapper> m_wrappers;
    std::vector<std::size_t> m_byStart; // wrapper indices by start
    std::vector<std::size_t> m_stack;   // open elements, innermost last
    QHash<qint64, QString> m_breakAt;   // pause value by glyph position
    QString m_firstBreak;
    bool m_hasBreak = false;
    QString m_out;
};

void Assembler::collect(const EffectsArray &spans) {
    const qint64 textLength = m_text.size();
    for (qsizetype i = 0; i < spans.size(); ++i) {
        const SSMLCharactersModel &span = spans.at(i);
        const EffectKind *kind = EffectKind::find(span.effects);
        if (!kind)
            continue;
        if (span.location < 0 || span.length < 0 || span.end() > textLength) {
            qCWarning(lcSynthesis, "span %lld+%lld outside the text (length %lld) skipped",
                      qlonglong(span.location), qlonglong(span.length), qlonglong(textLength));
            continue;
        }
        if (kind->id == EffectKind::Break) {
            if (!m_hasBreak) {
                m_hasBreak = true;
                m_firstBreak = span.ssmlTag;
            }
            if (!m_breakAt.contains(span.location))
                m_breakAt.insert(span.location, span.ssmlTag);
            continue;
        }
        if (span.length > 0)
            m_wrappers.push_back(
                {snapStart(span.location), snapEnd(span.end()), i, kind, span.ssmlTag});
    }
    m_byStart.resize(m_wrappers.size());
    for (std::size_t k = 0; k < m_byStart.size(); ++k)
        m_byStart[k] = k;
    std::stable_sort(m_byStart.begin(), m_byStart.end(), [this](std::size_t a, std::size_t b) {
        return m_wrappers[a].start < m_wrappers[b].start;
    });
}

// A range edge between the two halves of a surrogate pair is moved outwards,
// so that a character is never cut in two by markup.
qint64 Assembler::snapStart(qint64 pos) const {
    return characterStart(m_text, pos);
}

qint64 Assembler::snapEnd(qint64 pos) const {
    return characterEnd(m_text, pos);
}

// Say-as and sub hold text only: the service refuses a mark inside them, so
// a mark that falls there is dropped (the mark before the element stands for
// its words).
bool Assembler::insideTextOnlyElement() const {
    for (const std::size_t w : m_stack) {
        const EffectKind::Id id = m_wrappers[w].kind->id;
        if (id != EffectKind::Emphasis && id != EffectKind::Volume)
            return true;
    }
    return false;
}

// Writes the marks placed at or before upTo that are still to come.
void Assembler::emitMarks(qint64 upTo) {
    if (m_nextMark >= m_marks.size() || m_marks[m_nextMark] > upTo)
        return;
    const bool drop = insideTextOnlyElement();
    for (; m_nextMark < m_marks.size() && m_marks[m_nextMark] <= upTo; ++m_nextMark) {
        if (!drop)
            m_out += QStringLiteral("<mark name='w%1'/>").arg(m_nextMark);
    }
}

void Assembler::emitText(qint64 from, qint64 to) {
    qint64 runStart = from;
    for (qint64 i = from; i < to; ++i) {
        if (m_nextMark < m_marks.size() && m_marks[m_nextMark] <= i) {
            appendXmlText(m_out, QStringView(m_text).mid(runStart, i - runStart));
            runStart = i;
            emitMarks(i);
        }
        if (m_text.at(i) != QChar(pauseGlyph) || !m_hasBreak)
            continue;
        appendXmlText(m_out, QStringView(m_text).mid(runStart, i - runStart));
        const QString value = m_breakAt.value(i, m_firstBreak);
        m_out += openingTag(EffectKind::byId(EffectKind::Break), value);
        runStart = i + 1;
    }
    appendXmlText(m_out, QStringView(m_text).mid(runStart, to - runStart));
}

// Closes every element that ends here. An element below the top of the stack
// that ends here crosses the ones above it: those are closed too and reopened.
void Assembler::closeAt(qint64 pos, std::vector<std::size_t> &reopen) {
    std::size_t lowest = m_stack.size();
    for (std::size_t k = 0; k < m_stack.size(); ++k) {
        if (m_wrappers[m_stack[k]].end == pos) {
            lowest = k;
            break;
        }
    }
    while (m_stack.size() > lowest) {
        const std::size_t w = m_stack.back();
        m_stack.pop_back();
        m_out += m_wrappers[w].kind->closeTag;
        if (m_wrappers[w].end > pos)
            reopen.push_back(w);
    }
}

void Assembler::openAt(qint64 pos, std::vector<std::size_t> &toOpen) {
    auto first =
        std::lower_bound(m_byStart.begin(), m_byStart.end(), pos,
                         [this](std::size_t w, qint64 p) { return m_wrappers[w].start < p; });
    for (; first != m_byStart.end() && m_wrappers[*first].start == pos; ++first)
        toOpen.push_back(*first);
    // Outer first: the later end, then the earlier start, then the earlier span in the list.
    std::sort(toOpen.begin(), toOpen.end(), [this](std::size_t a, std::size_t b) {
        const Wrapper &x = m_wrappers[a];
        const Wrapper &y = m_wrappers[b];
        if (x.end != y.end)
            return x.end > y.end;
        if (x.start != y.start)
            return x.start < y.start;
        return x.order < y.order;
    });
    for (const std::size_t w : toOpen) {
        m_out += openingTag(*m_wrappers[w].kind, m_wrappers[w].value);
        m_stack.push_back(w);
    }
}

QString Assembler::run() {
    std::vector<qint64> boundaries;
    boundaries.reserve(m_wrappers.size() * 2 + 1);
    for (const Wrapper &w : m_wrappers) {
        boundaries.push_back(w.start);
        boundaries.push_back(w.end);
    }
    boundaries.push_back(m_text.size());
    std::sort(boundaries.begin(), boundaries.end());
    boundaries.erase(std::unique(boundaries.begin(), boundaries.end()), boundaries.end());

    m_out.reserve(m_text.size() + qsizetype(m_wrappers.size()) * 40 + 16);
    m_out += QLatin1String("<speak>");
    qint64 pos = 0;
    std::vector<std::size_t> pending;
    for (const qint64 boundary : boundaries) {
        emitText(pos, boundary);
        pos = boundary;
        pending.clear();
        closeAt(boundary, pending);
        emitMarks(boundary);
        openAt(boundary, pending);
    }
    m_out += QLatin1String("</speak>");
    return m_out;
}

} // namespace

QString openingTag(const EffectKind &kind, const QString &value) {
    if (kind.openTemplate.contains(QLatin1String("%1")))
        return kind.openTemplate.arg(escapeXmlAttribute(kind.markupValue(value)));
    return kind.openTemplate;
}

QString assembleSsmlWithMarks(const QString &text, const EffectsArray &spans,
                              const std::vector<qint64> &marks) {
    return Assembler(text, spans, marks).run();
}

QString assembleSsml(const QString &text, const EffectsArray &spans) {
    if (spans.isEmpty())
        return text;
    const QString ssml = Assembler(text, spans).run();
    qCDebug(lcSynthesis, "%s", qUtf8Printable(ssml));
    return ssml;
}

} // namespace parlino
