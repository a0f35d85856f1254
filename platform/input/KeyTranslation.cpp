#include "platform/input/KeyTranslation.h"

namespace keyloft::platform {
namespace {

struct Entry {
    int kernel;
    int vk;
    int scan;
    bool extended;
    int navigationVk;  // keypad keys with Num Lock off (0: same as vk)
};

// Kernel key code, virtual key, scan code, extended flag.
constexpr Entry kTable[] = {
    {1, 27, 0x01, false, 0},    {2, '1', 0x02, false, 0},   {3, '2', 0x03, false, 0},
    {4, '3', 0x04, false, 0},   {5, '4', 0x05, false, 0},   {6, '5', 0x06, false, 0},
    {7, '6', 0x07, false, 0},   {8, '7', 0x08, false, 0},   {9, '8', 0x09, false, 0},
    {10, '9', 0x0A, false, 0},  {11, '0', 0x0B, false, 0},  {12, 189, 0x0C, false, 0},
    {13, 187, 0x0D, false, 0},  {14, 8, 0x0E, false, 0},    {15, 9, 0x0F, false, 0},
    {16, 'Q', 0x10, false, 0},  {17, 'W', 0x11, false, 0},  {18, 'E', 0x12, false, 0},
    {19, 'R', 0x13, false, 0},  {20, 'T', 0x14, false, 0},  {21, 'Y', 0x15, false, 0},
    {22, 'U', 0x16, false, 0},  {23, 'I', 0x17, false, 0},  {24, 'O', 0x18, false, 0},
    {25, 'P', 0x19, false, 0},  {26, 219, 0x1A, false, 0},  {27, 221, 0x1B, false, 0},
    {28, 13, 0x1C, false, 0},   {29, 162, 0x1D, false, 0},  {30, 'A', 0x1E, false, 0},
    {31, 'S', 0x1F, false, 0},  {32, 'D', 0x20, false, 0},  {33, 'F', 0x21, false, 0},
    {34, 'G', 0x22, false, 0},  {35, 'H', 0x23, false, 0},  {36, 'J', 0x24, false, 0},
    {37, 'K', 0x25, false, 0},  {38, 'L', 0x26, false, 0},  {39, 186, 0x27, false, 0},
    {40, 222, 0x28, false, 0},  {41, 192, 0x29, false, 0},  {42, 160, 0x2A, false, 0},
    {43, 220, 0x2B, false, 0},  {44, 'Z', 0x2C, false, 0},  {45, 'X', 0x2D, false, 0},
    {46, 'C', 0x2E, false, 0},  {47, 'V', 0x2F, false, 0},  {48, 'B', 0x30, false, 0},
    {49, 'N', 0x31, false, 0},  {50, 'M', 0x32, false, 0},  {51, 188, 0x33, false, 0},
    {52, 190, 0x34, false, 0},  {53, 191, 0x35, false, 0},  {54, 161, 0x36, false, 0},
    {55, 106, 0x37, false, 0},  {56, 164, 0x38, false, 0},  {57, 32, 0x39, false, 0},
    {58, 20, 0x3A, false, 0},   {59, 112, 0x3B, false, 0},  {60, 113, 0x3C, false, 0},
    {61, 114, 0x3D, false, 0},  {62, 115, 0x3E, false, 0},  {63, 116, 0x3F, false, 0},
    {64, 117, 0x40, false, 0},  {65, 118, 0x41, false, 0},  {66, 119, 0x42, false, 0},
    {67, 120, 0x43, false, 0},  {68, 121, 0x44, false, 0},  {69, 144, 0x45, true, 0},
    {70, 145, 0x46, false, 0},  {71, 103, 0x47, false, 36}, {72, 104, 0x48, false, 38},
    {73, 105, 0x49, false, 33}, {74, 109, 0x4A, false, 0},  {75, 100, 0x4B, false, 37},
    {76, 101, 0x4C, false, 12}, {77, 102, 0x4D, false, 39}, {78, 107, 0x4E, false, 0},
    {79, 97, 0x4F, false, 35},  {80, 98, 0x50, false, 40},  {81, 99, 0x51, false, 34},
    {82, 96, 0x52, false, 45},  {83, 110, 0x53, false, 46}, {86, 226, 0x56, false, 0},
    {87, 122, 0x57, false, 0},  {88, 123, 0x58, false, 0},  {96, 13, 0x1C, true, 0},
    {97, 163, 0x1D, true, 0},   {98, 111, 0x35, true, 0},   {99, 44, 0x37, true, 0},
    {100, 165, 0x38, true, 0},  {102, 36, 0x47, true, 0},   {103, 38, 0x48, true, 0},
    {104, 33, 0x49, true, 0},   {105, 37, 0x4B, true, 0},   {106, 39, 0x4D, true, 0},
    {107, 35, 0x4F, true, 0},   {108, 40, 0x50, true, 0},   {109, 34, 0x51, true, 0},
    {110, 45, 0x52, true, 0},   {111, 46, 0x53, true, 0},   {113, 173, 0x20, true, 0},
    {114, 174, 0x2E, true, 0},  {115, 175, 0x30, true, 0},  {119, 19, 0x45, false, 0},
    {125, 91, 0x5B, true, 0},   {126, 92, 0x5C, true, 0},   {127, 93, 0x5D, true, 0},
    {128, 169, 0x68, true, 0},  {140, 183, 0x21, true, 0},  {155, 180, 0x6C, true, 0},
    {156, 171, 0x66, true, 0},  {157, 182, 0x6B, true, 0},  {158, 166, 0x6A, true, 0},
    {159, 167, 0x69, true, 0},  {163, 176, 0x19, true, 0},  {164, 179, 0x22, true, 0},
    {165, 177, 0x10, true, 0},  {166, 178, 0x24, true, 0},  {172, 172, 0x32, true, 0},
    {173, 168, 0x67, true, 0},  {183, 124, 0x64, false, 0}, {184, 125, 0x65, false, 0},
    {185, 126, 0x66, false, 0}, {186, 127, 0x67, false, 0}, {187, 128, 0x68, false, 0},
    {188, 129, 0x69, false, 0}, {189, 130, 0x6A, false, 0}, {190, 131, 0x6B, false, 0},
    {191, 132, 0x6C, false, 0}, {192, 133, 0x6D, false, 0}, {193, 134, 0x6E, false, 0},
    {194, 135, 0x76, false, 0}, {217, 170, 0x65, true, 0},  {226, 181, 0x6D, true, 0},
};

}  // namespace

TranslatedKey TranslateKernelKey(int kernelCode, bool keypadDigits) {
    for (const Entry& e : kTable) {
        if (e.kernel != kernelCode) continue;
        const int vk = (!keypadDigits && e.navigationVk) ? e.navigationVk : e.vk;
        return {vk, e.scan, e.extended};
    }
    return {};
}

}  // namespace keyloft::platform
