#pragma once

#include "ViewController.h"
#include "document/ParlinoDocument.h"
#include "editing/SSMLCharactersModel.h"
#include "editing/SSMLTextView.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QComboBox>
#include <QHash>
#include <QStringList>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <algorithm>

namespace parlino {

// Helpers for widget tests that act on the editor as a user would.

inline void selectRange(SSMLTextView *view, int start, int end) {
    QTextCursor cursor = view->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    view->setTextCursor(cursor);
}

inline void placeCaret(SSMLTextView *view, int at) {
    selectRange(view, at, at);
}

// Picks a combo box item from the keyboard, as a user would: Home, then Down.
inline void pick(QComboBox *combo, const QString &title) {
    const int index = combo->findText(title);
    QVERIFY2(index >= 0, qPrintable(title));
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), title);
}

// Forgets the language, voice, pitch, speed and favourites the editor
// remembers, so a new window starts as the first launch does.
inline void forgetVoiceChoices() {
    for (const auto key : {Settings::Key::Language, Settings::Key::Voice, Settings::Key::Pitch,
                           Settings::Key::Speed, Settings::Key::FavouriteVoices})
        Settings::remove(key);
}

inline void pasteText(SSMLTextView *view, const QString &text) {
    QApplication::clipboard()->setText(text);
    QTest::keySequence(view, QKeySequence::Paste);
}

// Acts on the text as a user would, step by step; steps are separated by "; ":
// "at 5" (caret), "select 2 7", "type ab", "paste text", "key Return" (also
// Backspace, Delete), "undo", "redo", "cut", "all" (select all).
inline void perform(SSMLTextView *view, const QString &script) {
    static const QHash<QString, Qt::Key> keys{
        {"Return", Qt::Key_Return}, {"Backspace", Qt::Key_Backspace}, {"Delete", Qt::Key_Delete}};
    static const QHash<QString, QKeySequence::StandardKey> commands{
        {"undo", QKeySequence::Undo},
        {"redo", QKeySequence::Redo},
        {"cut", QKeySequence::Cut},
        {"all", QKeySequence::SelectAll}};
    for (const QString &step : script.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
        const QString verb = step.section(u' ', 0, 0);
        const QString rest = step.section(u' ', 1);
        if (verb == u"at")
            placeCaret(view, rest.toInt());
        else if (verb == u"select")
            selectRange(view, rest.section(u' ', 0, 0).toInt(), rest.section(u' ', 1).toInt());
        else if (verb == u"type")
            QTest::keyClicks(view, rest);
        else if (verb == u"paste")
            pasteText(view, rest);
        else if (verb == u"key" && keys.contains(rest))
            QTest::keyClick(view, keys.value(rest));
        else if (commands.contains(verb))
            QTest::keySequence(view, commands.value(verb));
        else
            QFAIL(qPrintable(QStringLiteral("unknown step: ") + step));
    }
}

// Loads text and spans into the editor as a document and focuses the text.
inline void loadText(ViewController *view, const QString &text, const EffectsArray &spans = {}) {
    ParlinoDocument document;
    document.text = text;
    document.effects = spans;
    view->loadDocument(document);
    view->textView()->setFocus();
}

// Joins per-character colours (invalid: none) into "[start,end) #rrggbb" runs.
inline QStringList colourRuns(const QList<QColor> &colours) {
    QStringList out;
    for (qsizetype start = 0; start < colours.size();) {
        qsizetype end = start + 1;
        while (end < colours.size() && colours.at(end) == colours.at(start))
            ++end;
        if (colours.at(start).isValid())
            out << QStringLiteral("[%1,%2) %3").arg(start).arg(end).arg(colours.at(start).name());
        start = end;
    }
    return out;
}

// The highlighted stretches of the view's text as it paints them (a later
// highlight over an earlier one), adjacent stretches of one colour joined.
inline QStringList highlights(const SSMLTextView *view) {
    QList<QColor> colours(view->document()->characterCount());
    for (const SSMLTextView::Highlight &highlight : view->highlights(0, colours.size())) {
        for (qint64 i = highlight.start; i < std::min<qint64>(highlight.end, colours.size()); ++i)
            colours[i] = highlight.color;
    }
    return colourRuns(colours);
}

// What highlights() must show for these spans: every coloured span, by start.
inline QStringList expectedHighlights(EffectsArray spans) {
    std::sort(spans.begin(), spans.end(),
              [](const auto &a, const auto &b) { return a.location < b.location; });
    QStringList out;
    for (const SSMLCharactersModel &span : spans) {
        if (span.color.isValid() && span.length > 0)
            out << QStringLiteral("[%1,%2) %3")
                       .arg(span.location)
                       .arg(span.end())
                       .arg(span.color.name());
    }
    return out;
}

} // namespace parlino
