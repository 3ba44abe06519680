#pragma once

#include "synthesis/Conversion.h"

#include <optional>

class QCommandLineParser;

namespace parlino {

class ParlinoDocument;
class VoiceCatalogue;

// The --voice, --pitch and --speed options shared by `request` and
// `convert`, and how they combine with a document's own settings: an option
// wins over the document, the document over the editor's start-up values
// (first voice of the catalogue, pitch 0, speed 100).
class VoiceOptions {
public:
    static void addTo(QCommandLineParser &parser);

    // Checks the options' values alone; empty when usable. A voice must be
    // one of the catalogue's.
    static QString problem(const QCommandLineParser &parser, const VoiceCatalogue &catalogue);

    // The conversion input for a document, or nothing with a one-line reason.
    static std::optional<ConversionInput> input(const QCommandLineParser &parser,
                                                const ParlinoDocument &document,
                                                const VoiceCatalogue &catalogue, QString *error);
};

} // namespace parlino
