#include "synthesis/offline/SsmlNode.h"

#include <QXmlStreamReader>

namespace parlino {

namespace {

SsmlNode elementNode(const QXmlStreamReader &reader) {
    SsmlNode node;
    node.name = reader.name().toString().toLower();
    for (const QXmlStreamAttribute &a : reader.attributes())
        node.attributes.insert(a.qualifiedName().toString().toLower(), a.value().toString());
    return node;
}

// Text next to text (character data split by a reference or CDATA) joins into one node.
void appendText(SsmlNode *parent, QStringView text) {
    std::vector<SsmlNode> &siblings = parent->children;
    if (!siblings.empty() && siblings.back().isText())
        siblings.back().text += text;
    else
        siblings.push_back(SsmlNode::textNode(text.toString()));
}

} // namespace

SsmlNode SsmlNode::textNode(const QString &text) {
    SsmlNode node;
    node.text = text;
    return node;
}

bool SsmlNode::read(const QString &input, SsmlNode *root, QString *error) {
    QXmlStreamReader reader(input);
    std::vector<SsmlNode *> open{root};
    int skippedDepth = 0; // elements below maxDepth whose tags are dropped
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (open.size() > maxDepth) {
                ++skippedDepth;
                break;
            }
            open.back()->children.push_back(elementNode(reader));
            open.push_back(&open.back()->children.back());
            break;
        case QXmlStreamReader::EndElement:
            if (skippedDepth > 0)
                --skippedDepth;
            else
                open.pop_back();
            break;
        case QXmlStreamReader::Characters:
            appendText(open.back(), reader.text());
            break;
        default:
            break;
        }
    }
    if (!reader.hasError())
        return true;
    *error = QStringLiteral("The SSML could not be read: %1 (line %2, column %3).")
                 .arg(reader.errorString())
                 .arg(reader.lineNumber())
                 .arg(reader.columnNumber());
    return false;
}

QString SsmlNode::flatText() const {
    if (isText())
        return text;
    QString out;
    for (const SsmlNode &child : children)
        out += child.flatText();
    return out;
}

} // namespace parlino
