#include "Mp3Writer.h"

#include <lame/lame.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

namespace soundgen {
namespace {

struct LameDeleter {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};
using Lame = std::unique_ptr<lame_global_flags, LameDeleter>;

Lame makeEncoder(int kbps)
{
    Lame lame(lame_init());
    if (!lame)
        return lame;
    lame_set_num_channels(lame.get(), 1);
    lame_set_mode(lame.get(), MONO);
    lame_set_in_samplerate(lame.get(), kRate);
    lame_set_out_samplerate(lame.get(), kRate);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_brate(lame.get(), kbps);
    lame_set_quality(lame.get(), 5);
    lame_set_bWriteVbrTag(lame.get(), 1);
    if (lame_init_params(lame.get()) < 0)
        lame.reset();
    return lame;
}

std::vector<unsigned char> encode(lame_global_flags* lame, const Buffer& pcm)
{
    // Worst case from lame.h: 1.25 * samples + 7200 bytes.
    std::vector<unsigned char> mp3(pcm.size() * 5 / 4 + 7200);
    const int body = lame_encode_buffer_ieee_float(lame, pcm.data(), pcm.data(), static_cast<int>(pcm.size()),
                                                   mp3.data(), static_cast<int>(mp3.size()));
    if (body < 0)
        return {};
    const int tail = lame_encode_flush(lame, mp3.data() + body, static_cast<int>(mp3.size()) - body);
    if (tail < 0)
        return {};
    mp3.resize(static_cast<std::size_t>(body + tail));
    return mp3;
}

// LAME wrote a placeholder first frame; the real info tag (delay, padding, length) is only
// known after the flush and goes in its place.
bool insertInfoTag(lame_global_flags* lame, std::vector<unsigned char>& mp3)
{
    unsigned char tag[2880];
    const std::size_t length = lame_get_lametag_frame(lame, tag, sizeof tag);
    if (length == 0 || length > sizeof tag || length > mp3.size())
        return false;
    std::copy(tag, tag + length, mp3.begin());
    return true;
}

} // namespace

bool writeMp3(const Track& track, const std::string& path, int kbps)
{
    Lame lame = makeEncoder(kbps);
    if (!lame) {
        std::cerr << "soundgen: LAME rejected the settings for " << path << std::endl;
        return false;
    }
    Buffer pcm = track.samples();
    for (float& v : pcm)
        v = std::clamp(v, -1.0f, 1.0f);
    std::vector<unsigned char> mp3 = encode(lame.get(), pcm);
    if (mp3.empty() || !insertInfoTag(lame.get(), mp3)) {
        std::cerr << "soundgen: encoding failed for " << path << std::endl;
        return false;
    }
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(mp3.data()), static_cast<std::streamsize>(mp3.size()));
    if (!out) {
        std::cerr << "soundgen: cannot write " << path << std::endl;
        return false;
    }
    return true;
}

} // namespace soundgen
