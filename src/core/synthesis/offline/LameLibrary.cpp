#include "LameLibrary.h"

#include <lame/lame.h>

#include "SystemLibrary.h"

// The LAME functions the encoder uses, defined here as forwarders: the
// program is not linked against libmp3lame, which costs about a million
// instructions of dynamic linking at every start of the editor. The first
// call opens the library; a function that cannot be found answers with a
// failure value (no encoder, an error code, nothing written), and
// lameLibraryError() says why.

namespace {

const parlino::SystemLibrary &library() {
    static const parlino::SystemLibrary loaded{"libmp3lame.so.0", "libmp3lame.so"};
    return loaded;
}

} // namespace

#define PARLINO_LAME(Ret, name, failure, params, args)                                             \
    PARLINO_FORWARD(library, Ret, name, failure, params, args)
#define PARLINO_LAME_VOID(name, params, args) PARLINO_FORWARD_VOID(library, name, params, args)
// The setters that take a value of type T.
#define PARLINO_LAME_SET(name, T)                                                                  \
    PARLINO_LAME(int, name, -1, (lame_global_flags * gfp, T value), (gfp, value))

PARLINO_LAME(lame_global_flags *, lame_init, nullptr, (void), ())
PARLINO_LAME(int, lame_close, -1, (lame_global_flags * gfp), (gfp))
PARLINO_LAME(int, lame_init_params, -1, (lame_global_flags * gfp), (gfp))
PARLINO_LAME_SET(lame_set_in_samplerate, int)
PARLINO_LAME_SET(lame_set_out_samplerate, int)
PARLINO_LAME_SET(lame_set_num_channels, int)
PARLINO_LAME_SET(lame_set_mode, MPEG_mode)
PARLINO_LAME_SET(lame_set_quality, int)
PARLINO_LAME_SET(lame_set_brate, int)
PARLINO_LAME_SET(lame_set_VBR, vbr_mode)
PARLINO_LAME_SET(lame_set_VBR_quality, float)
PARLINO_LAME_SET(lame_set_bWriteVbrTag, int)
PARLINO_LAME_VOID(lame_set_write_id3tag_automatic, (lame_global_flags * gfp, int value),
                  (gfp, value))
PARLINO_LAME(int, lame_get_framesize, 0, (const lame_global_flags *gfp), (gfp))
PARLINO_LAME(int, lame_get_encoder_delay, 0, (const lame_global_flags *gfp), (gfp))
PARLINO_LAME(int, lame_get_encoder_padding, 0, (const lame_global_flags *gfp), (gfp))
PARLINO_LAME(int, lame_encode_buffer, -3,
             (lame_global_flags * gfp, const short int leftPcm[], const short int rightPcm[],
              const int samples, unsigned char *mp3, const int mp3Size),
             (gfp, leftPcm, rightPcm, samples, mp3, mp3Size))
PARLINO_LAME(int, lame_encode_buffer_interleaved, -3,
             (lame_global_flags * gfp, short int pcm[], int samples, unsigned char *mp3,
              int mp3Size),
             (gfp, pcm, samples, mp3, mp3Size))
PARLINO_LAME(int, lame_encode_flush, -3, (lame_global_flags * gfp, unsigned char *mp3, int mp3Size),
             (gfp, mp3, mp3Size))
PARLINO_LAME(size_t, lame_get_lametag_frame, 0,
             (const lame_global_flags *gfp, unsigned char *buffer, size_t size),
             (gfp, buffer, size))

namespace parlino {

QString lameLibraryError() {
    return library().error();
}

} // namespace parlino
