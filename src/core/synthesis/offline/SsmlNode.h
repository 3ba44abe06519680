#pragma once

#include <QHash>
#include <QString>

#include <vector>

namespace parlino {

// SSML read into memory: an element with its attributes and children, or a
// run of text. Element and attribute names are lower case, so the cloud
// service's dialect (<Emphasis LEVEL=...>) reads the same as its usual form.
struct SsmlNode {
    QString name; // empty for text
    QHash<QString, QString> attributes;
    QString text; // of a text node
    std::vector<SsmlNode> children;

    static SsmlNode textNode(const QString &text);

    // Reads a whole document into root's children; on malformed XML returns
    // false with a message for the user in *error. Elements nested deeper
    // than maxDepth keep their text but lose their markup.
    static bool read(const QString &input, SsmlNode *root, QString *error);
    static constexpr int maxDepth = 256;

    bool isText() const { return name.isEmpty(); }
    QString attribute(const char *key) const { return attributes.value(QLatin1String(key)); }
    bool hasAttribute(const char *key) const { return attributes.contains(QLatin1String(key)); }

    // The text of the node and everything inside it, without markup.
    QString flatText() const;
};

} // namespace parlino
