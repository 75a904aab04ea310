#pragma once
// What the tests of the English texts look for.
#include <QString>

// True when `text` holds a Chinese character or full-width punctuation: a text that missed its
// translation.
inline bool hasChinese(const QString& text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x9fff) || (u >= 0xff00 && u <= 0xffef))
            return true;
    }
    return false;
}
