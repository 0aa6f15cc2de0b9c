#include "model/chinese_notation.h"

namespace marovin::model {

const char* const kChineseNumerals[10] = {
    "\xB9\x73", // 零
    "\xA4\x40", // 一
    "\xA4\x47", // 二
    "\xA4\x54", // 三
    "\xA5\x7C", // 四
    "\xA4\xAD", // 五
    "\xA4\xBB", // 六
    "\xA4\x43", // 七
    "\xA4\x4B", // 八
    "\xA4\x45", // 九
};

const char* const kFullWidthDigits[10] = {
    "\xA2\xAF", // ０
    "\xA2\xB0", // １
    "\xA2\xB1", // ２
    "\xA2\xB2", // ３
    "\xA2\xB3", // ４
    "\xA2\xB4", // ５
    "\xA2\xB5", // ６
    "\xA2\xB6", // ７
    "\xA2\xB7", // ８
    "\xA2\xB8", // ９
};

const char* const kStems[10] = {
    "\xA5\xD2", // 甲
    "\xA4\x41", // 乙
    "\xA4\xFE", // 丙
    "\xA4\x42", // 丁
    "\xA5\xB3", // 戊
    "\xA4\x76", // 己
    "\xA9\xB0", // 庚
    "\xA8\xAF", // 辛
    "\xA4\xD0", // 壬
    "\xAC\xD1", // 癸
};

const char* const kQualifierFront = "\xAB\x65";    // 前
const char* const kQualifierRear = "\xAB\xE1";     // 後
const char* const kQualifierMiddle = "\xA4\xA4";   // 中
const char* const kDirectionForward = "\xB6\x69";  // 進
const char* const kDirectionBack = "\xB0\x68";     // 退
const char* const kDirectionSideways = "\xA5\xAD"; // 平

namespace {

const char* const kHundred = "\xA6\xCA";  // 百
const char* const kTen = "\xA4\x51";      // 十
const char* const kThousand = "\xA4\x64"; // 千

// 1..999 as the labels write it: every ten is spoken ("一十"), a gap before the units
// is "零", and an exact hundred ends there.
std::string belowThousand(int n)
{
    std::string text;
    if (n >= 100) {
        text.append(kChineseNumerals[n / 100]).append(kHundred);
        n %= 100;
        if (n == 0)
            return text;
        if (n < 10)
            text += kChineseNumerals[0];
    }
    if (n >= 10)
        text.append(kChineseNumerals[n / 10]).append(kTen);
    if (n % 10 != 0)
        text += kChineseNumerals[n % 10];
    return text;
}

} // namespace

std::string ChineseNumber(int n)
{
    if (n < 1 || n >= 10000)
        return std::to_string(n);
    if (n < 1000)
        return belowThousand(n);
    std::string text = std::string(kChineseNumerals[n / 1000]) + kThousand;
    const int rest = n % 1000;
    if (rest == 0)
        return text;
    if (rest < 100)
        text += kChineseNumerals[0];
    return text + belowThousand(rest);
}

} // namespace marovin::model
