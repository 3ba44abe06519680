#include "EspeakLibrary.h"

#include <espeak-ng/speak_lib.h>

#include "SystemLibrary.h"

#include <mutex>

// The eSpeak NG API is defined here as forwarders: the program is not linked
// against libespeak-ng, which with its audio dependencies (PulseAudio, ALSA,
// libsndfile and their codecs) costs about 7 million instructions of dynamic
// linking at every start, before the editor could paint. The first call opens
// the library; a function that cannot be found answers with the API's own
// failure value, and espeakLibraryError() says why.

namespace {

const parlino::SystemLibrary &library() {
    static const parlino::SystemLibrary loaded{"libespeak-ng.so.1", "libespeak-ng.so"};
    return loaded;
}

} // namespace

#define PARLINO_ESPEAK(Ret, name, failure, params, args)                                           \
    PARLINO_FORWARD(library, Ret, name, failure, params, args)
#define PARLINO_ESPEAK_VOID(name, params, args) PARLINO_FORWARD_VOID(library, name, params, args)

PARLINO_ESPEAK(int, espeak_Initialize, -1,
               (espeak_AUDIO_OUTPUT output, int buflength, const char *path, int options),
               (output, buflength, path, options))
PARLINO_ESPEAK_VOID(espeak_SetSynthCallback, (t_espeak_callback * callback), (callback))
PARLINO_ESPEAK_VOID(espeak_SetUriCallback, (int (*callback)(int, const char *, const char *)),
                    (callback))
PARLINO_ESPEAK_VOID(espeak_SetPhonemeCallback, (int (*callback)(const char *)), (callback))
PARLINO_ESPEAK(espeak_ERROR, espeak_Synth, EE_INTERNAL_ERROR,
               (const void *text, size_t size, unsigned int position,
                espeak_POSITION_TYPE position_type, unsigned int end_position, unsigned int flags,
                unsigned int *unique_identifier, void *user_data),
               (text, size, position, position_type, end_position, flags, unique_identifier,
                user_data))
PARLINO_ESPEAK(espeak_ERROR, espeak_Synth_Mark, EE_INTERNAL_ERROR,
               (const void *text, size_t size, const char *index_mark, unsigned int end_position,
                unsigned int flags, unsigned int *unique_identifier, void *user_data),
               (text, size, index_mark, end_position, flags, unique_identifier, user_data))
PARLINO_ESPEAK(espeak_ERROR, espeak_Key, EE_INTERNAL_ERROR, (const char *key_name), (key_name))
PARLINO_ESPEAK(espeak_ERROR, espeak_Char, EE_INTERNAL_ERROR, (wchar_t character), (character))
PARLINO_ESPEAK(espeak_ERROR, espeak_SetParameter, EE_INTERNAL_ERROR,
               (espeak_PARAMETER parameter, int value, int relative), (parameter, value, relative))
PARLINO_ESPEAK(int, espeak_GetParameter, 0, (espeak_PARAMETER parameter, int current),
               (parameter, current))
PARLINO_ESPEAK(espeak_ERROR, espeak_SetPunctuationList, EE_INTERNAL_ERROR,
               (const wchar_t *punctlist), (punctlist))
PARLINO_ESPEAK_VOID(espeak_SetPhonemeTrace, (int phonememode, FILE *stream), (phonememode, stream))
PARLINO_ESPEAK(const char *, espeak_TextToPhonemes, nullptr,
               (const void **textptr, int textmode, int phonememode),
               (textptr, textmode, phonememode))
PARLINO_ESPEAK_VOID(espeak_CompileDictionary, (const char *path, FILE *log, int flags),
                    (path, log, flags))
PARLINO_ESPEAK(const espeak_VOICE **, espeak_ListVoices, nullptr, (espeak_VOICE * voice_spec),
               (voice_spec))
PARLINO_ESPEAK(espeak_ERROR, espeak_SetVoiceByFile, EE_INTERNAL_ERROR, (const char *filename),
               (filename))
PARLINO_ESPEAK(espeak_ERROR, espeak_SetVoiceByName, EE_INTERNAL_ERROR, (const char *name), (name))
PARLINO_ESPEAK(espeak_ERROR, espeak_SetVoiceByProperties, EE_INTERNAL_ERROR,
               (espeak_VOICE * voice_spec), (voice_spec))
PARLINO_ESPEAK(espeak_VOICE *, espeak_GetCurrentVoice, nullptr, (void), ())
PARLINO_ESPEAK(espeak_ERROR, espeak_Cancel, EE_INTERNAL_ERROR, (void), ())
PARLINO_ESPEAK(int, espeak_IsPlaying, 0, (void), ())
PARLINO_ESPEAK(espeak_ERROR, espeak_Synchronize, EE_INTERNAL_ERROR, (void), ())
PARLINO_ESPEAK(espeak_ERROR, espeak_Terminate, EE_INTERNAL_ERROR, (void), ())
PARLINO_ESPEAK(const char *, espeak_Info, nullptr, (const char **path_data), (path_data))

namespace parlino {

QString espeakLibraryError() {
    return library().error();
}

} // namespace parlino
