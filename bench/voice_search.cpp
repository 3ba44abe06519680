// The voice picker over a service list of 1,500 voices: building the
// catalogue from the reply beside parsing the reply's JSON alone, and one
// search (languages and the chosen language's voices) beside a plain
// substring filter over the voice names. Best of 20 runs each, measured in
// the same run; prints "ratio build/parse" and "ratio search/filter".

#include "catalogue/VoiceCatalogue.h"
#include "catalogue/VoiceSearch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace parlino;

namespace {

QByteArray serviceReply(int count) {
    const QStringList codes{"en-US", "en-GB", "de-DE", "fr-FR", "es-ES",  "it-IT", "ja-JP",
                            "ko-KR", "pt-BR", "nl-NL", "pl-PL", "ru-RU",  "tr-TR", "sv-SE",
                            "da-DK", "fi-FI", "nb-NO", "cs-CZ", "hu-HU",  "ro-RO", "uk-UA",
                            "vi-VN", "id-ID", "hi-IN", "ar-XA", "cmn-CN", "ca-ES", "is-IS"};
    const QStringList families{"Standard", "Wavenet", "Neural2", "Studio", "Chirp3-HD", "News"};
    QJsonArray voices;
    for (int i = 0; i < count; ++i) {
        const QString code = codes.at(i % codes.size());
        const QString family = families.at((i / codes.size()) % families.size());
        const int letter = i / int(codes.size() * families.size());
        voices.append(QJsonObject{
            {"languageCodes", QJsonArray{code}},
            {"name", QStringLiteral("%1-%2-%3").arg(code, family).arg(QChar(u'A' + letter % 26))},
            {"ssmlGender", i % 2 ? "FEMALE" : "MALE"},
            {"naturalSampleRateHertz", 24000}});
    }
    return QJsonDocument(QJsonObject{{"voices", voices}}).toJson(QJsonDocument::Compact);
}

double bestMs(const std::function<void()> &run) {
    double best = 1e30;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QByteArray reply = serviceReply(1500);
    QList<VoiceInfo> voices;
    VoiceCatalogue catalogue;
    const double parse = bestMs([&] { QJsonDocument::fromJson(reply); });
    const double build = bestMs([&] {
        QString error;
        parseVoiceList(QJsonDocument::fromJson(reply).object(), &voices, &error);
        catalogue = VoiceCatalogue::fromCloudVoices(voices);
    });
    QStringList names;
    for (const VoiceInfo &voice : voices)
        names.append(voice.name);
    const QStringList queries{"neural2 female", "welsh", "de-DE", "chirp3", "german studio male"};
    const double search = bestMs([&] {
        for (const QString &query : queries) {
            const QStringList languages = VoiceSearch::languagesMatching(catalogue, query);
            if (!languages.isEmpty())
                VoiceSearch::voicesMatching(catalogue, languages.first(), query);
        }
    });
    const double filter = bestMs([&] {
        for (const QString &query : queries) {
            for (const QString &word : query.split(u' '))
                names.filter(word, Qt::CaseInsensitive);
        }
    });
    std::printf("voices %lld, languages %lld\n", qlonglong(voices.size()),
                qlonglong(catalogue.languages().size()));
    std::printf("parse JSON %.2f ms, build catalogue %.2f ms\n", parse, build);
    std::printf("search (5 queries) %.2f ms, substring filter %.2f ms\n", search, filter);
    std::printf("ratio build/parse = %.2f\nratio search/filter = %.2f\n", build / parse,
                search / filter);
    return 0;
}
