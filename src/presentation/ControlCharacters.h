#pragma once

#include <QString>
#include <QStringView>

namespace pellora {

// Texts from a pack, a settings file or a server made safe to show. Stored data is never changed; these
// apply only where a text is shown.

// For a terminal line: every control character (C0 but TAB, DEL, C1) becomes \xNN with lower-case hex digits
// and U+2028/U+2029 become \u2028/\u2029, so a text can neither move the cursor nor break its line.
QString terminalText(QStringView text);

// For a label: TAB, LF, VT, FF, CR, NEL and U+2028/U+2029 become a space (so words stay apart); every other
// C0 or C1 character and DEL is dropped.
QString labelText(QStringView text);

// For a label whose line breaks are meant (a role's summary): each line as labelText, LF and CR LF kept as LF.
QString labelLines(QStringView text);

} // namespace pellora
