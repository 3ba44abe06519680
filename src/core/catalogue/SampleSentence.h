#pragma once

#include <QString>

namespace parlino {

// The short sentence "Hear this voice" speaks, in the voice's own language.
class SampleSentence {
public:
    // The sentence for a language code ("de-DE", "cmn-CN", "en-GB-scotland"),
    // chosen by its first subtag; a language the table lacks is read its own
    // name in its own language, or the code itself when Qt knows no name.
    static QString forLanguage(const QString &code);
    // True when the table has a sentence of its own for the code's language.
    static bool hasSentence(const QString &code);
};

} // namespace parlino
