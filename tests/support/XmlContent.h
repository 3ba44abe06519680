#pragma once

#include <QString>
#include <QXmlStreamReader>

namespace parlino {

// Test helper: an XML document read back: whether it is well-formed, its
// character content and how many break elements it has.
struct XmlContent {
    QString error; // empty when well-formed
    QString characters;
    int breaks = 0;

    static XmlContent of(const QString &document) {
        XmlContent content;
        QXmlStreamReader reader(document);
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isCharacters())
                content.characters += reader.text();
            else if (reader.isStartElement() && reader.name() == QLatin1String("break"))
                ++content.breaks;
        }
        if (reader.hasError())
            content.error = reader.errorString() + QStringLiteral(" in ") + document;
        return content;
    }
};

} // namespace parlino
