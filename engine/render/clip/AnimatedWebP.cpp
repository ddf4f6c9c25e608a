#include "AnimatedWebP.h"

#include <webp/demux.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kit {

struct AnimatedWebP::Encoder {
    WebPAnimEncoder* encoder = nullptr;
    ~Encoder()
    {
        if (encoder)
            WebPAnimEncoderDelete(encoder);
    }
};

AnimatedWebP::AnimatedWebP(int width, int height, float quality)
    : encoder_(std::make_unique<Encoder>()), width_(width), height_(height), quality_(quality)
{
    WebPAnimEncoderOptions options;
    if (width <= 0 || height <= 0 || !WebPAnimEncoderOptionsInit(&options))
        return;
    options.anim_params.loop_count = 0; // for ever, as clips are watched
    encoder_->encoder = WebPAnimEncoderNew(width, height, &options);
}

AnimatedWebP::~AnimatedWebP() = default;

bool AnimatedWebP::add(const std::vector<std::uint8_t>& rgba, int milliseconds)
{
    if (!encoder_->encoder || rgba.size() != static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4u)
        return false;
    WebPConfig config;
    WebPPicture picture;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&picture))
        return false;
    config.quality = quality_;
    config.method = 2; // quick: a clip of hundreds of frames is written in seconds
    picture.use_argb = 1;
    picture.width = width_;
    picture.height = height_;
    bool done = WebPPictureImportRGBA(&picture, rgba.data(), width_ * 4) &&
                WebPAnimEncoderAdd(encoder_->encoder, &picture, elapsed_, &config);
    WebPPictureFree(&picture);
    if (!done)
        return false;
    elapsed_ += std::max(milliseconds, 1);
    ++frames_;
    return true;
}

bool AnimatedWebP::write(const std::string& path, std::string& error)
{
    if (!encoder_->encoder || frames_ == 0) {
        error = "no frames to write to " + path;
        return false;
    }
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAdd(encoder_->encoder, nullptr, elapsed_, nullptr) ||
        !WebPAnimEncoderAssemble(encoder_->encoder, &data)) {
        error = std::string("the clip did not encode: ") + WebPAnimEncoderGetError(encoder_->encoder);
        return false;
    }
    const std::string part = path + ".part";
    bool written = false;
    {
        std::ofstream file(part, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data.bytes), static_cast<std::streamsize>(data.size));
        written = static_cast<bool>(file.flush());
    }
    WebPDataClear(&data);
    std::error_code failed;
    if (written)
        std::filesystem::rename(part, path, failed);
    if (!written || failed) {
        std::filesystem::remove(part, failed);
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool decodeAnimatedWebP(const std::string& path, DecodedAnimation& out, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    WebPData data{bytes.data(), bytes.size()};
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) {
        error = "libwebp is not the version built against";
        return false;
    }
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    if (!decoder) {
        error = path + " is not an animated WebP";
        return false;
    }
    WebPAnimInfo info;
    WebPAnimDecoderGetInfo(decoder, &info);
    out.width = static_cast<int>(info.canvas_width);
    out.height = static_cast<int>(info.canvas_height);
    const std::size_t size = static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height) * 4u;
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
        std::uint8_t* pixels = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(decoder, &pixels, &timestamp)) {
            WebPAnimDecoderDelete(decoder);
            error = path + " has a frame that does not decode";
            return false;
        }
        out.frames.emplace_back(pixels, pixels + size);
        out.timestamps.push_back(timestamp);
    }
    WebPAnimDecoderDelete(decoder);
    return true;
}

} // namespace kit
