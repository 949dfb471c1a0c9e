// RGB <-> HSL on 0..255 scales. The forward way is integer arithmetic (hue in
// steps of 1/255 of a turn, 0 red, 85 green, 170 blue); the way back runs in single
// precision and truncates, so both give the same bytes everywhere.
#include <algorithm>

#include "px_image.h"

namespace {

constexpr float kDegreesPerStep = 1.4117647f;  // 360 / 255
constexpr float kPerByte = 0.003921569f;       // 1 / 255
constexpr float kPerSixtyDegrees = 0.016666668f;

// One channel of the way back: a is the hue in degrees, shifted for the channel.
float HueToChannel(float m1, float m2, float a) {
    if (a > 360) a -= 360;
    if (a < 0) a += 360;
    if (a < 60) return m1 + (m2 - m1) * a * kPerSixtyDegrees;
    if (a < 180) return m2;
    if (a < 240) return m1 + (m2 - m1) * (240 - a) * kPerSixtyDegrees;
    return m1;
}

BYTE ChannelByte(float v) {
    return static_cast<BYTE>(static_cast<long>(v * 255));
}

}  // namespace

RGBQUAD PxImage::RGBtoHSL(RGBQUAD color) {
    const int r = color.rgbRed, g = color.rgbGreen, b = color.rgbBlue;
    const int max = std::max({r, g, b}), min = std::min({r, g, b});
    const int l = ((max + min) * 255 + 255) / 510;
    if (max == min) return RGBQUAD{static_cast<BYTE>(l), 0, 170, 0};

    const int d = max - min;
    const int sum = l > 127 ? 510 - max - min : max + min;
    const int s = (d * 255 + sum / 2) / sum;
    const auto part = [max, d](int c) { return ((max - c) * 42 + d / 2) / d; };
    int h;
    if (r == max)
        h = part(b) - part(g);
    else if (g == max)
        h = 85 + part(r) - part(b);
    else
        h = 170 + part(g) - part(r);
    return RGBQUAD{static_cast<BYTE>(l), static_cast<BYTE>(s), static_cast<BYTE>(h), 0};
}

RGBQUAD PxImage::HSLtoRGB(RGBQUAD hsl) {
    const float h = static_cast<float>(hsl.rgbRed) * kDegreesPerStep;
    const float s = static_cast<float>(hsl.rgbGreen) * kPerByte;
    const float l = static_cast<float>(hsl.rgbBlue) * kPerByte;
    const float m2 = l <= 0.5f ? l * (1 + s) : l + s - l * s;
    const float m1 = 2 * l - m2;
    if (s == 0) {
        const BYTE grey = ChannelByte(l);
        return RGBQUAD{grey, grey, grey, 0};
    }
    return RGBQUAD{ChannelByte(HueToChannel(m1, m2, h - 120)), ChannelByte(HueToChannel(m1, m2, h)),
                   ChannelByte(HueToChannel(m1, m2, h + 120)), 0};
}

RGBQUAD PxImage::HSLtoRGB(COLORREF hsl) {
    return HSLtoRGB(RGBtoRGBQUAD(hsl));
}
