#pragma once
// The language the programs speak. Their texts are written in Chinese, and Chinese is what they
// speak unless the person's language settings name another language; then they speak English,
// from the translations built into each program (":/i18n/*_en.qm").
#include <QString>

namespace Language {
// "zh_CN" or "en": from the first of LANGUAGE (its first entry), LC_ALL, LC_MESSAGES and LANG that
// is set. Unset, "C", "POSIX" and any "zh…" mean Chinese.
QString chosen();
// Makes the running application speak chosen(): the program's translations and Qt's own (standard
// buttons, calendars), and the default locale to match. Call once, after the application object
// exists and before any text is made.
void install();
}
