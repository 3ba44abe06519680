#include "catalogue/DataSource.h"

#include "catalogue/KeyOrder.h"

namespace parlino {

Catalogue DataSource::returnDataSource() {
    return Catalogue{
        {QStringLiteral("Arabic"),
         {QStringLiteral("ar-XA-Standard-A"), QStringLiteral("ar-XA-Standard-B"),
          QStringLiteral("ar-XA-Standard-C")}},
        {QStringLiteral("Czech (Czech Republic)"), {QStringLiteral("cs-CZ-Standard-A")}},
        {QStringLiteral("Danish (Denmark)"), {QStringLiteral("da-DK-Standard-A")}},
        {QStringLiteral("Dutch (Netherlands)"),
         {QStringLiteral("nl-NL-Standard-A"), QStringLiteral("nl-NL-Standard-B"),
          QStringLiteral("nl-NL-Standard-C"), QStringLiteral("nl-NL-Standard-D"),
          QStringLiteral("nl-NL-Standard-E")}},
        {QStringLiteral("English (Australia)"),
         {QStringLiteral("en-AU-Standard-A"), QStringLiteral("en-AU-Standard-B"),
          QStringLiteral("en-AU-Standard-C"), QStringLiteral("en-AU-Standard-D")}},
        {QStringLiteral("English (India)"),
         {QStringLiteral("en-IN-Standard-A"), QStringLiteral("en-IN-Standard-B"),
          QStringLiteral("en-IN-Standard-C")}},
        {QStringLiteral("English (UK)"),
         {QStringLiteral("en-GB-Standard-A"), QStringLiteral("en-GB-Standard-B"),
          QStringLiteral("en-GB-Standard-C"), QStringLiteral("en-GB-Standard-D")}},
        {QStringLiteral("English (US)"),
         {QStringLiteral("en-US-Standard-B"), QStringLiteral("en-US-Standard-C"),
          QStringLiteral("en-US-Standard-D"), QStringLiteral("en-US-Standard-E")}},
        {QStringLiteral("English (Welsh)"), {}},
        {QStringLiteral("Filipino (Philippines)"), {QStringLiteral("fil-PH-Standard-A")}},
        {QStringLiteral("Finnish (Finland)"), {QStringLiteral("fi-FI-Standard-A")}},
        {QStringLiteral("French (Canada)"),
         {QStringLiteral("fr-CA-Standard-A"), QStringLiteral("fr-CA-Standard-B"),
          QStringLiteral("fr-CA-Standard-C"), QStringLiteral("fr-CA-Standard-D")}},
        {QStringLiteral("French (France)"),
         {QStringLiteral("fr-FR-Standard-A"), QStringLiteral("fr-FR-Standard-B"),
          QStringLiteral("fr-FR-Standard-C"), QStringLiteral("fr-FR-Standard-D")}},
        {QStringLiteral("German (Germany)"),
         {QStringLiteral("de-DE-Standard-A"), QStringLiteral("de-DE-Standard-B")}},
        {QStringLiteral("Greek (Greece)"), {QStringLiteral("el-GR-Standard-A")}},
        {QStringLiteral("Hindi (India)"),
         {QStringLiteral("hi-IN-Standard-A"), QStringLiteral("hi-IN-Standard-B"),
          QStringLiteral("hi-IN-Standard-C")}},
        {QStringLiteral("Hungarian (Hungary)"), {QStringLiteral("hu-HU-Standard-A")}},
        {QStringLiteral("Icelandic"), {}},
        {QStringLiteral("Indonesian (Indonesia)"),
         {QStringLiteral("id-ID-Standard-A"), QStringLiteral("id-ID-Standard-B"),
          QStringLiteral("id-ID-Standard-C")}},
        {QStringLiteral("Italian (Italy)"),
         {QStringLiteral("it-IT-Standard-A"), QStringLiteral("it-IT-Standard-B"),
          QStringLiteral("it-IT-Standard-C"), QStringLiteral("it-IT-Standard-D")}},
        {QStringLiteral("Japanese (Japan)"),
         {QStringLiteral("ja-JP-Standard-A"), QStringLiteral("ja-JP-Standard-B"),
          QStringLiteral("ja-JP-Standard-C"), QStringLiteral("ja-JP-Standard-D")}},
        {QStringLiteral("Korean (Korean)"),
         {QStringLiteral("ko-KR-Standard-A"), QStringLiteral("ko-KR-Standard-B"),
          QStringLiteral("ko-KR-Standard-C"), QStringLiteral("ko-KR-Standard-D")}},
        {QStringLiteral("Norwegian (Norway)"),
         {QStringLiteral("nb-NO-Standard-A"), QStringLiteral("nb-NO-Standard-B"),
          QStringLiteral("nb-NO-Standard-C"), QStringLiteral("nb-NO-Standard-D")}},
        {QStringLiteral("Polish (Poland)"),
         {QStringLiteral("pl-PL-Standard-A"), QStringLiteral("pl-PL-Standard-B"),
          QStringLiteral("pl-PL-Standard-C"), QStringLiteral("pl-PL-Standard-D"),
          QStringLiteral("pl-PL-Standard-E")}},
        {QStringLiteral("Portuguese (Brazil)"), {QStringLiteral("pt-BR-Standard-A")}},
        {QStringLiteral("Portuguese (Portugal)"),
         {QStringLiteral("pt-PT-Standard-A"), QStringLiteral("pt-PT-Standard-B"),
          QStringLiteral("pt-PT-Standard-C"), QStringLiteral("pt-PT-Standard-D")}},
        {QStringLiteral("Romanian"), {}},
        {QStringLiteral("Russian (Russia)"),
         {QStringLiteral("ru-RU-Standard-A"), QStringLiteral("ru-RU-Standard-B"),
          QStringLiteral("ru-RU-Standard-C"), QStringLiteral("ru-RU-Standard-D")}},
        {QStringLiteral("Slovak (Slovakia)"), {QStringLiteral("sk-SK-Standard-A")}},
        {QStringLiteral("Spanish (Mexican)"), {}},
        {QStringLiteral("Spanish (Spain)"), {QStringLiteral("es-ES-Standard-A")}},
        {QStringLiteral("Spanish (US)"), {}},
        {QStringLiteral("Swedish (Sweden)"), {QStringLiteral("sv-SE-Standard-A")}},
        {QStringLiteral("Turkish (Turkey)"),
         {QStringLiteral("tr-TR-Standard-A"), QStringLiteral("tr-TR-Standard-B"),
          QStringLiteral("tr-TR-Standard-C"), QStringLiteral("tr-TR-Standard-D"),
          QStringLiteral("tr-TR-Standard-E")}},
        {QStringLiteral("Ukrainian (Ukraine)"), {QStringLiteral("uk-UA-Standard-A")}},
        {QStringLiteral("Vietnamese (Vietnam)"),
         {QStringLiteral("vi-VN-Standard-A"), QStringLiteral("vi-VN-Standard-B"),
          QStringLiteral("vi-VN-Standard-C"), QStringLiteral("vi-VN-Standard-D")}},
        {QStringLiteral("Welsh"), {}},
    };
}

QString DataSource::languageCodeOfVoice(const QString &voiceName) {
    // Offline voice names carry a whole eSpeak language before the marker.
    const qsizetype marker = voiceName.indexOf(QLatin1String("-eSpeak-"));
    if (marker > 0)
        return voiceName.left(marker);
    // The first two fields: "en-GB-Wavenet-A" gives "en-GB".
    const qsizetype first = voiceName.indexOf(u'-');
    const qsizetype second = first < 0 ? -1 : voiceName.indexOf(u'-', first + 1);
    return second < 0 ? voiceName : voiceName.left(second);
}

bool DataSource::isKnownVoice(const QString &voiceName) {
    const Catalogue catalogue = returnDataSource();
    for (const QStringList &voices : catalogue) {
        if (voices.contains(voiceName))
            return true;
    }
    return false;
}

QString DataSource::defaultVoice() {
    const Catalogue catalogue = returnDataSource();
    const QString first = sortedArrayByKeys(catalogue.keys()).constFirst();
    return sortedArrayByKeys(catalogue.value(first)).value(0);
}

} // namespace parlino
