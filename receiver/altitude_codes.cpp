#include "receiver/altitude_codes.h"

#include <charconv>

namespace aerova {

CodeText IntText(int value) {
    CodeText t;
    auto [end, ec] = std::to_chars(t.chars, t.chars + sizeof t.chars, value);
    t.len = ec == std::errc() ? static_cast<std::uint8_t>(end - t.chars) : 0;
    return t;
}

int GrayToBinary(int gray) {
    gray &= 0xFF;
    int binary = gray & 0x80;
    for (int bit = 6; bit >= 0; --bit) {
        int above = (binary >> (bit + 1)) & 1;
        binary |= (((gray >> bit) & 1) ^ above) << bit;
    }
    return binary;
}

int GillhamFeet(int a, int b, int c, int d) {
    // The 500-ft increments are a reflected Gray code over D2 D4 A1 A2 A4 B1 B2 B4.
    int g = GrayToBinary(((d & 3) << 6) | ((a & 7) << 3) | (b & 7));
    int base = 500 * g - 1000;
    // The 100-ft increments C1 C2 C4 run 1, 3, 2, 6, 4 and reverse on every odd 500-ft step.
    int offset;
    switch (c) {
        case 1:
            offset = -200;
            break;
        case 3:
            offset = -100;
            break;
        case 2:
            offset = 0;
            break;
        case 6:
            offset = 100;
            break;
        case 4:
            offset = 200;
            break;
        default:
            return -9999;
    }
    return (g & 1) ? base - offset : base + offset;
}

namespace {

int Bit(int field, int n) {
    return (field >> n) & 1;
}

CodeText QFeet(TSBSFlight& target, int n) {
    target.altres = '0';
    int feet = 25 * n - 1000;
    return feet == -1000 ? CodeText{} : IntText(feet);
}

}  // namespace

CodeText AltitudeText(TSBSFlight& target, int field, int width) {
    if (field == 0) return {};
    if (width == 13) {
        // AC field, bit 12 first: C1 A1 C2 A2 C4 A4 M B1 Q B2 D2 B4 D4.
        field &= 0x1FFF;
        if (Bit(field, 6)) return {};  // M bit: metric altitude, not reported
        target.altunit = '0';
        if (Bit(field, 4))
            return QFeet(target, (field & 0x0F) | ((field & 0x20) >> 1) | ((field & 0x1F80) >> 2));
        target.altres = '1';
        int a = Bit(field, 11) << 2 | Bit(field, 9) << 1 | Bit(field, 7);
        int b = Bit(field, 5) << 2 | Bit(field, 3) << 1 | Bit(field, 1);
        int c = Bit(field, 12) << 2 | Bit(field, 10) << 1 | Bit(field, 8);
        int d = Bit(field, 2) << 1 | Bit(field, 0);
        return IntText(GillhamFeet(a, b, c, d));
    }
    // Airborne position ME bits 9-20, bit 11 first: C1 A1 C2 A2 C4 A4 B1 Q B2 D2 B4 D4.
    field &= 0xFFF;
    target.altunit = '0';
    if (Bit(field, 4)) return QFeet(target, (field & 0x0F) | ((field & 0xFE0) >> 1));
    target.altres = '1';
    int a = Bit(field, 10) << 2 | Bit(field, 8) << 1 | Bit(field, 6);
    int b = Bit(field, 5) << 2 | Bit(field, 3) << 1 | Bit(field, 1);
    int c = Bit(field, 11) << 2 | Bit(field, 9) << 1 | Bit(field, 7);
    int d = Bit(field, 2) << 1 | Bit(field, 0);
    return IntText(GillhamFeet(a, b, c, d));
}

CodeText SquawkText(int field) {
    // Identity field, bit 12 first: C1 A1 C2 A2 C4 A4 X B1 D1 B2 D2 B4 D4.
    int a = Bit(field, 7) << 2 | Bit(field, 9) << 1 | Bit(field, 11);
    int b = Bit(field, 1) << 2 | Bit(field, 3) << 1 | Bit(field, 5);
    int c = Bit(field, 8) << 2 | Bit(field, 10) << 1 | Bit(field, 12);
    int d = Bit(field, 0) << 2 | Bit(field, 2) << 1 | Bit(field, 4);
    CodeText t;
    t.chars[0] = static_cast<char>('0' + a);
    t.chars[1] = static_cast<char>('0' + b);
    t.chars[2] = static_cast<char>('0' + c);
    t.chars[3] = static_cast<char>('0' + d);
    t.len = 4;
    return t;
}

}  // namespace aerova
