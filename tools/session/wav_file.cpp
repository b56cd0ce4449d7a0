#include "wav_file.h"

#include <algorithm>

#ifdef MX_HAVE_SNDFILE
#include <sndfile.h>
#endif

namespace session {

#ifdef MX_HAVE_SNDFILE

bool CanWriteWav() { return true; }

bool WriteWav(const std::string& path, const std::vector<std::vector<int32_t>>& channels, uint64_t frames,
              uint32_t width, uint32_t rate, std::string* error) {
    if (channels.empty()) {
        *error = "there are no input channels to write";
        return false;
    }
    for (const auto& channel : channels) frames = std::min<uint64_t>(frames, channel.size());
    SF_INFO info{};
    info.samplerate = static_cast<int>(rate);
    info.channels = static_cast<int>(channels.size());
    int subtype = SF_FORMAT_PCM_32;
    switch (width) {
        case 1: subtype = SF_FORMAT_PCM_U8; break;
        case 2: subtype = SF_FORMAT_PCM_16; break;
        case 3: subtype = SF_FORMAT_PCM_24; break;
        default: break;
    }
    info.format = SF_FORMAT_WAV | subtype;
    if (!sf_format_check(&info)) {
        *error = "libsndfile cannot write this format";
        return false;
    }
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        *error = sf_strerror(nullptr);
        return false;
    }
    // libsndfile's integer interface takes full-scale 32-bit samples and keeps
    // the top bits the format holds, so a W-byte sample goes in shifted up.
    const uint32_t shift = width >= 4 ? 0 : 32 - 8 * width;
    constexpr uint64_t kBlock = 4096;
    std::vector<int> block(kBlock * channels.size());
    bool ok = true;
    for (uint64_t first = 0; ok && first < frames; first += kBlock) {
        const uint64_t count = std::min(kBlock, frames - first);
        for (uint64_t i = 0; i < count; ++i)
            for (size_t c = 0; c < channels.size(); ++c)
                block[i * channels.size() + c] =
                    static_cast<int>(static_cast<uint32_t>(channels[c][first + i]) << shift);
        ok = sf_writef_int(file, block.data(), static_cast<sf_count_t>(count)) == static_cast<sf_count_t>(count);
    }
    if (!ok) *error = sf_strerror(file);
    if (sf_close(file) != 0 && ok) {
        *error = "the file could not be completed";
        ok = false;
    }
    return ok;
}

#else

bool CanWriteWav() { return false; }

bool WriteWav(const std::string&, const std::vector<std::vector<int32_t>>&, uint64_t, uint32_t, uint32_t,
              std::string* error) {
    *error = "this build has no libsndfile";
    return false;
}

#endif

}  // namespace session
