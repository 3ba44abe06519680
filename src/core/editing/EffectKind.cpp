#include "editing/EffectKind.h"

#include "editing/ColorCode.h"

namespace parlino {

namespace {

QList<EffectKind> buildKinds() {
    using K = EffectKind;
    return {
        {K::Emphasis,
         QStringLiteral("Emphasis"),
         QStringLiteral("EBDAF2"),
         QStringLiteral("<emphasis level='%1'>"),
         QStringLiteral("</emphasis>"),
         QStringLiteral("The element requests that the contained text be spoken with emphasis"),
         {{QStringLiteral("Strong"), QStringLiteral("strong")},
          {QStringLiteral("Moderate"), QStringLiteral("moderate")},
          {QStringLiteral("None"), QStringLiteral("none")},
          {QStringLiteral("Reduced"), QStringLiteral("reduced")}}},
        {K::SayAs,
         QStringLiteral("Say as"),
         QStringLiteral("9FE484"),
         QStringLiteral("<say-as interpret-as='%1'>"),
         QStringLiteral("</say-as>"),
         QStringLiteral("Indicate information about the type of text construct that is "
                        "contained within the element."),
         {{QStringLiteral("Spell out letters"), QStringLiteral("verbatim")},
          {QStringLiteral("Explicit content(Bleep)"), QStringLiteral("expletive")},
          {QStringLiteral("Cardinal"), QStringLiteral("cardinal")},
          {QStringLiteral("Ordinal"), QStringLiteral("ordinal")},
          {QStringLiteral("Spell out numbers"), QStringLiteral("verbatim")},
          {QStringLiteral("Fraction"), QStringLiteral("fraction")}}},
        {K::Volume,
         QStringLiteral("Volume"),
         QStringLiteral("D5E9E2"),
         QStringLiteral("<prosody volume='%1'>"),
         QStringLiteral("</prosody>"),
         QStringLiteral("The volume for the contained text."),
         {{QStringLiteral("Very Loud"), QStringLiteral("x-loud")},
          {QStringLiteral("Loud"), QStringLiteral("loud")},
          {QStringLiteral("Regular"), QStringLiteral("medium")},
          {QStringLiteral("Soft"), QStringLiteral("soft")},
          {QStringLiteral("Very Soft"), QStringLiteral("x-soft")},
          {QStringLiteral("Silent"), QStringLiteral("silent")}}},
        {K::Date,
         QStringLiteral("Date"),
         QStringLiteral("8EAFE4"),
         QStringLiteral("<say-as interpret-as='date' format='%1'>"),
         QStringLiteral("</say-as>"),
         QStringLiteral("A sequence of date field character codes."),
         {{QStringLiteral("yyyymmdd"), QStringLiteral("yyyymmdd")},
          {QStringLiteral("dm"), QStringLiteral("dm")},
          {QStringLiteral("dmy"), QStringLiteral("dmy")},
          {QStringLiteral("mdy"), QStringLiteral("mdy")},
          {QStringLiteral("ymd"), QStringLiteral("ymd")}}},
        {K::Time,
         QStringLiteral("Time"),
         QStringLiteral("E9E393"),
         QStringLiteral("<say-as interpret-as='time' format='%1'>"),
         QStringLiteral("</say-as>"),
         QString(),
         {}},
        {K::Sub,
         QStringLiteral("Sub"),
         QStringLiteral("DF9990"),
         QStringLiteral("<sub alias='%1'>"),
         QStringLiteral("</sub>"),
         QStringLiteral("Indicate that the text in the alias attribute value replaces the "
                        "contained text for pronunciation."),
         {}},
        {K::Break,
         QStringLiteral("Break"),
         QString(),
         QStringLiteral("<break time='%1s' />"),
         QString(),
         QStringLiteral("An element that controls the pausing or other prosodic boundaries "
                        "between words."),
         {}},
    };
}

} // namespace

QColor EffectKind::color() const {
    return isHighlighted() ? colorWithHexCode(colorHex) : QColor();
}

const QList<EffectKind> &EffectKind::all() {
    static const QList<EffectKind> kinds = buildKinds();
    return kinds;
}

const EffectKind *EffectKind::find(QStringView name) {
    for (const EffectKind &kind : all()) {
        if (kind.name == name)
            return &kind;
    }
    return nullptr;
}

const EffectKind &EffectKind::byId(Id id) {
    return all().at(int(id));
}

QString EffectKind::timeValue(bool twentyFourHour) {
    return twentyFourHour ? QStringLiteral("hms24") : QStringLiteral("time");
}

QString EffectKind::markupValue(const QString &value) const {
    if (id != Time)
        return value;
    return value == QLatin1String("hms24") ? value : QStringLiteral("hms12");
}

std::optional<EffectKind::Id> EffectKind::fromVariant(const QVariant &value) {
    bool ok = false;
    const int id = value.toInt(&ok);
    if (!ok || id < 0 || id >= all().size())
        return std::nullopt;
    return Id(id);
}

} // namespace parlino
