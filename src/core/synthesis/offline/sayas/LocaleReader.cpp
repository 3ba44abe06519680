#include "synthesis/offline/sayas/LocaleReader.h"

#include <vector>

namespace parlino {

namespace {

// A piece of a locale's long date format: a field (d, M, y; weekday as 'w')
// with what is written right after it, or text between fields.
struct FormatPiece {
    QChar field; // 'd', 'M', 'y', 'w' or null for text between fields
    int count = 0;
    QString suffix; // text glued to the field ("d." "yyyy年")
    QString text;   // for text between fields
};

QString unquote(QStringView format, qsizetype *pos) {
    QString out;
    qsizetype i = *pos + 1;
    for (; i < format.size(); ++i) {
        if (format.at(i) == u'\'') {
            if (i + 1 < format.size() && format.at(i + 1) == u'\'') {
                out += QLatin1Char('\'');
                ++i;
                continue;
            }
            break;
        }
        out += format.at(i);
    }
    *pos = i + 1;
    return out;
}

bool isFieldLetter(QChar c) {
    return c == u'd' || c == u'M' || c == u'y';
}

std::vector<FormatPiece> splitFormat(QStringView format) {
    std::vector<FormatPiece> pieces;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format.at(i);
        if (isFieldLetter(c)) {
            qsizetype j = i;
            while (j < format.size() && format.at(j) == c)
                ++j;
            FormatPiece piece;
            piece.count = int(j - i);
            piece.field = (c == u'd' && piece.count >= 3) ? QChar(u'w') : c;
            i = j;
            // Text glued to the field, up to the next space or field letter.
            while (i < format.size() && !format.at(i).isSpace() && format.at(i) != u',' &&
                   !isFieldLetter(format.at(i))) {
                if (format.at(i) == u'\'')
                    piece.suffix += unquote(format, &i);
                else
                    piece.suffix += format.at(i++);
            }
            pieces.push_back(piece);
            continue;
        }
        if (pieces.empty() || !pieces.back().field.isNull())
            pieces.push_back(FormatPiece());
        if (c == u'\'')
            pieces.back().text += unquote(format, &i);
        else
            pieces.back().text += format.at(i++);
    }
    return pieces;
}

} // namespace

// The fields in the order of the language's long date format, with the words
// that format puts between them, without the weekday.
QString LocaleReader::date(const SayAsDate &date) const {
    const std::vector<FormatPiece> pieces = splitFormat(locale().dateFormat(QLocale::LongFormat));
    QString out;
    QString between;
    bool first = true;
    for (const FormatPiece &piece : pieces) {
        if (piece.field.isNull()) {
            between = piece.text;
            continue;
        }
        QString value;
        if (piece.field == u'd' && date.hasDay())
            value = QString::number(date.day);
        else if (piece.field == u'M' && date.hasMonth())
            value = piece.count >= 3 ? monthName(date.month) : QString::number(date.month);
        else if (piece.field == u'y' && date.hasYear())
            value = QString::number(date.year);
        if (value.isEmpty()) {
            if (first)
                between.clear();
            continue;
        }
        if (!first)
            out += between.isEmpty() ? QStringLiteral(" ") : between;
        out += value + piece.suffix;
        between.clear();
        first = false;
    }
    return out.simplified();
}

QString LocaleReader::time(const SayAsTime &time) const {
    QString out = QStringLiteral("%1:%2").arg(time.hour).arg(time.minute, 2, 10, QLatin1Char('0'));
    if (time.hasSeconds)
        out += QStringLiteral(":%1").arg(time.second, 2, 10, QLatin1Char('0'));
    return out;
}

QString LocaleReader::ordinal(int n) const {
    return QString::number(n);
}

QString LocaleReader::fraction(int numerator, int denominator) const {
    return QStringLiteral("%1/%2").arg(numerator).arg(denominator);
}

} // namespace parlino
