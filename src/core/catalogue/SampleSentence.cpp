#include "catalogue/SampleSentence.h"

#include <QHash>
#include <QLocale>

namespace parlino {

namespace {

// First subtag of a language code (case-folded) to its sample sentence.
const QHash<QString, QString> &sentences() {
    static const QHash<QString, QString> table{
        {QStringLiteral("af"), QStringLiteral("Hallo, só klink my stem.")},
        {QStringLiteral("ar"), QStringLiteral("مرحباً، هكذا يبدو صوتي.")},
        {QStringLiteral("bg"), QStringLiteral("Здравейте, ето как звучи гласът ми.")},
        {QStringLiteral("bn"), QStringLiteral("নমস্কার, আমার কণ্ঠস্বর এমন শোনায়।")},
        {QStringLiteral("ca"), QStringLiteral("Hola, així sona la meva veu.")},
        {QStringLiteral("cmn"), QStringLiteral("你好，这是我的声音。")},
        {QStringLiteral("cs"), QStringLiteral("Dobrý den, takhle zní můj hlas.")},
        {QStringLiteral("cy"), QStringLiteral("Helo, dyma sut mae fy llais yn swnio.")},
        {QStringLiteral("da"), QStringLiteral("Hej, sådan lyder min stemme.")},
        {QStringLiteral("de"), QStringLiteral("Hallo, so klingt meine Stimme.")},
        {QStringLiteral("el"), QStringLiteral("Γεια σας, έτσι ακούγεται η φωνή μου.")},
        {QStringLiteral("en"), QStringLiteral("Hello, this is how my voice sounds.")},
        {QStringLiteral("es"), QStringLiteral("Hola, así suena mi voz.")},
        {QStringLiteral("et"), QStringLiteral("Tere, nii kõlab minu hääl.")},
        {QStringLiteral("eu"), QStringLiteral("Kaixo, honela entzuten da nire ahotsa.")},
        {QStringLiteral("fa"),
         QStringLiteral("سلام، صدای من این‌گونه است.")},
        {QStringLiteral("fi"), QStringLiteral("Hei, tältä ääneni kuulostaa.")},
        {QStringLiteral("fil"), QStringLiteral("Kumusta, ganito ang tunog ng aking boses.")},
        {QStringLiteral("fr"), QStringLiteral("Bonjour, voici comment sonne ma voix.")},
        {QStringLiteral("gl"), QStringLiteral("Ola, así soa a miña voz.")},
        {QStringLiteral("gu"), QStringLiteral("નમસ્તે, મારો અવાજ આવો સંભળાય છે.")},
        {QStringLiteral("he"), QStringLiteral("שלום, כך נשמע הקול שלי.")},
        {QStringLiteral("hi"), QStringLiteral("नमस्ते, मेरी आवाज़ ऐसी सुनाई देती है।")},
        {QStringLiteral("hr"), QStringLiteral("Bok, ovako zvuči moj glas.")},
        {QStringLiteral("hu"), QStringLiteral("Helló, így hangzik a hangom.")},
        {QStringLiteral("id"), QStringLiteral("Halo, beginilah suara saya.")},
        {QStringLiteral("is"), QStringLiteral("Halló, svona hljómar röddin mín.")},
        {QStringLiteral("it"), QStringLiteral("Ciao, ecco come suona la mia voce.")},
        {QStringLiteral("ja"), QStringLiteral("こんにちは、これが私の声です。")},
        {QStringLiteral("kn"), QStringLiteral("ನಮಸ್ಕಾರ, ನನ್ನ ಧ್ವನಿ ಹೀಗೆ ಕೇಳಿಸುತ್ತದೆ.")},
        {QStringLiteral("ko"), QStringLiteral("안녕하세요, 제 목소리는 이렇게 들립니다.")},
        {QStringLiteral("lt"), QStringLiteral("Labas, taip skamba mano balsas.")},
        {QStringLiteral("lv"), QStringLiteral("Sveiki, šādi skan mana balss.")},
        {QStringLiteral("ml"), QStringLiteral("നമസ്കാരം, എന്റെ ശബ്ദം ഇങ്ങനെയാണ്.")},
        {QStringLiteral("mr"), QStringLiteral("नमस्कार, माझा आवाज असा ऐकू येतो.")},
        {QStringLiteral("ms"), QStringLiteral("Helo, beginilah bunyi suara saya.")},
        {QStringLiteral("nb"), QStringLiteral("Hei, slik høres stemmen min ut.")},
        {QStringLiteral("nl"), QStringLiteral("Hallo, zo klinkt mijn stem.")},
        {QStringLiteral("pa"), QStringLiteral("ਸਤ ਸ੍ਰੀ ਅਕਾਲ, ਮੇਰੀ ਆਵਾਜ਼ ਇਸ ਤਰ੍ਹਾਂ ਸੁਣਦੀ ਹੈ।")},
        {QStringLiteral("pl"), QStringLiteral("Dzień dobry, tak brzmi mój głos.")},
        {QStringLiteral("pt"), QStringLiteral("Olá, é assim que soa a minha voz.")},
        {QStringLiteral("ro"), QStringLiteral("Bună ziua, așa sună vocea mea.")},
        {QStringLiteral("ru"), QStringLiteral("Здравствуйте, так звучит мой голос.")},
        {QStringLiteral("sk"), QStringLiteral("Dobrý deň, takto znie môj hlas.")},
        {QStringLiteral("sl"), QStringLiteral("Pozdravljeni, tako zveni moj glas.")},
        {QStringLiteral("sr"), QStringLiteral("Здраво, овако звучи мој глас.")},
        {QStringLiteral("sv"), QStringLiteral("Hej, så här låter min röst.")},
        {QStringLiteral("sw"), QStringLiteral("Habari, hivi ndivyo sauti yangu inavyosikika.")},
        {QStringLiteral("ta"), QStringLiteral("வணக்கம், என் குரல் இப்படித்தான் ஒலிக்கும்.")},
        {QStringLiteral("te"), QStringLiteral("నమస్కారం, నా గొంతు ఇలా వినిపిస్తుంది.")},
        {QStringLiteral("th"), QStringLiteral("สวัสดี นี่คือเสียงของฉัน")},
        {QStringLiteral("tr"), QStringLiteral("Merhaba, sesim böyle duyuluyor.")},
        {QStringLiteral("uk"), QStringLiteral("Привіт, так звучить мій голос.")},
        {QStringLiteral("ur"), QStringLiteral("ہیلو، میری آواز ایسی سنائی دیتی ہے۔")},
        {QStringLiteral("vi"), QStringLiteral("Xin chào, đây là giọng nói của tôi.")},
        {QStringLiteral("yue"), QStringLiteral("你好，呢個係我嘅聲音。")},
    };
    return table;
}

// Codes that name a language of the table under another subtag.
const QHash<QString, QString> &aliases() {
    static const QHash<QString, QString> table{
        {QStringLiteral("zh"), QStringLiteral("cmn")},
        {QStringLiteral("no"), QStringLiteral("nb")},
        {QStringLiteral("nn"), QStringLiteral("nb")},
        {QStringLiteral("tl"), QStringLiteral("fil")},
        {QStringLiteral("iw"), QStringLiteral("he")},
        {QStringLiteral("in"), QStringLiteral("id")},
    };
    return table;
}

QString tableKey(const QString &code) {
    const QString first = code.section(u'-', 0, 0).section(u'_', 0, 0).toLower();
    return aliases().value(first, first);
}

} // namespace

QString SampleSentence::forLanguage(const QString &code) {
    const auto found = sentences().constFind(tableKey(code));
    if (found != sentences().cend())
        return *found;
    const QLocale locale(code);
    const QString name = locale.language() == QLocale::C ? QString() : locale.nativeLanguageName();
    return name.isEmpty() ? code : name;
}

bool SampleSentence::hasSentence(const QString &code) {
    return sentences().contains(tableKey(code));
}

} // namespace parlino
