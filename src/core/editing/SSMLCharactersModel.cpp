#include "editing/SSMLCharactersModel.h"

namespace parlino {

bool SSMLCharactersModel::operator==(const SSMLCharactersModel &other) const {
    return location == other.location && length == other.length && effects == other.effects &&
           color == other.color && ssmlTag == other.ssmlTag;
}

} // namespace parlino
