#include "editing/SSMLCharactersModel.h"

bool SSMLCharactersModel::operator==(const SSMLCharactersModel &other) const {
    return location == other.location && length == other.length && effects == other.effects &&
           color == other.color && ssmlTag == other.ssmlTag;
}
