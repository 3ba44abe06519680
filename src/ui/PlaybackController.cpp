#include "PlaybackController.h"

#include "editing/SSMLTextView.h"
#include "playback/Playback.h"
#include "playback/PlaybackStretch.h"
#include "synthesis/SpeechEngine.h"
#include "widgets/MBProgressHUD.h"

#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>

namespace parlino {

namespace {

// The spoken word: a blue underline, which leaves the effect colours visible.
QTextCharFormat spokenWordFormat() {
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    format.setUnderlineColor(QColor(0x1e, 0x64, 0xdc));
    return format;
}

} // namespace

PlaybackController::PlaybackController(SSMLTextView *textView, QWidget *host, InputProvider input,
                                       KindProvider kind)
    : QObject(host)
    , m_textView(textView)
    , m_host(host)
    , m_playButton(new QPushButton(tr("Play"), host))
    , m_input(std::move(input))
    , m_kind(std::move(kind))
    , m_engineProvider([](SpeechEngineFactory::Kind kind, QString *error) {
        return SpeechEngineFactory::create(kind, QString(), error);
    })
    , m_playback(std::make_unique<Playback>()) {
    m_playButton->setObjectName(QStringLiteral("playButton"));
    m_playButton->setToolTip(tr("Play the selection, or from the caret to the end (F5); "
                                "F6 pauses and resumes"));
    auto *play = new QShortcut(QKeySequence(Qt::Key_F5), host);
    auto *pause = new QShortcut(QKeySequence(Qt::Key_F6), host);
    play->setContext(Qt::WindowShortcut);
    pause->setContext(Qt::WindowShortcut);
    connect(play, &QShortcut::activated, this, &PlaybackController::playOrStop);
    connect(pause, &QShortcut::activated, this, &PlaybackController::pauseOrResume);
    connect(m_playButton, &QPushButton::clicked, this, &PlaybackController::playOrStop);
    connect(m_playback.get(), &Playback::stateChanged, this, &PlaybackController::stateChanged);
    connect(m_playback.get(), &Playback::wordStarted, this, &PlaybackController::markWord);
    connect(m_playback.get(), &Playback::failed, this, &PlaybackController::failed);
    connect(m_textView->document(), &QTextDocument::contentsChange, this,
            &PlaybackController::textEdited);
}

// The playback goes first: it stops the sound and cancels synthesis before
// the engine it uses is destroyed.
PlaybackController::~PlaybackController() {
    m_playback.reset();
    m_engine.reset();
}

void PlaybackController::setEngineProvider(EngineProvider provider) {
    m_engineProvider = std::move(provider);
}

void PlaybackController::playOrStop() {
    if (m_playback->state() != Playback::State::Stopped) {
        m_playback->stop();
        return;
    }
    const ConversionInput whole = m_input();
    const QTextCursor cursor = m_textView->textCursor();
    const TextRange range = PlaybackStretch::choose(whole.text, cursor.selectionStart(),
                                                    cursor.selectionEnd(), cursor.position());
    const PlaybackStretch stretch = PlaybackStretch::cut(whole.text, whole.spans, range);
    ConversionInput input = whole;
    input.text = stretch.text;
    input.spans = stretch.spans;

    if (!prepareEngine())
        return;
    m_edits.clear();
    m_markWords = true;
    m_playback->play(input, stretch.offset);
}

void PlaybackController::playDetached(const ConversionInput &input) {
    m_playback->stop();
    if (!prepareEngine())
        return;
    m_markWords = false;
    m_playback->play(input);
}

// The engine of the selected kind, made anew when the kind changed; false,
// with the reason shown, when there is none.
bool PlaybackController::prepareEngine() {
    const SpeechEngineFactory::Kind kind = m_kind();
    if (!m_engine || kind != m_engineKind) {
        QString error;
        m_playback->setEngine(nullptr);
        m_engine = m_engineProvider(kind, &error);
        m_engineKind = kind;
        if (!m_engine) {
            failed(error.isEmpty() ? tr("No speech engine is available.") : error);
            return false;
        }
    }
    m_playback->setEngine(m_engine.get());
    return true;
}

void PlaybackController::pauseOrResume() {
    m_playback->togglePause();
}

void PlaybackController::stateChanged() {
    const bool stopped = m_playback->state() == Playback::State::Stopped;
    m_playButton->setText(stopped ? tr("Play") : tr("Stop"));
    if (stopped)
        clearMark();
}

void PlaybackController::textEdited(int position, int removed, int added) {
    if (m_playback->state() != Playback::State::Stopped)
        m_edits.append({position, removed, added});
}

// Typing goes on while the voice speaks the text as it was: the word moves
// with the edits made since Play, and one that was edited is not marked.
void PlaybackController::markWord(qint64 location, qint64 length) {
    if (!m_markWords)
        return;
    for (const Edit &edit : std::as_const(m_edits)) {
        if (location >= edit.position + edit.removed)
            location += edit.added - edit.removed;
        else if (location + length > edit.position)
            return;
    }
    const qint64 textLength = m_textView->document()->characterCount() - 1;
    if (location + length > textLength)
        return;
    QTextEdit::ExtraSelection selection;
    selection.cursor = QTextCursor(m_textView->document());
    selection.cursor.setPosition(int(location));
    selection.cursor.setPosition(int(location + length), QTextCursor::KeepAnchor);
    selection.format = spokenWordFormat();
    m_textView->setExtraSelections({selection});
    scrollToMark(location);
}

void PlaybackController::clearMark() {
    m_textView->setExtraSelections({});
}

// Scrolls line by line until the word is inside the viewport, without moving the caret.
void PlaybackController::scrollToMark(qint64 location) {
    QTextCursor cursor(m_textView->document());
    cursor.setPosition(int(location));
    QScrollBar *bar = m_textView->verticalScrollBar();
    const int height = m_textView->viewport()->height();
    for (int step = 0; step < 10000; ++step) {
        const QRect rect = m_textView->cursorRect(cursor);
        if (rect.bottom() > height && bar->value() < bar->maximum())
            bar->setValue(bar->value() + 1);
        else if (rect.top() < 0 && bar->value() > bar->minimum())
            bar->setValue(bar->value() - 1);
        else
            break;
    }
}

void PlaybackController::failed(const QString &message) {
    clearMark();
    MBProgressHUD::showError(message, m_host);
}

} // namespace parlino
