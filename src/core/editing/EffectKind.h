#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <optional>

namespace parlino {

// A choice offered in an effect's value pop-up: the title the user sees and
// the SSML value it stands for.
struct EffectOption {
    QString title;
    QString value;
};

// One of the seven speech effects: its name (also the button title), its
// highlight colour, its SSML markup and the values the user can choose from.
// This table is the one place every other unit reads effect facts from.
struct EffectKind {
    enum Id { Emphasis, SayAs, Volume, Date, Time, Sub, Break };

    Id id;
    QString name;
    QString colorHex;     // six hex digits; empty for Break, which is not highlighted
    QString openTemplate; // opening tag; %1 is the span's value (XML-escaped)
    QString closeTag;     // closing tag; empty for Break, which is an empty element
    QString helpText;
    QList<EffectOption> options; // value pop-up items; empty for Time, Sub and Break

    bool isHighlighted() const { return !colorHex.isEmpty(); }
    QColor color() const; // invalid for Break

    // All kinds in the order of the effect buttons.
    static const QList<EffectKind> &all();
    // The kind with exactly this name (case and spaces count), or nullptr.
    static const EffectKind *find(QStringView name);
    static const EffectKind &byId(Id id);

    // The value a new Time span carries: "hms24" with the 24-hour
    // preference, otherwise "time" (the value of every older document).
    static QString timeValue(bool twentyFourHour);
    // The value the kind's markup gets for a span's value: a Time span
    // valued "hms24" is read on the 24-hour clock, any other one as hms12.
    QString markupValue(const QString &value) const;
    // The id a notification carries as a number, or nothing when it is not one.
    static std::optional<Id> fromVariant(const QVariant &value);
};

// The character that stands for a pause in the text: U+23F8, one UTF-16 unit.
inline constexpr char16_t pauseGlyph = u'\u23F8';

} // namespace parlino
